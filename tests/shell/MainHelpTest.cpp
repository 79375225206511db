// The program's help: every context the window uses reaches a topic of the
// help file the build compiles, and the help commands show the help window.

#include "MainWindowFixture.h"

#include "HelpViewer.h"

#include <QFile>

namespace {

class MainHelpTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The real help service over the help file compiled beside the program.
        SetHelpService(nullptr);
    }
    void TearDown() override {
        Application->HelpCommand(HELP_QUIT, 0);
        MainWindowTest::TearDown();
    }
    TfrmMain* CreateWithHelp() {
        Create();
        Application->HelpFile = VARNHOLT_HELP_FILE;
        return Form;
    }
};

TEST_F(MainHelpTest, EveryContextOfTheProgramReachesItsTopic) {
    struct Row {
        int context;
        const char* topic;
    };
    const Row rows[] = {
        // The help button's table, the glossary and the first-run topic.
        {5, "index.html"},
        {20, "quick.html"},
        {30, "qualifier.html"},
        {40, "loanspread.html"},
        {50, "amortization.html"},
        {60, "comparisons.html"},
        {75, "underwriting.html"},
        {80, "refinancing.html"},
        {85, "multipliers.html"},
        {95, "maxloan.html"},
        {105, "depreciation.html"},
        {110, "futurevalues.html"},
        {115, "caprate.html"},
        {125, "returns.html"},
        {135, "cashflows.html"},
        {5000, "glossary.html"},
        {10000, "welcome.html"},
        // The pages' own contexts, which F1 uses.
        {70, "comparisons.html"},
        {90, "futurevalues.html"},
        {100, "depreciation.html"},
        {120, "returns.html"},
        {130, "cashflows.html"},
        {140, "caprate.html"},
        {150, "maxloan.html"},
        {160, "multipliers.html"},
        {170, "underwriting.html"},
    };
    for (const Row& r : rows) EXPECT_EQ(HelpTopicForContext(VARNHOLT_HELP_FILE, r.context), r.topic) << r.context;
    EXPECT_EQ(HelpTopicForContext(VARNHOLT_HELP_FILE, 7), "");
}

TEST_F(MainHelpTest, HelpButtonShowsThePagesTopic) {
    CreateWithHelp();
    Form->btnHelpClick(Form);  // the welcome page
    EXPECT_EQ(HelpWindowState().Topic, "index.html");
    Form->nbkMain->SetActivePage("pgDepreciation");
    Form->btnHelpClick(Form);
    const THelpWindowState state = HelpWindowState();
    EXPECT_TRUE(state.Visible);
    EXPECT_EQ(state.Topic, "depreciation.html");
    EXPECT_EQ(state.Title, "Depreciation Calculator");
    EXPECT_TRUE(Messages.empty());
}

TEST_F(MainHelpTest, MenuCommandsShowContentsIndexAndHelpOnHelp) {
    CreateWithHelp();
    Form->MnuHelpGlossaryClick(Form);
    EXPECT_EQ(HelpWindowState().Topic, "glossary.html");
    Form->MnuHelpContentsClick(Form);
    EXPECT_EQ(HelpWindowState().Topic, "index.html");
    EXPECT_EQ(HelpWindowState().Tab, "Contents");
    Form->MnuHelpSearchClick(Form);
    EXPECT_EQ(HelpWindowState().Tab, "Index");
    EXPECT_EQ(HelpWindowState().SearchText, "");
    const std::string key = "Amort";
    EXPECT_TRUE(Application->HelpCommand(HELP_PARTIALKEY, reinterpret_cast<intptr_t>(key.c_str())));
    EXPECT_EQ(HelpWindowState().SearchText, "Amort");
    Form->MnuHelpHowClick(Form);
    EXPECT_EQ(HelpWindowState().Topic, "helponhelp.html");
    // Closing the main window quits help.
    TCloseAction action = caHide;
    Form->FormClose(Form, action);
    EXPECT_FALSE(HelpWindowState().Visible);
}

TEST_F(MainHelpTest, FirstStartShowsTheWelcomeTopicNotANotice) {
    Application->ProcessMessages();  // notices about earlier windows' missing help
    Messages.clear();
    // The help file beside a program whose settings say it has never run.
    ASSERT_TRUE(QFile::copy(QString::fromStdString(CompiledHelpFile(VARNHOLT_HELP_FILE)), Dir.path() + "/lumfig.qch"));
    Create();
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
    EXPECT_EQ(HelpWindowState().Topic, "welcome.html");
    for (const TShownMessage& m : Messages) ADD_FAILURE() << m.Text;
}

}  // namespace
