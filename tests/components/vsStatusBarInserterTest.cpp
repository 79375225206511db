#include <gtest/gtest.h>

#include <QWidget>

#include <memory>

#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "StdCtrls.h"
#include "vsStatusBars.h"

namespace {

// A control that will not grow wider than 30 pixels.
class TNarrowPanel : public TPanel {
public:
    using TPanel::TPanel;
    void SetBounds(int L, int T, int W, int H) override { TPanel::SetBounds(L, T, std::min(W, 30), H); }
};

struct BarForm {
    std::unique_ptr<TForm> form;
    TvsStatusBar* bar = nullptr;
    TEdit* edit = nullptr;
    TvsStatusBarInserter* inserter = nullptr;

    BarForm() {
        EnsureGuiApp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 200);
        bar = new TvsStatusBar(form.get());
        bar->SetParent(form.get());
        bar->SetSizeGrip(false);
        for (int w : {100, 80, 50}) bar->GetPanels()->Add()->SetWidth(w);
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(5, 6, 70, 21);
        inserter = new TvsStatusBarInserter(form.get());
        form->HandleNeeded();
    }
    void Paint() { bar->ClientWidget()->grab(); }
    TRect Inside(int panel) {
        TRect r = bar->GetPanels()->GetItem(panel)->Rect;
        return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
};

TEST(vsStatusBarInserter, FitsTheControlToItsPanelAndGivesEverythingBack) {
    BarForm f;
    f.edit->Hide();
    f.inserter->SetvsStatusBar(f.bar);
    f.inserter->SetPanelIndex(1);
    f.inserter->SetControl(f.edit);
    EXPECT_EQ(f.edit->GetParent(), f.bar);
    EXPECT_TRUE(f.edit->GetVisible());
    EXPECT_EQ(f.bar->GetPanels()->GetItem(1)->GetPanelStyle(), apsOwnerDraw);
    f.Paint();
    EXPECT_EQ(f.edit->BoundsRect(), f.Inside(1));
    // Moving to another panel gives the first its style back.
    f.inserter->SetPanelIndex(0);
    EXPECT_EQ(f.bar->GetPanels()->GetItem(1)->GetPanelStyle(), apsText);
    f.Paint();
    EXPECT_EQ(f.edit->BoundsRect(), f.Inside(0));
    f.inserter->SetControl(nullptr);
    EXPECT_EQ(f.edit->GetParent(), f.form.get());
    EXPECT_EQ(f.edit->BoundsRect(), Bounds(5, 6, 70, 21));
    EXPECT_FALSE(f.edit->GetVisible());
    EXPECT_EQ(f.bar->GetPanels()->GetItem(0)->GetPanelStyle(), apsText);
}

TEST(vsStatusBarInserter, LastPanelLeavesRoomForTheSizeGrip) {
    BarForm f;
    f.bar->SetSizeGrip(true);
    f.inserter->SetvsStatusBar(f.bar);
    f.inserter->SetPanelIndex(2);
    f.inserter->SetControl(f.edit);
    f.Paint();
    EXPECT_EQ(f.edit->GetWidth(), f.Inside(2).Width() - 13);
    f.bar->SetSizeGrip(false);
    f.inserter->SetPanelIndex(1);
    f.inserter->SetPanelIndex(2);
    f.Paint();
    EXPECT_EQ(f.edit->GetWidth(), f.Inside(2).Width());
}

TEST(vsStatusBarInserter, AControlWithASizeOfItsOwnKeepsIt) {
    BarForm f;
    auto* narrow = new TNarrowPanel(f.form.get());
    narrow->SetParent(f.form.get());
    f.inserter->SetvsStatusBar(f.bar);
    f.inserter->SetControl(narrow);
    f.Paint();
    EXPECT_EQ(narrow->GetWidth(), 30);
    EXPECT_EQ(narrow->GetHeight(), f.Inside(0).Height());
    // Not asked again: a width set by code stays until the control is assigned anew.
    narrow->SetWidth(20);
    f.Paint();
    EXPECT_EQ(narrow->GetWidth(), 20);
    f.inserter->SetControl(nullptr);
    f.inserter->SetControl(narrow);
    f.Paint();
    EXPECT_EQ(narrow->GetWidth(), 30);
}

TEST(vsStatusBarInserter, AControlHasOnePlaceAndFormsAndBarsAreRefused) {
    BarForm f;
    auto* second = new TvsStatusBarInserter(f.form.get());
    f.inserter->SetvsStatusBar(f.bar);
    second->SetvsStatusBar(f.bar);
    second->SetPanelIndex(1);
    f.inserter->SetControl(f.edit);
    second->SetControl(f.edit);
    EXPECT_EQ(f.inserter->GetControl(), nullptr);
    EXPECT_EQ(second->GetControl(), f.edit);
    EXPECT_EQ(f.bar->GetPanels()->GetItem(0)->GetPanelStyle(), apsText);
    second->SetControl(f.bar);
    EXPECT_EQ(second->GetControl(), nullptr);
    EXPECT_EQ(f.edit->GetParent(), f.form.get());
    second->SetControl(f.form.get());
    EXPECT_EQ(second->GetControl(), nullptr);
    second->SetPanelIndex(-4);
    EXPECT_EQ(second->GetPanelIndex(), 0);
}

TEST(vsStatusBarInserter, OtherPanelsStillReachTheBarsOwnHandler) {
    BarForm f;
    int drawn = 0;
    f.bar->OnDrawPanel = [&](TvsCustomStatusBar*, TvsStatusPanel* p, const TRect&) { drawn += p->GetIndex() == 2; };
    f.bar->GetPanels()->GetItem(2)->SetPanelStyle(apsOwnerDraw);
    f.inserter->SetvsStatusBar(f.bar);
    f.inserter->SetPanelIndex(7);  // beyond the panels: no style changes
    f.inserter->SetControl(f.edit);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(f.bar->GetPanels()->GetItem(i)->GetPanelStyle(), apsText);
    f.Paint();
    EXPECT_GE(drawn, 1);
    delete f.inserter;
    EXPECT_EQ(f.edit->GetParent(), f.form.get());
    drawn = 0;
    f.Paint();
    EXPECT_GE(drawn, 1);
}

TEST(vsStatusBarInserter, ForgetsAControlThatIsDestroyed) {
    BarForm f;
    f.inserter->SetvsStatusBar(f.bar);
    f.inserter->SetControl(f.edit);
    delete f.edit;
    EXPECT_EQ(f.inserter->GetControl(), nullptr);
    EXPECT_EQ(f.bar->GetPanels()->GetItem(0)->GetPanelStyle(), apsText);
    f.Paint();
}

}  // namespace
