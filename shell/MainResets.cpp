// Resetting the calculators to zeros or to their sample values. The page
// units (TCalcPage) take part through ResetValues and ZeroValues; the loan
// spread and amortization pages are reset here, in the order the window's
// routines need, through their units' steps.

#include "Main.h"

#include "AmortizationPage.h"
#include "CalcPage.h"
#include "ExtCtrls.h"
#include "LoanSpreadPage.h"
#include "MortLib.h"
#include "SysUtils.h"
#include "entpf.h"
#include "iniSetup.h"

namespace {

// The amortization inputs into the page's fields, with today's month and year.
void ShowAmortizationInputs(TfrmMain& Main) {
    const TAmortizationPage& amort = *Main.Page<TAmortizationPage>();
    const std::pair<const char*, double> numbers[] = {
        {"edtMortAmt", amort.AmortPrincipal},
        {"edtIRate", amort.AmortRate * 100},
        {"edtNumPmts", double(amort.AmortNumPayments)},
        {"edtAmortPayment", Main.Defaults.Payment},
        {"edtYear", double(Main.ThisYear)},
    };
    for (const auto& [name, value] : numbers)
        if (auto* c = Main.Find<TComponent>(name)) SetComponentNumber(c, value);
    // The month list names its months in English whatever the regional
    // settings call them, so today's month is picked by its own item.
    if (auto* month = Main.Find<TCustomComboBox>("cbMonth")) {
        Word year = 0, monthOfYear = 1, day = 0;
        DecodeDate(Main.Today, year, monthOfYear, day);
        month->SetText(MonthListName(monthOfYear));
    }
}

// Resets the calculator on the active page to Defaults.ValueSet.
void ResetActivePage(TfrmMain& Main, TObject* Sender) {
    for (const auto& p : Main.CalcPages())
        if (p->IsActive()) p->ResetValues(Sender);
    const std::string page = Main.ActivePageName();
    if (page == "pgLoanSpreadCalculator") Main.ResetLoanSpreadValues(Sender);
    if (page == "pgAmortizationSchedules") Main.ResetAmortizationSchedule(Sender);
}

}  // namespace

void TfrmMain::ResetLoanSpreadValues(TObject* Sender) {
    TLoanSpreadPage& spread = *Page<TLoanSpreadPage>();
    const bool samples = Defaults.Samples();
    if (samples)
        spread.RestoreSampleInputs();
    else
        spread.SetInputs(0, 0, 0, 0);
    if (auto* mode = Find<TCustomRadioGroup>("rgCalculate")) mode->SetItemIndex(0);
    if (!samples) CleanGrid(Sender);
    ChooseLoanSpreadCalculator(Sender);
    if (ActivePageName() == "pgLoanSpreadCalculator") FocusNamed("edtLoan");
}

void TfrmMain::ResetAmortizationSchedule(TObject* Sender) {
    TAmortizationPage& amort = *Page<TAmortizationPage>();
    const bool samples = Defaults.Samples();
    amort.ClearSelection();
    // The samples empty the grids first, the zeros last.
    if (samples) amort.ClearGrids();
    amort.CloseExtraPanel(Sender);
    amort.AmortPrincipal = samples ? 100000 : 0;
    amort.AmortRate = samples ? 0.0875 : 0;
    amort.AmortNumPayments = samples ? 360 : 0;
    Defaults.Payment = samples ? 786.7 : 0;
    ShowAmortizationInputs(*this);
    if (!samples) amort.ClearGrids();
    CreatePrepaymentList(Sender);
    if (ActivePageName() == "pgAmortizationSchedules") {
        CalcAmortization(Sender);
        FocusNamed("edtMortAmt");
    }
}

void TfrmMain::ResetAllCalculatorsToZero(TObject* Sender) {
    TAmortizationPage& amort = *Page<TAmortizationPage>();
    Defaults = TDefaultValues{};
    amort.AmortStartMonth = 1;
    amort.AmortStartYear = ThisYear;

    for (auto& page : FPages) page->ZeroValues(Sender);
    Page<TLoanSpreadPage>()->SetInputs(0, 0, 0, 0);
    if (auto* mode = Find<TCustomRadioGroup>("rgCalculate")) mode->SetItemIndex(0);

    Mortgage = std::make_unique<TMortgage>();
    ResetAmortizationSchedule(Sender);
    if (ActivePageName() == "pgLoanSpreadCalculator") ChooseLoanSpreadCalculator(Sender);
}

void TfrmMain::ResetAllCalculatorsToSamples(TObject* Sender) {
    const int saved = Defaults.ValueSet;
    Defaults.ValueSet = 1;
    for (auto& page : FPages) page->ResetValues(Sender);
    ResetLoanSpreadValues(Sender);
    Mortgage = std::make_unique<TMortgage>();
    ResetAmortizationSchedule(Sender);
    Defaults.ValueSet = saved;
}

void TfrmMain::mnuResetThisZeroClick(TObject* Sender) {
    Defaults.ValueSet = 0;
    ResetActivePage(*this, Sender);
}

void TfrmMain::mnuResetSamplesClick(TObject* Sender) {
    Defaults.ValueSet = 1;
    ResetActivePage(*this, Sender);
}

void TfrmMain::mnuResetAllZeroClick(TObject* Sender) { ResetAllCalculatorsToZero(Sender); }
void TfrmMain::mnuResetAllSamplesClick(TObject* Sender) { ResetAllCalculatorsToSamples(Sender); }
