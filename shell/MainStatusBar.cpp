// Help by page, the web links, the status bar's panels and the company label.

#include "Main.h"

#include "SysUtils.h"
#include "enturl.h"
#include "vsStatusBars.h"

namespace {

const char* const SWebSiteName = "www.quorvane.com";
const char* const SCopyrightLine = "Copyright \xC2\xA9 1996-2026 Kestrilune Software";
const char* const kHomePage = "http://www.quorvane.com/?source=mirkane";
const char* const kContactPage = "http://www.quorvane.com/contact/index.shtml?source=mirkane";

struct TPageHelp {
    const char* Page;
    int Context;
};

const TPageHelp kPageHelp[] = {
    {"pgWelcome", 5},
    {"pgMenu", 5},
    {"pgQuickCalculators", 20},
    {"pgMortgageQualifier", 30},
    {"pgLoanSpreadCalculator", 40},
    {"pgAmortizationSchedules", 50},
    {"pgLoanComparisons", 60},
    {"pgUnderwriting", 75},
    {"pgRefinancingCalculator", 80},
    {"pgIncomeMultipliers", 85},
    {"pgMaximumLoan", 95},
    {"pgDepreciation", 105},
    {"pgFutureValues", 110},
    {"pgCapitalizationRate", 115},
    {"pgRatesOfReturn", 125},
    {"pgDiscountedCashFlows", 135},
};

}  // namespace

void TfrmMain::btnHelpClick(TObject*) {
    const std::string page = ActivePageName();
    for (const TPageHelp& h : kPageHelp)
        if (page == h.Page) {
            Application->HelpContext(h.Context);
            return;
        }
    Application->HelpCommand(HELP_CONTENTS, 0);
}

void TfrmMain::MnuHelpContentsClick(TObject*) { Application->HelpCommand(HELP_CONTENTS, 0); }

void TfrmMain::MnuHelpSearchClick(TObject*) {
    static const char noKey[] = "";
    Application->HelpCommand(HELP_PARTIALKEY, intptr_t(noKey));
}

void TfrmMain::MnuHelpHowClick(TObject*) { Application->HelpCommand(HELP_HELPONHELP, 0); }

void TfrmMain::MnuHelpGlossaryClick(TObject*) { Application->HelpContext(5000); }

void TfrmMain::GoOnline(TObject* Sender) {
    auto* link = Find<TEntURL>("UrlOnline");
    if (!link) return;
    if (Sender == FindComponent("mnuWOHomePage") || (statusBar && Sender == statusBar))
        link->SetURL(kHomePage);
    else if (Sender == FindComponent("mnuWOMailSuggestions"))
        link->SetURL(kContactPage);
    link->Click();
}

void TfrmMain::lblCompanyMouseMove(TObject* Sender, TShiftState, int, int) {
    if (auto* label = dynamic_cast<TControl*>(Sender)) label->SetCursor(crHandPoint);
}

namespace {

TvsStatusPanel* Panel(TWinControl* Bar, int Index) {
    auto* bar = dynamic_cast<TvsStatusBar*>(Bar);
    return bar && Index < bar->GetPanels()->Count() ? bar->GetPanels()->GetItem(Index) : nullptr;
}

enum { WebPanel, HintPanel, NumLockPanel };

// The hint panel's text where nothing with a hint of its own is pointed at.
std::string IdleHintText() { return std::string(" ") + SProgramCaption + "        " + SCopyrightLine; }

}  // namespace

std::string TfrmMain::HintPanelText() const {
    TvsStatusPanel* p = Panel(statusBar, HintPanel);
    return p ? p->GetText() : std::string();
}

void TfrmMain::SetHintPanelText(const std::string& Text) {
    if (TvsStatusPanel* p = Panel(statusBar, HintPanel)) p->SetText(Text);
}

void TfrmMain::nbkMainMouseMove(TObject*, TShiftState, int, int) { SetHintPanelText(IdleHintText()); }

void TfrmMain::statusBarMouseMove(TObject*, TShiftState, int X, int) {
    TvsStatusPanel* web = Panel(statusBar, WebPanel);
    if (!web) return;
    statusBar->SetCursor(X < web->GetWidth() - 5 ? crHandPoint : crDefault);
    if (X <= web->GetWidth())
        SetHintPanelText(std::string(" Click to visit ") + SWebSiteName);
    else
        SetHintPanelText(IdleHintText());
}

void TfrmMain::statusBarPanelClick(TObject* Sender) {
    auto* panel = dynamic_cast<TvsStatusPanel*>(Sender);
    if (!panel || panel->GetName() != "WebPanel") return;
    // A web page that cannot be opened is no reason to bother the user here.
    try {
        GoOnline(statusBar);
    } catch (...) {}
}

void TfrmMain::statusBarResize(TObject*) {
    TvsStatusPanel* web = Panel(statusBar, WebPanel);
    TvsStatusPanel* hint = Panel(statusBar, HintPanel);
    TvsStatusPanel* num = Panel(statusBar, NumLockPanel);
    if (web && hint && num) hint->SetWidth(statusBar->GetWidth() - (web->GetWidth() + num->GetWidth() + 2));
}
