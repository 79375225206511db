#pragma once
// The loan spread page: the mode group chooses which of loan, rate, term and
// payment is solved; the grid spreads it over steps of two others around the
// typed case. The tables themselves are built in LoanSpread.h.

#include <string>

#include "CalcPage.h"
#include "Controls.h"

class TAlignGrid;
class TCustomRadioGroup;
class TEntPictureField;
class TLabel;

class TLoanSpreadPage : public TCalcPage {
public:
    using TCalcPage::TCalcPage;

    const char* PageName() const override { return "pgLoanSpreadCalculator"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;
    // The window's ResetLoanSpreadValues and reset-all routines set this page.
    void ResetValues(TObject*) override {}
    void ZeroValues(TObject*) override {}

    // ---- Handlers and the window's seams -------------------------------------------
    void rgCalculateClick(TObject* Sender);
    // Builds the table of the current mode from the four fields.
    void ChooseLoanSpreadCalculator(TObject* Sender);
    // The empty layout of the current mode: placeholder headings, centre selected.
    void CleanGrid(TObject* Sender);
    void grdLSClick(TObject* Sender);
    void grdLSMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);

    // ---- Reset and repair steps -------------------------------------------------------
    // Writes the four inputs; nothing before the components are found.
    void SetInputs(double Loan, double Interest, int Term, double Payment);
    // The page's own sample inputs, so a repair never drifts from "Use Sample Values".
    void RestoreSampleInputs();

    // ---- State ----------------------------------------------------------------------
    // The mode last built, and the step texts of its table (the report's captions).
    int LoanSpreadMode = 0;
    std::string LoanIncrementText, RateIncrementText, PaymentIncrementText;

    // ---- Components -----------------------------------------------------------------
    TEntPictureField *edtLoan = nullptr, *edtInterest = nullptr, *edtTerm = nullptr, *edtPayment = nullptr,
                     *edtTotalPaid = nullptr, *edtInterestPaid = nullptr;
    TCustomRadioGroup *rgCalculate = nullptr, *rgLoan = nullptr, *rgInterest = nullptr, *rgPayments = nullptr;
    TLabel *lblLeft = nullptr, *lblRight = nullptr;
    TAlignGrid* grdLS = nullptr;

private:
    void MarkCentre();
    void SetFieldRole(TEntPictureField* Field, bool Result, const char* Hint);
};
