// The main window: creation from its definition, the life-cycle events and
// the settings file.

#include "Main.h"
#include "MainReports.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
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

namespace {

template <class P>
void AddPage(std::vector<std::unique_ptr<TCalcPage>>& Pages, TfrmMain& Main) {
    Pages.push_back(std::make_unique<P>(Main));
}

}  // namespace

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner), FReports(std::make_unique<TMainReports>(*this)) {
    RegisterMainWindowClasses();
    // The calculator pages, in the order the resets run through them.
    AddPage<TQuickCalcPage>(FPages, *this);
    AddPage<TCapRatePage>(FPages, *this);
    AddPage<TMaximumLoanPage>(FPages, *this);
    AddPage<TIncomeMultipliersPage>(FPages, *this);
    AddPage<TUnderwritingPage>(FPages, *this);
    AddPage<TMortgageQualifierPage>(FPages, *this);
    AddPage<TRefinancePage>(FPages, *this);
    AddPage<TLoanComparisonsPage>(FPages, *this);
    AddPage<TRatesOfReturnPage>(FPages, *this);
    AddPage<TFutureValuesPage>(FPages, *this);
    AddPage<TDiscountedCashFlowsPage>(FPages, *this);
    AddPage<TDepreciationPage>(FPages, *this);
    AddPage<TLoanSpreadPage>(FPages, *this);
    AddPage<TAmortizationPage>(FPages, *this);
    ReadComponentFromText(this, std::string(FindResource("forms/Main.txt")), Handlers());
    // The components the code reaches; the definition must have them.
    nbkMain = NeedComponent<TNotebook>(this, "nbkMain");
    statusBar = Find<TWinControl>("statusBar");
    btnPrint = NeedComponent<TgrCustomGraphicButton>(this, "btnPrint");
    btnReset = NeedComponent<TgrCustomGraphicButton>(this, "btnReset");
    MnuFilePrint = NeedComponent<TMenuItem>(this, "MnuFilePrint");
    for (auto& page : FPages) page->FindComponents();
    FReports->BindReports();
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

std::string TfrmMain::ActivePageName() const { return nbkMain ? nbkMain->GetActivePage() : std::string(); }

// ---- Settings file -------------------------------------------------------------------------

std::string TfrmMain::SettingsFileName() { return SettingsDir() + "ZEMR.INI"; }

namespace {

void ReadIniSettings(TfrmMain& Main) {
    TDefaultValues& d = Main.Defaults;
    TAmortizationPage& amort = *Main.Page<TAmortizationPage>();
    TMortgageQualifierPage& qualifier = *Main.Page<TMortgageQualifierPage>();
    TDiscountedCashFlowsPage& cashFlows = *Main.Page<TDiscountedCashFlowsPage>();
    Main.Page<TLoanSpreadPage>()->LoanSpreadMode = 0;
    d.ValueSet = 0;
    TIniFile ini(TfrmMain::SettingsFileName());
    const char* g = "GeneralValues";
    d.ValueSet = ini.ReadInteger(g, "DefaultValueSet", 1);
    d.Loan = ini.ReadFloat(g, "Loan", 100000);
    d.Interest = ini.ReadFloat(g, "Interest", 8.75);
    d.Term = ini.ReadInteger(g, "Term", 360);
    d.Payment = ini.ReadFloat(g, "Payment", 786.7);
    amort.AmortStartMonth = ini.ReadInteger(g, "Month", 1);
    amort.AmortStartYear = ini.ReadInteger(g, "Year", 2000);
    d.Federal = ini.ReadFloat(g, "Federal", 22);
    d.State = ini.ReadFloat(g, "State", 2.5);
    d.Downpayment = ini.ReadFloat(g, "Downpayment", 20000);
    d.Calc = ini.ReadInteger(g, "DefaultCalc", 0);
    qualifier.HRatio = ini.ReadFloat("Ratios", "HRatio", 28);
    qualifier.DRatio = ini.ReadFloat("Ratios", "DRatio", 36);
    for (int i = 1; i <= 30; ++i) cashFlows.DCFYears[size_t(i)] = ini.ReadFloat("DCF", "Year" + std::to_string(i), 0);
    for (int i = 1; i <= 5; ++i)
        cashFlows.DCFRates[size_t(i)] = ini.ReadFloat("DCF", "Rate" + std::to_string(i), 3 + i);
    Main.Tips = ini.ReadBool(g, "Tips", true);
    Main.Run = ini.ReadBool(g, "Run", false);
    for (const auto& page : Main.CalcPages()) page->ReadSettings(ini);
}

void WriteIniSettings(const TfrmMain& Main) {
    TIniFile ini(TfrmMain::SettingsFileName());
    ini.WriteBool("GeneralValues", "Tips", Main.Tips);
    ini.WriteBool("GeneralValues", "RetainTape", Main.RetainTape);
    ini.WriteBool("GeneralValues", "Run", Main.Run);
    for (const auto& page : Main.CalcPages()) page->WriteSettings(ini);
}

}  // namespace

// ---- Life cycle ----------------------------------------------------------------------

void TfrmMain::FormCreate(TObject* Sender) {
    frmMain = this;
    CurrentFileName.clear();
    Tips = true;
    RetainTape = true;
    SetCaption(SProgramCaption);
    ProgramDir = ::ProgramDir();
    std::srand(unsigned(std::time(nullptr)));
    NeedComponent<TPopupMenu>(this, "mnuPopCalcs")->AutoPopup = false;
    ReadIniSettings(*this);
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
    const int w = NeedComponent<TPanel>(this, "pnlButtonBar")->GetWidth();
    NeedComponent<TControl>(this, "btnExit")->SetLeft(w - 29);
    NeedComponent<TControl>(this, "btnCalculators")->SetLeft(w - 147);
    NeedComponent<TControl>(this, "btnNextCalc")->SetLeft(w - 180);
    NeedComponent<TControl>(this, "btnPrevCalc")->SetLeft(w - 210);
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
        WriteIniSettings(*this);
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

void TfrmMain::CleanGrid(TObject* Sender) { Page<TLoanSpreadPage>()->CleanGrid(Sender); }
void TfrmMain::ChooseLoanSpreadCalculator(TObject* Sender) {
    Page<TLoanSpreadPage>()->ChooseLoanSpreadCalculator(Sender);
}
void TfrmMain::CalcAmortization(TObject* Sender) { Page<TAmortizationPage>()->CalcAmortization(Sender); }
void TfrmMain::btnCancelClick(TObject* Sender) { Page<TAmortizationPage>()->btnCancelClick(Sender); }
void TfrmMain::CreatePrepaymentList(TObject* Sender) { Page<TAmortizationPage>()->CreatePrepaymentList(Sender); }

void TfrmMain::Print(TObject*) { FReports->Print(); }
