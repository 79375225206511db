// Resetting the calculators to zeros or to their sample values. The page
// units (TCalcPage) take part through ResetValues and ZeroValues; the loan
// spread and amortization pages are reset here, in the order the window's
// routines need, through their units' steps.

#include "Main.h"

#include "AmortizationPage.h"
#include "CalcPage.h"
#include "MortLib.h"
#include "SysUtils.h"
#include "entpf.h"
#include "iniSetup.h"

void TfrmMain::ResetLoanSpreadValues(TObject* Sender) {
    const bool samples = DefaultValueSet != 0;
    if (samples)
        RestoreLoanSpreadSamples();
    else
        SetLoanSpreadFields(0, 0, 0, 0);
    if (auto* mode = Find<TCustomRadioGroup>("rgCalculate")) mode->SetItemIndex(0);
    if (!samples) CleanGrid(Sender);
    ChooseLoanSpreadCalculator(Sender);
    if (ActivePageName() == "pgLoanSpreadCalculator") FocusNamed("edtLoan");
}

void TfrmMain::ResetAmortizationSchedule(TObject* Sender) {
    const bool samples = DefaultValueSet != 0;
    Amortization->ClearSelection();
    // The samples empty the grids first, the zeros last.
    if (samples) Amortization->ClearGrids();
    Amortization->CloseExtraPanel(Sender);
    Amortization->AmortPrincipal = samples ? 100000 : 0;
    Amortization->AmortRate = samples ? 0.0875 : 0;
    Amortization->AmortNumPayments = samples ? 360 : 0;
    DefaultPayment = samples ? 786.7 : 0;
    ShowAmortizationInputs();
    if (!samples) Amortization->ClearGrids();
    CreatePrepaymentList(Sender);
    if (ActivePageName() == "pgAmortizationSchedules") {
        CalcAmortization(Sender);
        FocusNamed("edtMortAmt");
    }
}

void TfrmMain::ShowAmortizationInputs() {
    const std::pair<const char*, double> numbers[] = {
        {"edtMortAmt", Amortization->AmortPrincipal},
        {"edtIRate", Amortization->AmortRate * 100},
        {"edtNumPmts", double(Amortization->AmortNumPayments)},
        {"edtAmortPayment", DefaultPayment},
        {"edtYear", double(ThisYear)},
    };
    for (const auto& [name, value] : numbers)
        if (auto* c = Find<TComponent>(name)) SetComponentNumber(c, value);
    // The month list names its months in English whatever the regional
    // settings call them, so today's month is picked by its own item.
    if (auto* month = Find<TCustomComboBox>("cbMonth")) {
        Word year = 0, monthOfYear = 1, day = 0;
        DecodeDate(Today, year, monthOfYear, day);
        month->SetText(MonthListName(monthOfYear));
    }
}

void TfrmMain::ResetAllCalculatorsToZero(TObject* Sender) {
    DefaultValueSet = 0;
    DefaultLoan = 0;
    DefaultInterest = 0;
    DefaultTerm = 0;
    DefaultPayment = 0;
    Amortization->AmortStartMonth = 1;
    Amortization->AmortStartYear = ThisYear;
    DefaultFederal = 0;
    DefaultState = 0;
    DefaultDownpayment = 0;
    DefaultCalc = 0;

    for (auto& page : FPages) page->ZeroValues(Sender);
    SetLoanSpreadFields(0, 0, 0, 0);
    if (auto* mode = Find<TCustomRadioGroup>("rgCalculate")) mode->SetItemIndex(0);

    Mortgage = std::make_unique<TMortgage>();
    ResetAmortizationSchedule(Sender);
    if (ActivePageName() == "pgLoanSpreadCalculator") ChooseLoanSpreadCalculator(Sender);
}

void TfrmMain::ResetAllCalculatorsToSamples(TObject* Sender) {
    const int saved = DefaultValueSet;
    DefaultValueSet = 1;
    for (auto& page : FPages) page->ResetValues(Sender);
    ResetLoanSpreadValues(Sender);
    Mortgage = std::make_unique<TMortgage>();
    ResetAmortizationSchedule(Sender);
    DefaultValueSet = saved;
}

void TfrmMain::ResetActivePage(TObject* Sender) {
    for (auto& p : FPages)
        if (p->IsActive()) p->ResetValues(Sender);
    const std::string page = ActivePageName();
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
