#pragma once
// The main window: the frame (button bar, title strip, notebook of sixteen pages,
// status bar, menus), its life cycle, navigation, the application-wide error and
// hint handlers, help, settings and files, in sources by topic (MainFiles.cpp, ...).
// The layout is the window definition resources/forms/Main.txt. Each calculator
// page is a unit of its own (CalcPage.h); the reports are TMainReports (MainReports.h).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CalcPage.h"
#include "Forms.h"
#include "entmru.h"
#include "iniSetup.h"

class TgrCustomGraphicButton;
class TMainReports;
class TMenuItem;
class TMortgage;
class TNotebook;

// Texts the window shows in more than one place.
extern const char* const SProgramCaption;    // "Varnholt, 3.0.01"
extern const char* const SApplicationTitle;  // "Quorvane® - Varnholt, 3.0.01"
extern const char* const SMathErrorMessage;

// Registers every class the main window's definition names. Safe to call more than once.
void RegisterMainWindowClasses();

class TfrmMain : public TForm {
public:
    // Reads the window from its definition; OnCreate runs with AfterConstruction.
    explicit TfrmMain(TComponent* AOwner);
    ~TfrmMain() override;

    // ---- Handlers the definition binds (the table is MainHandlers.cpp) ------------------------
    // Life cycle and navigation.
    void FormCreate(TObject*), FormActivate(TObject*), FormDestroy(TObject*), MnuFileExitClick(TObject*);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void gotoChosenCalculator(TObject*), EnableMnuCalcItems(TObject*), CloseCalculators(TObject*);
    void AllowPrinting(TObject*), DisallowPrinting(TObject*), MenuButtonEnter(TObject*), MenuButtonLeave(TObject*);
    void nbkMainPageChanged(TObject*);
    // Errors and hints; help, web links and the status bar.
    void AppOnException(TObject* Sender, Exception& E);
    void AppOnHint(TObject*), btnHelpClick(TObject*), GoOnline(TObject*), MnuHelpContentsClick(TObject*);
    void MnuHelpSearchClick(TObject*), MnuHelpHowClick(TObject*), MnuHelpGlossaryClick(TObject*);
    void statusBarPanelClick(TObject*), statusBarResize(TObject*);
    void nbkMainMouseMove(TObject*, TShiftState, int X, int Y), statusBarMouseMove(TObject*, TShiftState, int X, int Y);
    void lblCompanyMouseMove(TObject*, TShiftState, int X, int Y);
    // Resets; calculator files; the About, Disclaimer and update windows; the print command.
    void mnuResetThisZeroClick(TObject*), mnuResetSamplesClick(TObject*), mnuResetAllZeroClick(TObject*);
    void mnuResetAllSamplesClick(TObject*), ResetAllCalculatorsToZero(TObject*);
    void ResetAllCalculatorsToSamples(TObject*), ResetLoanSpreadValues(TObject*), ResetAmortizationSchedule(TObject*);
    void btnOpenClick(TObject*), btnSaveClick(TObject*), mnuFileSaveAsClick(TObject*), mnuFileCloseClick(TObject*);
    void CreateNewFile(TObject*), mnuFileClearHistoryClick(TObject*);
    void mnuFileReopenMRUClick(TObject* Sender, const std::string& ItemText, TEntMRUClickAction& Action);
    void MnuHelpAboutClick(TObject*), MnuHelpDisclaimerClick(TObject*), lblCompanyClick(TObject*);
    void ShowUpdate(TObject*), Print(TObject*);

    // ---- Seams: every caller (the pages' events, navigation, resets, files, the error
    // handler) goes through these, which hand over to the page units. SaveCurrentFile
    // saves to CurrentFileName (the calculator file); closing asks for it.
    virtual void CleanGrid(TObject*), ChooseLoanSpreadCalculator(TObject*), CalcAmortization(TObject*);
    virtual void btnCancelClick(TObject*), CreatePrepaymentList(TObject*), SaveCurrentFile(TObject*);

    // ---- For the page units and the window's other sources ------------------------------------
    // The calculator page unit of that type (pages are added, and reset, in Main.cpp's order).
    template <class P>
    P* Page() const {
        for (const auto& page : FPages)
            if (auto* p = dynamic_cast<P*>(page.get())) return p;
        return nullptr;
    }
    const std::vector<std::unique_ptr<TCalcPage>>& CalcPages() const { return FPages; }
    // The component of that name, or nullptr.
    template <class T>
    T* Find(const std::string& Name) const {
        return dynamic_cast<T*>(FindComponent(Name));
    }
    std::string ActivePageName() const;
    void FocusNamed(const std::string& Name);  // when the control can take the focus
    std::string HintPanelText() const;
    void SetHintPanelText(const std::string& Text);
    void CenterForm(TForm* AForm);
    // Shows a window made for one showing modally, centred on this one, then releases it.
    void ShowCentredModal(TForm* Window);
    static std::string SettingsFileName();  // "ZEMR.INI" in the settings folder

    // ---- State, and the components the code reaches -------------------------------------------
    TDateTime Today = 0;
    std::string ThisMonthShort, ProgramDir;
    int32_t ThisYear = 0;
    bool RetainTape = false, Tips = true, Run = false;
    std::unique_ptr<TMortgage> Mortgage;
    TDefaultValues Defaults;
    TNotebook* nbkMain = nullptr;
    TWinControl* statusBar = nullptr;
    TgrCustomGraphicButton *btnPrint = nullptr, *btnReset = nullptr;
    TMenuItem* MnuFilePrint = nullptr;

protected:
    void WMGetMinMaxInfo(TWMGetMinMaxInfo& Message) override;

private:
    THandlerTable Handlers();

    std::vector<std::unique_ptr<TCalcPage>> FPages;
    std::unique_ptr<TMainReports> FReports;
    bool FHandlersInstalled = false;
};

extern TfrmMain* frmMain;
// Path of the open calculator file; empty when none is open.
extern std::string CurrentFileName;
