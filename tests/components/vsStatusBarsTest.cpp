#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "vsStatusBars.h"

namespace {

const char* const kMainBar =
    "object frmMain: TForm\n"
    "  ClientWidth = 610\n"
    "  object statusBar: TvsStatusBar\n"
    "    Width = 610\n"
    "    Height = 19\n"
    "    SizeGrip = False\n"
    "    Panels = <\n"
    "      item\n"
    "        Bevel = apbNone\n"
    "        Font.Color = clBlue\n"
    "        Font.Height = -11\n"
    "        Font.Name = 'Arial'\n"
    "        Font.Style = [fsUnderline]\n"
    "        Hint = 'Visit our web site'\n"
    "        Name = 'WebPanel'\n"
    "        ParentFont = False\n"
    "        TextStyle.Alignment = taCenter\n"
    "        TextStyle.Spacing = 0\n"
    "        TextStyle.Text = 'www.example.com'\n"
    "        Width = 96\n"
    "      end\n"
    "      item\n"
    "        Name = 'HintPanel'\n"
    "        Text = 'Welcome'\n"
    "        Width = 459\n"
    "      end\n"
    "      item\n"
    "        Bevel = apbNone\n"
    "        LockKeyStyle.LockKeyType = lktNumLock\n"
    "        Name = 'NumLockPanel'\n"
    "        PanelStyle = apsLockKey\n"
    "        Width = 55\n"
    "      end>\n"
    "    OnPanelClick = statusBarPanelClick\n"
    "  end\n"
    "end\n";

struct MainBar {
    std::unique_ptr<TForm> form;
    TvsStatusBar* bar = nullptr;
    std::vector<std::string> clicked;

    MainBar() {
        EnsureGuiApp();
        RegisterVsStatusBarsClasses();
        form = std::make_unique<TForm>(nullptr);
        THandlerTable handlers;
        handlers["statusBarPanelClick"] =
            TvsPanelClickNotifyEvent([this](TObject* Panel, TMouseButton, TShiftState, int, int) {
                auto* p = dynamic_cast<TvsStatusPanel*>(Panel);
                clicked.push_back(p ? p->GetName() : "not a panel");
            });
        ReadComponentFromText(form.get(), kMainBar, handlers);
        bar = dynamic_cast<TvsStatusBar*>(form->FindComponent("statusBar"));
    }
    TvsStatusPanel* Panel(int i) const { return bar->GetPanels()->GetItem(i); }
};

TEST(VsStatusBar, MainWindowPanelsLayOutLeftToRightWithTheLastReachingTheEnd) {
    MainBar m;
    ASSERT_NE(m.bar, nullptr);
    ASSERT_EQ(m.bar->GetPanels()->Count(), 3);
    EXPECT_EQ(m.Panel(0)->GetName(), "WebPanel");
    EXPECT_EQ(m.Panel(0)->GetTextStyle()->GetAlignment(), taCenter);
    EXPECT_EQ(m.Panel(0)->GetFont()->GetColor(), clBlue);
    EXPECT_FALSE(m.Panel(0)->GetParentFont());
    EXPECT_EQ(m.Panel(1)->GetText(), "Welcome");
    EXPECT_EQ(m.Panel(2)->GetLockKeyStyle()->GetCaption(), "NUM");
    m.bar->UpdatePanels();
    EXPECT_EQ(m.Panel(0)->Rect, Rect(0, 0, 96, 19));
    EXPECT_EQ(m.Panel(1)->Rect, Rect(96, 0, 555, 19));
    EXPECT_EQ(m.Panel(2)->Rect, Rect(555, 0, 610, 19));

    // An invisible panel takes no room but keeps its stored width.
    m.Panel(0)->SetVisible(false);
    EXPECT_EQ(m.Panel(0)->GetWidth(), 0);
    EXPECT_EQ(m.Panel(0)->StoredWidth(), 96);
    EXPECT_EQ(m.bar->PanelAtPos(TPoint{10, 5}), m.Panel(1));
    m.Panel(1)->SetWidth(300);
    EXPECT_EQ(m.bar->PanelAtPos(TPoint{305, 5}), m.Panel(2));
}

TEST(VsStatusBar, PaintsPanelTextsOnlyInsideTheirPanels) {
    MainBar m;
    m.form->HandleNeeded();
    m.bar->SetBounds(0, 0, 610, 19);
    QImage image = m.bar->Widget()->grab().toImage();
    ASSERT_EQ(image.width(), 610);
    auto inked = [&](int from, int to) {
        const QRgb face = image.pixel(from + 3, 1);
        for (int x = from + 2; x < to - 2; ++x)
            for (int y = 3; y < 16; ++y)
                if (image.pixel(x, y) != face) return true;
        return false;
    };
    EXPECT_TRUE(inked(96, 555));  // "Welcome"
    m.Panel(1)->SetText("");
    image = m.bar->Widget()->grab().toImage();
    EXPECT_FALSE(inked(100, 555));
    EXPECT_TRUE(inked(555, 610));  // "NUM"
}

TEST(VsStatusBar, PanelClickPassesThePanelAsSender) {
    MainBar m;
    m.bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(30, 5));
    m.bar->Perform(WM_LBUTTONUP, 0, MakeLParam(30, 5));
    m.bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(600, 5));
    m.bar->Perform(WM_LBUTTONUP, 0, MakeLParam(600, 5));
    EXPECT_EQ(m.clicked, (std::vector<std::string>{"WebPanel", "NumLockPanel"}));
}

TEST(VsStatusBar, PanelsAreNamedUniquelyAndFoundByName) {
    EnsureGuiApp();
    TvsStatusBar bar(nullptr);
    TvsStatusPanels* panels = bar.GetPanels();
    for (int i = 0; i < 3; ++i) panels->Add();
    EXPECT_EQ(panels->GetItem(2)->GetName(), "vsStatusPanel3");
    panels->Delete(0);
    EXPECT_EQ(panels->Add()->GetName(), "vsStatusPanel1");

    panels->GetItem(0)->SetName("  WebPanel ");
    EXPECT_EQ(panels->GetItem(0)->GetName(), "WebPanel");
    EXPECT_EQ(bar.PanelByName("WEBPANEL"), panels->GetItem(0));
    struct Row {
        std::string name;
        std::string message;
    } rows[] = {
        {"9lives", "''9lives'' is not a valid status panel name"},
        {"", "'''' is not a valid status panel name"},
        {"webpanel", "A status panel named ''webpanel'' already exists"},
    };
    for (const Row& r : rows) {
        try {
            panels->GetItem(1)->SetName(r.name);
            ADD_FAILURE() << "accepted " << r.name;
        } catch (const EvsStatusPanelError& e) {
            EXPECT_EQ(e.Message, r.message);
        }
    }
    EXPECT_EQ(panels->GetItem(1)->GetName(), "vsStatusPanel3");
    try {
        bar.PanelByName("Missing");
        ADD_FAILURE() << "found a missing panel";
    } catch (const EvsStatusPanelError& e) {
        EXPECT_EQ(e.Message, "Status panel 'Missing' not found");
    }
}

TEST(VsStatusBar, OnlyTheFirst128PanelsBecomeParts) {
    EnsureGuiApp();
    TvsStatusBar bar(nullptr);
    bar.SetBounds(0, 0, 2000, 19);
    for (int i = 0; i < 130; ++i) bar.GetPanels()->Add()->SetWidth(10);
    bar.UpdatePanels();
    EXPECT_EQ(bar.GetPanels()->GetItem(127)->Rect, Rect(1270, 0, 2000, 19));
    EXPECT_TRUE(bar.GetPanels()->GetItem(128)->Rect.IsEmpty());
    EXPECT_EQ(bar.PanelAtPos(TPoint{1999, 3}), bar.GetPanels()->GetItem(127));
}

TEST(VsStatusBar, ProgressStaysInItsRangeAndCaptions) {
    EnsureGuiApp();
    TvsStatusBar bar(nullptr);
    TvsProgressBarStyle* s = bar.GetPanels()->Add()->GetProgressBarStyle();
    s->SetProgress(-5);
    EXPECT_EQ(s->GetProgress(), 0);
    EXPECT_EQ(s->CaptionText(), "0%");
    s->SetProgress(40);
    EXPECT_EQ(s->CaptionText(), "40%");
    s->SetProgress(500);
    EXPECT_EQ(s->GetProgress(), 100);
    try {
        s->SetMaxValue(0);
        ADD_FAILURE() << "MaxValue equal to MinValue accepted";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message, "Value must be between 1 and 2147483647");
    }
    EXPECT_EQ(s->GetMaxValue(), 100);
    s->SetMaxValue(10);
    EXPECT_EQ(s->GetProgress(), 10);
    s->SetProgress(4);
    s->SetProgressType(aptCount);
    EXPECT_EQ(s->CaptionText(), "4 of 10");
}

TEST(VsStatusBar, ProgressOverTheWhole32BitRangeDoesNotOverflow) {
    EnsureGuiApp();
    TvsStatusBar bar(nullptr);
    TvsProgressBarStyle* s = bar.GetPanels()->Add()->GetProgressBarStyle();
    s->SetMinValue(-2147483647);
    s->SetMaxValue(2147483647);
    s->SetProgress(2147483647);
    EXPECT_EQ(s->CaptionText(), "100%");
    s->SetProgress(0);
    EXPECT_EQ(s->CaptionText(), "50%");
    s->SetProgressType(aptCount);
    EXPECT_EQ(s->CaptionText(), "2147483647 of 4294967294");
}

TEST(VsStatusBar, ScrollingTextReentersOrBounces) {
    EnsureGuiApp();
    TvsStatusBar bar(nullptr);
    TvsStatusPanel* p = bar.GetPanels()->Add();
    p->SetWidth(50);
    TvsTextStyle* t = p->GetTextStyle();
    t->SetScrollEffect(seFromLeftToRight);
    EXPECT_EQ(t->ScrollOffset, 54);
    t->BlockWidth = 20;
    EXPECT_TRUE(p->ScrollStep());
    EXPECT_EQ(t->ScrollOffset, -24);
    t->SetScrollEffect(seNone);
    t->SetScrollEffect(seChangeableDirection);
    EXPECT_EQ(t->Direction, sdRightToLeft);
    t->ScrollOffset = -24;
    EXPECT_TRUE(p->ScrollStep());
    EXPECT_EQ(t->Direction, sdLeftToRight);
    t->ScrollOffset = 54;
    p->ScrollStep();
    EXPECT_EQ(t->Direction, sdRightToLeft);
    EXPECT_EQ(t->ScrollOffset, 55);
}

}  // namespace
