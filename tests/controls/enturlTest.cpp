#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "Dialogs.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "enturl.h"

namespace {

class TTestURL : public TEntURL {
public:
    using TEntURL::TEntURL;
    std::string Shown() const { return GetLabelText(); }
    void MoveInside() { Perform(WM_MOUSEMOVE, 0, MakeLParam(2, 2)); }
    void Leave() { Perform(CM_MOUSELEAVE, 0, LPARAM(this)); }
};

struct EntURLTest : ::testing::Test {
    void SetUp() override {
        EnsureGuiApp();
        form = std::make_unique<TForm>(nullptr);
        link = new TTestURL(form.get());
        link->SetParent(form.get());
        link->GetFont()->SetColor(clBlue);
        previousOpen = SetShellOpenHook([this](const std::string& target) {
            opened.push_back(target);
            return openSucceeds;
        });
        previousBeep = SetBeepHook([this](unsigned) { ++beeps; });
    }
    void TearDown() override {
        SetShellOpenHook(previousOpen);
        SetBeepHook(previousBeep);
    }
    std::unique_ptr<TForm> form;
    TTestURL* link = nullptr;
    TShellOpenHook previousOpen;
    TBeepHook previousBeep;
    std::vector<std::string> opened;
    bool openSucceeds = true;
    int beeps = 0;
};

}  // namespace

TEST_F(EntURLTest, ShowsTheAddressWhileTheCaptionIsEmpty) {
    link->SetURL("https://example.test/");
    EXPECT_EQ(link->Shown(), "https://example.test/");
    link->SetCaption("Home");
    EXPECT_EQ(link->Shown(), "Home");
    link->SetCaption("");
    EXPECT_EQ(link->Shown(), "https://example.test/");
    EXPECT_TRUE(link->GetUnderlineURL());
    EXPECT_EQ(link->GetCursor(), crHandPoint);
}

TEST_F(EntURLTest, HoverColourComesBackEachTimeTheMouseLeaves) {
    for (int round = 0; round < 2; ++round) {
        link->MoveInside();
        EXPECT_EQ(link->GetFont()->GetColor(), clRed) << round;
        EXPECT_TRUE(link->Hovering());
        link->HoverTimerTick();
        EXPECT_EQ(link->GetFont()->GetColor(), clRed) << "still inside";
        link->Leave();
        link->HoverTimerTick();
        EXPECT_EQ(link->GetFont()->GetColor(), clBlue) << round;
        EXPECT_FALSE(link->Hovering()) << "the timer runs only while hovering";
    }

    // clNone keeps the font colour while hovering
    link->SetHighlightColor(clNone);
    link->MoveInside();
    EXPECT_EQ(link->GetFont()->GetColor(), clBlue);
}

TEST_F(EntURLTest, HoverTimerRestoresTheColourByItself) {
    link->MoveInside();
    link->Leave();
    QElapsedTimer clock;
    clock.start();
    while (link->GetFont()->GetColor() != clBlue && clock.elapsed() < 2000) QCoreApplication::processEvents();
    EXPECT_EQ(link->GetFont()->GetColor(), clBlue);
    EXPECT_GE(clock.elapsed(), 50) << "restored by the timer, not at once";
}

TEST_F(EntURLTest, ClickOpensTheAddressAndBeepsWhenThatFails) {
    int clicks = 0;
    link->OnClick = [&](TObject*) { ++clicks; };
    link->Click();
    EXPECT_TRUE(opened.empty()) << "no address, nothing opened";

    const std::string longAddress = "https://example.test/" + std::string(1100, 'a');
    link->SetURL(longAddress);
    link->Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], longAddress.substr(0, 1023));
    EXPECT_EQ(beeps, 0);

    openSucceeds = false;
    link->Click();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(clicks, 3);
}

TEST_F(EntURLTest, VisitedColourAfterAClick) {
    link->UseVisitedColor = true;
    link->SetVisitedColor(clPurple);
    link->SetURL("https://example.test/");
    link->MoveInside();
    link->Click();
    link->Leave();
    link->HoverTimerTick();
    EXPECT_EQ(link->GetFont()->GetColor(), clPurple);
}
