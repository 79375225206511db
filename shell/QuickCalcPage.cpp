#include "QuickCalcPage.h"

#include "Main.h"

#include "Dialogs.h"
#include "QuickCalc.h"
#include "entnbk.h"
#include "entpf.h"

const char* const SQuickCalcErrorMessage =
    "This calculation cannot be completed\n\rusing the values you entered.\n\r\n\rPlease try again.";

namespace {

enum TQuickFlag { qfLoanAmount, qfInterestRate, qfPayment, qfNumPayments };

void PutZero(TEntPictureField* Field) {
    if (Field->GetDataType() == pftInteger)
        Field->SetAsInteger(0);
    else
        Field->SetAsFloat(0);
}

void MakeInput(TEntPictureField* Field) {
    Field->GetFont()->SetColor(clWindowText);
    Field->SetEnabled(true);
    PutZero(Field);
    Field->SetColor(clWindow);
}

}  // namespace

void TQuickCalcPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "btnCalcLAClick", this, &TQuickCalcPage::btnCalcLAClick);
    BindNotify(h, "btnCalcIRClick", this, &TQuickCalcPage::btnCalcIRClick);
    BindNotify(h, "btnCalcPMTClick", this, &TQuickCalcPage::btnCalcPMTClick);
    BindNotify(h, "btnCalcNClick", this, &TQuickCalcPage::btnCalcNClick);
    BindNotify(h, "btnCalcQuickCalcClick", this, &TQuickCalcPage::btnCalcQuickCalcClick);
    BindNotify(h, "CalcMPI", this, &TQuickCalcPage::CalcMPI);
    BindHandler<TTabClickEvent>(h, "nbkQuickCalcTabClick", this, &TQuickCalcPage::nbkQuickCalcTabClick);
}

void TQuickCalcPage::FindComponents() {
    nbkQuickCalc = Need<TEntNotebook>("nbkQuickCalc");
    edtMPISalesPrice = Need<TEntPictureField>("edtMPISalesPrice");
    edtMPIDownPaymentSum = Need<TEntPictureField>("edtMPIDownPaymentSum");
    edtMPIDownPaymentPercent = Need<TEntPictureField>("edtMPIDownPaymentPercent");
    edtMPILoanAmount = Need<TEntPictureField>("edtMPILoanAmount");
    edtMPIInterestRate = Need<TEntPictureField>("edtMPIInterestRate");
    edtMPITermInMonths = Need<TEntPictureField>("edtMPITermInMonths");
    edtMPIPayment = Need<TEntPictureField>("edtMPIPayment");
    edtLA = Need<TEntPictureField>("edtLA");
    edtIR = Need<TEntPictureField>("edtIR");
    edtPMT = Need<TEntPictureField>("edtPMT");
    edtN = Need<TEntPictureField>("edtN");
    btnCalcLA = Need<TWinControl>("btnCalcLA");
    btnCalcIR = Need<TWinControl>("btnCalcIR");
    btnCalcPMT = Need<TWinControl>("btnCalcPMT");
    btnCalcN = Need<TWinControl>("btnCalcN");
    btnCalcQuickCalc = Need<TWinControl>("btnCalcQuickCalc");
}

void TQuickCalcPage::ResetValues(TObject*) {
    WriteValueSet(ValueSet(), Main.Defaults.Samples() ? TValueSet::Samples : TValueSet::Zeros);
    for (TEntPictureField* f : {edtLA, edtIR, edtPMT, edtN}) {
        f->SetColor(clWindow);
        f->GetFont()->SetColor(clWindowText);
        f->SetEnabled(true);
    }
    btnCalcQuickCalc->SetEnabled(false);
    if (IsActive() && nbkQuickCalc->CanFocus()) nbkQuickCalc->SetFocus();
}

void TQuickCalcPage::ZeroValues(TObject*) { WriteValueSet(ValueSet(), TValueSet::Zeros); }

void TQuickCalcPage::ChooseQuickSolve(int Flag, TEntPictureField* Field, TWinControl* FocusAfter) {
    for (int i = 0; i < 4; ++i) QuickSolveFlags[size_t(i)] = i == Flag ? 1 : 0;
    btnCalcQuickCalc->SetEnabled(true);
    for (TEntPictureField* f : {edtLA, edtIR, edtPMT, edtN}) {
        if (f == Field) {
            f->GetFont()->SetColor(clGrayText);
            f->SetEnabled(false);
            PutZero(f);
            f->SetColor(clWindow);
        } else {
            MakeInput(f);
        }
    }
    if (FocusAfter->CanFocus()) FocusAfter->SetFocus();
}

void TQuickCalcPage::btnCalcLAClick(TObject*) { ChooseQuickSolve(qfLoanAmount, edtLA, edtIR); }
void TQuickCalcPage::btnCalcIRClick(TObject*) { ChooseQuickSolve(qfInterestRate, edtIR, edtLA); }
void TQuickCalcPage::btnCalcPMTClick(TObject*) { ChooseQuickSolve(qfPayment, edtPMT, edtLA); }
void TQuickCalcPage::btnCalcNClick(TObject*) { ChooseQuickSolve(qfNumPayments, edtN, edtLA); }

void TQuickCalcPage::ClearQuickSolveFields() {
    for (TEntPictureField* f : {edtLA, edtIR, edtPMT, edtN}) MakeInput(f);
}

void TQuickCalcPage::btnCalcQuickCalcClick(TObject*) {
    TQuickSolveFor what = TQuickSolveFor::None;
    if (QuickSolveFlags[qfLoanAmount] == 1)
        what = TQuickSolveFor::LoanAmount;
    else if (QuickSolveFlags[qfInterestRate] == 1)
        what = TQuickSolveFor::InterestRate;
    else if (QuickSolveFlags[qfPayment] == 1)
        what = TQuickSolveFor::Payment;
    else if (QuickSolveFlags[qfNumPayments] == 1)
        what = TQuickSolveFor::NumPayments;

    if (what != TQuickSolveFor::None) {
        try {
            TQuickSolveInputs in;
            TEntPictureField* result = nullptr;
            switch (what) {
            case TQuickSolveFor::LoanAmount:
                in.AnnualRatePercent = edtIR->GetAsFloat();
                in.NumPayments = edtN->GetAsInteger();
                in.Payment = edtPMT->GetAsFloat();
                result = edtLA;
                break;
            case TQuickSolveFor::InterestRate:
                in.LoanAmount = edtLA->GetAsFloat();
                in.NumPayments = edtN->GetAsInteger();
                in.Payment = edtPMT->GetAsFloat();
                result = edtIR;
                break;
            case TQuickSolveFor::Payment:
                in.LoanAmount = edtLA->GetAsFloat();
                in.AnnualRatePercent = edtIR->GetAsFloat();
                in.NumPayments = RoundToInt32(edtN->GetAsFloat());
                result = edtPMT;
                break;
            default:
                in.LoanAmount = edtLA->GetAsFloat();
                in.Payment = edtPMT->GetAsFloat();
                in.AnnualRatePercent = edtIR->GetAsFloat();
                result = edtN;
                break;
            }
            TQuickSolveResult r = SolveQuickCalc(what, in);
            if (what == TQuickSolveFor::NumPayments) {
                // The field holds 16-bit integers; a count beyond them cannot be shown.
                if (r.NumPayments < -32768 || r.NumPayments > 32767) throw ERangeError();
                result->SetAsInteger(r.NumPayments);
            } else {
                result->SetAsFloat(r.Value);
            }
            result->SetEnabled(true);
            result->GetFont()->SetColor(clBlack);
            result->SetColor(clYellow);
        } catch (...) {
            ClearQuickSolveFields();
            btnCalcQuickCalc->SetEnabled(false);
            MessageDlg(SQuickCalcErrorMessage, mtInformation, TMsgDlgButtons{mbOK}, 0);
        }
    }
    if (nbkQuickCalc->CanFocus()) nbkQuickCalc->SetFocus();
}

void TQuickCalcPage::CalcMPI(TObject* Sender) {
    TMPIInputs in;
    in.SalesPrice = edtMPISalesPrice->GetAsFloat();
    if (in.SalesPrice == 0) {
        edtMPIDownPaymentPercent->SetAsFloat(0);
        edtMPIDownPaymentSum->SetAsFloat(0);
        edtMPILoanAmount->SetAsFloat(0);
        edtMPIPayment->SetAsFloat(0);
        return;
    }
    if (Sender == edtMPIDownPaymentSum)
        in.Left = TMPIFieldLeft::DownPaymentSum;
    else if (Sender == edtMPIDownPaymentPercent)
        in.Left = TMPIFieldLeft::DownPaymentPercent;
    in.DownPaymentSum = edtMPIDownPaymentSum->GetAsFloat();
    in.DownPaymentPercent = edtMPIDownPaymentPercent->GetAsFloat();
    in.AnnualRatePercent = edtMPIInterestRate->GetAsFloat();
    in.TermInMonths = edtMPITermInMonths->GetAsInteger();
    TMPIResults r = CalcMonthlyPaymentPI(in);
    if (in.Left == TMPIFieldLeft::DownPaymentSum) edtMPIDownPaymentPercent->SetAsFloat(r.DownPaymentPercent);
    if (in.Left == TMPIFieldLeft::DownPaymentPercent) edtMPIDownPaymentSum->SetAsFloat(r.DownPaymentSum);
    edtMPILoanAmount->SetAsFloat(r.LoanAmount);
    edtMPIPayment->SetAsFloat(r.Payment);
}

void TQuickCalcPage::nbkQuickCalcTabClick(TObject*, int) {
    TWinControl* target = nullptr;
    if (nbkQuickCalc->GetPageIndex() == 0)
        target = edtMPISalesPrice;
    else if (nbkQuickCalc->GetPageIndex() == 1)
        target = btnCalcLA;
    if (target && target->CanFocus()) target->SetFocus();
}
