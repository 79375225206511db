// Navigation between the main window's pages and the menu, print and reset
// states that follow the page shown.

#include "Main.h"

#include <cstring>

#include "ExtCtrls.h"
#include "Menus.h"
#include "SysUtils.h"
#include "entnbk.h"
#include "entrlbl.h"
#include "grBtns.h"

namespace {

// One target of the navigation handler: its page, the four components that
// lead to it (the menu-page button, then its items in the Calculators menu,
// the window's pop-up menu and the Calculator Menu drop-down), the title
// strip's text and where along the strip it starts.
struct TNavTarget {
    const char* Page;
    const char* Senders[4];
    const char* Title;
    int OriginY;
};

// In the order the handler tests them; the first whose senders hold the sender is taken.
enum TNavIndex {
    navLoanSpread,
    navMenu,
    navQuick,
    navRefinancing,
    navAmortization,
    navMortgageQualifier,
    navWelcome,
    navDepreciation,
    navLoanComparisons,
    navFutureValues,
    navRatesOfReturn,
    navCapRate,
    navMaximumLoan,
    navIncomeMultipliers,
    navUnderwriting,
    navDiscountedCashFlows,
    navCount
};

const TNavTarget kTargets[navCount] = {
    {"pgLoanSpreadCalculator",
     {"btnLSC", "mnuCalculatorsLSC", "mnuPopLSC", "mnuPopCalcsLSC"},
     "Loan Spread Calculator",
     227},
    {"pgMenu", {"btnLeaveWelcome", "mnuCalculatorsMain", "mnuPopMain", "mnuPopCalcsMain"}, "Main Menu", 111},
    {"pgQuickCalculators", {"btnQC", "MnuCalculatorsQC", "mnuPopQC", "mnuPopCalcsQC"}, "Quick Calculators", 173},
    {"pgRefinancingCalculator",
     {"btnRC", "MnuCalculatorsRC", "mnuPopRC", "mnuPopCalcsRC"},
     "Refinancing Calculator",
     220},
    {"pgAmortizationSchedules",
     {"btnAS", "MnuCalculatorsAmort", "mnuPopAmort", "mnuPopCalcsAmort"},
     "Amortization Schedules",
     229},
    {"pgMortgageQualifier", {"btnMQ", "MnuCalculatorsMQ", "mnuPopMQ", "mnuPopCalcsMQ"}, "Mortgage Qualifier", 179},
    {"pgWelcome", {"btnWelcome", "mnuCalculatorsWelcome", "mnuPopWelcome", "mnuPopCalcsWelcome"}, "Welcome", 95},
    {"pgDepreciation", {"btnDEP", "MnuCalculatorsDEP", "mnuPopDEP", "mnuPopCalcsDEP"}, "Depreciation Calculator", 226},
    {"pgLoanComparisons", {"btnLC", "MnuCalculatorsLC", "mnuPopLC", "mnuPopCalcsLC"}, "Loan Comparisons", 185},
    {"pgFutureValues", {"btnFV", "mnuCalculatorsFV", "mnuPopFV", "mnuPopCalcsFV"}, "Future Values", 137},
    {"pgRatesOfReturn", {"btnROR", "mnuCalculatorsROR", "mnuPopROR", "mnuPopCalcsROR"}, "Rates of Return", 153},
    {"pgCapitalizationRate", {"btnCR", "mnuCalculatorsCR", "mnuPopCR", "mnuPopCalcsCR"}, "Capitalization Rate", 180},
    {"pgMaximumLoan", {"btnML", "mnuCalculatorsML", "mnuPopML", "mnuPopCalcsML"}, "Maximum Loan", 151},
    {"pgIncomeMultipliers", {"btnIM", "mnuCalculatorsIM", "mnuPopIM", "mnuPopCalcsIM"}, "Income Multipliers", 177},
    {"pgUnderwriting",
     {"btnUnderwriting", "mnuCalculatorsUnderwriting", "mnuPopUnderwriting", "mnuPopCalcsUnderwriting"},
     "Underwriting",
     126},
    {"pgDiscountedCashFlows",
     {"btnDCF", "mnuCalculatorsDCF", "mnuPopDCF", "mnuPopCalcsDCF"},
     "Discounted Cash Flows",
     228},
};

// The first field of each calculator page that simply shows, enables printing and takes the focus.
const char* FocusOf(int target) {
    switch (target) {
    case navDepreciation: return "edtOriginalCost";
    case navLoanComparisons: return "edtLCLoan1";
    case navFutureValues: return "edtFVp1";
    case navRatesOfReturn: return "edtRORBV1";
    case navCapRate: return "edtCRMarketValue";
    case navMaximumLoan: return "edtMLNOI";
    case navIncomeMultipliers: return "edtIM1MarketValue";
    case navUnderwriting: return "edtU1PropertyValue";
    case navDiscountedCashFlows: return "edtDCFYear1";
    default: return "";
    }
}

// The calculators whose items CloseCalculators enables.
const int kClosedCalculators[] = {navLoanSpread,          navQuick,        navLoanComparisons, navMortgageQualifier,
                                  navDepreciation,        navFutureValues, navRefinancing,     navAmortization,
                                  navDiscountedCashFlows, navRatesOfReturn};

const char* const kMenuButtons[] = {"btnWelcome", "btnQC", "btnMQ",           "btnLSC",         "btnAS",  "btnLC",
                                    "btnRC",      "btnFV", "btnDEP",          "btnROR",         "btnDCF", "btnCR",
                                    "btnML",      "btnIM", "btnUnderwriting", "btnLeaveWelcome"};

constexpr TColor kMenuButtonHover = 0x0000FF;   // RGB 255, 0, 0
constexpr TColor kMenuButtonNormal = 0x800000;  // RGB 0, 0, 128

}  // namespace

namespace {

void SetTitleStrip(const TfrmMain& Main, const std::string& Title, int OriginY) {
    auto* strip = Main.Find<TEntRotatedLabel>("lblCalculatorName");
    if (!strip) return;
    strip->SetCaption("");
    strip->SetOriginX(0);
    strip->SetOriginY(OriginY);
    strip->SetCaption(Title);
}

void SetPageItemsEnabled(const TfrmMain& Main, int Target, bool Enabled) {
    for (int i = 1; i < 4; ++i)
        if (auto* item = Main.Find<TMenuItem>(kTargets[Target].Senders[i])) item->SetEnabled(Enabled);
}

void SetResetEnabled(const TfrmMain& Main, bool Enabled) {
    if (Main.btnReset) Main.btnReset->SetEnabled(Enabled);
}

}  // namespace

void TfrmMain::FocusNamed(const std::string& Name) {
    auto* control = Find<TWinControl>(Name);
    if (control && control->CanFocus()) control->SetFocus();
}

void TfrmMain::EnableMnuCalcItems(TObject*) {
    for (int t = 0; t < navCount; ++t) SetPageItemsEnabled(*this, t, true);
}

void TfrmMain::CloseCalculators(TObject* Sender) {
    for (int t : kClosedCalculators) SetPageItemsEnabled(*this, t, true);
    DisallowPrinting(Sender);
}

void TfrmMain::AllowPrinting(TObject*) {
    if (btnPrint) btnPrint->SetEnabled(true);
    if (MnuFilePrint) MnuFilePrint->SetEnabled(true);
}

void TfrmMain::DisallowPrinting(TObject*) {
    if (btnPrint) btnPrint->SetEnabled(false);
    if (MnuFilePrint) MnuFilePrint->SetEnabled(false);
}

void TfrmMain::gotoChosenCalculator(TObject* Sender) {
    auto* component = dynamic_cast<TComponent*>(Sender);
    const std::string name = component ? component->GetName() : std::string();

    // Leaving the amortization page with its extra-payment panel open gives its inputs back.
    bool amortSender = false;
    for (const char* s : kTargets[navAmortization].Senders)
        if (SameText(name, s)) amortSender = true;
    if (!amortSender) {
        auto* panel = Find<TControl>("PnlAddExtra");
        if (panel && panel->GetVisible()) {
            panel->SetVisible(false);
            btnCancelClick(Sender);
        }
    }

    int target = -1;
    for (int t = 0; t < navCount && target < 0 && !name.empty(); ++t)
        for (const char* s : kTargets[t].Senders)
            if (Find<TComponent>(s) == component) {
                target = t;
                break;
            }
    if (target < 0) return;

    const TNavTarget& nav = kTargets[target];
    SetTitleStrip(*this, nav.Title, nav.OriginY);
    if (target == navMenu) nbkMain->SetActivePage(nav.Page);  // the menu page shows before the items change
    EnableMnuCalcItems(Sender);
    SetPageItemsEnabled(*this, target, false);

    switch (target) {
    case navLoanSpread: {
        AllowPrinting(Sender);
        nbkMain->SetActivePage(nav.Page);
        SetResetEnabled(*this, true);
        ChooseLoanSpreadCalculator(Sender);
        auto* mode = Find<TCustomRadioGroup>("rgCalculate");
        FocusNamed(mode && mode->GetItemIndex() == 1 ? "edtPayment" : "edtLoan");
        break;
    }
    case navMenu:
        CloseCalculators(Sender);
        DisallowPrinting(Sender);
        SetResetEnabled(*this, false);
        break;
    case navQuick:
        SetResetEnabled(*this, true);
        DisallowPrinting(Sender);
        nbkMain->SetActivePage(nav.Page);
        FocusNamed("nbkQuickCalc");
        break;
    case navRefinancing:
        nbkMain->SetActivePage(nav.Page);
        AllowPrinting(Sender);
        SetResetEnabled(*this, true);
        FocusNamed("edtOldLoan");
        break;
    case navAmortization: {
        AllowPrinting(Sender);
        nbkMain->SetActivePage(nav.Page);
        if (auto* grid = Find<TControl>("grdAmortization")) grid->SetTop(150);
        if (auto* extra = Find<TControl>("btnAddExtra")) extra->SetEnabled(true);
        SetResetEnabled(*this, true);
        DisallowPrinting(Sender);
        FocusNamed("edtMortAmt");
        CalcAmortization(Sender);
        break;
    }
    case navMortgageQualifier:
        AllowPrinting(Sender);
        nbkMain->SetActivePage(nav.Page);
        SetResetEnabled(*this, true);
        FocusNamed("edtIncome1");
        break;
    case navWelcome:
        nbkMain->SetVisible(true);
        nbkMain->SetActivePage(nav.Page);
        DisallowPrinting(Sender);
        SetResetEnabled(*this, false);
        break;
    default:
        nbkMain->SetVisible(true);
        nbkMain->SetActivePage(nav.Page);
        AllowPrinting(Sender);
        SetResetEnabled(*this, true);
        FocusNamed(FocusOf(target));
        break;
    }
}

namespace {

// Colours the caption of the sender when it is one of the menu page's buttons.
void ColorMenuButton(const TfrmMain& Form, TObject* Sender, TColor Color) {
    auto* control = dynamic_cast<TControl*>(Sender);
    if (!control) return;
    for (const char* name : kMenuButtons)
        if (Form.Find<TControl>(name) == control) control->GetFont()->SetColor(Color);
}

}  // namespace

void TfrmMain::MenuButtonEnter(TObject* Sender) { ColorMenuButton(*this, Sender, kMenuButtonHover); }

void TfrmMain::MenuButtonLeave(TObject* Sender) { ColorMenuButton(*this, Sender, kMenuButtonNormal); }

void TfrmMain::nbkMainPageChanged(TObject*) {
    // Only the shown page's controls keep window handles.
    for (int i = 0; i < nbkMain->PageCount(); ++i)
        if (i != nbkMain->GetPageIndex() && nbkMain->Page(i)->HandleAllocated()) nbkMain->Page(i)->DestroyHandle();
}
