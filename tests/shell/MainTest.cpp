// The main window's frame and life cycle.

#include "MainWindowFixture.h"

#include <QFile>

#include "IniFiles.h"
#include "Menus.h"
#include "entrlbl.h"
#include "grBtns.h"
#include "vsStatusBars.h"

namespace {

TEST_F(MainWindowTest, FrameFromTheDefinition) {
    Create();
    EXPECT_EQ(Form->GetCaption(), "Varnholt, 3.0.01");
    EXPECT_EQ(Form->GetClientWidth(), 611);
    EXPECT_EQ(Form->GetClientHeight(), 430);
    EXPECT_EQ(Form->GetBorderStyle(), bsSingle);
    EXPECT_FALSE(Form->GetBorderIcons().Contains(biMaximize));
    EXPECT_EQ(Form->GetMenu(), C<TMainMenu>("MnuMain"));
    EXPECT_EQ(Form->GetPopupMenu(), C<TPopupMenu>("MnuPopup"));

    auto* title = C<TEntRotatedLabel>("lblCalculatorName");
    EXPECT_EQ(title->GetParent(), C<TPanel>("pnlCalculatorName"));
    EXPECT_EQ(title->GetFontAngle(), 90);
    EXPECT_EQ(title->GetCaption(), "Main Menu");
    EXPECT_EQ(title->GetOriginY(), 111);

    auto* nbk = C<TNotebook>("nbkMain");
    const char* pages[] = {"pgWelcome",
                           "pgMenu",
                           "pgQuickCalculators",
                           "pgLoanComparisons",
                           "pgMortgageQualifier",
                           "pgDepreciation",
                           "pgRefinancingCalculator",
                           "pgLoanSpreadCalculator",
                           "pgAmortizationSchedules",
                           "pgFutureValues",
                           "pgRatesOfReturn",
                           "pgDiscountedCashFlows",
                           "pgCapitalizationRate",
                           "pgMaximumLoan",
                           "pgIncomeMultipliers",
                           "pgUnderwriting"};
    ASSERT_EQ(nbk->PageCount(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(nbk->Page(i)->GetCaption(), pages[i]);
    EXPECT_EQ(nbk->GetActivePage(), "pgWelcome");
    EXPECT_FALSE(C<TMemo>("memPrepayments")->GetVisible());
    EXPECT_FALSE(C<TMemo>("memFileContents")->GetTabStop());
}

TEST_F(MainWindowTest, FrameKeepsItsLayoutWhenTheWindowIsResized) {
    Create();
    auto* bar = C<TPanel>("pnlButtonBar");
    auto* strip = C<TPanel>("pnlCalculatorName");
    auto* nbk = C<TNotebook>("nbkMain");
    auto* status = C<TControl>("statusBar");
    for (auto [w, h] : {std::pair{611, 430}, std::pair{800, 600}, std::pair{619, 476}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        Form->SetClientWidth(w);
        Form->SetClientHeight(h);
        // The bar across the top, the status bar across the bottom, the title
        // strip down the left between them, and the pages in the rest.
        EXPECT_EQ(bar->BoundsRect(), (TRect{0, 0, w, 33}));
        EXPECT_EQ(status->BoundsRect(), (TRect{0, h - 19, w, h}));
        EXPECT_EQ(strip->BoundsRect(), (TRect{0, 33, 26, h - 19}));
        EXPECT_EQ(nbk->BoundsRect(), (TRect{26, 33, w, h - 19}));
    }
}

TEST_F(MainWindowTest, ButtonBarAndMenus) {
    Create();
    struct Row {
        const char* name;
        int left;
        const char* hint;
        bool enabled, visible;
    };
    const Row rows[] = {
        {"btnOpen", 4, "Open| Open ...", true, true},
        {"btnSave", 29, "Save| Save ...", true, true},
        {"btnPrint", 54, "Print Preview| Display Print Preview ...", false, true},
        {"btnReset", 79, "Reset| Reset values", false, true},
        {"btnUpdate", 104, "Check for Update| Check for New Version ...", true, true},
        {"btnHelp", 129, "Help| Display Help ...", true, true},
        {"btnPrevCalc", 402, "Previous Calculator| Click to use previous calculator ...", true, false},
        {"btnNextCalc", 428, "Next Calculator| Click to use next calculator ...", true, false},
    };
    for (const Row& r : rows) {
        auto* b = C<TgrGraphicButton>(r.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->GetLeft(), r.left) << r.name;
        EXPECT_EQ(b->GetTop(), 4) << r.name;
        EXPECT_EQ(b->GetWidth(), 25) << r.name;
        EXPECT_EQ(b->Hint, r.hint) << r.name;
        EXPECT_EQ(b->GetEnabled(), r.enabled) << r.name;
        EXPECT_EQ(b->GetVisible(), r.visible) << r.name;
    }
    auto* reset = C<TgrGraphicButton>("btnReset");
    EXPECT_EQ(reset->GetButtonType(), grbMenu);
    EXPECT_EQ(reset->GetPopupMenu(), C<TPopupMenu>("mnuPopReset"));
    auto* calcs = C<TgrButton>("btnCalculators");
    EXPECT_EQ(calcs->GetCaption(), "Calculator Menu");
    EXPECT_EQ(calcs->GetButtonType(), grbMenu);
    EXPECT_EQ(calcs->GetPopupMenu(), C<TPopupMenu>("mnuPopCalcs"));
    EXPECT_FALSE(calcs->GetTabStop());
    // FormCreate leaves the drop-down to the button alone.
    EXPECT_FALSE(C<TPopupMenu>("mnuPopCalcs")->AutoPopup);

    struct Item {
        const char* name;
        const char* caption;
        TShortCut shortcut;
        bool enabled, visible;
    };
    const Item items[] = {
        {"mnuFileNew", "&New", TShortCut(scCtrl | 'N'), true, false},
        {"mnuFileOpen", "&Open", TShortCut(scCtrl | 'O'), true, true},
        {"mnuFileSave", "&Save", TShortCut(scCtrl | 'S'), true, true},
        {"mnuFileSaveAs", "Save &As ...", 0, true, true},
        {"MnuFilePrint", "&Print Preview ...", 0, false, true},
        {"MnuFileExit", "E&xit", 0, true, true},
        {"mnuCalculatorsWelcome", "&Welcome ...", 0, false, true},
        {"mnuCalculatorsLSC", "Loan &Spread Calculator", 0, true, true},
        {"mnuPopCalcsRC", "&Refinancing Calculator", 0, true, true},
        {"MnuCalculatorsRC", "Refinancing &Calculator", 0, true, true},
        {"mnuPopCalcsMain", "Main Menu", 0, true, true},
        {"mnuPopWelcome", "&Welcome ...", 0, false, true},
        {"mnuView", "&View", 0, true, false},
        {"mnuPreferences", "&Preferences", 0, true, false},
        {"mnuResetAllSamples", "Use Sample Values for &ALL Calculators", 0, true, true},
        {"MnuPopDisclaimer", "Disclaimer...", 0, true, true},
    };
    for (const Item& i : items) {
        auto* m = C<TMenuItem>(i.name);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->GetCaption(), i.caption) << i.name;
        EXPECT_EQ(m->GetShortCut(), i.shortcut) << i.name;
        EXPECT_EQ(m->GetEnabled(), i.enabled) << i.name;
        EXPECT_EQ(m->GetVisible(), i.visible) << i.name;
    }
    // The top level of the main menu, in order.
    TMenuItem* root = Form->GetMenu()->Items();
    std::vector<std::string> top;
    for (int i = 0; i < root->Count(); ++i) top.push_back(root->Items(i)->GetCaption());
    EXPECT_EQ(top, (std::vector<std::string>{"&File", "&Calculators", "&View", "&Internet", "&Preferences", "&Help"}));
    // Every page item of the three menus navigates.
    for (const char* name : {"MnuCalculatorsQC", "mnuPopUnderwriting", "mnuPopCalcsDCF", "mnuCalculatorsMain"})
        EXPECT_TRUE(bool(C<TMenuItem>(name)->OnClick)) << name;
    EXPECT_EQ(C<TPopupMenu>("mnuPopCalcs")->Items()->Count(), 21);
}

TEST_F(MainWindowTest, CreateStateAndFirstRunHelp) {
    Create();
    EXPECT_EQ(frmMain, Form);
    EXPECT_TRUE(CurrentFileName.empty());
    EXPECT_TRUE(Form->RetainTape);
    EXPECT_EQ(Form->Defaults.ValueSet, 0);
    EXPECT_EQ(Application->HintPause, 400);
    EXPECT_EQ(Application->HelpFile, Form->ProgramDir + "lumfig.hlp");
    EXPECT_EQ(Form->ThisYear, StrToInt(FormatDateTime("yyyy", Now())));
    EXPECT_EQ(Form->ThisMonthShort, FormatDateTime("mmm", Now()));
    EXPECT_TRUE(bool(Application->OnException));
    ASSERT_EQ(HelpCalls.size(), 1u);
    EXPECT_EQ(HelpCalls[0].Command, unsigned(HELP_CONTEXT));
    EXPECT_EQ(HelpCalls[0].Context, 10000);
    EXPECT_TRUE(Form->Run);

    // Closing writes the three flags; the next start offers no first-run topic.
    TCloseAction action = caHide;
    Form->FormClose(Form, action);
    EXPECT_EQ(action, caFree);
    TIniFile ini(TfrmMain::SettingsFileName());
    for (const char* key : {"Tips", "RetainTape", "Run"}) EXPECT_EQ(ini.ReadString("GeneralValues", key, ""), "1");
    delete Form;
    Form = nullptr;
    HelpCalls.clear();
    Create();
    EXPECT_TRUE(HelpCalls.empty());
}

TEST_F(MainWindowTest, MinimumSizeAndActivatePlacing) {
    Create();
    TMinMaxInfo info{};
    Form->Perform(WM_GETMINMAXINFO, 0, LPARAM(&info));
    EXPECT_EQ(info.ptMinTrackSize.X, 619);
    EXPECT_EQ(info.ptMinTrackSize.Y, 476);
    Form->FormActivate(Form);
    const int w = C<TPanel>("pnlButtonBar")->GetWidth();
    EXPECT_EQ(C<TControl>("btnExit")->GetLeft(), w - 29);
    EXPECT_EQ(C<TControl>("btnCalculators")->GetLeft(), w - 147);
    EXPECT_EQ(C<TControl>("btnNextCalc")->GetLeft(), w - 180);
    EXPECT_EQ(C<TControl>("btnPrevCalc")->GetLeft(), w - 210);
}

TEST_F(MainWindowTest, CloseQueryAsksOnlyWithAnOpenFile) {
    Create();
    bool canClose = false;
    Form->FormCloseQuery(Form, canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(Messages.empty());
    CurrentFileName = "/tmp/loans.qvd";
    BoxAnswer = IDNO;
    canClose = false;
    Form->FormCloseQuery(Form, canClose);
    EXPECT_TRUE(canClose);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Save changes to /tmp/loans.qvd");
    CurrentFileName.clear();
}

TEST_F(MainWindowTest, WebPanelShowsTheWholeAddress) {
    Create();
    TvsStatusPanel* web = C<TvsStatusBar>("statusBar")->GetPanels()->GetItem(0);
    ASSERT_EQ(web->GetName(), "WebPanel");
    TCanvas canvas;
    canvas.SetFont(web->GetFont());
    // the caption is centred with 3 pixels kept for the panel's edges
    EXPECT_LE(canvas.TextWidth(web->GetText()) + 3, web->GetWidth()) << web->GetText();
}

}  // namespace
