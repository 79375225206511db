// Panels, bevels, shapes, images, radio groups and scroll boxes.

#include "ExtCtrls.h"

#include "StdCtrlsPrivate.h"

#include <QScrollArea>
#include <QWidget>

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->GetPen()->SetWidth(1);
    Canvas->GetPen()->SetStyle(psSolid);
    --Rect.Bottom;
    --Rect.Right;
    while (Width > 0) {
        --Width;
        // Polylines leave out their last point, so the corners are not drawn twice.
        Canvas->GetPen()->SetColor(TopColor);
        Canvas->Polyline({Point(Rect.Left, Rect.Bottom), Point(Rect.Left, Rect.Top), Point(Rect.Right, Rect.Top)});
        Canvas->GetPen()->SetColor(BottomColor);
        Canvas->Polyline(
            {Point(Rect.Right, Rect.Top), Point(Rect.Right, Rect.Bottom), Point(Rect.Left - 1, Rect.Bottom)});
        ++Rect.Left;
        ++Rect.Top;
        --Rect.Right;
        --Rect.Bottom;
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

// ---------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle += csAcceptsControls;
    ControlStyle += csOpaque;
    ControlStyle += csSetCaption;
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
    FParentColor = false;
}

void TCustomPanel::BordersChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    FBevelInner = Value;
    BordersChanged();
}
void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    BordersChanged();
}
void TCustomPanel::SetBevelWidth(int Value) {
    FBevelWidth = std::max(Value, 1);
    BordersChanged();
}
void TCustomPanel::SetBorderWidth(int Value) {
    FBorderWidth = std::max(Value, 0);
    BordersChanged();
}
void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    BordersChanged();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    int size = FBorderWidth;
    if (FBevelOuter != bvNone) size += FBevelWidth;
    if (FBevelInner != bvNone) size += FBevelWidth;
    if (FBorderStyle == bsSingle) size += 1;
    Rect.Left += size;
    Rect.Top += size;
    Rect.Right -= size;
    Rect.Bottom -= size;
}

void TCustomPanel::CMTextChanged(TMessage& Message) { Invalidate(); }

static void BevelColors(TBevelCut Bevel, TColor& Top, TColor& Bottom) {
    // A space bevel is drawn in the raised colours, as the platform draws it.
    Top = Bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    Bottom = Bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

void TCustomPanel::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    TColor top, bottom;
    if (FBorderStyle == bsSingle) Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    Frame3D(c, r, FColor, FColor, FBorderWidth);
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(FColor);
    c->FillRect(r);
    std::string caption = GetCaption();
    if (caption.empty()) return;
    c->GetBrush()->SetStyle(bsClear);
    c->SetFont(GetFont());
    int h = c->TextHeight("W");
    r.Top = (r.Bottom + r.Top - h) / 2;
    r.Bottom = r.Top + h;
    unsigned align = FAlignment == taRightJustify ? unsigned(DT_RIGHT)
                     : FAlignment == taCenter     ? unsigned(DT_CENTER)
                                                  : 0u;
    c->SetBkMode(TRANSPARENT);
    c->DrawText(caption, r, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | align);
}

// ---------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle += csReplicatable;
    FWidth = 50;
    FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}
void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* c = GetCanvas();
    TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    c->GetPen()->SetWidth(1);
    c->GetPen()->SetStyle(psSolid);
    auto bevelRect = [&](TRect r, TColor a, TColor b) {
        c->GetPen()->SetColor(a);
        c->Polyline({Point(r.Left, r.Bottom), Point(r.Left, r.Top), Point(r.Right, r.Top)});
        c->GetPen()->SetColor(b);
        c->Polyline({Point(r.Right, r.Top), Point(r.Right, r.Bottom), Point(r.Left, r.Bottom)});
    };
    auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
        c->GetPen()->SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    int w = FWidth, h = FHeight;
    switch (FShape) {
    case bsBox: bevelRect(Rect(0, 0, w - 1, h - 1), c1, c2); break;
    case bsFrame:
        bevelRect(Rect(1, 1, w - 1, h - 1), c2, c2);
        bevelRect(Rect(0, 0, w - 2, h - 2), c1, c1);
        break;
    case bsTopLine:
        line(c1, 0, 0, w, 0);
        line(c2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(c1, 0, h - 2, w, h - 2);
        line(c2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(c1, 0, 0, 0, h);
        line(c2, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(c1, w - 2, 0, w - 2, h);
        line(c2, w - 1, 0, w - 1, h);
        break;
    case bsSpacer: break;
    }
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    ControlStyle += csReplicatable;
    FWidth = 65;
    FHeight = 65;
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() {
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TShape::SetShape(TShapeType Value) {
    FShape = Value;
    Invalidate();
}

void TShape::Paint() {
    TCanvas* c = GetCanvas();
    c->SetPen(FPen.get());
    c->SetBrush(FBrush.get());
    int pw = FPen->GetWidth();
    int x = pw / 2, y = x;
    int w = FWidth - pw + 1, h = FHeight - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    int s = std::min(w, h);
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    ControlStyle += csReplicatable;
    FWidth = 105;
    FHeight = 105;
    FPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}
void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    FTransparent = Value;
    if (TGraphic* g = FPicture->GetGraphic()) g->SetTransparent(Value);
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    PictureChanged(this);
}

void TImage::PictureChanged(TObject*) {
    TGraphic* g = FPicture->GetGraphic();
    if (g && !g->GetEmpty()) {
        if (g->GetTransparent() != FTransparent) g->SetTransparent(FTransparent);
        if (FAutoSize && g->GetWidth() > 0 && g->GetHeight() > 0) SetBounds(FLeft, FTop, g->GetWidth(), g->GetHeight());
    }
    Invalidate();
}

TRect TImage::DestRect() const {
    int w = FPicture->GetWidth(), h = FPicture->GetHeight();
    if (FStretch) return GetClientRect();
    if (FCenter) {
        int x = (FWidth - w) / 2, y = (FHeight - h) / 2;
        return Bounds(x, y, w, h);
    }
    return Rect(0, 0, w, h);
}

void TImage::Paint() {
    TGraphic* g = FPicture->GetGraphic();
    if (!g || g->GetEmpty()) return;
    GetCanvas()->StretchDraw(DestRect(), g);
}

// ---------------------------------------------------------------------------
// TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle += csReplicatable;
    FWidth = 105;
    FHeight = 105;
}

void TPaintBox::Paint() {
    TCanvas* c = GetCanvas();
    c->SetFont(GetFont());
    c->GetBrush()->SetColor(GetColor());
    c->GetBrush()->SetStyle(bsSolid);
    if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------------------
// TCustomRadioGroup

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject*) {
        if (ComponentState.Contains(csLoading)) return;
        if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
        UpdateButtons();
    };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    FItems->OnChange = nullptr;
    for (TRadioButton* b : FButtons) b->OnClick = nullptr;
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
    UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
    FUpdating = true;
    while (int(FButtons.size()) < FItems->Count()) {
        auto* b = new TRadioButton(this);
        b->OnClick = [this](TObject* Sender) { ButtonClicked(static_cast<TRadioButton*>(Sender)); };
        b->SetParent(this);
        FButtons.push_back(b);
    }
    while (int(FButtons.size()) > FItems->Count()) {
        TRadioButton* b = FButtons.back();
        FButtons.pop_back();
        delete b;
    }
    for (int i = 0; i < int(FButtons.size()); ++i) {
        TRadioButton* b = FButtons[size_t(i)];
        b->SetCaption(FItems->Get(i));
        b->SetEnabled(GetEnabled());
        b->SetChecked(i == FItemIndex);
    }
    FUpdating = false;
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty() || ComponentState.Contains(csLoading)) return;
    TCanvas c;
    c.SetFont(GetFont());
    TTextMetric tm;
    c.GetTextMetrics(tm);
    int columns = std::max(FColumns, 1);
    int count = int(FButtons.size());
    int perCol = (count + columns - 1) / columns;
    int buttonWidth = (FWidth - 10) / columns;
    int room = FHeight - tm.tmHeight - 5;
    int buttonHeight = room / perCol;
    int topMargin = tm.tmHeight + 1 + (room % perCol) / 2;
    for (int i = 0; i < count; ++i)
        FButtons[size_t(i)]->SetBounds((i / perCol) * buttonWidth + 8, (i % perCol) * buttonHeight + topMargin,
                                       buttonWidth, buttonHeight);
}

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (ComponentState.Contains(csLoading)) {
        FItemIndex = Value;
        return;
    }
    if (Value < -1) Value = -1;
    if (Value >= FItems->Count()) Value = FItems->Count() - 1;
    if (Value == FItemIndex) return;
    if (FItemIndex >= 0 && FItemIndex < int(FButtons.size())) {
        FUpdating = true;
        FButtons[size_t(FItemIndex)]->SetChecked(false);
        FUpdating = false;
    }
    FItemIndex = Value;
    // Checking the button clicks it, and its click is the group's OnClick.
    if (FItemIndex >= 0 && FItemIndex < int(FButtons.size())) FButtons[size_t(FItemIndex)]->SetChecked(true);
}

void TCustomRadioGroup::ButtonClicked(TRadioButton* Button) {
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), Button);
    if (it == FButtons.end() || !Button->GetChecked()) return;
    FItemIndex = int(it - FButtons.begin());
    Click();
}

void TCustomRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (Value == FColumns) return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::BoundsChanged(bool SizeChanged) {
    TCustomGroupBox::BoundsChanged(SizeChanged);
    if (SizeChanged) ArrangeButtons();
}

void TCustomRadioGroup::FontChanged(TObject* Sender) {
    TCustomGroupBox::FontChanged(Sender);
    ArrangeButtons();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
    TCustomGroupBox::CMEnabledChanged(Message);
    for (TRadioButton* b : FButtons) b->SetEnabled(GetEnabled());
}

// ---------------------------------------------------------------------------
// TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle += csAcceptsControls;
    FWidth = 185;
    FHeight = 41;
    FTabStop = false;
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (auto* sa = qobject_cast<QScrollArea*>(WidgetIfAllocated()))
        sa->setFrameShape(Value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
    Realign();
}

QWidget* TScrollBox::CreateWidget(QWidget* ParentWidget) {
    auto* sa = new QScrollArea(ParentWidget);
    sa->setFocusPolicy(Qt::NoFocus);
    sa->setWidgetResizable(false);
    auto* content = new QWidget;
    sa->setWidget(content);
    BridgeWidget(sa->viewport());
    return sa;
}

QWidget* TScrollBox::ClientWidget() {
    if (auto* sa = qobject_cast<QScrollArea*>(WidgetIfAllocated())) return sa->widget();
    return TWinControl::ClientWidget();
}

TRect TScrollBox::GetClientRect() const {
    int b = FBorderStyle == bsSingle ? 2 : 0;
    return Rect(0, 0, std::max(FWidth - 2 * b, 0), std::max(FHeight - 2 * b, 0));
}

void TScrollBox::UpdateWidget() {
    TWinControl::UpdateWidget();
    if (auto* sa = qobject_cast<QScrollArea*>(WidgetIfAllocated())) {
        sa->setFrameShape(FBorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
        sa->setHorizontalScrollBarPolicy(AutoScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        sa->setVerticalScrollBarPolicy(AutoScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    }
    UpdateContentSize();
}

void TScrollBox::UpdateWidgetColor() {
    if (auto* sa = qobject_cast<QScrollArea*>(WidgetIfAllocated())) {
        ApplyWidgetColors(sa->viewport(), FColor, FFont->GetColor(), false);
        ApplyWidgetColors(sa->widget(), FColor, FFont->GetColor(), false);
    }
}

TSize TScrollBox::ContentSize() const {
    TRect cr = GetClientRect();
    TSize s{cr.Width(), cr.Height()};
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->GetVisible()) continue;
        s.cx = std::max(s.cx, c->GetLeft() + c->GetWidth());
        s.cy = std::max(s.cy, c->GetTop() + c->GetHeight());
    }
    return s;
}

void TScrollBox::UpdateContentSize() {
    auto* sa = qobject_cast<QScrollArea*>(WidgetIfAllocated());
    if (!sa || !sa->widget()) return;
    TSize s = ContentSize();
    sa->widget()->resize(s.cx, s.cy);
}

void TScrollBox::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    UpdateContentSize();
}

void TScrollBox::ScrollInView(TControl* AControl) {
    auto* sa = qobject_cast<QScrollArea*>(WidgetIfAllocated());
    if (!sa || !AControl || AControl->GetParent() != this) return;
    sa->ensureVisible(AControl->GetLeft() + AControl->GetWidth() / 2, AControl->GetTop() + AControl->GetHeight() / 2,
                      AControl->GetWidth() / 2, AControl->GetHeight() / 2);
}
