// Resetting the calculators to zeros or to their sample values. The pages
// built so far are the quick calculators and the loan comparisons; the other
// calculators join ResetAllCalculatorsToZero/ToSamples and the per-page
// dispatch with their pages.

#include "Main.h"

#include "MortLib.h"
#include "NumCtrl.h"
#include "SysUtils.h"
#include "entnbk.h"
#include "entpf.h"

namespace {

struct TLoanComparisonSample {
    double Loan, Rate;
    int Term;
    double Points, Payment, TotalPaid, InterestPaid, PointsCost;
};

const TLoanComparisonSample kLCSamples[6] = {
    {100000, 0.0875, 360, 0, 786.7, 283212.15, 183212.15, 0},
    {100000, 0.0875, 240, 1, 883.71, 213090.57, 112090.57, 1000},
    {100000, 0.0925, 360, 2, 822.68, 298163.15, 196163.15, 2000},
    {100000, 0.0925, 240, 2, 915.87, 221808.04, 119808.04, 2000},
    {100000, 0.0875, 360, 1, 786.7, 284212.15, 183212.15, 1000},
    {95000, 0.0875, 240, 2, 839.53, 203386.04, 106486.04, 1900},
};

} // namespace

void TfrmMain::ResetQuickCalcValues(TObject*) {
    const bool samples = DefaultValueSet != 0;
    edtLA->SetAsFloat(samples ? 100000 : 0);
    edtIR->SetAsFloat(samples ? 8.75 : 0);
    edtPMT->SetAsFloat(samples ? 786.7 : 0);
    edtN->SetAsInteger(samples ? 360 : 0);
    edtMPISalesPrice->SetAsFloat(samples ? 125000 : 0);
    edtMPIDownPaymentSum->SetAsFloat(samples ? 25000 : 0);
    edtMPIDownPaymentPercent->SetAsFloat(samples ? 20 : 0);
    edtMPILoanAmount->SetAsFloat(samples ? 100000 : 0);
    edtMPIInterestRate->SetAsFloat(samples ? 8.75 : 0);
    edtMPITermInMonths->SetAsInteger(samples ? 360 : 0);
    edtMPIPayment->SetAsFloat(samples ? 786.7 : 0);
    for (TEntPictureField* f : {edtLA, edtIR, edtPMT, edtN}) {
        f->SetColor(clWindow);
        f->GetFont()->SetColor(clWindowText);
        f->SetEnabled(true);
    }
    btnCalcQuickCalc->SetEnabled(false);
    if (ActivePageName() == "pgQuickCalculators" && nbkQuickCalc->CanFocus()) nbkQuickCalc->SetFocus();
}

void TfrmMain::ResetLoanComparisonValues(TObject*) {
    const bool samples = DefaultValueSet != 0;
    for (size_t i = 0; i < 6; ++i) {
        const TLoanComparisonSample s = samples ? kLCSamples[i] : TLoanComparisonSample{};
        edtLCLoan[i]->SetAsFloat(s.Loan);
        edtLCInterest[i]->SetValue(s.Rate);
        edtLCTerm[i]->SetAsInteger(s.Term);
        edtLCPoints[i]->SetValue(s.Points);
        edtLCPayment[i]->SetAsFloat(s.Payment);
        edtLCTotalPaid[i]->SetAsFloat(s.TotalPaid);
        edtLCLoanCost[i]->SetAsFloat(s.InterestPaid);
        edtLCPointsCost[i]->SetAsFloat(s.PointsCost);
    }
    if (ActivePageName() == "pgLoanComparisons") FocusNamed("edtLCLoan1");
}

void TfrmMain::ResetLoanSpreadValues(TObject* Sender) {
    const bool samples = DefaultValueSet != 0;
    if (samples) RestoreLoanSpreadSamples();
    else SetLoanSpreadFields(0, 0, 0, 0);
    if (auto* mode = Find<TCustomRadioGroup>("rgCalculate")) mode->SetItemIndex(0);
    if (!samples) CleanGrid(Sender);
    ChooseLoanSpreadCalculator(Sender);
    if (ActivePageName() == "pgLoanSpreadCalculator") FocusNamed("edtLoan");
}

void TfrmMain::ResetAmortizationSchedule(TObject* Sender) {
    // The schedule's own fields and grids come with the amortization page; its
    // state in the window is kept here already.
    if (auto* panel = Find<TControl>("PnlAddExtra"); panel && panel->GetVisible()) {
        panel->SetVisible(false);
        btnCancelClick(Sender);
    }
    const bool samples = DefaultValueSet != 0;
    AmortPrincipal = samples ? 100000 : 0;
    AmortRate = samples ? 0.0875 : 0;
    AmortNumPayments = samples ? 360 : 0;
    DefaultPayment = samples ? 786.7 : 0;
    CreatePrepaymentList(Sender);
    if (ActivePageName() == "pgAmortizationSchedules") {
        CalcAmortization(Sender);
        FocusNamed("edtMortAmt");
    }
}

void TfrmMain::ResetAllCalculatorsToZero(TObject* Sender) {
    DefaultValueSet = 0;
    DefaultLoan = 0;
    DefaultInterest = 0;
    DefaultTerm = 0;
    DefaultPayment = 0;
    AmortStartMonth = 1;
    AmortStartYear = ThisYear;
    DefaultFederal = 0;
    DefaultState = 0;
    DefaultDownpayment = 0;
    DefaultCalc = 0;

    // Zeros without touching the quick calculators' colours or enabled states.
    edtLA->SetAsFloat(0);
    edtIR->SetAsFloat(0);
    edtPMT->SetAsFloat(0);
    edtN->SetAsInteger(0);
    for (TEntPictureField* f : {edtMPISalesPrice, edtMPIDownPaymentSum, edtMPIDownPaymentPercent, edtMPILoanAmount,
                                edtMPIInterestRate, edtMPIPayment})
        f->SetAsFloat(0);
    edtMPITermInMonths->SetAsInteger(0);
    for (size_t i = 0; i < 6; ++i) {
        for (TEntPictureField* f : {edtLCLoan[i], edtLCPayment[i], edtLCTotalPaid[i], edtLCLoanCost[i],
                                    edtLCPointsCost[i]})
            f->SetAsFloat(0);
        edtLCTerm[i]->SetAsInteger(0);
        edtLCInterest[i]->SetValue(0);
        edtLCPoints[i]->SetValue(0);
    }
    SetLoanSpreadFields(0, 0, 0, 0);
    if (auto* mode = Find<TCustomRadioGroup>("rgCalculate")) mode->SetItemIndex(0);

    delete Mortgage;
    Mortgage = new TMortgage();
    ResetAmortizationSchedule(Sender);
    if (ActivePageName() == "pgLoanSpreadCalculator") ChooseLoanSpreadCalculator(Sender);
}

void TfrmMain::ResetAllCalculatorsToSamples(TObject* Sender) {
    const int saved = DefaultValueSet;
    DefaultValueSet = 1;
    ResetQuickCalcValues(Sender);
    ResetLoanComparisonValues(Sender);
    ResetLoanSpreadValues(Sender);
    delete Mortgage;
    Mortgage = new TMortgage();
    ResetAmortizationSchedule(Sender);
    DefaultValueSet = saved;
}

void TfrmMain::ResetActivePage(TObject* Sender) {
    const std::string page = ActivePageName();
    if (page == "pgQuickCalculators") ResetQuickCalcValues(Sender);
    if (page == "pgLoanComparisons") ResetLoanComparisonValues(Sender);
    if (page == "pgLoanSpreadCalculator") ResetLoanSpreadValues(Sender);
    if (page == "pgAmortizationSchedules") ResetAmortizationSchedule(Sender);
}

void TfrmMain::mnuResetThisZeroClick(TObject* Sender) {
    DefaultValueSet = 0;
    ResetActivePage(Sender);
}

void TfrmMain::mnuResetSamplesClick(TObject* Sender) {
    DefaultValueSet = 1;
    ResetActivePage(Sender);
}

void TfrmMain::mnuResetAllZeroClick(TObject* Sender) { ResetAllCalculatorsToZero(Sender); }
void TfrmMain::mnuResetAllSamplesClick(TObject* Sender) { ResetAllCalculatorsToSamples(Sender); }
