#include "vsStatusBars.h"

#include <algorithm>
#include <climits>
#include <mutex>

#include "ExtCtrls.h"
#include "Forms.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace {

constexpr uintptr_t kLockKeyTimer = 1;
constexpr unsigned kLockKeyPeriod = 100;

TRect Shrunk(const TRect& R, int By) { return TRect{R.Left + By, R.Top + By, R.Right - By, R.Bottom - By}; }

// A caption centred across a panel of the given width.
void DrawPanelCaption(TCanvas* C, const TRect& R, int PanelWidth, const std::string& Caption) {
    C->GetBrush()->SetStyle(bsClear);
    C->TextRect(R, R.Left + (PanelWidth - C->TextWidth(Caption) - 3) / 2,
                R.Top + (R.Height() - C->TextHeight(Caption) + 1) / 2, Caption);
}

}  // namespace

// ---------------------------------------------------------------------------
// Panel settings

void TvsPanelSettings::Changed() {
    if (FPanel) FPanel->PanelChanged();
}

#define VS_SETTER(Class, Name, Type, Field) \
    void Class::Set##Name(Type Value) {     \
        if (Field == Value) return;         \
        Field = Value;                      \
        Changed();                          \
    }

VS_SETTER(TvsTextStyle, Alignment, TAlignment, FAlignment)
VS_SETTER(TvsTextStyle, GlyphIndex, int, FGlyphIndex)
VS_SETTER(TvsTextStyle, Layout, TvsTextLayout, FLayout)
VS_SETTER(TvsTextStyle, ShowText, bool, FShowText)
VS_SETTER(TvsTextStyle, Spacing, int, FSpacing)
VS_SETTER(TvsTextStyle, Text, const std::string&, FText)
VS_SETTER(TvsProgressBarStyle, Caption, const std::string&, FCaption)
VS_SETTER(TvsProgressBarStyle, ShowCaption, bool, FShowCaption)
VS_SETTER(TvsLockKeyStyle, Caption, const std::string&, FCaption)
VS_SETTER(TvsLockKeyStyle, ColorOff, TColor, FColorOff)
VS_SETTER(TvsLockKeyStyle, ColorOn, TColor, FColorOn)
#undef VS_SETTER

void TvsTextStyle::SetScrollEffect(TvsScrollEffect Value) {
    if (FScrollEffect == Value) return;
    FScrollEffect = Value;
    const int restart = (Panel() ? Panel()->GetWidth() : 0) + 4;
    switch (Value) {
    case seNone:
        ScrollOffset = 0;
        Direction = sdNone;
        break;
    case seFromLeftToRight:
        if (Direction != sdLeftToRight) ScrollOffset = restart, Direction = sdLeftToRight;
        break;
    case seFromRightToLeft:
        if (Direction != sdRightToLeft) ScrollOffset = restart, Direction = sdRightToLeft;
        break;
    case seChangeableDirection:
        if (Direction == sdNone) ScrollOffset = restart, Direction = sdRightToLeft;
        break;
    }
    Changed();
}

void TvsTextStyle::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TvsTextStyle*>(Source);
    if (!s) return TPersistent::Assign(Source);
    FAlignment = s->FAlignment;
    FGlyphIndex = s->FGlyphIndex;
    FLayout = s->FLayout;
    FSpacing = s->FSpacing;
    FText = s->FText;
    SetScrollEffect(s->FScrollEffect);
    Changed();
}

void TvsProgressBarStyle::SetMaxValue(int Value) {
    if (Value == FMaxValue) return;
    if (Value <= FMinValue)
        throw EInvalidOperation(Format("Value must be between %d and %d", {FMinValue + 1, INT_MAX}));
    FMaxValue = Value;
    FProgress = std::clamp(FProgress, FMinValue, FMaxValue);
    Changed();
}

void TvsProgressBarStyle::SetMinValue(int Value) {
    if (Value == FMinValue) return;
    if (Value >= FMaxValue)
        throw EInvalidOperation(Format("Value must be between %d and %d", {-INT_MAX, FMaxValue - 1}));
    FMinValue = Value;
    FProgress = std::clamp(FProgress, FMinValue, FMaxValue);
    Changed();
}

void TvsProgressBarStyle::SetProgress(int Value) {
    Value = std::clamp(Value, FMinValue, FMaxValue);
    if (Value == FProgress) return;
    FProgress = Value;
    Changed();
}

void TvsProgressBarStyle::SetProgressType(TvsProgressType Value) {
    if (FProgressType == Value) return;
    FProgressType = Value;
    FCaption = Value == aptPercent ? "%d%%" : "%d of %d";
    Changed();
}

int TvsProgressBarStyle::Percent() const {
    // The whole range of 32-bit bounds fits only in 64 bits, before and after the * 100.
    return static_cast<int>((int64_t(FProgress) - FMinValue) * 100 / (int64_t(FMaxValue) - FMinValue));
}

std::string TvsProgressBarStyle::CaptionText() const {
    if (FProgressType == aptPercent) return Format(FCaption, {Percent()});
    return Format(FCaption, {int64_t(FProgress) - FMinValue, int64_t(FMaxValue) - FMinValue});
}

void TvsProgressBarStyle::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TvsProgressBarStyle*>(Source);
    if (!s) return TPersistent::Assign(Source);
    FProgressType = s->FProgressType;
    FCaption = s->FCaption;
    FShowCaption = s->FShowCaption;
    FMinValue = s->FMinValue;
    FMaxValue = s->FMaxValue;
    FProgress = s->FProgress;
    Changed();
}

void TvsLockKeyStyle::SetLockKeyType(TvsLockKeyType Value) {
    FLockKeyType = Value;
    static const char* const kCaptions[] = {"NUM", "CAPS", "SCROLL"};
    FCaption = kCaptions[Value];
    Changed();
}

void TvsLockKeyStyle::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TvsLockKeyStyle*>(Source);
    if (!s) return TPersistent::Assign(Source);
    FLockKeyType = s->FLockKeyType;
    FCaption = s->FCaption;
    FColorOff = s->FColorOff;
    FColorOn = s->FColorOn;
    Changed();
}

// ---------------------------------------------------------------------------
// Panels

TvsStatusPanel::TvsStatusPanel(TCollection* Collection)
    : TCollectionItem(Collection),
      FFont(std::make_unique<TFont>()),
      FTextStyle(std::make_unique<TvsTextStyle>(this)),
      FProgressBarStyle(std::make_unique<TvsProgressBarStyle>(this)),
      FLockKeyStyle(std::make_unique<TvsLockKeyStyle>(this)) {
    if (TvsCustomStatusBar* bar = StatusBar()) {
        FFont->Assign(bar->GetFont());
        FBrushColor = bar->GetColor();
    }
    FFont->OnChange = [this](TObject*) {
        if (!FApplyingParentFont) FParentFont = false;
        PanelChanged();
    };
    if (auto* panels = dynamic_cast<TvsStatusPanels*>(Collection)) FName = panels->UniqueName();
    LayoutChanged();
}

TvsStatusPanel::~TvsStatusPanel() { FFont->OnChange = nullptr; }

TvsCustomStatusBar* TvsStatusPanel::StatusBar() const {
    auto* panels = dynamic_cast<TvsStatusPanels*>(GetCollection());
    return panels ? panels->StatusBar() : nullptr;
}

void TvsStatusPanel::SetBevel(TvsStatusPanelBevel Value) {
    if (FBevel == Value) return;
    FBevel = Value;
    PanelChanged();
}

void TvsStatusPanel::SetBrushColor(TColor Value) {
    FParentColor = false;
    if (FBrushColor == Value) return;
    FBrushColor = Value;
    PanelChanged();
}

void TvsStatusPanel::SetBrushStyle(TBrushStyle Value) {
    if (FBrushStyle == Value) return;
    FBrushStyle = Value;
    PanelChanged();
}

void TvsStatusPanel::SetName(const std::string& Value) {
    const std::string name = Trim(Value);
    if (name == FName) return;
    if (!IsValidIdent(name)) throw EvsStatusPanelError(Format("''%s'' is not a valid status panel name", {name}));
    if (TCollection* c = GetCollection())
        for (int i = 0; i < c->Count(); ++i) {
            auto* other = static_cast<TvsStatusPanel*>(c->Items(i));
            if (other != this && AnsiSameText(other->FName, name))
                throw EvsStatusPanelError(Format("A status panel named ''%s'' already exists", {name}));
        }
    FName = name;
}

void TvsStatusPanel::SetPanelStyle(TvsStatusPanelStyle Value) {
    if (FPanelStyle == Value) return;
    FPanelStyle = Value;
    PanelChanged();
}

void TvsStatusPanel::SetParentColor(bool Value) {
    FParentColor = Value;
    if (Value)
        if (TvsCustomStatusBar* bar = StatusBar()) FBrushColor = bar->GetColor();
    PanelChanged();
}

void TvsStatusPanel::SetParentFont(bool Value) {
    FParentFont = Value;
    if (!Value) return;
    if (TvsCustomStatusBar* bar = StatusBar()) TakeFont(bar->GetFont());
    PanelChanged();
}

void TvsStatusPanel::TakeFont(TFont* Source) {
    FApplyingParentFont = true;
    FFont->Assign(Source);
    FApplyingParentFont = false;
}

void TvsStatusPanel::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    LayoutChanged();
}

int TvsStatusPanel::GetWidth() const {
    if (FVisible) return FWidth;
    TvsCustomStatusBar* bar = StatusBar();
    if (bar && (bar->ComponentState.Contains(csWriting) || bar->ComponentState.Contains(csDesigning))) return FWidth;
    return 0;
}

void TvsStatusPanel::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    LayoutChanged();
}

bool TvsStatusPanel::ScrollStep() {
    TvsTextStyle* t = FTextStyle.get();
    if (FPanelStyle != apsText || !t->GetShowText() || t->Direction == sdNone) return false;
    const int pw = GetWidth();
    const int b = t->BlockWidth;
    const bool bounce = t->GetScrollEffect() == seChangeableDirection;
    if (t->Direction == sdLeftToRight) {
        ++t->ScrollOffset;
        if (t->ScrollOffset > pw + 4) {
            if (bounce)
                t->Direction = sdRightToLeft;
            else
                t->ScrollOffset = -4 - b;
        }
    } else {
        --t->ScrollOffset;
        if (t->ScrollOffset < -b - 4) {
            if (bounce)
                t->Direction = sdLeftToRight;
            else
                t->ScrollOffset = pw + 4;
        }
    }
    return true;
}

void TvsStatusPanel::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TvsStatusPanel*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FBevel = s->FBevel;
    FBrushColor = s->FBrushColor;
    FBrushStyle = s->FBrushStyle;
    TakeFont(s->FFont.get());
    Hint = s->Hint;
    FParentColor = s->FParentColor;
    FParentFont = s->FParentFont;
    if (s->FName != FName) SetName(s->FName);
    FPanelStyle = s->FPanelStyle;
    FPopupMenu = s->FPopupMenu;
    FVisible = s->FVisible;
    FWidth = s->FWidth;
    FLockKeyStyle->Assign(s->FLockKeyStyle.get());
    FProgressBarStyle->Assign(s->FProgressBarStyle.get());
    FTextStyle->Assign(s->FTextStyle.get());
    LayoutChanged();
}

TvsStatusPanels::TvsStatusPanels(TvsCustomStatusBar* ABar)
    : TOwnedCollection(ABar, CollectionItemClass<TvsStatusPanel>()), FBar(ABar) {}

std::string TvsStatusPanels::UniqueName() const {
    for (int n = 1;; ++n) {
        std::string name = "vsStatusPanel" + std::to_string(n);
        bool taken = false;
        for (int i = 0; i < Count() && !taken; ++i)
            taken = AnsiSameText(static_cast<TvsStatusPanel*>(Items(i))->FName, name);
        if (!taken) return name;
    }
}

void TvsStatusPanels::Update(TCollectionItem* Item) {
    if (!FBar) return;
    if (Item)
        FBar->PanelChanged(static_cast<TvsStatusPanel*>(Item));
    else
        FBar->Invalidate();
}

// ---------------------------------------------------------------------------
// The bar

TvsCustomStatusBar::TvsCustomStatusBar(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    FAlign = alBottom;
    FHeight = 19;
    FWidth = 200;
    FPanels = std::make_unique<TvsStatusPanels>(this);
}

TvsCustomStatusBar::~TvsCustomStatusBar() {
    if (FTimerRunning) KillTimer(this, kLockKeyTimer);
    FMousePanel = nullptr;
    FPanels.reset();
}

void TvsCustomStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    Invalidate();
}

void TvsCustomStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel == Value) return;
    FSimplePanel = Value;
    Invalidate();
}

void TvsCustomStatusBar::SetSimpleText(const std::string& Value) {
    if (FSimpleText == Value) return;
    FSimpleText = Value;
    if (FSimplePanel) Invalidate();
}

void TvsCustomStatusBar::SetGlyphs(TImageList* Value) {
    if (FGlyphs == Value) return;
    if (FGlyphs) FGlyphs->RemoveFreeNotification(this);
    FGlyphs = Value;
    if (FGlyphs) FGlyphs->FreeNotification(this);
    Invalidate();
}

void TvsCustomStatusBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FGlyphs) FGlyphs = nullptr;
    if (FPanels)
        for (int i = 0; i < FPanels->Count(); ++i)
            if (FPanels->GetItem(i)->GetPopupMenu() == AComponent) FPanels->GetItem(i)->SetPopupMenu(nullptr);
}

void TvsCustomStatusBar::UpdatePanels() {
    if (!FPanels) return;
    const int n = FPanels->Count();
    int left = 0;
    const int height = GetClientHeight();
    for (int i = 0; i < n; ++i) {
        TvsStatusPanel* p = FPanels->GetItem(i);
        if (i >= vsMaxParts) {
            p->Rect = TRect();
            continue;
        }
        // The last part reaches the bar's right end.
        int right = (i == n - 1 || i == vsMaxParts - 1) ? std::max(left, GetClientWidth()) : left + p->GetWidth();
        p->Rect = TRect{left, 0, right, height};
        left = right;
    }
}

TvsStatusPanel* TvsCustomStatusBar::PanelByName(const std::string& Name) const {
    for (int i = 0; i < FPanels->Count(); ++i)
        if (AnsiSameText(FPanels->GetItem(i)->GetName(), Name)) return FPanels->GetItem(i);
    throw EvsStatusPanelError(Format("Status panel '%s' not found", {Name}));
}

TvsStatusPanel* TvsCustomStatusBar::PanelAtPos(TPoint Pos) const {
    const_cast<TvsCustomStatusBar*>(this)->UpdatePanels();
    if (FSimplePanel) return nullptr;
    for (int i = 0; i < FPanels->Count(); ++i)
        if (FPanels->GetItem(i)->Rect.Contains(Pos)) return FPanels->GetItem(i);
    return nullptr;
}

void TvsCustomStatusBar::PanelChanged(TvsStatusPanel*) {
    // The layer repaints what is invalid in one pass; a changed panel repaints the bar.
    Invalidate();
}

void TvsCustomStatusBar::UpdateLockKeys() {
    if (ComponentState.Contains(csReading)) return;
    for (int i = 0; i < FPanels->Count(); ++i) {
        TvsStatusPanel* p = FPanels->GetItem(i);
        if (p->GetPanelStyle() != apsLockKey) continue;
        static const int kKeys[] = {VK_NUMLOCK, VK_CAPITAL, VK_SCROLL};
        // On means toggled and not held down.
        bool on = GetKeyState(kKeys[p->GetLockKeyStyle()->GetLockKeyType()]) == 1;
        if (on != p->GetLockKeyStyle()->KeyOn) {
            p->GetLockKeyStyle()->KeyOn = on;
            p->PanelChanged();
        }
    }
}

bool TvsCustomStatusBar::DoHint() {
    if (!OnHint) return false;
    OnHint(this);
    return true;
}

void TvsCustomStatusBar::ScrollPanels() {
    for (int i = 0; i < FPanels->Count(); ++i)
        if (FPanels->GetItem(i)->ScrollStep()) Invalidate();
}

void TvsCustomStatusBar::Loaded() {
    TCustomControl::Loaded();
    ColorPanels();
    UpdateLockKeys();
}

void TvsCustomStatusBar::ColorPanels() {
    for (int i = 0; i < FPanels->Count(); ++i)
        if (FPanels->GetItem(i)->GetParentColor()) FPanels->GetItem(i)->FBrushColor = GetColor();
}

void TvsCustomStatusBar::CreateWnd() {
    TCustomControl::CreateWnd();
    // The lock-key poll lives with the window.
    FTimerRunning = SetTimer(this, kLockKeyTimer, kLockKeyPeriod) != 0;
}

void TvsCustomStatusBar::DestroyWnd() {
    if (FTimerRunning) KillTimer(this, kLockKeyTimer);
    FTimerRunning = false;
    TCustomControl::DestroyWnd();
}

void TvsCustomStatusBar::WMTimer(TWMTimer& Message) {
    if (Message.TimerID() == kLockKeyTimer) {
        UpdateLockKeys();
        return;
    }
    TCustomControl::WMTimer(Message);
}

void TvsCustomStatusBar::BoundsChanged(bool SizeChanged) {
    if (ComponentState.Contains(csLoading)) {
        TWinControl::BoundsChanged(false);
        return;
    }
    TCustomControl::BoundsChanged(SizeChanged);
    if (SizeChanged) Invalidate();
}

void TvsCustomStatusBar::CMParentColorChanged(TMessage& Message) {
    TCustomControl::CMParentColorChanged(Message);
    ColorPanels();
}

void TvsCustomStatusBar::CMColorChanged(TMessage& Message) {
    TCustomControl::CMColorChanged(Message);
    ColorPanels();
    Invalidate();
}

void TvsCustomStatusBar::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    for (int i = 0; i < FPanels->Count(); ++i)
        if (FPanels->GetItem(i)->GetParentFont()) FPanels->GetItem(i)->TakeFont(GetFont());
    Invalidate();
}

// ---- Mouse and hints ------------------------------------------------------------------

void TvsCustomStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    FMousePanel = PanelAtPos(TPoint{X, Y});
    if (FMousePanel && OnPanelDblClick && Shift.Contains(ssDouble)) OnPanelDblClick(FMousePanel, Button, Shift, X, Y);
}

void TvsCustomStatusBar::MouseMove(TShiftState Shift, int X, int Y) {
    if (GetShowHint()) {
        TvsStatusPanel* p = PanelAtPos(TPoint{X, Y});
        if (p != FMousePanel) {
            FMousePanel = p;
            if (Application) Application->CancelHint();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TvsCustomStatusBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (TvsStatusPanel* p = PanelAtPos(TPoint{X, Y}))
        if (OnPanelClick) OnPanelClick(p, Button, Shift, X, Y);
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TvsCustomStatusBar::CMHintShow(TMessage& Message) {
    TCustomControl::CMHintShow(Message);
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (!info) return;
    if (!FMousePanel) FMousePanel = PanelAtPos(info->CursorPos);
    if (FMousePanel && !FMousePanel->Hint.empty()) {
        info->HintStr = FMousePanel->Hint;
        info->CursorRect = FMousePanel->Rect;
    } else {
        info->HintStr = GetShortHint(Hint);
    }
}

void TvsCustomStatusBar::DoContextPopup(TPoint MousePos, bool& Handled) {
    TvsStatusPanel* p = PanelAtPos(MousePos);
    if (p && p->GetPopupMenu()) {
        TPoint s = ClientToScreen(MousePos);
        p->GetPopupMenu()->PopupComponent = this;
        p->GetPopupMenu()->Popup(s.X, s.Y);
        Handled = true;
        return;
    }
    TCustomControl::DoContextPopup(MousePos, Handled);
}

// ---- Painting ---------------------------------------------------------------------------

void TvsCustomStatusBar::Paint() {
    TCanvas* c = Canvas();
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(GetClientRect());
    if (FSimplePanel) {
        c->SetFont(GetFont());
        c->GetBrush()->SetStyle(bsClear);
        c->TextOut(2, (GetClientHeight() - c->TextHeight(FSimpleText) + 1) / 2, FSimpleText);
        return;
    }
    UpdatePanels();
    for (int i = 0; i < FPanels->Count() && i < vsMaxParts; ++i) {
        TvsStatusPanel* p = FPanels->GetItem(i);
        if (p->Rect.Width() <= 0) continue;
        TRect r = p->Rect;
        if (p->GetBevel() == apbLowered)
            Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
        else if (p->GetBevel() == apbRaised)
            Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
        else
            r = Shrunk(r, 1);
        c->SetFont(p->GetFont());
        c->GetBrush()->SetColor(p->GetBrushColor());
        c->GetBrush()->SetStyle(p->GetBrushStyle());
        DrawPanel(p, r);
    }
}

void TvsCustomStatusBar::DrawPanel(TvsStatusPanel* Panel, const TRect& ItemRect) {
    TCanvas* c = Canvas();
    if (ItemRect.Width() < 0 || ItemRect.Height() < 0) return;
    if (Panel->GetPanelStyle() != apsEmpty) c->FillRect(ItemRect);
    switch (Panel->GetPanelStyle()) {
    case apsOwnerDraw:
        if (OnDrawPanel) OnDrawPanel(this, Panel, ItemRect);
        break;
    case apsText:
    case apsAppHint: DrawTextPanel(Panel, ItemRect); break;
    case apsProgressBar: DrawProgressPanel(Panel, ItemRect); break;
    case apsLockKey: DrawLockKeyPanel(Panel, ItemRect); break;
    case apsEmpty: break;
    }
}

void TvsCustomStatusBar::DrawTextPanel(TvsStatusPanel* Panel, const TRect& R) {
    TvsTextStyle* t = Panel->GetTextStyle();
    if (!t->GetShowText()) return;
    TCanvas* c = Canvas();
    const std::string text = t->GetText();
    const int w = R.Width(), h = R.Height();
    const int y = (h - c->TextHeight(text) + 1) / 2;
    const bool glyph = FGlyphs && t->GetGlyphIndex() >= 0 && t->GetGlyphIndex() < FGlyphs->Count();
    const int imageWidth = glyph ? FGlyphs->GetWidth() : 0;
    const int block = c->TextWidth(text) + (glyph ? imageWidth + t->GetSpacing() : 0);
    t->BlockWidth = block;
    int x0 = 0;
    if (t->GetScrollEffect() == seNone) {
        switch (t->GetAlignment()) {
        case taLeftJustify: x0 = 2; break;
        case taCenter: x0 = (w - block) / 2; break;
        case taRightJustify: x0 = w - block - 2; break;
        }
    }
    const int p = R.Left + x0 + t->ScrollOffset;
    c->GetBrush()->SetStyle(bsClear);
    int textX = p;
    if (glyph) {
        const int gy = R.Top + (h - FGlyphs->GetHeight() + 1) / 2;
        if (t->GetLayout() == tlGlyphLeft) {
            FGlyphs->Draw(c, p, gy, t->GetGlyphIndex());
            textX = p + imageWidth + t->GetSpacing();
        } else {
            FGlyphs->Draw(c, p + block - imageWidth, gy, t->GetGlyphIndex());
        }
    }
    c->TextRect(R, textX, R.Top + y, text);
}

void TvsCustomStatusBar::DrawProgressPanel(TvsStatusPanel* Panel, const TRect& R) {
    TvsProgressBarStyle* s = Panel->GetProgressBarStyle();
    TCanvas* c = Canvas();
    const int pw = Panel->GetWidth();
    const int edge = static_cast<int>((pw - 4) * s->Percent() * 0.01);
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(TRect{R.Left + edge, R.Top, R.Right, R.Bottom});
    c->GetBrush()->SetColor(Panel->GetBrushColor());
    c->GetBrush()->SetStyle(Panel->GetBrushStyle());
    c->FillRect(TRect{R.Left, R.Top, std::min(R.Right, R.Left + edge), R.Bottom});
    if (s->GetShowCaption()) DrawPanelCaption(c, R, pw, s->CaptionText());
}

void TvsCustomStatusBar::DrawLockKeyPanel(TvsStatusPanel* Panel, const TRect& R) {
    TvsLockKeyStyle* s = Panel->GetLockKeyStyle();
    TCanvas* c = Canvas();
    c->GetFont()->SetColor(s->KeyOn ? s->GetColorOn() : s->GetColorOff());
    DrawPanelCaption(c, R, Panel->GetWidth(), s->GetCaption());
}

// ---------------------------------------------------------------------------
// Registration

void RegisterVsStatusBarsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        const std::string persistent = ParentIfRegistered("TPersistent");
        using T = TvsTextStyle;
        Published<TvsTextStyle>("TvsTextStyle", persistent)
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &T::GetAlignment, &T::SetAlignment)
            .Int("GlyphIndex", &T::GetGlyphIndex, &T::SetGlyphIndex)
            .Enum("Layout", {"tlGlyphLeft", "tlGlyphRight"}, &T::GetLayout, &T::SetLayout)
            .Enum("ScrollEffect", {"seNone", "seFromLeftToRight", "seFromRightToLeft", "seChangeableDirection"},
                  &T::GetScrollEffect, &T::SetScrollEffect)
            .Bool("ShowText", &T::GetShowText, &T::SetShowText)
            .Int("Spacing", &T::GetSpacing, &T::SetSpacing)
            .Str("Text", &T::GetText, &T::SetText);
        using PB = TvsProgressBarStyle;
        Published<TvsProgressBarStyle>("TvsProgressBarStyle", persistent)
            .Str("Caption", &PB::GetCaption, &PB::SetCaption)
            .Int("MaxValue", &PB::GetMaxValue, &PB::SetMaxValue)
            .Int("MinValue", &PB::GetMinValue, &PB::SetMinValue)
            .Int("Progress", &PB::GetProgress, &PB::SetProgress)
            .Enum("ProgressType", {"aptPercent", "aptCount"}, &PB::GetProgressType, &PB::SetProgressType)
            .Bool("ShowCaption", &PB::GetShowCaption, &PB::SetShowCaption);
        using LK = TvsLockKeyStyle;
        Published<TvsLockKeyStyle>("TvsLockKeyStyle", persistent)
            .Str("Caption", &LK::GetCaption, &LK::SetCaption)
            .Int("ColorOff", &LK::GetColorOff, &LK::SetColorOff)
            .Int("ColorOn", &LK::GetColorOn, &LK::SetColorOn)
            .Enum("LockKeyType", {"lktNumLock", "lktCapsLock", "lktScrollLock"}, &LK::GetLockKeyType,
                  &LK::SetLockKeyType);
        using P = TvsStatusPanel;
        Published<TvsStatusPanel>("TvsStatusPanel", persistent)
            .Enum("Bevel", {"apbNone", "apbLowered", "apbRaised"}, &P::GetBevel, &P::SetBevel)
            .Int("BrushColor", &P::GetBrushColor, &P::SetBrushColor)
            .Enum("BrushStyle",
                  {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross",
                   "bsDiagCross"},
                  &P::GetBrushStyle, &P::SetBrushStyle)
            .Object("Font", &P::GetFont)
            .Str("Hint", &P::Hint, &P::Hint)
            .Str("Name", &P::GetName, &P::SetName)
            .Enum("PanelStyle", {"apsEmpty", "apsOwnerDraw", "apsText", "apsProgressBar", "apsLockKey", "apsAppHint"},
                  &P::GetPanelStyle, &P::SetPanelStyle)
            .Bool("ParentColor", &P::GetParentColor, &P::SetParentColor)
            .Bool("ParentFont", &P::GetParentFont, &P::SetParentFont)
            .Reference<TPopupMenu>("PopupMenu", &P::GetPopupMenu, &P::SetPopupMenu)
            .Bool("Visible", &P::GetVisible, &P::SetVisible)
            .Int("Width", &P::StoredWidth, &P::SetWidth)
            .Str("Text", &P::GetText, &P::SetText)
            .Int("Progress", &P::GetProgress, &P::SetProgress)
            .Object("LockKeyStyle", &P::GetLockKeyStyle)
            .Object("ProgressBarStyle", &P::GetProgressBarStyle)
            .Object("TextStyle", &P::GetTextStyle);
        using B = TvsCustomStatusBar;
        Published<TvsCustomStatusBar>("TvsCustomStatusBar", "TCustomControl")
            .Str("About", &B::About, nullptr)
            .Bool("AutoHint", &B::AutoHint, &B::AutoHint)
            .Reference<TImageList>("Glyphs", &B::GetGlyphs, &B::SetGlyphs)
            .Object("Panels", &B::GetPanels)
            .Bool("SimplePanel", &B::GetSimplePanel, &B::SetSimplePanel)
            .Str("SimpleText", &B::GetSimpleText, &B::SetSimpleText)
            .Bool("SizeGrip", &B::GetSizeGrip, &B::SetSizeGrip)
            .Bool("UseSystemFont", &B::GetUseSystemFont, &B::SetUseSystemFont)
            .Event("OnHint", &B::OnHint)
            .Event("OnDrawPanel", &B::OnDrawPanel)
            .Event("OnPanelClick", &B::OnPanelClick)
            .Event("OnPanelDblClick", &B::OnPanelDblClick);
        Published<TvsStatusBar>("TvsStatusBar", "TvsCustomStatusBar");
        using I = TvsStatusBarInserter;
        Published<TvsStatusBarInserter>("TvsStatusBarInserter", "TComponent")
            .Str("About", &I::About, nullptr)
            .Reference<TvsCustomStatusBar>("vsStatusBar", &I::GetvsStatusBar, &I::SetvsStatusBar)
            .Reference<TControl>("Control", &I::GetControl, &I::SetControl)
            .Int("PanelIndex", &I::GetPanelIndex, &I::SetPanelIndex);
    });
}
