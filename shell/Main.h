#pragma once
// The main window: the frame (button bar, title strip, notebook of sixteen
// pages, status bar, menus), its life cycle, navigation between the pages,
// the application-wide error and hint handlers, help, settings and files.
// The layout is the window definition resources/forms/Main.txt; this class
// holds the behaviour.
//
// Sources by topic: Main.cpp (creation, life cycle, settings), MainNavigation.cpp,
// MainErrors.cpp, MainStatusBar.cpp (hints, help and web links), MainResets.cpp,
// MainReports.cpp (the print command, each report's print routine and data callbacks;
// the report templates are resources/reports/*.txt, written into the definition at build time).
//
// Calculator pages. Each calculator page is a unit of its own, a TCalcPage
// (CalcPage.h) named after the page: QuickCalcPage.h, LoanComparisonsPage.h,
// MortgageQualifierPage.h, RefinancePage.h, InvestmentPages.h (future values,
// rates of return, discounted cash flows), IncomePropertyPages.h (capitalization
// rate, maximum loan, income multipliers, underwriting).
// It holds the page's components, state, handlers, reset and settings. To add
// one:
//  - declare `class TXxxPage : public TCalcPage` with PageName() giving its
//    notebook page, its handlers as methods under the names the definition
//    binds (btnCalcLAClick, CalcLC, ...), and its components as members;
//  - in RegisterHandlers bind each handler name with BindNotify (or Bind for
//    other event types); the window collects every page's table before it
//    reads the definition, so a name missing here fails the read;
//  - in FindComponents look up the components with Need<T>("name");
//  - ResetValues sets the page to zeros or samples as DefaultValueSet says
//    (the window calls it for "reset this page" and "reset all to samples"),
//    ZeroValues zeros the values for "reset all to zero"; ReadSettings and
//    WriteSettings take the page's own entries of the settings file; a page
//    whose reset is a value set of the calculator resets (iniSetup.h) derives
//    from TValueSetPage, which does both;
//  - add a member `TXxxPage* Xxx` below and create it in the constructor's
//    page list (Main.cpp) with AddPage<TXxxPage>(); the window owns it. Pages
//    are reset in the order they are added.
// The reset dispatch (ResetActivePage, reset all to zero or samples,
// DefaultValueSet) stays here and reaches the pages only through TCalcPage.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "CalcPage.h"
#include "Controls.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Types.h"
#include "entmru.h"

#include <vector>

class TEntRotatedLabel;
class TAmortizationPage;
class TCapRatePage;
class TDepreciationPage;
class TDiscountedCashFlowsPage;
class TFutureValuesPage;
class TIncomeMultipliersPage;
class TLoanComparisonsPage;
class TLoanSpreadPage;
class TMaximumLoanPage;
class TMortgageQualifierPage;
class TRatesOfReturnPage;
class TRefinancePage;
class TUnderwritingPage;
class TMortgage;
class TQuickCalcPage;
class TgrCustomGraphicButton;
class TrpPage;
class TrpReport;
class TStringGrid;
class Variant;
struct TReportMemo;

// Texts the window shows in more than one place.
extern const char* const SProgramCaption;    // "Varnholt, 3.0.01"
extern const char* const SApplicationTitle;  // "Quorvane® - Varnholt, 3.0.01"
extern const char* const SMathErrorMessage;
extern const char* const SUnidentifiedErrorMessage;
extern const char* const SWebSiteName;
extern const char* const SCopyrightLine;

// Registers every class the main window's definition names. Safe to call more than once.
void RegisterMainWindowClasses();

class TfrmMain : public TForm {
public:
    // Reads the window from its definition; OnCreate runs with AfterConstruction.
    explicit TfrmMain(TComponent* AOwner);
    ~TfrmMain() override;

    // ---- Window events ------------------------------------------------------------
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);
    void MnuFileExitClick(TObject* Sender);

    // ---- Navigation ---------------------------------------------------------------
    void gotoChosenCalculator(TObject* Sender);
    void EnableMnuCalcItems(TObject* Sender);
    void CloseCalculators(TObject* Sender);
    void AllowPrinting(TObject* Sender);
    void DisallowPrinting(TObject* Sender);
    void MenuButtonEnter(TObject* Sender);
    void MenuButtonLeave(TObject* Sender);
    void nbkMainPageChanged(TObject* Sender);
    void nbkMainMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);

    // ---- Errors and hints ---------------------------------------------------------
    void AppOnException(TObject* Sender, Exception& E);
    void AppOnHint(TObject* Sender);

    // ---- Help, web links, status bar ----------------------------------------------
    void btnHelpClick(TObject* Sender);
    void MnuHelpContentsClick(TObject* Sender);
    void MnuHelpSearchClick(TObject* Sender);
    void MnuHelpHowClick(TObject* Sender);
    void MnuHelpGlossaryClick(TObject* Sender);
    void GoOnline(TObject* Sender);
    void statusBarMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void statusBarPanelClick(TObject* Sender);
    void statusBarResize(TObject* Sender);
    void lblCompanyMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    // The text of the status bar's hint panel.
    std::string HintPanelText() const;
    void SetHintPanelText(const std::string& Text);

    // ---- Calculator pages (owned by the window) -------------------------------------
    TQuickCalcPage* QuickCalc = nullptr;
    TLoanComparisonsPage* LoanComparisons = nullptr;
    TMortgageQualifierPage* MortgageQualifier = nullptr;
    TRefinancePage* Refinance = nullptr;
    TFutureValuesPage* FutureValues = nullptr;
    TRatesOfReturnPage* RatesOfReturn = nullptr;
    TDiscountedCashFlowsPage* DiscountedCashFlows = nullptr;
    TCapRatePage* CapRate = nullptr;
    TMaximumLoanPage* MaximumLoan = nullptr;
    TIncomeMultipliersPage* IncomeMultipliers = nullptr;
    TUnderwritingPage* Underwriting = nullptr;
    TDepreciationPage* Depreciation = nullptr;
    TLoanSpreadPage* LoanSpread = nullptr;
    TAmortizationPage* Amortization = nullptr;
    // Every page in the order they were added.
    const std::vector<std::unique_ptr<TCalcPage>>& CalcPages() const { return FPages; }

    // ---- Resets -------------------------------------------------------------------
    void mnuResetThisZeroClick(TObject* Sender);
    void mnuResetSamplesClick(TObject* Sender);
    void mnuResetAllZeroClick(TObject* Sender);
    void mnuResetAllSamplesClick(TObject* Sender);
    void ResetAllCalculatorsToZero(TObject* Sender);
    void ResetAllCalculatorsToSamples(TObject* Sender);
    void ResetLoanSpreadValues(TObject* Sender);
    void ResetAmortizationSchedule(TObject* Sender);

    // ---- Seams of the loan spread and amortization pages ---------------------------
    // Every caller (the pages' own events, navigation, resets, files, the error
    // handler) goes through these, which hand over to the page units.
    virtual void CleanGrid(TObject* Sender);
    virtual void ChooseLoanSpreadCalculator(TObject* Sender);
    virtual void CalcAmortization(TObject* Sender);
    virtual void btnCancelClick(TObject* Sender);
    virtual void CreatePrepaymentList(TObject* Sender);
    // Saving to CurrentFileName (the calculator file); closing asks for it.
    virtual void SaveCurrentFile(TObject* Sender);

    // ---- Calculator files (MainFiles.cpp) -------------------------------------------
    void btnOpenClick(TObject* Sender);
    void btnSaveClick(TObject* Sender);
    void mnuFileSaveAsClick(TObject* Sender);
    void mnuFileCloseClick(TObject* Sender);
    void CreateNewFile(TObject* Sender);
    void mnuFileClearHistoryClick(TObject* Sender);
    void mnuFileReopenMRUClick(TObject* Sender, const std::string& ItemText, TEntMRUClickAction& Action);
    enum class TOpenMode { CloseFirst, KeepOpen };
    // Reads and converts the whole file, then stores it; false (and said so) when
    // the file is missing, unreadable or damaged, with nothing changed.
    bool OpenCalculatorFile(const std::string& Name, TOpenMode Mode);
    // Saves through a temporary file; false (and said so) when it cannot be written.
    bool WriteCalculatorFile(const std::string& Name);
    // "Varnholt, 3.0.01 - " and the name without its folder.
    static std::string FileCaption(const std::string& FileName);

    // ---- About and Disclaimer windows (MainWindows.cpp) ------------------------------
    void MnuHelpAboutClick(TObject* Sender);
    void MnuHelpDisclaimerClick(TObject* Sender);
    void lblCompanyClick(TObject* Sender);

    // ---- Reports (MainReports.cpp) ---------------------------------------------------
    // The print button and menu item: the report of the page shown, previewed.
    void Print(TObject* Sender);
    void MnuFilePrintSetupClick(TObject* Sender);
    // The single-page reports' build: the title band, then the footer band.
    void BuildSinglePageReport(TrpPage* Page);
    void PrintAmortizationMonthly();
    void PrintAnnualAmortization();
    void PrintMortgageQualifier();
    void PrintRefinancingCalc();
    void PrintLSC();
    void PrintDepreciation();
    void PrintRatesOfReturn();
    void PrintCapitalizationRate();
    void PrintMaximumLoan();
    void PrintIncomeMultipliers();
    void PrintUnderwriting();
    void PrintFutureValues();
    void PrintLoanComparisons();
    void PrintDiscountedCashFlows();
    // A table report's value callback: CellK (any case, K up to Cells) is the
    // grid's cell in column K - 1 of the record's row; other names are left alone.
    static void TableCellValue(TStringGrid* Grid, int Record, int Cells, const std::string& Name, Variant& Value);

    // ---- Settings -------------------------------------------------------------------
    void ReadIniSettings(TObject* Sender);
    void WriteIniSettings();
    // The settings file "ZEMR.INI" in the settings folder.
    static std::string SettingsFileName();

    // ---- Shared with the other windows ----------------------------------------------
    void CenterForm(TForm* AForm);
    // Shows a window made for one showing modally at the centre of this window's
    // rectangle, then releases it, also when the showing raised.
    void ShowCentredModal(TForm* Window);
    // The update window (MainUpdate.cpp); bound to btnUpdate and mnuWOUpdate.
    void ShowUpdate(TObject* Sender);
    std::string ActivePageName() const;
    // The component of that name, or nullptr.
    template <class T>
    T* Find(const std::string& Name) const {
        return dynamic_cast<T*>(FindComponent(Name));
    }

    // ---- State (the window's private fields, in declaration order) ------------------
    TDateTime Today = 0;
    std::string ThisMonthShort;
    int32_t ThisYear = 0;
    bool RetainTape = false;
    std::unique_ptr<TMortgage> Mortgage;
    int DefaultValueSet = 0;
    double DefaultLoan = 0, DefaultInterest = 0;
    int DefaultTerm = 0;
    double DefaultPayment = 0, DefaultFederal = 0, DefaultState = 0, DefaultDownpayment = 0;
    int DefaultCalc = 0;
    std::string ProgramDir;
    bool Tips = true;
    bool Run = false;

    // ---- Components the code reaches ------------------------------------------------
    TPanel* pnlButtonBar = nullptr;
    TEntRotatedLabel* lblCalculatorName = nullptr;
    TNotebook* nbkMain = nullptr;
    TWinControl* statusBar = nullptr;
    TgrCustomGraphicButton* btnPrint = nullptr;
    TgrCustomGraphicButton* btnReset = nullptr;
    TControl* btnPrevCalc = nullptr;
    TControl* btnNextCalc = nullptr;
    TControl* btnCalculators = nullptr;
    TControl* btnExit = nullptr;
    TMenuItem* MnuFilePrint = nullptr;
    TPopupMenu* mnuPopCalcs = nullptr;
    TMemo* memPrepayments = nullptr;
    TMemo* memFileContents = nullptr;

    // Focuses the named control when it can take the focus.
    void FocusNamed(const std::string& Name);

protected:
    void WMGetMinMaxInfo(TWMGetMinMaxInfo& Message) override;
    // The handlers the definition binds, by name.
    THandlerTable Handlers();

private:
    void FindComponents();
    // Binds a handler name of the definition to a method of the window.
    void BindNotify(THandlerTable& Handlers, const char* Name, void (TfrmMain::*Method)(TObject*));
    void AddFileHandlers(THandlerTable& Handlers);
    void AddWindowHandlers(THandlerTable& Handlers);
    void AddReportHandlers(THandlerTable& Handlers);
    // The reports' builds and data callbacks, once the definition is read.
    void BindReports();
    enum class TBanner { Shown, Empty };
    // The report with the memos every report shares set.
    TrpReport* StartReport(const char* Name, const std::string& Title, TBanner Banner);
    // Fills the memos, then builds and previews the report.
    void ShowFilledReport(TrpReport* Report, const std::vector<TReportMemo>& Memos);
    void SaveAsThroughDialog();
    // Navigation helpers.
    void SetTitleStrip(const std::string& Title, int OriginY);
    void SetPageItemsEnabled(int Target, bool Enabled);
    void ShowPage(const char* Name);
    void SetResetEnabled(bool Enabled);
    // Resets the calculator on the active page to DefaultValueSet.
    void ResetActivePage(TObject* Sender);
    // The amortization inputs into the page's fields, with today's month and year.
    void ShowAmortizationInputs();
    // The hint panel's text where nothing with a hint of its own is pointed at.
    static std::string IdleHintText();
    // The math-error repairs; a failure inside them is swallowed.
    void RepairAfterMathError(TObject* Sender);
    void RestoreLoanSpreadSamples();
    bool SetLoanSpreadFields(double Loan, double Interest, int Term, double Payment);

    // Creates a page unit; the window owns it.
    template <class P>
    P* AddPage() {
        auto page = std::make_unique<P>(*this);
        P* raw = page.get();
        FPages.push_back(std::move(page));
        return raw;
    }

    std::vector<std::unique_ptr<TCalcPage>> FPages;
    bool FHandlersInstalled = false;
};

extern TfrmMain* frmMain;
// Path of the open calculator file; empty when none is open.
extern std::string CurrentFileName;
