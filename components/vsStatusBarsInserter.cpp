#include "vsStatusBars.h"

#include <algorithm>

#include "Forms.h"

namespace {

// The part of the last panel the size grip takes.
constexpr int kSizeGripWidth = 13;

bool ShowsSizeGrip(const TvsCustomStatusBar* Bar) {
    const auto* form = dynamic_cast<const TForm*>(Bar->GetParent());
    return Bar->GetSizeGrip() && form &&
           (form->GetBorderStyle() == bsSizeable || form->GetBorderStyle() == bsSizeToolWin);
}

}  // namespace

TvsStatusBarInserter::TvsStatusBarInserter(TComponent* AOwner) : TComponent(AOwner) {}

TvsStatusBarInserter::~TvsStatusBarInserter() {
    Remove();
    SetvsStatusBar(nullptr);
    if (FControl) FControl->RemoveFreeNotification(this);
}

TvsStatusPanel* TvsStatusBarInserter::Panel() const {
    if (!FBar || FPanelIndex >= FBar->GetPanels()->Count()) return nullptr;
    return FBar->GetPanels()->GetItem(FPanelIndex);
}

void TvsStatusBarInserter::Insert() {
    if (!FBar || !FControl || FInserted) return;
    FWidthFixed = FHeightFixed = false;
    FSavedVisible = FControl->GetVisible();
    TWinControl* parent = FControl->GetParent();
    if (auto* bar = dynamic_cast<TvsCustomStatusBar*>(parent)) parent = bar->GetParent();
    FSavedParent = parent;
    FSavedBounds = FControl->BoundsRect();
    FControl->SetParent(FBar);
    StylePanel();
    FInserted = true;
    FControl->Show();
}

void TvsStatusBarInserter::Remove() {
    if (!FInserted) return;
    FInserted = false;
    if (FControl) {
        FControl->SetVisible(FSavedVisible);
        if (!FControl->ComponentState.Contains(csDestroying)) {
            FControl->SetParent(FSavedParent);
            FControl->SetBoundsRect(FSavedBounds);
        }
    }
    FWidthFixed = FHeightFixed = false;
    RestorePanel();
}

void TvsStatusBarInserter::StylePanel() {
    if (TvsStatusPanel* panel = Panel()) {
        FStyledIndex = FPanelIndex;
        FSavedStyle = panel->GetPanelStyle();
        panel->SetPanelStyle(apsOwnerDraw);
    }
}

void TvsStatusBarInserter::RestorePanel() {
    if (FBar && FStyledIndex >= 0 && FStyledIndex < FBar->GetPanels()->Count())
        FBar->GetPanels()->GetItem(FStyledIndex)->SetPanelStyle(FSavedStyle);
    FStyledIndex = -1;
}

void TvsStatusBarInserter::Repaint() {
    if (FBar) FBar->Invalidate();
}

void TvsStatusBarInserter::SetvsStatusBar(TvsCustomStatusBar* Value) {
    if (Value == FBar) return;
    Remove();
    if (FBar) {
        FBar->OnDrawPanel = std::move(FSavedDrawPanel);
        FSavedDrawPanel = nullptr;
        FBar->RemoveFreeNotification(this);
    }
    FBar = Value;
    if (FBar) {
        FBar->FreeNotification(this);
        FSavedDrawPanel = std::move(FBar->OnDrawPanel);
        FBar->OnDrawPanel = [this](TvsCustomStatusBar* Bar, TvsStatusPanel* P, const TRect& R) {
            DrawPanel(Bar, P, R);
        };
        Insert();
    }
    Repaint();
}

void TvsStatusBarInserter::SetControl(TControl* Value) {
    if (Value == FControl) return;
    const bool refused = !Value || dynamic_cast<TForm*>(Value) || dynamic_cast<TvsCustomStatusBar*>(Value);
    Remove();
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = nullptr;
    if (refused) {
        Repaint();
        return;
    }
    // A control has one place: an inserter of the same form holding it lets it go first.
    if (Owner)
        for (int i = 0; i < Owner->ComponentCount(); ++i)
            if (auto* other = dynamic_cast<TvsStatusBarInserter*>(Owner->Components(i));
                other && other != this && other->FControl == Value)
                other->SetControl(nullptr);
    FControl = Value;
    FControl->FreeNotification(this);
    Insert();
    Repaint();
}

void TvsStatusBarInserter::SetPanelIndex(int Value) {
    Value = std::max(Value, 0);
    if (Value == FPanelIndex) return;
    RestorePanel();
    FPanelIndex = Value;
    FWidthFixed = FHeightFixed = false;
    if (FInserted) StylePanel();
    Repaint();
}

void TvsStatusBarInserter::DrawPanel(TvsCustomStatusBar* Bar, TvsStatusPanel* P, const TRect& Rect) {
    if (P->GetIndex() != FPanelIndex || !FControl) {
        if (FSavedDrawPanel) FSavedDrawPanel(Bar, P, Rect);
        return;
    }
    int w = Rect.Width();
    const int h = Rect.Height();
    if (P->GetIndex() == Bar->GetPanels()->Count() - 1 && ShowsSizeGrip(Bar)) w -= kSizeGripWidth;
    if (FControl->GetLeft() != Rect.Left || FControl->GetTop() != Rect.Top) {
        FControl->SetLeft(Rect.Left);
        FControl->SetTop(Rect.Top);
    }
    if (!FWidthFixed) FControl->SetWidth(w);
    if (!FHeightFixed) FControl->SetHeight(h);
    if (FControl->GetWidth() != w) FWidthFixed = true;
    if (FControl->GetHeight() != h) FHeightFixed = true;
    if (FControl->GetWidth() == 0 || FControl->GetHeight() == 0) FWidthFixed = FHeightFixed = false;
}

void TvsStatusBarInserter::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FControl) {
        // The control is going: nothing of it is given back.
        FInserted = false;
        RestorePanel();
        FControl = nullptr;
    }
    if (AComponent == FBar) {
        FInserted = false;
        FStyledIndex = -1;
        FSavedDrawPanel = nullptr;
        FBar = nullptr;
    }
}
