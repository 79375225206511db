// The About and Disclaimer windows: one modal showing each, released afterwards.

#include "MainWindowFixture.h"

#include <QTimer>

#include "About.h"
#include "StdCtrls.h"
#include "uFrmDisclaim.h"

namespace {

// Runs Action on the window once its modal showing has started.
void WhenShown(std::function<void()> Action) { QTimer::singleShot(0, std::move(Action)); }

void ProcessPending() {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
}

TEST_F(MainWindowTest, AboutWindowShowsOnceAndIsReleasedEveryTime) {
    Create();
    std::vector<TAboutBox*> seen;
    for (int round = 0; round < 2; ++round) {
        WhenShown([&] {
            ASSERT_NE(AboutBox, nullptr);
            seen.push_back(AboutBox);
            EXPECT_TRUE(AboutBox->FormState.Contains(fsModal));
            EXPECT_EQ(AboutBox->GetCaption(), std::string("About ") + Application->GetTitle());
            EXPECT_EQ(AboutBox->lblVersion->GetCaption(), "3.0.01");
            EXPECT_FALSE(AboutBox->lblCompileDate->GetCaption().empty());
            AboutBox->BtnCloseClick(AboutBox);
        });
        if (round == 0)
            Form->MnuHelpAboutClick(Form);
        else
            Form->lblCompanyClick(Form);
        ProcessPending();
        EXPECT_EQ(AboutBox, nullptr);
    }
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(MainWindowTest, DisclaimerShowsItsTextAndIsFreedOnce) {
    Create();
    int shown = 0;
    WhenShown([&] {
        ASSERT_NE(frmDisclaim, nullptr);
        ++shown;
        EXPECT_EQ(frmDisclaim->GetCaption(), "Disclaimer");
        auto* warning = dynamic_cast<TLabel*>(frmDisclaim->FindComponent("Label10"));
        ASSERT_NE(warning, nullptr);
        EXPECT_EQ(warning->GetCaption().substr(0, 25), "there is  NO WARRANTY,  e");
        frmDisclaim->BtnCloseClick(frmDisclaim);
    });
    Form->MnuHelpDisclaimerClick(Form);
    ProcessPending();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(frmDisclaim, nullptr);
}

}  // namespace
