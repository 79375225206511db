// The flat look of the form's standard controls, drawn over each control's own
// painting by a TControlSubClass that sits in the control's WindowProc.

#include "OwnerDrawMenu.h"

#include <algorithm>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

namespace {

// The thumb width of the system scroll bars at the standard resolution: the
// combo button's width and the check mark box's size. (At 10 the checked dot
// of a radio button shrinks to nothing.)
constexpr int kThumb = 16;

constexpr unsigned BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_SETSTATE = 0x00F3;
constexpr unsigned kRecreatingMessages[] = {WM_WINDOWPOSCHANGED, 0xB8, 0xB010, 0xB011, 0xB034, 0xBE10};
constexpr Word kSpace = 0x20;

bool NameIs(const TControl* c, std::initializer_list<const char*> names) {
    const std::string n = c->ClassName();
    return std::any_of(names.begin(), names.end(), [&](const char* x) { return n == x; });
}

TColor ParentColor(const TControl* c) { return c->GetParent() ? c->GetParent()->GetColor() : clBtnFace; }

void Line(TCanvas* C, std::initializer_list<TPoint> points) { C->Polyline(std::vector<TPoint>(points)); }

TRect Inflated(TRect r, int d) { return TRect{r.Left - d, r.Top - d, r.Right + d, r.Bottom + d}; }
TRect Moved(TRect r, int dx, int dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

}  // namespace

bool TOwnerDrawMenu::Qualifies(const TControl* Control) const {
    const TWinControl* parent = Control ? Control->GetParent() : nullptr;
    if (!parent || Control->Tag == 999 || parent->Tag == 999) return false;
    const auto kind = [&](TXPControl bit, bool test) { return test && FXPControls.Contains(bit); };
    const bool control = kind(xcCombo, dynamic_cast<const TCustomComboBox*>(Control)) ||
                         kind(xcEdit, dynamic_cast<const TEdit*>(Control)) ||
                         kind(xcMaskEdit, NameIs(Control, {"TMaskEdit", "TDBEdit"})) ||
                         kind(xcMemo, dynamic_cast<const TCustomMemo*>(Control)) ||
                         kind(xcCheckBox, dynamic_cast<const TCustomCheckBox*>(Control)) ||
                         kind(xcRadioButton, dynamic_cast<const TRadioButton*>(Control)) ||
                         kind(xcBitBtn, NameIs(Control, {"TBitBtn"})) ||
                         kind(xcButton, NameIs(Control, {"TButton", "TUpDown", "TDBNavigator", "TDBLookupComboBox"})) ||
                         kind(xcPanel, dynamic_cast<const TCustomPanel*>(Control)) ||
                         kind(xcGroupBox, dynamic_cast<const TCustomGroupBox*>(Control));
    if (!control) return false;
    const auto container = [&](TXPContainer bit, bool test) { return test && FXPContainers.Contains(bit); };
    return container(xccPanel, dynamic_cast<const TCustomPanel*>(parent)) ||
           container(xccScrollBox, dynamic_cast<const TScrollBox*>(parent)) ||
           container(xccGroupBox, dynamic_cast<const TCustomGroupBox*>(parent)) ||
           container(xccFrame, NameIs(parent, {"TDBCtrlPanel"})) ||
           container(xccTabSheet, NameIs(parent, {"TTabSheet", "TdxTabSheet"})) ||
           container(xccForm, dynamic_cast<const TForm*>(parent));
}

TControlSubClass* TOwnerDrawMenu::SubClassOf(const TControl* Control) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* s = dynamic_cast<TControlSubClass*>(Components(i)); s && s->GetControl() == Control) return s;
    return nullptr;
}

TControlSubClass::TControlSubClass(TOwnerDrawMenu* AOwner, TControl* AControl)
    : TComponent(AOwner), FControl(AControl), FOwnerDrawMenu(AOwner) {
    FSavedProc = FControl->WindowProc;
    FControl->WindowProc = [this](TMessage& m) { ControlSubClassProc(m); };
    FControl->FreeNotification(this);
}

TControlSubClass::~TControlSubClass() { Release(); }

void TControlSubClass::Release() {
    if (!FControl) return;
    TControl* c = FControl;
    FControl = nullptr;
    c->WindowProc = FSavedProc;
    c->RemoveFreeNotification(this);
    if (!c->ComponentState.Contains(csDestroying)) c->Invalidate();
}

void TControlSubClass::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FControl) FControl = nullptr;
}

void TControlSubClass::ControlSubClassProc(TMessage& Message) {
    TControl* control = FControl;
    if (FSavedProc)
        FSavedProc(Message);
    else
        control->WndProc(Message);
    if (!FControl || control->ComponentState.Contains(csDestroying)) return;
    if (!FOwnerDrawMenu->GetActive()) {
        // The menu turned inactive: give the control back its procedure and go.
        Release();
        delete this;
        return;
    }
    FLastMessage = Message.Msg;
    const unsigned msg = Message.Msg;
    if (std::find(std::begin(kRecreatingMessages), std::end(kRecreatingMessages), msg) != std::end(kRecreatingMessages))
        return;
    switch (msg) {
    case WM_PAINT: PaintNow(); break;
    case WM_SETFOCUS:
        FHot = true;
        Paint();
        break;
    case WM_KILLFOCUS:
        FHot = false;
        Paint();
        break;
    case BM_GETCHECK:
    case BM_SETCHECK:
        FHot = false;
        Paint();
        break;
    case BM_SETSTATE: Paint(); break;
    case WM_KEYDOWN:
        if (Message.WParam == kSpace) {
            FSpaceDown = true;
            if (!FSpacePainted) Paint();
            FSpacePainted = true;
        }
        break;
    case WM_KEYUP:
        if (Message.WParam == kSpace) {
            FSpaceDown = FSpacePainted = false;
            Paint();
        }
        break;
    case WM_LBUTTONDOWN:
        FMouseDown = true;
        Paint();
        break;
    case WM_LBUTTONUP:
        FMouseDown = false;
        Paint();
        break;
    case WM_LBUTTONDBLCLK:
        // A double click is a second press.
        if (dynamic_cast<TButton*>(control) || dynamic_cast<TCheckBox*>(control))
            control->Perform(WM_LBUTTONDOWN, Message.WParam, Message.LParam);
        break;
    case CM_FOCUSCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_TEXTCHANGED: Paint(); break;
    case CM_ENABLEDCHANGED:
        if (!control->GetEnabled()) FHot = false;
        Paint();
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (control->GetEnabled()) {
            FHot = msg == CM_MOUSEENTER;
            Paint();
        }
        break;
    case CM_EXIT:
        FHot = false;
        Paint();
        break;
    default: break;
    }
}

void TControlSubClass::Paint() {
    if (FControl) FControl->Invalidate();
}

void TControlSubClass::PaintNow() {
    TControl* c = FControl;
    auto* win = dynamic_cast<TWinControl*>(c);
    FFocused = win && win->Focused();
    TControlCanvas canvas(c);
    if (!canvas.HandleAllocated()) return;
    const TOwnerDrawMenu::TColors k = FOwnerDrawMenu->EffectiveColors();
    if (dynamic_cast<TCustomComboBox*>(c)) PaintCombo(&canvas, k);
    if (dynamic_cast<TCustomEdit*>(c)) PaintEdit(&canvas, k);
    if (dynamic_cast<TCustomCheckBox*>(c)) PaintCheckBox(&canvas, k);
    if (dynamic_cast<TRadioButton*>(c)) PaintRadio(&canvas, k);
    if (dynamic_cast<TButton*>(c)) PaintButton(&canvas, k);
    if (dynamic_cast<TCustomPanel*>(c)) PaintPanel(&canvas);
    if (dynamic_cast<TCustomGroupBox*>(c)) PaintGroupBox(&canvas);
}

void TControlSubClass::PaintEdit(TCanvas* C, const TOwnerDrawMenu::TColors& K) {
    auto* edit = static_cast<TCustomEdit*>(FControl);
    const bool single = edit->GetBorderStyle() == bsSingle;
    TColor border;
    if (FHot || FFocused)
        border = LightenColor(K.selectionBorder, single ? 60 : 80);
    else
        border = single ? ShadeColor(ParentColor(edit), 60) : ParentColor(edit);
    C->GetBrush()->SetStyle(bsClear);
    C->GetPen()->SetColor(border);
    const TRect r = edit->ClientRect();
    C->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

void TControlSubClass::PaintCombo(TCanvas* C, const TOwnerDrawMenu::TColors& K) {
    auto* combo = static_cast<TCustomComboBox*>(FControl);
    const bool enabled = combo->GetEnabled();
    const TColor parent = ParentColor(combo);
    TColor arrow = enabled ? clBlack : clWhite;
    TColor border, button;
    if (FHot) {
        border = K.selectionBorder;
        button = K.selection;
    } else if (FFocused) {
        border = LightenColor(K.selectionBorder, 60);
        button = K.checkedArea;
    } else {
        border = combo->GetColor();
        button = combo->Tag == 1000 ? LightenColor(parent, 16) : clBtnFace;
    }
    if (combo->GetDroppedDown()) {
        border = K.selectionBorder;
        arrow = clWhite;
        button = K.checkedAreaSelected;
    }
    TRect r = combo->ClientRect();
    C->GetBrush()->SetColor(parent);
    C->FrameRect(r);
    r = Inflated(r, -1);
    C->GetPen()->SetColor(parent);
    Line(C, {{r.Left, r.Top}, {r.Right, r.Top}});
    r.Top += 1;
    r.Bottom -= 1;
    if (FHot || FFocused) r = Inflated(r, 1);
    C->GetBrush()->SetColor(combo->GetColor());
    C->FrameRect(r);
    r.Bottom += 1;
    C->GetBrush()->SetColor(border);
    C->FrameRect(r);
    if (combo->GetStyle() == csSimple) return;
    r = Inflated(r, -1);
    const int w = kThumb + 1 + ((FHot || FFocused) ? 1 : 0);
    const TRect face{r.Right - w, r.Top, r.Right, r.Bottom};
    C->GetBrush()->SetColor(button);
    C->FillRect(face);
    C->GetBrush()->SetColor(combo->GetColor());
    C->FillRect(TRect{face.Left - 5, r.Top, face.Left, r.Bottom});
    C->GetPen()->SetColor(border);
    Line(C, {{face.Left, r.Top}, {face.Left, r.Bottom}});
    const int x = r.Right - 10;
    C->GetPen()->SetColor(arrow);
    for (int i = 0; i < 3; ++i) Line(C, {{x + i, r.Top + 10 + i}, {x + 5 - i, r.Top + 10 + i}});
}

namespace {

// The box of a check mark or radio circle, centred vertically in Rect, on the
// side the caption leaves free.
TRect MarkBox(const TRect& Rect, int Width, int Height, TAlignment Alignment) {
    const int top = Rect.Top + (Rect.Height() - Height) / 2;
    if (Alignment == taLeftJustify) return TRect{Rect.Right - Width, top, Rect.Right, top + Height};
    return TRect{Rect.Left, top, Rect.Left + Width, top + Height};
}

}  // namespace

void TControlSubClass::PaintCheckBox(TCanvas* C, const TOwnerDrawMenu::TColors& K) {
    auto* box = static_cast<TCustomCheckBox*>(FControl);
    const bool pressed = FSpaceDown || FMouseDown;
    TColor fill = (FHot || FFocused) ? K.selection : clWindow;
    const TColor frame = (FHot || FFocused) ? K.selectionBorder : clBtnShadow;
    if (pressed) fill = K.checkedAreaSelected;
    if (box->GetState() == cbGrayed) fill = clSilver;
    TRect r = box->ClientRect();
    r.Top += 3;
    r.Bottom -= 3;
    TRect b = MarkBox(r, kThumb - 1, kThumb, box->GetAlignment());
    C->GetBrush()->SetColor(box->GetColor());
    C->FillRect(b);
    b = Inflated(b, -2);
    C->GetBrush()->SetColor(fill);
    C->GetPen()->SetColor(frame);
    C->Rectangle(b.Left, b.Top, b.Right, b.Bottom);
    if (box->GetState() == cbUnchecked) return;
    TColor tick = clHighlight;
    if (!box->GetEnabled())
        tick = K.disabled;
    else if (pressed)
        tick = clWindow;
    else if (box->GetState() == cbGrayed)
        tick = clGray;
    C->GetPen()->SetColor(tick);
    const int x = b.Left, y = b.Bottom;
    for (int i = 0; i < 3; ++i) Line(C, {{x + 2, y - 5 - i}, {x + 4, y - 3 - i}, {x + 9, y - 8 - i}});
}

void TControlSubClass::PaintRadio(TCanvas* C, const TOwnerDrawMenu::TColors& K) {
    auto* radio = static_cast<TRadioButton*>(FControl);
    const TColor fill = FHot ? K.selection : (FFocused ? K.selection : clWindow);
    const TColor frame = FHot ? K.selectionBorder : clBtnShadow;
    TRect r = radio->ClientRect();
    r.Top += 4;
    r.Bottom -= 4;
    TRect b = MarkBox(r, kThumb - 1, kThumb - 1, radio->GetAlignment());
    C->GetBrush()->SetColor(radio->GetColor());
    C->FillRect(b);
    b = Inflated(b, -2);
    C->GetBrush()->SetColor(fill);
    C->GetPen()->SetColor(frame);
    C->Ellipse(b);
    if (!radio->GetChecked()) return;
    b = Inflated(b, -2);
    const TColor dot = radio->GetEnabled() ? clHighlight : K.disabled;
    C->GetBrush()->SetColor(dot);
    C->GetPen()->SetColor(dot);
    C->Ellipse(b);
}

void TControlSubClass::PaintButton(TCanvas* C, const TOwnerDrawMenu::TColors& K) {
    if (!NameIs(FControl, {"TButton"})) return;
    auto* button = static_cast<TButton*>(FControl);
    const bool own = button->Tag == 1000;
    const TColor parent = ParentColor(button);
    const TColor face =
        FHot ? LightenColor(own ? parent : clBtnFace, 40) : (own ? LightenColor(parent, 16) : K.iconStrip);
    const TColor border = (FHot || FFocused) ? LightenColor(K.selectionBorder, 60) : clBtnShadow;
    const TRect r = button->ClientRect();
    C->GetBrush()->SetColor(parent);
    C->FillRect(r);
    C->GetBrush()->SetColor(face);
    C->GetPen()->SetColor(LightenColor(border, 30));
    C->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 4, 4);
    if (button->GetEnabled()) {
        C->GetPen()->SetColor(ShadeColor(border, 50));
        if (FSpaceDown || (FMouseDown && FHot))
            Line(C, {{r.Left, r.Bottom - 2}, {r.Left, r.Top + 1}, {r.Left + 1, r.Top}, {r.Right - 1, r.Top}});
        else
            Line(C, {{r.Right - 1, r.Top + 1},
                     {r.Right - 1, r.Bottom - 2},
                     {r.Right - 2, r.Bottom - 1},
                     {r.Left, r.Bottom - 1}});
    }
    C->SetFont(button->GetFont());
    C->GetBrush()->SetStyle(bsClear);
    TRect t = r;
    const std::string caption = button->GetCaption();
    const auto draw = [&](TColor colour, int dx, int dy) {
        C->GetFont()->SetColor(colour);
        TRect m = Moved(t, dx, dy);
        C->DrawText(caption, m, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    if (!button->GetEnabled()) {
        draw(K.disabled, 0, 0);
        return;
    }
    if (button->GetDefault()) {
        // The default button's caption stands out by shaded copies below it.
        const struct { int dx, dy, v; } copies[] = {{1, 0, 30}, {1, 2, 30}, {0, 1, 40}, {1, 1, 60}};
        for (const auto& k : copies) draw(ShadeColor(C->GetPixel(t.Left + k.dx, t.Top + k.dy), k.v), k.dx, k.dy);
    }
    draw(button->GetFont()->GetColor(), 0, 0);
}

void TControlSubClass::PaintPanel(TCanvas* C) {
    auto* panel = static_cast<TCustomPanel*>(FControl);
    const TColor dark = ShadeColor(panel->GetColor(), 60), light = LightenColor(panel->GetColor(), 60);
    TRect r = panel->ClientRect();
    const auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        if (cut == bvLowered)
            Frame3D(C, r, dark, light, panel->GetBevelWidth());
        else
            Frame3D(C, r, light, dark, panel->GetBevelWidth());
    };
    bevel(panel->GetBevelOuter());
    if (panel->GetBevelInner() == bvNone) return;
    r = Inflated(r, -panel->GetBorderWidth());
    bevel(panel->GetBevelInner());
}

void TControlSubClass::PaintGroupBox(TCanvas* C) {
    auto* box = static_cast<TCustomGroupBox*>(FControl);
    const TColor colour = box->GetColor(), parent = ParentColor(box);
    // Controls here are always drawn three-dimensional: light top-left edges.
    const TColor dark = ShadeColor(colour, 60), light = LightenColor(colour, 60);
    const std::string caption = box->GetCaption();
    C->SetFont(box->GetFont());
    const int h = C->TextHeight(caption.empty() ? " " : caption);
    const int w = caption.empty() ? 0 : C->TextWidth(caption);
    const TRect client = box->ClientRect();
    // Cover the standard frame.
    TRect r = Inflated(client, -1);
    r.Top += h - 1;
    C->GetBrush()->SetStyle(bsClear);
    C->GetPen()->SetColor(colour);
    C->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    Line(C, {{client.Left + 1, client.Top + h / 2 - 1}, {client.Left + 1, client.Bottom}});
    TRect f{client.Left, client.Top + h / 2 - 1, client.Right, client.Bottom};
    Frame3D(C, f, light, dark, 1);
    C->GetBrush()->SetStyle(bsSolid);
    C->GetBrush()->SetColor(parent);
    const int strip = client.Top + h / 2 + 1;
    C->FillRect(TRect{client.Left, client.Top, client.Right, strip});
    const TRect cap{client.Left + 9, client.Top, client.Left + 9 + w, client.Top + h};
    if (!caption.empty()) {
        C->GetBrush()->SetColor(colour);
        C->FillRect(TRect{cap.Left, strip, cap.Right, strip + h / 2 + 1});
        C->GetBrush()->SetStyle(bsClear);
        C->GetFont()->SetColor(box->GetFont()->GetColor());
        C->TextRect(cap, cap.Left, cap.Top, caption);
    }
    C->GetPen()->SetColor(light);
    Line(C, {{client.Left + 1, strip}, {cap.Left, strip}});
    Line(C, {{cap.Right, strip}, {client.Right - 1, strip}});
}
