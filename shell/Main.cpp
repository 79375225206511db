// The main window: creation from its definition, the life-cycle events and
// the settings file.

#include "Main.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "Dialogs.h"
#include "Folders.h"
#include "AlignGrid.h"
#include "AmortizationPage.h"
#include "DepreciationPage.h"
#include "IncomePropertyPages.h"
#include "InvestmentPages.h"
#include "LoanComparisonsPage.h"
#include "LoanSpreadPage.h"
#include "MortgageQualifierPage.h"
#include "QuickCalcPage.h"
#include "RefinancePage.h"
#include "IniFiles.h"
#include "MortLib.h"
#include "NumCtrl.h"
#include "PlatformClasses.h"
#include "RP_Register.h"
#include "Resources.h"
#include "SysUtils.h"
#include "entctrl.h"
#include "entmru.h"
#include "entnbk.h"
#include "entpf.h"
#include "entrlbl.h"
#include "entstate.h"
#include "InstanceGuard.h"
#include "OwnerDrawMenu.h"
#include "grBtns.h"
#include "WebFileInfo.h"
#include "vsComps.h"
#include "vsStatusBars.h"
#include "splash.h"
#include "About.h"
#include "uFrmDisclaim.h"

const char* const SProgramCaption = "Varnholt, 3.0.01";
const char* const SApplicationTitle = "Quorvane\xC2\xAE - Varnholt, 3.0.01";
const char* const SWebSiteName = "www.quorvane.com";
const char* const SCopyrightLine = "Copyright \xC2\xA9 1996-2026 Kestrilune Software";

TfrmMain* frmMain = nullptr;
std::string CurrentFileName;

void RegisterMainWindowClasses() {
    RegisterPlatformClasses();
    RegisterEntBaseClasses();
    RegisterEntControllerClasses();
    RegisterEntRotatedLabelClasses();
    RegisterEntNotebookClasses();
    RegisterEntPictureFieldClasses();
    RegisterNumericEditClasses();
    RegisterEntMenuMRUClasses();
    RegisterEntStateClasses();
    RegisterAlignGridClasses();
    RegisterGrBtnsClasses();
    RegisterVsStatusBarsClasses();
    RegisterOwnerDrawMenuClasses();
    RegisterInstanceGuardClasses();
    RegisterVsCompsClasses();
    RegisterWebFileInfoClasses();
    RegisterReportClasses();
    static std::once_flag once;
    std::call_once(once, [] {
        // The windows themselves, so their definitions' own properties are found.
        Published<TfrmMain>("TfrmMain", "TForm");
        Published<TSplashScreen>("TSplashScreen", "TForm");
        Published<TAboutBox>("TAboutBox", "TForm");
        Published<TfrmDisclaim>("TfrmDisclaim", "TForm");
    });
}

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner) {
    RegisterMainWindowClasses();
    // The calculator pages, in the order the resets run through them.
    QuickCalc = AddPage<TQuickCalcPage>();
    CapRate = AddPage<TCapRatePage>();
    MaximumLoan = AddPage<TMaximumLoanPage>();
    IncomeMultipliers = AddPage<TIncomeMultipliersPage>();
    Underwriting = AddPage<TUnderwritingPage>();
    MortgageQualifier = AddPage<TMortgageQualifierPage>();
    Refinance = AddPage<TRefinancePage>();
    LoanComparisons = AddPage<TLoanComparisonsPage>();
    RatesOfReturn = AddPage<TRatesOfReturnPage>();
    FutureValues = AddPage<TFutureValuesPage>();
    DiscountedCashFlows = AddPage<TDiscountedCashFlowsPage>();
    Depreciation = AddPage<TDepreciationPage>();
    LoanSpread = AddPage<TLoanSpreadPage>();
    Amortization = AddPage<TAmortizationPage>();
    ReadComponentFromText(this, std::string(FindResource("forms/Main.txt")), Handlers());
    FindComponents();
    for (auto& page : FPages) page->FindComponents();
    BindReports();
}

TfrmMain::~TfrmMain() {
    BeforeDestruction();
    // The application's handlers must not outlive the window they call into.
    if (FHandlersInstalled && Application) {
        Application->OnException = nullptr;
        Application->OnHint = nullptr;
    }
    if (frmMain == this) frmMain = nullptr;
}

namespace {

template <class T>
T* Need(TComponent* Root, const std::string& Name) {
    return NeedComponent<T>(Root, Name);
}

}  // namespace

void TfrmMain::FindComponents() {
    pnlButtonBar = Need<TPanel>(this, "pnlButtonBar");
    lblCalculatorName = Need<TEntRotatedLabel>(this, "lblCalculatorName");
    nbkMain = Need<TNotebook>(this, "nbkMain");
    statusBar = Find<TWinControl>("statusBar");
    btnPrint = Need<TgrCustomGraphicButton>(this, "btnPrint");
    btnReset = Need<TgrCustomGraphicButton>(this, "btnReset");
    btnPrevCalc = Need<TControl>(this, "btnPrevCalc");
    btnNextCalc = Need<TControl>(this, "btnNextCalc");
    btnCalculators = Need<TControl>(this, "btnCalculators");
    btnExit = Need<TControl>(this, "btnExit");
    MnuFilePrint = Need<TMenuItem>(this, "MnuFilePrint");
    mnuPopCalcs = Need<TPopupMenu>(this, "mnuPopCalcs");
    memPrepayments = Need<TMemo>(this, "memPrepayments");
    memFileContents = Need<TMemo>(this, "memFileContents");
}

THandlerTable TfrmMain::Handlers() {
    THandlerTable h;
    auto notify = [&](const char* name, void (TfrmMain::*method)(TObject*)) { BindNotify(h, name, method); };
    auto mouseMove = [&](const char* name, void (TfrmMain::*method)(TObject*, TShiftState, int, int)) {
        h[name] =
            TMouseMoveEvent([this, method](TObject* s, TShiftState sh, int x, int y) { (this->*method)(s, sh, x, y); });
    };
    notify("FormCreate", &TfrmMain::FormCreate);
    notify("FormActivate", &TfrmMain::FormActivate);
    notify("FormDestroy", &TfrmMain::FormDestroy);
    h["FormCloseQuery"] = TCloseQueryEvent([this](TObject* s, bool& c) { FormCloseQuery(s, c); });
    h["FormClose"] = TCloseEvent([this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    notify("MnuFileExitClick", &TfrmMain::MnuFileExitClick);

    notify("gotoChosenCalculator", &TfrmMain::gotoChosenCalculator);
    notify("MenuButtonEnter", &TfrmMain::MenuButtonEnter);
    notify("MenuButtonLeave", &TfrmMain::MenuButtonLeave);
    notify("nbkMainPageChanged", &TfrmMain::nbkMainPageChanged);
    mouseMove("nbkMainMouseMove", &TfrmMain::nbkMainMouseMove);

    notify("btnHelpClick", &TfrmMain::btnHelpClick);
    notify("MnuHelpContentsClick", &TfrmMain::MnuHelpContentsClick);
    notify("MnuHelpSearchClick", &TfrmMain::MnuHelpSearchClick);
    notify("MnuHelpHowClick", &TfrmMain::MnuHelpHowClick);
    notify("MnuHelpGlossaryClick", &TfrmMain::MnuHelpGlossaryClick);
    notify("GoOnline", &TfrmMain::GoOnline);
    notify("ShowUpdate", &TfrmMain::ShowUpdate);
    mouseMove("statusBarMouseMove", &TfrmMain::statusBarMouseMove);
    h["statusBarPanelClick"] = TvsPanelClickNotifyEvent(
        [this](TObject* panel, TMouseButton, TShiftState, int, int) { statusBarPanelClick(panel); });
    notify("statusBarResize", &TfrmMain::statusBarResize);
    mouseMove("lblCompanyMouseMove", &TfrmMain::lblCompanyMouseMove);

    notify("mnuResetThisZeroClick", &TfrmMain::mnuResetThisZeroClick);
    notify("mnuResetAllZeroClick", &TfrmMain::mnuResetAllZeroClick);
    notify("mnuResetSamplesClick", &TfrmMain::mnuResetSamplesClick);
    notify("mnuResetAllSamplesClick", &TfrmMain::mnuResetAllSamplesClick);
    AddFileHandlers(h);
    AddWindowHandlers(h);
    AddReportHandlers(h);
    for (auto& page : FPages) page->RegisterHandlers(h);
    return h;
}

void TfrmMain::BindNotify(THandlerTable& h, const char* Name, void (TfrmMain::*Method)(TObject*)) {
    h[Name] = TNotifyEvent([this, Method](TObject* s) { (this->*Method)(s); });
}

std::string TfrmMain::ActivePageName() const { return nbkMain ? nbkMain->GetActivePage() : std::string(); }

// ---- Life cycle ----------------------------------------------------------------------

void TfrmMain::FormCreate(TObject* Sender) {
    frmMain = this;
    CurrentFileName.clear();
    Tips = true;
    RetainTape = true;
    SetCaption(SProgramCaption);
    ProgramDir = ::ProgramDir();
    std::srand(unsigned(std::time(nullptr)));
    mnuPopCalcs->AutoPopup = false;
    ReadIniSettings(Sender);
    CreatePrepaymentList(Sender);
    Application->OnException = [this](TObject* s, Exception& e) { AppOnException(s, e); };
    Application->OnHint = [this](TObject* s) { AppOnHint(s); };
    FHandlersInstalled = true;
    Today = Now();
    ThisMonthShort = FormatDateTime("mmm", Today);
    ThisYear = StrToInt(FormatDateTime("yyyy", Today));
    Application->HelpFile = ProgramDir + "lumfig.hlp";
    Application->HintPause = 400;
    ResetAmortizationSchedule(Sender);
    ResetAllCalculatorsToZero(Sender);
    if (!Run) {
        // The first run offers its help topic once, also when help cannot be shown.
        try {
            Application->HelpContext(10000);
        } catch (...) {
            Run = true;
            throw;
        }
        Run = true;
    }
    Screen->SetCursor(crDefault);
}

void TfrmMain::FormActivate(TObject*) {
    const int w = pnlButtonBar->GetWidth();
    btnExit->SetLeft(w - 29);
    btnCalculators->SetLeft(w - 147);
    btnNextCalc->SetLeft(w - 180);
    btnPrevCalc->SetLeft(w - 210);
}

void TfrmMain::WMGetMinMaxInfo(TWMGetMinMaxInfo& Message) {
    TForm::WMGetMinMaxInfo(Message);
    if (TMinMaxInfo* info = Message.MinMaxInfo()) info->ptMinTrackSize = TPoint{619, 476};
}

void TfrmMain::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = true;
    if (CurrentFileName.empty()) return;
    if (MessageDlg("Save changes to " + CurrentFileName, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes)
        SaveCurrentFile(this);
}

void TfrmMain::FormClose(TObject*, TCloseAction& Action) {
    Application->HelpCommand(HELP_QUIT, 0);
    // A settings file that cannot be written is reported; the window closes all the same.
    try {
        WriteIniSettings();
    } catch (const Exception& e) {
        MessageDlg(e.Message, mtError, TMsgDlgButtons{mbOK}, 0);
    }
    Mortgage.reset();
    Action = caFree;
}

void TfrmMain::FormDestroy(TObject*) {
    if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::MnuFileExitClick(TObject*) { Close(); }

void TfrmMain::CenterForm(TForm* AForm) {
    TForm* m = Application->MainForm();
    if (!m || !AForm) return;
    // Integer division truncates toward zero, as the placing has always done.
    AForm->SetLeft(std::max(0, m->GetLeft() + (m->GetWidth() - AForm->GetWidth()) / 2));
    AForm->SetTop(std::max(0, m->GetTop() + (m->GetHeight() - AForm->GetHeight()) / 2));
}

// ---- Seams of the loan spread and amortization pages ---------------------------------------

void TfrmMain::CleanGrid(TObject* Sender) {
    if (LoanSpread) LoanSpread->CleanGrid(Sender);
}
void TfrmMain::ChooseLoanSpreadCalculator(TObject* Sender) {
    if (LoanSpread) LoanSpread->ChooseLoanSpreadCalculator(Sender);
}
void TfrmMain::CalcAmortization(TObject* Sender) {
    if (Amortization) Amortization->CalcAmortization(Sender);
}
void TfrmMain::btnCancelClick(TObject* Sender) {
    if (Amortization) Amortization->btnCancelClick(Sender);
}
void TfrmMain::CreatePrepaymentList(TObject* Sender) {
    if (Amortization) Amortization->CreatePrepaymentList(Sender);
}

// ---- Settings file -------------------------------------------------------------------------

std::string TfrmMain::SettingsFileName() { return SettingsDir() + "ZEMR.INI"; }

void TfrmMain::ReadIniSettings(TObject*) {
    LoanSpread->LoanSpreadMode = 0;
    DefaultValueSet = 0;
    TIniFile ini(SettingsFileName());
    const char* g = "GeneralValues";
    DefaultValueSet = ini.ReadInteger(g, "DefaultValueSet", 1);
    DefaultLoan = ini.ReadFloat(g, "Loan", 100000);
    DefaultInterest = ini.ReadFloat(g, "Interest", 8.75);
    DefaultTerm = ini.ReadInteger(g, "Term", 360);
    DefaultPayment = ini.ReadFloat(g, "Payment", 786.7);
    Amortization->AmortStartMonth = ini.ReadInteger(g, "Month", 1);
    Amortization->AmortStartYear = ini.ReadInteger(g, "Year", 2000);
    DefaultFederal = ini.ReadFloat(g, "Federal", 22);
    DefaultState = ini.ReadFloat(g, "State", 2.5);
    DefaultDownpayment = ini.ReadFloat(g, "Downpayment", 20000);
    DefaultCalc = ini.ReadInteger(g, "DefaultCalc", 0);
    MortgageQualifier->HRatio = ini.ReadFloat("Ratios", "HRatio", 28);
    MortgageQualifier->DRatio = ini.ReadFloat("Ratios", "DRatio", 36);
    for (int i = 1; i <= 30; ++i)
        DiscountedCashFlows->DCFYears[size_t(i)] = ini.ReadFloat("DCF", "Year" + std::to_string(i), 0);
    for (int i = 1; i <= 5; ++i)
        DiscountedCashFlows->DCFRates[size_t(i)] = ini.ReadFloat("DCF", "Rate" + std::to_string(i), 3 + i);
    Tips = ini.ReadBool(g, "Tips", true);
    Run = ini.ReadBool(g, "Run", false);
    for (auto& page : FPages) page->ReadSettings(ini);
}

void TfrmMain::WriteIniSettings() {
    TIniFile ini(SettingsFileName());
    ini.WriteBool("GeneralValues", "Tips", Tips);
    ini.WriteBool("GeneralValues", "RetainTape", RetainTape);
    ini.WriteBool("GeneralValues", "Run", Run);
    for (auto& page : FPages) page->WriteSettings(ini);
}
