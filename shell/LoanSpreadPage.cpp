#include "LoanSpreadPage.h"

#include <string_view>

#include "Main.h"

#include "AlignGrid.h"
#include "ExtCtrls.h"
#include "LoanSpread.h"
#include "entpf.h"
#include "iniSetup.h"

namespace {

// What each mode makes of the page: its result field, the step groups left
// and right with their captions, and the input that takes the focus.
struct TModeLayout {
    int Result;  // index into the four fields: loan, interest, term, payment
    const char* ResultHint;
    int Left, Right, Hidden;  // 0 rgLoan, 1 rgInterest, 2 rgPayments
    const char* LeftCaption;
    const char* RightCaption;
    int Focus;
};

const TModeLayout kModes[4] = {
    {3, "Calculated Monthly Payment", 0, 1, 2, "Increment Loan Amounts By", "Increment Interest Rates By", 0},
    {0, "Calculated Loan Amount", 2, 1, 0, "Increment Payments By", "Increment Interest Rates By", 1},
    {1, "Calculated Interest Rate", 0, 2, 1, "Increment Loan Amounts By", "Increment Payments By", 0},
    {2, "Calculated Term in Months", 0, 2, 1, "Increment Loan Amounts By", "Increment Payments By", 0},
};
const char* const kInputHints[4] = {"Enter Loan Amount", "Enter Interest Rate", "Enter Term in Months",
                                    "Enter Monthly Payment"};
const char* const kGridHints[4] = {" Grid is displaying Payment Amounts", " Grid is displaying Loan Amounts",
                                   " Grid is displaying Interest Rates", " Grid is displaying Term in Months"};

}  // namespace

void TLoanSpreadPage::RegisterHandlers(THandlerTable& h) {
    // The seams stay the window's, so every caller reaches the same routine.
    h["ChooseLoanSpreadCalculator"] = TNotifyEvent([this](TObject* s) { Main.ChooseLoanSpreadCalculator(s); });
    BindNotify(h, "rgCalculateClick", this, &TLoanSpreadPage::rgCalculateClick);
    BindNotify(h, "grdLSClick", this, &TLoanSpreadPage::grdLSClick);
    BindHandler<TMouseMoveEvent>(h, "grdLSMouseMove", this, &TLoanSpreadPage::grdLSMouseMove);
}

void TLoanSpreadPage::FindComponents() {
    edtLoan = Need<TEntPictureField>("edtLoan");
    edtInterest = Need<TEntPictureField>("edtInterest");
    edtTerm = Need<TEntPictureField>("edtTerm");
    edtPayment = Need<TEntPictureField>("edtPayment");
    edtTotalPaid = Need<TEntPictureField>("edtTotalPaid");
    edtInterestPaid = Need<TEntPictureField>("edtInterestPaid");
    rgCalculate = Need<TCustomRadioGroup>("rgCalculate");
    rgLoan = Need<TCustomRadioGroup>("rgLoan");
    rgInterest = Need<TCustomRadioGroup>("rgInterest");
    rgPayments = Need<TCustomRadioGroup>("rgPayments");
    lblLeft = Need<TLabel>("lblLeft");
    lblRight = Need<TLabel>("lblRight");
    grdLS = Need<TAlignGrid>("grdLS");
}

void TLoanSpreadPage::SetInputs(double Loan, double Interest, int Term, double Payment) {
    if (!edtLoan || !edtInterest || !edtTerm || !edtPayment) return;
    edtLoan->SetAsFloat(Loan);
    edtInterest->SetAsFloat(Interest);
    edtTerm->SetAsInteger(Term);
    edtPayment->SetAsFloat(Payment);
}

void TLoanSpreadPage::RestoreSampleInputs() {
    const TCalculatorReset* set = FindCalculatorReset(PageName());
    if (!set) return;
    auto sample = [set](std::string_view Field) {
        for (const TResetValue& v : set->Values)
            if (Field == v.Field) return v.Sample;
        return 0.0;
    };
    SetInputs(sample("edtLoan"), sample("edtInterest"), int(sample("edtTerm")), sample("edtPayment"));
}

void TLoanSpreadPage::SetFieldRole(TEntPictureField* Field, bool Result, const char* Hint) {
    Field->SetColor(Result ? clYellow : clWindow);
    Field->GetFont()->SetColor(Result ? clBlack : clWindowText);
    TEntEntryFieldOptions options = Field->GetOptions();
    if (Result)
        options += efoReadOnly;
    else
        options -= efoReadOnly;
    Field->SetOptions(options);
    Field->SetTabStop(!Result);
    Field->Hint = Hint;
}

void TLoanSpreadPage::rgCalculateClick(TObject* Sender) {
    const int mode = rgCalculate->GetItemIndex();
    if (mode >= 0 && mode < 4) {
        LoanSpreadMode = mode;
        const TModeLayout& m = kModes[mode];
        TCustomRadioGroup* groups[3] = {rgLoan, rgInterest, rgPayments};
        groups[m.Hidden]->SetVisible(false);
        TEntPictureField* fields[4] = {edtLoan, edtInterest, edtTerm, edtPayment};
        for (int i = 0; i < 4; ++i)
            SetFieldRole(fields[i], i == m.Result, i == m.Result ? m.ResultHint : kInputHints[i]);
        groups[m.Left]->SetBounds(251, 13, groups[m.Left]->GetWidth(), groups[m.Left]->GetHeight());
        groups[m.Right]->SetBounds(419, 13, groups[m.Right]->GetWidth(), groups[m.Right]->GetHeight());
        groups[m.Left]->SetVisible(true);
        groups[m.Right]->SetVisible(true);
        lblLeft->SetCaption(m.LeftCaption);
        lblRight->SetCaption(m.RightCaption);
        if (IsActive()) Main.FocusNamed(fields[m.Focus]->GetName());
    }
    Main.CleanGrid(Sender);
    Main.ChooseLoanSpreadCalculator(Sender);
}

void TLoanSpreadPage::MarkCentre() {
    grdLS->SetSelection(TGridRect{LoanSpreadCentreCol, LoanSpreadCentreRow, LoanSpreadCentreCol, LoanSpreadCentreRow});
    grdLS->SetColorCol(LoanSpreadCentreCol, clYellow);
    grdLS->SetColorRow(LoanSpreadCentreRow, clYellow);
}

void TLoanSpreadPage::CleanGrid(TObject*) {
    grdLS->SetRowCount(LoanSpreadRows);
    grdLS->ClearCells();
    MarkCentre();
    for (int c = 0; c < LoanSpreadCols; ++c)
        for (int r = 0; r < LoanSpreadRows; ++r)
            if (c == 0 || r == 0) grdLS->SetCells(c, r, LoanSpreadPlaceholder(LoanSpreadMode, c, r));
}

void TLoanSpreadPage::ChooseLoanSpreadCalculator(TObject* Sender) {
    TLoanSpreadInputs in;
    in.Mode = LoanSpreadMode;
    if (in.Mode < 0 || in.Mode > 3) return;
    // Every build takes the mode the group shows.
    in.Mode = LoanSpreadMode = rgCalculate->GetItemIndex();
    in.Loan = edtLoan->GetAsFloat();
    in.RatePercent = edtInterest->GetAsFloat();
    in.Term = edtTerm->GetAsInteger();
    in.Payment = edtPayment->GetAsFloat();
    in.LoanStep = rgLoan->GetItemIndex();
    in.RateStep = rgInterest->GetItemIndex();
    in.PaymentStep = rgPayments->GetItemIndex();

    TLoanSpreadTable t;
    // What was built before a failing cell is shown, as it would have been written.
    auto apply = [&] {
        for (int c = 0; c < LoanSpreadCols; ++c)
            for (int r = 0; r < LoanSpreadRows; ++r)
                if (const auto& text = t.Cells[size_t(c)][size_t(r)]) grdLS->SetCells(c, r, *text);
        if (t.LoanIncrementText) LoanIncrementText = *t.LoanIncrementText;
        if (t.RateIncrementText) RateIncrementText = *t.RateIncrementText;
        if (t.PaymentIncrementText) PaymentIncrementText = *t.PaymentIncrementText;
        TEntPictureField* result[4] = {edtPayment, edtLoan, edtInterest, nullptr};
        if (t.Solved && result[in.Mode]) result[in.Mode]->SetAsFloat(*t.Solved);
        if (t.SolvedTerm) edtTerm->SetAsInteger(*t.SolvedTerm);
        if (t.TotalPaid) edtTotalPaid->SetAsFloat(*t.TotalPaid);
        if (t.InterestPaid) edtInterestPaid->SetAsFloat(*t.InterestPaid);
    };
    ComputeAndShow([&] { BuildLoanSpreadTable(in, t); }, apply);
    if (!t.Complete) return;
    MarkCentre();
    Main.AllowPrinting(Sender);
}

void TLoanSpreadPage::grdLSClick(TObject*) {
    grdLS->SetSelectedFontColor(clRed);
    MarkCentre();
}

void TLoanSpreadPage::grdLSMouseMove(TObject*, TShiftState, int, int) {
    const int index = rgCalculate->GetItemIndex();
    if (index >= 0 && index < 4) grdLS->Hint = kGridHints[index];
}
