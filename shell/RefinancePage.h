#pragma once
// The refinancing calculator page and its itemized closing-cost panel. The
// arithmetic is in Refinance.h.

#include <array>

#include "CalcPage.h"
#include "Refinance.h"

class TButton;
class TLabel;
class TPanel;

class TRefinancePage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgRefinancingCalculator"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    // ---- Handlers ---------------------------------------------------------------
    void CalcRefi(TObject* Sender);
    void CalcClosingCosts(TObject* Sender);
    void btnCalcFeesClick(TObject* Sender);
    void btnCloseClosingCostsClick(TObject* Sender);
    void btnClearClosingCostsClick(TObject* Sender);

    // ---- Components ---------------------------------------------------------------
    TEntPictureField *edtOldLoan = nullptr, *edtOldTerm = nullptr, *edtOldInterestRate = nullptr,
                     *edtOldPaymentsMade = nullptr, *edtOldPaymentsRemaining = nullptr, *edtOldPayment = nullptr;
    TEntPictureField *edtNewLoan = nullptr, *edtNewTerm = nullptr, *edtNewInterestRate = nullptr,
                     *edtRefiClosingCosts = nullptr, *edtMonthsUntilSell = nullptr, *edtNewPayment = nullptr;
    TEntPictureField *edtPaymentSaved = nullptr, *edtTotalPaymentSaved = nullptr, *edtOldEquity = nullptr,
                     *edtNewEquity = nullptr, *edtEquitySavings = nullptr, *edtTotalSaved = nullptr;
    TLabel* LblSell = nullptr;
    // The closing-cost panel: the twelve fees in order, from the discount fee
    // to the prepayment penalty, and their total.
    TPanel* pnlClosingCosts = nullptr;
    std::array<TEntPictureField*, ClosingCostItems> edtFees{};
    TEntPictureField* edtClosingFees = nullptr;
    TButton* btnCloseClosingCosts = nullptr;
};
