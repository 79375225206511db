// The quick calculators page: the monthly payment tab and the solver for the
// missing loan variable. The arithmetic is in QuickCalc.h.

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
    if (Field->GetDataType() == pftInteger) Field->SetAsInteger(0);
    else Field->SetAsFloat(0);
}

void MakeInput(TEntPictureField* Field) {
    Field->GetFont()->SetColor(clWindowText);
    Field->SetEnabled(true);
    PutZero(Field);
    Field->SetColor(clWindow);
}

} // namespace

void TfrmMain::ChooseQuickSolve(int Flag, TEntPictureField* Field, TWinControl* FocusAfter) {
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

void TfrmMain::btnCalcLAClick(TObject*) { ChooseQuickSolve(qfLoanAmount, edtLA, edtIR); }
void TfrmMain::btnCalcIRClick(TObject*) { ChooseQuickSolve(qfInterestRate, edtIR, edtLA); }
void TfrmMain::btnCalcPMTClick(TObject*) { ChooseQuickSolve(qfPayment, edtPMT, edtLA); }
void TfrmMain::btnCalcNClick(TObject*) { ChooseQuickSolve(qfNumPayments, edtN, edtLA); }

void TfrmMain::ClearQuickSolveFields() {
    for (TEntPictureField* f : {edtLA, edtIR, edtPMT, edtN}) MakeInput(f);
}

void TfrmMain::btnCalcQuickCalcClick(TObject*) {
    TQuickSolveFor what = TQuickSolveFor::None;
    if (QuickSolveFlags[qfLoanAmount] == 1) what = TQuickSolveFor::LoanAmount;
    else if (QuickSolveFlags[qfInterestRate] == 1) what = TQuickSolveFor::InterestRate;
    else if (QuickSolveFlags[qfPayment] == 1) what = TQuickSolveFor::Payment;
    else if (QuickSolveFlags[qfNumPayments] == 1) what = TQuickSolveFor::NumPayments;

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

void TfrmMain::CalcMPI(TObject* Sender) {
    TMPIInputs in;
    in.SalesPrice = edtMPISalesPrice->GetAsFloat();
    if (in.SalesPrice == 0) {
        edtMPIDownPaymentPercent->SetAsFloat(0);
        edtMPIDownPaymentSum->SetAsFloat(0);
        edtMPILoanAmount->SetAsFloat(0);
        edtMPIPayment->SetAsFloat(0);
        return;
    }
    if (Sender == edtMPIDownPaymentSum) in.Left = TMPIFieldLeft::DownPaymentSum;
    else if (Sender == edtMPIDownPaymentPercent) in.Left = TMPIFieldLeft::DownPaymentPercent;
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

void TfrmMain::nbkQuickCalcTabClick(TObject*, int) {
    TWinControl* target = nullptr;
    if (nbkQuickCalc->GetPageIndex() == 0) target = edtMPISalesPrice;
    else if (nbkQuickCalc->GetPageIndex() == 1) target = btnCalcLA;
    if (target && target->CanFocus()) target->SetFocus();
}
