#pragma once
// The quick calculators page: the monthly payment tab and the solver for the
// missing loan variable. The arithmetic is in QuickCalc.h.

#include <array>
#include <cstdint>

#include "CalcPage.h"

class TEntNotebook;
class TEntPictureField;
class TWinControl;

extern const char* const SQuickCalcErrorMessage;

class TQuickCalcPage : public TCalcPage {
public:
    using TCalcPage::TCalcPage;

    const char* PageName() const override { return "pgQuickCalculators"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;
    void ResetValues(TObject* Sender) override;  // ResetQuickCalcValues
    void ZeroValues(TObject* Sender) override;

    // ---- Handlers ---------------------------------------------------------------
    void btnCalcLAClick(TObject* Sender);
    void btnCalcIRClick(TObject* Sender);
    void btnCalcPMTClick(TObject* Sender);
    void btnCalcNClick(TObject* Sender);
    void btnCalcQuickCalcClick(TObject* Sender);
    void CalcMPI(TObject* Sender);
    void nbkQuickCalcTabClick(TObject* Sender, int Index);

    // ---- State ------------------------------------------------------------------
    std::array<int32_t, 4> QuickSolveFlags{};  // loan amount, rate, payment, number of payments

    // ---- Components ---------------------------------------------------------------
    TEntNotebook* nbkQuickCalc = nullptr;
    TEntPictureField *edtMPISalesPrice = nullptr, *edtMPIDownPaymentSum = nullptr, *edtMPIDownPaymentPercent = nullptr,
                     *edtMPILoanAmount = nullptr, *edtMPIInterestRate = nullptr, *edtMPITermInMonths = nullptr,
                     *edtMPIPayment = nullptr;
    TEntPictureField *edtLA = nullptr, *edtIR = nullptr, *edtPMT = nullptr, *edtN = nullptr;
    TWinControl *btnCalcLA = nullptr, *btnCalcIR = nullptr, *btnCalcPMT = nullptr, *btnCalcN = nullptr,
                *btnCalcQuickCalc = nullptr;

private:
    void ChooseQuickSolve(int Flag, TEntPictureField* Field, TWinControl* FocusAfter);
    void ClearQuickSolveFields();
};
