#pragma once
// The loan comparisons page: six loans side by side, recomputed whenever one
// of its inputs is left. The arithmetic is in LoanComparisons.h.

#include <array>

#include "CalcPage.h"

class TEntPictureField;
class TNumEdit;

class TLoanComparisonsPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgLoanComparisons"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    // ---- Handlers ---------------------------------------------------------------
    void CalcLC(TObject* Sender);

    // ---- Components (one per row) -------------------------------------------------
    std::array<TEntPictureField*, 6> edtLCLoan{}, edtLCTerm{}, edtLCPayment{}, edtLCTotalPaid{}, edtLCLoanCost{},
        edtLCPointsCost{};
    std::array<TNumEdit*, 6> edtLCInterest{}, edtLCPoints{};
};
