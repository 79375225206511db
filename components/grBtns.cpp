#include "grBtns.h"

#include <algorithm>
#include <mutex>

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "Forms.h"
#include "TypInfo.h"

namespace {

// Each button's repeat timer id.
constexpr uintptr_t kRepeatTimer = 1;

bool HasGraphic(const TPicture* p) { return p && p->GetGraphic() && !p->GetGraphic()->GetEmpty(); }

// Places a length inside a span: positive from the start, 0 centred, negative from the end.
int Place(int Setting, int Span, int Length) {
    if (Setting > 0) return Setting;
    if (Setting == 0) return (Span - Length) / 2;
    return Span - Length + Setting;
}

void OffsetRect(TRect& R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
}

TColor Lighten(TColor c, int percent) {
    TColor rgb = ColorToRGB(c);
    auto up = [percent](int x) { return x + (255 - x) * percent / 100; };
    return RGB(up(GetRValue(rgb)), up(GetGValue(rgb)), up(GetBValue(rgb)));
}

}  // namespace

namespace {

// Hue, luminance and saturation on the colour dialog's scales (hue 0..239, the others 0..240).
constexpr int kHlsMax = 240, kRgbMax = 255;

void RgbToHls(TColor c, int& H, int& L, int& S) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
    L = ((hi + lo) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (hi == lo) {
        S = 0;
        H = kHlsMax * 2 / 3;
        return;
    }
    const int sum = hi + lo, span = hi - lo;
    S = L <= kHlsMax / 2 ? (span * kHlsMax + sum / 2) / sum
                         : (span * kHlsMax + (2 * kRgbMax - sum) / 2) / (2 * kRgbMax - sum);
    auto delta = [&](int v) { return ((hi - v) * (kHlsMax / 6) + span / 2) / span; };
    if (r == hi)
        H = delta(b) - delta(g);
    else if (g == hi)
        H = kHlsMax / 3 + delta(r) - delta(b);
    else
        H = 2 * kHlsMax / 3 + delta(g) - delta(r);
    H = (H % kHlsMax + kHlsMax) % kHlsMax;
}

int HueToRgb(int n1, int n2, int hue) {
    hue = (hue % kHlsMax + kHlsMax) % kHlsMax;
    if (hue < kHlsMax / 6) return n1 + ((n2 - n1) * hue + kHlsMax / 12) / (kHlsMax / 6);
    if (hue < kHlsMax / 2) return n2;
    if (hue < kHlsMax * 2 / 3) return n1 + ((n2 - n1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
    return n1;
}

TColor HlsToRgb(int H, int L, int S) {
    if (S == 0) {
        const int v = L * kRgbMax / kHlsMax;
        return RGB(v, v, v);
    }
    const int m2 =
        L <= kHlsMax / 2 ? (L * (kHlsMax + S) + kHlsMax / 2) / kHlsMax : L + S - (L * S + kHlsMax / 2) / kHlsMax;
    const int m1 = 2 * L - m2;
    auto channel = [&](int hue) {
        return std::clamp((HueToRgb(m1, m2, hue) * kRgbMax + kHlsMax / 2) / kHlsMax, 0, kRgbMax);
    };
    return RGB(channel(H + kHlsMax / 3), channel(H), channel(H - kHlsMax / 3));
}

}  // namespace

TColor ShadeLuminance(TColor Color, int Amount) {
    if (Color == TColor(-1) || Amount == 0) return Color;
    int H, L, S;
    RgbToHls(ColorToRGB(Color), H, L, S);
    if (Amount > 8)
        L += Amount;
    else if (Amount > 0)
        L = (kHlsMax - L) / 8 * Amount + L;
    else if (Amount >= -8)
        L -= -Amount * (L / 8);
    else
        L += Amount;
    return HlsToRgb(H, std::clamp(L, 0, kHlsMax), S);
}

namespace {

// A colour whose top byte is 0x30 is a shade: the pixels beneath take their own
// luminance moved by the signed amount in its low 16 bits (less 256).
bool IsShade(TColor c) { return (static_cast<uint32_t>(c) >> 24) == 0x30; }
int ShadeAmount(TColor c) { return static_cast<int>(static_cast<uint32_t>(c) & 0xFFFF) - 256; }

// Shades each pixel of the rectangle that the surface lets us read.
void ShadePixels(TCanvas* c, const TRect& R, TColor Shade) {
    const int amount = ShadeAmount(Shade);
    TColor lastIn = -1, lastOut = -1;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) {
            const TColor px = c->GetPixel(x, y);
            if (px < 0) continue;
            if (px != lastIn) lastIn = px, lastOut = ShadeLuminance(px, amount);
            c->SetPixel(x, y, lastOut);
        }
}

// One ring's side from (X1, Y1) to (X2, Y2) inclusive, in a colour or a shade; clNone draws nothing.
void Side(TCanvas* c, int X1, int Y1, int X2, int Y2, TColor Colour) {
    if (Colour == clNone || X2 < X1 || Y2 < Y1) return;
    const TRect r{X1, Y1, X2 + 1, Y2 + 1};
    if (IsShade(Colour)) {
        ShadePixels(c, r, Colour);
        return;
    }
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(Colour);
    c->FillRect(r);
}

// Rings of 3-D edge: top-left colour on the left and top, bottom-right on the
// right and bottom (which takes the bottom-left corner); R shrinks to the face.
void Rings(TCanvas* c, TRect& R, TColor TopLeft, TColor BottomRight, int Width) {
    for (int i = 0; i < Width; ++i) {
        const int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
        Side(c, l, t, l, b - (BottomRight == clNone ? 0 : 1), TopLeft);
        Side(c, l + 1, t, r - 1, t, TopLeft);
        Side(c, r, t, r, b - 1, BottomRight);
        Side(c, l, b, r, b, BottomRight);
        R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    }
}

}  // namespace

TColor GradientColor(TColor Near, TColor Far, int Steps, int Index) {
    if (Steps <= 0) return ColorToRGB(Far);
    TColor a = ColorToRGB(Near), b = ColorToRGB(Far);
    auto channel = [&](int na, int fb) { return fb - static_cast<int>(static_cast<double>(fb - na) / Steps * Index); };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// ---------------------------------------------------------------------------
// Background

TgrBackground::TgrBackground() : FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject*) { Changed(); };
}

TgrBackground::~TgrBackground() { FPicture->OnChange = nullptr; }

void TgrBackground::Changed() {
    if (OnChange) OnChange(this);
}

void TgrBackground::SetStyle(TgrBackgroundStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TgrBackground::SetGradient(TColor Value) {
    if (FGradient == Value) return;
    FGradient = Value;
    Changed();
}

void TgrBackground::SetDitherDown(bool Value) {
    if (FDitherDown == Value) return;
    FDitherDown = Value;
    Changed();
}

void TgrBackground::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TgrBackground*>(Source)) {
        FStyle = b->FStyle;
        FGradient = b->FGradient;
        FDitherDown = b->FDitherDown;
        FPicture->Assign(b->FPicture.get());
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// Graphic button

TgrCustomGraphicButton::TgrCustomGraphicButton(TComponent* AOwner)
    : TGraphicControl(AOwner),
      FBackground(std::make_unique<TgrBackground>()),
      FBorderInset(std::make_unique<TgrBorderInset>()),
      FPictureUp(std::make_unique<TPicture>()),
      FPictureDown(std::make_unique<TPicture>()),
      FPictureOver(std::make_unique<TPicture>()),
      FPictureDisabled(std::make_unique<TPicture>()) {
    // Clicks are counted by the button itself (hit area, menu and repeat types).
    ControlStyle = {csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    GetFont()->SetColor(clBtnText);
    FWidth = 25;
    FHeight = 25;
    auto changed = [this](TObject*) { Changed(); };
    FBackground->OnChange = [this](TObject*) {
        if (FBackground->GetStyle() == grbClear)
            ControlStyle -= csOpaque;
        else
            ControlStyle += csOpaque;
        Changed();
    };
    FBorderInset->OnChange = changed;
    for (TPicture* p : {FPictureUp.get(), FPictureDown.get(), FPictureOver.get(), FPictureDisabled.get()})
        p->OnChange = changed;
}

TgrCustomGraphicButton::~TgrCustomGraphicButton() {
    StopRepeat();
    for (TPicture* p : {FPictureUp.get(), FPictureDown.get(), FPictureOver.get(), FPictureDisabled.get()})
        p->OnChange = nullptr;
    FBackground->OnChange = nullptr;
    FBorderInset->OnChange = nullptr;
}

void TgrCustomGraphicButton::Changed() {
    FCacheValid = 0;
    Invalidate();
}

TgrBtnStyle TgrCustomGraphicButton::EffectiveStyle() const { return FStyle == bsAuto ? bsWin97 : FStyle; }

#define GR_SETTER(Name, Field)                                      \
    void TgrCustomGraphicButton::Set##Name(decltype(Field) Value) { \
        if (Field == Value) return;                                 \
        Field = Value;                                              \
        Changed();                                                  \
    }

GR_SETTER(Style, FStyle)
GR_SETTER(MultiLine, FMultiLine)
GR_SETTER(Font3D, FFont3D)
GR_SETTER(TextX, FTextX)
GR_SETTER(TextY, FTextY)
GR_SETTER(PictureX, FPictureX)
GR_SETTER(PictureY, FPictureY)
GR_SETTER(ImageIndex, FImageIndex)
GR_SETTER(Grayed, FGrayed)
GR_SETTER(Options, FOptions)
GR_SETTER(FocusStyle, FFocusStyle)
#undef GR_SETTER

void TgrCustomGraphicButton::SetButtonType(TgrButtonType Value) {
    if (FButtonType == Value) return;
    FButtonType = Value;
    if (Value != grbToggle && FValue) {
        FValue = false;
        FState = grsUp;
    }
    Changed();
}

void TgrCustomGraphicButton::SetTextAngle(int Value) {
    Value = std::clamp(Value, 0, 360);
    if (FTextAngle == Value) return;
    FTextAngle = Value;
    Changed();
}

void TgrCustomGraphicButton::SetImages(TImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    Changed();
}

void TgrCustomGraphicButton::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TgrCustomGraphicButton::SetBorderColors(TgrBorderColors Value) {
    FBorderColors = Value;
    if (Value == grbWinColor) {
        FBtnLightColor = cl3DLight;
        FBtnHighlightColor = clBtnHighlight;
        FBtnShadowColor = clBtnShadow;
        FBtnDkShadowColor = cl3DDkShadow;
        FShadowColor = FBtnShadowColor;
    } else if (Value == grbAutoColor) {
        const TColor face = FaceColor();
        FBtnLightColor = ShadeLuminance(face, 2);
        FBtnHighlightColor = ShadeLuminance(face, 4);
        FBtnShadowColor = ShadeLuminance(face, -2);
        FBtnDkShadowColor = ShadeLuminance(face, -4);
        FShadowColor = FBtnDkShadowColor;
    } else if (Value == grbAutoShade) {
        FBtnLightColor = TColor(0x30000104);
        FBtnHighlightColor = TColor(0x30000106);
        FBtnShadowColor = TColor(0x300000FC);
        FBtnDkShadowColor = TColor(0x300000FA);
        FShadowColor = FBtnDkShadowColor;
    }
    Changed();
}

#define GR_COLOUR_SETTER(Name, Field)                      \
    void TgrCustomGraphicButton::Set##Name(TColor Value) { \
        if (Field == Value) return;                        \
        Field = Value;                                     \
        FBorderColors = grbCustomColor;                    \
        Changed();                                         \
    }

GR_COLOUR_SETTER(ShadowColor, FShadowColor)
GR_COLOUR_SETTER(BtnLightColor, FBtnLightColor)
GR_COLOUR_SETTER(BtnHighlightColor, FBtnHighlightColor)
GR_COLOUR_SETTER(BtnShadowColor, FBtnShadowColor)
GR_COLOUR_SETTER(BtnDkShadowColor, FBtnDkShadowColor)
#undef GR_COLOUR_SETTER

// ---- Toggle state and groups ---------------------------------------------------------

void TgrCustomGraphicButton::SetValue(bool Value) {
    if (FButtonType != grbToggle) Value = false;
    if (Value == FValue) return;
    if (!Value && !FGroupAllowNoSel) return;
    FValue = Value;
    FState = Value ? grsToggledDown : grsUp;
    if (OnChange) OnChange(this);
    Changed();
    if (Value) TellGroup();
}

void TgrCustomGraphicButton::SetGroup(int Value) {
    if (FGroup == Value) return;
    FGroup = Value;
    TellGroup();
}

void TgrCustomGraphicButton::SetGroupAllowNoSel(bool Value) {
    if (FGroupAllowNoSel == Value) return;
    FGroupAllowNoSel = Value;
    TellGroup();
}

void TgrCustomGraphicButton::TellGroup() {
    if (FButtonType != grbToggle) return;
    TWinControl* parent = FWrapper ? FWrapper->GetParent() : GetParent();
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        TgrCustomGraphicButton* other = dynamic_cast<TgrCustomGraphicButton*>(c);
        if (auto* wrapped = dynamic_cast<TgrCustomButton*>(c)) other = wrapped->Button();
        if (!other || other == this || other->FGroup != FGroup) continue;
        other->FGroupAllowNoSel = FGroupAllowNoSel;
        if (FValue && other->FValue) {
            other->FValue = false;
            other->FState = grsUp;
            other->Invalidate();
            if (other->OnChange) other->OnChange(other);
        }
    }
}

// ---- Mouse --------------------------------------------------------------------------------

TSize TgrCustomGraphicButton::PictureSize() const {
    if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count())
        return TSize{FImages->GetWidth(), FImages->GetHeight()};
    const TPicture* p = HasGraphic(FPictureUp.get()) ? FPictureUp.get() : FPictureOver.get();
    if (!HasGraphic(p)) return TSize{0, 0};
    return TSize{p->GetWidth(), p->GetHeight()};
}

TRect TgrCustomGraphicButton::PictureRect() const {
    TSize s = PictureSize();
    if (s.cx <= 0 || s.cy <= 0) return TRect();
    TRect c = GetClientRect();
    int x = Place(FPictureX, c.Width(), s.cx);
    int y = Place(FPictureY, c.Height(), s.cy);
    return Bounds(x, y, s.cx, s.cy);
}

namespace {

// A multi-line caption breaks its lines at every "||".
std::string CaptionLines(std::string Text, bool MultiLine) {
    if (!MultiLine) return Text;
    for (size_t at = Text.find("||"); at != std::string::npos; at = Text.find("||", at + 2))
        Text.replace(at, 2, "\r\n");
    return Text;
}

unsigned CaptionFormat(int Angle, bool MultiLine, int TextX) {
    if (Angle != 0) return 0;
    if (!MultiLine) return DT_SINGLELINE | DT_CENTER;
    return DT_WORDBREAK | (TextX > 0 ? DT_LEFT : TextX == 0 ? DT_CENTER : DT_RIGHT);
}

}  // namespace

void TgrCustomGraphicButton::SelectCaptionFont(TCanvas* c) {
    c->SetFont(GetFont());
    if (FFocusStyle.Contains(fsBoldFont))
        c->GetFont()->SetStyle((FFocused || FDefaultLook) ? TFontStyles{fsBold} : TFontStyles{});
    if (FTextAngle != 0) c->GetFont()->SetOrientation(FTextAngle * 10);
}

TRect TgrCustomGraphicButton::CaptionRect() {
    const std::string caption = GetCaption();
    if (caption.empty()) return TRect();
    TCanvas* c = Canvas();
    SelectCaptionFont(c);
    TRect r = GetClientRect();
    if (FFont3D != f3dShadow) {
        if (FState == grsPressed)
            OffsetRect(r, 2, 2);
        else if (FValue)
            OffsetRect(r, 1, 1);
    }
    TRect m{0, 0, r.Width(), r.Height()};
    if (FMultiLine && FTextAngle == 0)
        m.Right = FTextX > 0 ? m.Right - FTextX : FTextX == 0 ? m.Right - 2 : m.Right + FTextX;
    c->DrawText(CaptionLines(caption, FMultiLine), m, DT_CALCRECT | CaptionFormat(FTextAngle, FMultiLine, FTextX));
    // A turned caption takes its length both ways.
    if (FTextAngle != 0) m.Bottom = m.Top + m.Width();
    int w = m.Width() + 4, h = m.Height() + 2;
    int x = r.Left + Place(FTextX, r.Width(), w);
    int y = r.Top + Place(FTextY, r.Height(), h);
    return Bounds(x, y, w, h);
}

bool TgrCustomGraphicButton::InHitArea(TPoint P) {
    bool inside = false;
    TgrBtnStyle style = EffectiveStyle();
    if (style == bsBorderless || style == bsShaped) {
        inside = PictureRect().Contains(P) || (FFont3D != f3dNone && CaptionRect().Contains(P));
    } else {
        inside = GetClientRect().Contains(P);
    }
    if (!inside && FButtonType == grbCombo) {
        int top = (FHeight - 14) / 2;
        inside = TRect{FWidth - 14, top, FWidth, top + 14}.Contains(P);
    }
    return inside;
}

void TgrCustomGraphicButton::CMHitTest(TMessage& Message) {
    Message.Result = InHitArea(TPoint{LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)}) ? 1 : 0;
}

TPopupMenu* TgrCustomGraphicButton::DropDownMenu() const {
    return FWrapper ? FWrapper->GetPopupMenu() : GetPopupMenu();
}

void TgrCustomGraphicButton::DropDown() {
    TPopupMenu* menu = DropDownMenu();
    if (!menu) return;
    TPoint p = ClientToScreen(TPoint{0, FHeight});
    menu->PopupComponent = FWrapper ? static_cast<TComponent*>(FWrapper) : this;
    menu->Popup(p.X, p.Y);
}

void TgrCustomGraphicButton::Click() {
    if (FWrapper)
        FWrapper->Click();
    else
        TGraphicControl::Click();
}

void TgrCustomGraphicButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && GetEnabled() && InHitArea(TPoint{X, Y})) {
        FState = grsPressed;
        FTracking = true;
        bool menu = FButtonType == grbMenu || (FButtonType == grbCombo && X > FWidth - 14);
        if (menu) {
            SetMouseCapture(false);
            if (FButtonType == grbCombo) FState = grsComboPressed;
            Repaint();
            DropDown();
            FState = FValue ? grsToggledDown : grsUp;
            FTracking = false;
            FMouseOver = FMouseInside;
        } else if (FButtonType == grbRepeat) {
            FRepeatTarget = TargetId();
            SetTimer(FRepeatTarget, kRepeatTimer, static_cast<unsigned>(FInitDelay));
        }
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (FWrapper && FWrapper->OnMouseDown) FWrapper->OnMouseDown(FWrapper, Button, Shift, X, Y);
    Invalidate();
}

void TgrCustomGraphicButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking) {
        bool inside = InHitArea(TPoint{X, Y});
        TgrButtonState state = inside ? grsPressed : grsUp;
        FMouseOver = inside;
        if (state != FState) {
            FState = state;
            Invalidate();
        }
    } else if (EffectiveStyle() == bsBorderless && GetEnabled()) {
        bool inside = InHitArea(TPoint{X, Y});
        if (inside != FMouseOver) {
            FMouseOver = inside;
            Invalidate();
        }
    }
    TGraphicControl::MouseMove(Shift, X, Y);
    if (FWrapper && FWrapper->OnMouseMove) FWrapper->OnMouseMove(FWrapper, Shift, X, Y);
}

void TgrCustomGraphicButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    StopRepeat();
    bool clicked = false;
    if (FTracking && Button == mbLeft) {
        FTracking = false;
        clicked = InHitArea(TPoint{X, Y}) && FButtonType != grbRepeat;
        FState = grsUp;
        if (!clicked) FMouseOver = false;
        if (FButtonType == grbToggle && clicked) SetValue(!FValue);
        if (FValue) FState = grsToggledDown;
        Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (FWrapper && FWrapper->OnMouseUp) FWrapper->OnMouseUp(FWrapper, Button, Shift, X, Y);
    if (clicked) Click();
}

void TgrCustomGraphicButton::CMMouseEnter(TMessage& Message) {
    if (!FTracking && GetEnabled()) {
        FMouseOver = true;
        Invalidate();
    }
    TGraphicControl::CMMouseEnter(Message);
    if (FWrapper && FWrapper->OnMouseEnter) FWrapper->OnMouseEnter(FWrapper);
}

void TgrCustomGraphicButton::CMMouseLeave(TMessage& Message) {
    if (!FTracking && GetEnabled()) {
        FMouseOver = false;
        Invalidate();
    }
    TGraphicControl::CMMouseLeave(Message);
    if (FWrapper && FWrapper->OnMouseLeave) FWrapper->OnMouseLeave(FWrapper);
}

void TgrCustomGraphicButton::CMEnabledChanged(TMessage& Message) {
    TGraphicControl::CMEnabledChanged(Message);
    FMouseOver = GetEnabled() && FMouseInside;
    if (!GetEnabled()) {
        FTracking = false;
        FState = FValue ? grsToggledDown : grsUp;
        StopRepeat();
    }
    Invalidate();
}

void TgrCustomGraphicButton::CMTextChanged(TMessage& Message) {
    TGraphicControl::CMTextChanged(Message);
    Changed();
}

void TgrCustomGraphicButton::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    Changed();
}

void TgrCustomGraphicButton::CMColorChanged(TMessage& Message) {
    TGraphicControl::CMColorChanged(Message);
    // Colours derived from the face follow it.
    if (FBorderColors == grbAutoColor)
        SetBorderColors(grbAutoColor);
    else
        Changed();
}

void TgrCustomGraphicButton::SetDefaultLook(bool Value) {
    if (FDefaultLook == Value) return;
    FDefaultLook = Value;
    Invalidate();
}

void TgrCustomGraphicButton::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_TIMER && Message.WParam == kRepeatTimer) {
        RepeatTick();
        return;
    }
    // The accelerator of a button inside a windowed one is the wrapper's to answer; a hidden
    // button (the update window's download button until an update is found) answers none.
    if (Message.Msg == CM_DIALOGCHAR && !FWrapper && GetEnabled() && GetVisible() &&
        IsAccel(char32_t(Message.WParam), GetCaption())) {
        if (FButtonType == grbToggle) SetValue(!GetValue());
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::Dispatch(Message);
}

void TgrCustomGraphicButton::RepeatTick() {
    if (!FRepeatTarget) return;
    SetTimer(FRepeatTarget, kRepeatTimer, static_cast<unsigned>(FDelay));
    if (FState == grsPressed && FTracking) Click();
}

void TgrCustomGraphicButton::StopRepeat() {
    if (FRepeatTarget) KillTimer(FRepeatTarget, kRepeatTimer);
    FRepeatTarget = 0;
}

// ---- Painting ---------------------------------------------------------------------------------

void TgrCustomGraphicButton::PaintBackground(const TRect& R, TColor Face) {
    TCanvas* c = Surface();
    c->GetBrush()->SetStyle(bsSolid);
    switch (FBackground->GetStyle()) {
    case grbClear:
        // A shade colour tints whatever lies beneath like coloured glass.
        if (IsShade(GetColor())) ShadePixels(c, R, GetColor());
        return;
    case grbGradient:
    case grbVertGradient: {
        const bool vertical = FBackground->GetStyle() == grbVertGradient;
        const int span = vertical ? R.Height() : R.Width();
        constexpr int steps = 128;
        // Each band is one pixel wider than its step so no seam is left between bands.
        const float q = static_cast<float>(span) / steps;
        const int band = static_cast<int>(q + 1);
        for (int i = 0; i < steps; ++i) {
            const int a = static_cast<int>(i * q);
            if (a >= span) break;
            c->GetBrush()->SetColor(GradientColor(Face, FBackground->GetGradient(), steps, i));
            const int b = std::min(span, a + band);
            c->FillRect(vertical ? TRect{R.Left, R.Top + a, R.Right, R.Top + b}
                                 : TRect{R.Left + a, R.Top, R.Left + b, R.Bottom});
        }
        return;
    }
    case grbPictureStretch:
        c->GetBrush()->SetColor(Face);
        c->FillRect(R);
        if (TGraphic* g = FBackground->GetPicture()->GetGraphic()) c->StretchDraw(R, g);
        return;
    case grbPictureClip:
        c->GetBrush()->SetColor(Face);
        c->FillRect(R);
        if (TGraphic* g = FBackground->GetPicture()->GetGraphic())
            c->Draw(R.Left + (R.Width() - g->GetWidth()) / 2, R.Top + (R.Height() - g->GetHeight()) / 2, g);
        return;
    case grbPicturePattern:
        c->GetBrush()->SetColor(Face);
        c->FillRect(R);
        if (TGraphic* g = FBackground->GetPicture()->GetGraphic(); g && g->GetWidth() > 0 && g->GetHeight() > 0)
            for (int y = R.Top; y < R.Bottom; y += g->GetHeight())
                for (int x = R.Left; x < R.Right; x += g->GetWidth()) c->Draw(x, y, g);
        return;
    case grbSolid:
        c->GetBrush()->SetColor(Face);
        c->FillRect(R);
        return;
    }
}

void TgrCustomGraphicButton::PaintBorder(TRect R, bool Default, bool Pressed) {
    TCanvas* c = Surface();
    const TColor Hl = FBtnHighlightColor, Lt = FBtnLightColor, Sh = FBtnShadowColor, Dk = FBtnDkShadowColor;
    // Each ring: top-left colour, bottom-right colour; clNone leaves a side out.
    auto ring = [&](TColor TopLeft, TColor BottomRight, int Width = 1) { Rings(c, R, TopLeft, BottomRight, Width); };
    const bool down = Pressed || FValue;
    switch (EffectiveStyle()) {
    case bsBorderless:
    case bsShaped: return;
    case bsWin31:
        ring(Dk, Dk, Default ? 2 : 1);
        if (Pressed) {
            ring(Sh, clNone);
            ring(Sh, clNone);
        } else if (FValue) {
            ring(Sh, clNone);
        } else {
            ring(Hl, Sh, 2);
        }
        return;
    case bsInset:
        ring(Sh, Hl);
        ring(Dk, Dk);
        if (down)
            ring(Sh, clNone);
        else
            ring(Hl, Default ? Dk : Sh);
        return;
    case bsDelphi:
        if (down) {
            ring(Sh, Hl);
            ring(Dk, Sh);
        } else {
            ring(Sh, Dk);
            ring(Hl, Default ? Dk : Sh);
        }
        return;
    case bsSpeed:
        if (down) {
            ring(Dk, Hl);
            ring(Sh, Lt);
        } else {
            ring(Hl, Dk);
            ring(Lt, Sh);
        }
        return;
    case bsWin97:
        if (down) {
            if (Default) {
                ring(Dk, Dk);
                ring(Sh, Sh);
            } else {
                ring(Sh, Hl);
            }
        } else if ((FMouseOver || Default) && GetEnabled()) {
            // At rest the edge shows only under the mouse or on the default button.
            if (Default) ring(Dk, Dk);
            ring(Hl, Sh);
        }
        return;
    default:  // bsWin95
        if (down) {
            if (Default) {
                ring(Dk, Dk);
                ring(Sh, Sh);
            } else {
                ring(Dk, Hl);
                ring(Sh, Lt);
            }
        } else {
            if (Default) ring(Dk, Dk);
            ring(Hl, Dk);
            ring(Lt, Sh);
        }
        return;
    }
}

TPicture* TgrCustomGraphicButton::CurrentPicture() const {
    TPicture* p = FPictureUp.get();
    if ((FState == grsPressed || FValue) && FPictureDown->GetHeight() > 1)
        p = FPictureDown.get();
    else if ((FMouseOver || FFocused) && HasGraphic(FPictureOver.get()))
        p = FPictureOver.get();
    else if (!HasGraphic(p))
        p = FPictureOver.get();
    if (!GetEnabled() && FPictureDisabled->GetHeight() > 1) p = FPictureDisabled.get();
    return HasGraphic(p) ? p : nullptr;
}

bool TgrCustomGraphicButton::HasImage() const { return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count(); }

namespace {

// Pictures show the face through their transparent colour whatever the bitmap's own setting.
void DrawTransparent(TCanvas* c, int X, int Y, TGraphic* g) {
    auto* bmp = dynamic_cast<TBitmap*>(g);
    if (!bmp || bmp->GetTransparent()) {
        c->Draw(X, Y, g);
        return;
    }
    TBitmap copy;
    copy.Assign(bmp);
    copy.SetTransparent(true);
    c->Draw(X, Y, &copy);
}

// A copy of the graphic with every opaque pixel turned to its grey, drawn transparent.
void DrawGrey(TCanvas* c, int X, int Y, TGraphic* g) {
    TBitmap grey;
    TColor key = clFuchsia;
    if (auto* bmp = dynamic_cast<TBitmap*>(g)) {
        grey.Assign(bmp);
        key = ColorToRGB(bmp->GetTransparentColor());
    } else {
        grey.SetSize(g->GetWidth(), g->GetHeight());
        grey.GetCanvas()->GetBrush()->SetColor(key);
        grey.GetCanvas()->FillRect(TRect{0, 0, g->GetWidth(), g->GetHeight()});
        grey.GetCanvas()->Draw(0, 0, g);
    }
    TCanvas* gc = grey.GetCanvas();
    for (int y = 0; y < grey.GetHeight(); ++y)
        for (int x = 0; x < grey.GetWidth(); ++x) {
            TColor px = gc->GetPixel(x, y);
            if (px == key || px < 0) continue;
            int v = (GetRValue(px) + GetGValue(px) + GetBValue(px)) / 3;
            gc->SetPixel(x, y, RGB(v, v, v));
        }
    grey.SetTransparentColor(key);
    grey.SetTransparent(true);
    c->Draw(X, Y, &grey);
}

}  // namespace

void TgrCustomGraphicButton::PaintPictureEffects(TColor Face) {
    if (FOptions.Contains(grbNoPicEffects)) return;
    TRect pr = PictureRect();
    TPicture* p = CurrentPicture();
    if (pr.Width() <= 0 || !p || HasImage()) return;
    TCanvas* c = Surface();
    const bool pressed = FState == grsPressed;
    if (!GetEnabled()) {
        if (p == FPictureDisabled.get()) {
            DrawTransparent(c, pr.Left, pr.Top, p->GetGraphic());
            return;
        }
        // Embossed: light below right, shadow above left, the face between.
        const int o = pressed ? 2 : FValue ? 1 : 0;
        c->DrawMask(pr.Left + o + 1, pr.Top + o + 1, p->GetGraphic(), FBtnHighlightColor);
        c->DrawMask(pr.Left + o - 1, pr.Top + o - 1, p->GetGraphic(), FBtnShadowColor);
        c->DrawMask(pr.Left + o, pr.Top + o, p->GetGraphic(), Face);
        return;
    }
    if (FGrayed && !FMouseOver) return;
    const TgrBtnStyle style = EffectiveStyle();
    if (style == bsShaped || FShadowColor == GetColor() || FShadowColor == clNone) return;
    const int d = style == bsBorderless ? 2 : pressed ? 4 : FValue ? 3 : 2;
    if (!IsShade(FShadowColor)) {
        c->DrawMask(pr.Left + d, pr.Top + d, p->GetGraphic(), FShadowColor);
        return;
    }
    // A shade shadow darkens the pixels under the picture's mask.
    TBitmap mask;
    mask.SetSize(pr.Width(), pr.Height());
    mask.GetCanvas()->GetBrush()->SetColor(clWhite);
    mask.GetCanvas()->FillRect(TRect{0, 0, pr.Width(), pr.Height()});
    mask.GetCanvas()->DrawMask(0, 0, p->GetGraphic(), clBlack);
    for (int y = 0; y < pr.Height(); ++y)
        for (int x = 0; x < pr.Width(); ++x)
            if (mask.GetCanvas()->GetPixel(x, y) == clBlack)
                ShadePixels(c, Bounds(pr.Left + d + x, pr.Top + d + y, 1, 1), FShadowColor);
}

void TgrCustomGraphicButton::PaintPicture() {
    TRect pr = PictureRect();
    if (pr.Width() <= 0) return;
    TCanvas* c = Surface();
    const bool pressed = FState == grsPressed;
    const bool effects = !FOptions.Contains(grbNoPicEffects);
    // With effects a disabled picture went with the background.
    if (effects && !GetEnabled()) return;
    int x = pr.Left, y = pr.Top;
    if (effects) {
        // A picture sinks with the button only where no shadow moves instead.
        const TgrBtnStyle style = EffectiveStyle();
        const int sink = pressed ? 2 : FValue ? 1 : 0;
        if (FShadowColor == GetColor()) {
            x += sink, y += sink;
        } else if (style == bsBorderless) {
            if (FMouseOver) --x, --y;
            x += sink, y += sink;
        } else if (style == bsShaped && (pressed || FValue)) {
            x += 2, y += 2;
        }
    }
    if (HasImage()) {
        FImages->Draw(c, x, y, FImageIndex, GetEnabled());
        return;
    }
    TPicture* p = CurrentPicture();
    if (!p) return;
    const bool isDefault = FDefaultLook && FFocusStyle.Contains(fsDefault);
    if (effects && FGrayed && !FMouseOver && !FFocused && !isDefault)
        DrawGrey(c, x, y, p->GetGraphic());
    else
        DrawTransparent(c, x, y, p->GetGraphic());
}

void TgrCustomGraphicButton::PaintCaption() {
    const std::string caption = GetCaption();
    if (caption.empty()) return;
    const TgrFont3D style = GetEnabled() ? FFont3D : f3dInset;
    if (style == f3dNone) return;
    TRect r = CaptionRect();
    TCanvas* c = Surface();
    c->GetBrush()->SetStyle(bsClear);
    c->SetBkMode(TRANSPARENT);
    const std::string text = CaptionLines(caption, FMultiLine);
    const unsigned format = CaptionFormat(FTextAngle, FMultiLine, FTextX);
    if (FTextAngle != 0) c->SetTextAlign(TA_CENTER | TA_BASELINE);
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    auto pass = [&](TColor colour, int dx, int dy) {
        c->GetFont()->SetColor(colour);
        if (FTextAngle != 0) {
            c->TextOut(cx + dx, cy + dy, text);
            return;
        }
        TRect t = r;
        OffsetRect(t, dx, dy);
        c->DrawText(text, t, format);
    };
    const TColor text3d = GetEnabled() ? GetFont()->GetColor() : TColor(0x808080);
    // Text cannot shade what is beneath it: shade colours stand for shades of the face.
    auto resolve = [this](TColor c) { return IsShade(c) ? ShadeLuminance(FaceColor(), ShadeAmount(c)) : c; };
    const TColor Hl = resolve(FBtnHighlightColor), Sh = resolve(FBtnShadowColor);
    const bool pressed = FState == grsPressed;
    int tx = 0;
    switch (style) {
    case f3dRaised: pass(Hl, -1, -1); break;
    case f3dInset: pass(Hl, 1, 1); break;
    case f3dRidged:
        pass(Sh, 1, 1);
        pass(Hl, -1, -1);
        break;
    case f3dGrooved:
        pass(Sh, -1, -1);
        pass(Hl, 1, 1);
        break;
    case f3dShadow: {
        const int d = pressed ? 4 : 2;
        pass(Sh, d, d);
        // A turned caption moves away from its shadow as far again.
        if (FTextAngle != 0) tx = -d;
        break;
    }
    default: break;
    }
    pass(text3d, tx, tx);
    c->SetTextAlign(TA_LEFT | TA_TOP);
}

void TgrCustomGraphicButton::PaintFocus() {
    TCanvas* c = Surface();
    if (FFocusStyle.Contains(fsText) && FTextAngle == 0 && !GetCaption().empty()) c->DrawFocusRect(CaptionRect());
    if (!FFocusStyle.Contains(fsOutline) && !(FFocusStyle.Contains(fsText) && FTextAngle > 0)) return;
    const bool pressed = FState == grsPressed;
    int inset = 0, sink = 0;
    switch (EffectiveStyle()) {
    case bsWin31:
        inset = FFocusStyle.Contains(fsDefault) ? 5 : 4;
        sink = pressed;
        break;
    case bsInset:
        inset = 4;
        sink = pressed;
        break;
    case bsWin95:
    case bsWin97: inset = 4; break;
    case bsDelphi: inset = 3; break;
    default: break;
    }
    TRect r = GetClientRect();
    r = TRect{r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
    OffsetRect(r, sink, sink);
    c->DrawFocusRect(r);
}

void TgrCustomGraphicButton::PaintButton() {
    TCanvas* c = Surface();
    TRect r = GetClientRect();
    r.Left += FBorderInset->Left;
    r.Top += FBorderInset->Top;
    r.Right -= FBorderInset->Right;
    r.Bottom -= FBorderInset->Bottom;
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    TColor face = FaceColor();
    if (FMouseOver && GetEnabled() && FBackground->GetStyle() == grbSolid && EffectiveStyle() >= bsWin97)
        face = Lighten(face, 12);
    PaintBackground(r, face);
    if (FBackground->GetDitherDown() && FValue && !FMouseOver) {
        // A toggle held down shows white on every other pixel, checked from R's corner.
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left + (y - r.Top) % 2; x < r.Right; x += 2) c->SetPixel(x, y, clWhite);
    }
    PaintPictureEffects(face);
    SelectCaptionFont(c);
    const bool isDefault = (FFocused || FDefaultLook) && FFocusStyle.Contains(fsDefault);
    if (FFocused) PaintFocus();
    PaintCaption();
    if (FButtonType == grbCombo) {
        TRect arrow{r.Right - 14, r.Top, r.Right, r.Bottom};
        TRect main{r.Left, r.Top, r.Right - 14, r.Bottom};
        // With one part down and the other up, the main part's edge meets the arrow's.
        if ((FState == grsPressed) != (FState == grsComboPressed)) ++main.Right;
        const int o = FState == grsComboPressed ? 0 : -1;
        const int w = arrow.Width(), mid = arrow.Bottom / 2;
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(clBtnText);
        c->GetPen()->SetColor(clBtnText);
        c->Polygon({TPoint{arrow.Left + w / 3 + o, mid + o}, TPoint{arrow.Right - w / 3 + o, mid + o},
                    TPoint{arrow.Left + w / 2 + o, mid + o + w / 4}});
        PaintBorder(main, isDefault, FState == grsPressed);
        PaintBorder(arrow, false, FState == grsComboPressed);
    } else {
        PaintBorder(r, isDefault, FState == grsPressed || FState == grsComboPressed);
    }
    if (FWrapper && FWrapper->GetParent() && r != GetClientRect()) {
        // The margins take the colour of what the windowed button stands on.
        const TRect all = GetClientRect();
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(FWrapper->GetParent()->GetColor());
        for (const TRect& m :
             {TRect{all.Left, all.Top, all.Right, r.Top}, TRect{all.Left, r.Bottom, all.Right, all.Bottom},
              TRect{all.Left, r.Top, r.Left, r.Bottom}, TRect{r.Right, r.Top, all.Right, r.Bottom}})
            if (m.Right > m.Left && m.Bottom > m.Top) c->FillRect(m);
    }
    PaintPicture();
}

TColor TgrCustomGraphicButton::FaceColor() const {
    const TColor colour = GetColor();
    if (!IsShade(colour)) return colour;
    TWinControl* parent = FWrapper ? FWrapper->GetParent() : GetParent();
    return parent ? ShadeLuminance(parent->GetColor(), ShadeAmount(colour)) : colour;
}

int TgrCustomGraphicButton::Appearance() const {
    if (!GetEnabled()) return 5;
    if (FState == grsPressed) return 2;
    if (FState == grsComboPressed) return 6;
    if (FFocused) return 4;
    if (FDefaultLook && FFocusStyle.Contains(fsDefault)) return 3;
    const bool hotLook =
        EffectiveStyle() >= bsWin97 || FGrayed || (HasGraphic(FPictureOver.get()) && HasGraphic(FPictureUp.get()));
    return FMouseOver && hotLook ? 1 : 0;
}

void TgrCustomGraphicButton::Paint() {
    const bool inset = FBorderInset->Left || FBorderInset->Top || FBorderInset->Right || FBorderInset->Bottom;
    // An image list changes without telling the button, and inset margins show
    // what lies beneath: both paint afresh each time.
    if (!FOptions.Contains(grbCacheImages) || FBackground->GetStyle() == grbClear || FImages || inset || FWidth <= 0 ||
        FHeight <= 0) {
        FCache.reset();
        FCacheValid = 0;
        PaintButton();
        return;
    }
    if (!FCache || FCache->GetWidth() != 7 * FWidth || FCache->GetHeight() != FHeight) {
        if (!FCache) FCache = std::make_unique<TBitmap>();
        FCache->SetSize(7 * FWidth, FHeight);
        FCacheValid = 0;
    }
    // One index can stand for looks that differ (focused and pressed, a toggle
    // down and hot), so a slot also remembers the state it was drawn in.
    const int a = Appearance();
    const unsigned key = unsigned(FState) | FFocused << 2 | FMouseOver << 3 | FDefaultLook << 4 | FValue << 5;
    const TRect slot{a * FWidth, 0, (a + 1) * FWidth, FHeight};
    if (!(FCacheValid & (1u << a)) || FCacheKey[a] != key) {
        TBitmap image;
        image.SetSize(FWidth, FHeight);
        FTarget = image.GetCanvas();
        PaintButton();
        FTarget = nullptr;
        FCache->GetCanvas()->Draw(slot.Left, 0, &image);
        FCacheValid |= 1u << a;
        FCacheKey[a] = key;
    }
    Canvas()->CopyRect(GetClientRect(), FCache->GetCanvas(), slot);
}

// ---------------------------------------------------------------------------
// Windowed button

TgrCustomButton::TgrCustomButton(TComponent* AOwner) : TCustomControl(AOwner) {
    // Freed here if the rest of the constructor fails, by the destructor once it succeeded.
    auto button = std::make_unique<TgrCustomGraphicButton>(nullptr);
    FButton = button.get();
    FButton->FWrapper = this;
    FButton->SetFocusStyle({fsDefault, fsText});
    FButton->SetParentFont(true);
    FButton->SetParentColor(true);
    FButton->SetParent(this);
    FButton->SetAlign(alClient);
    ControlStyle = {csCaptureMouse, csDoubleClicks, csSetCaption};
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    GetFont()->SetColor(clBtnText);
    FTabStop = true;
    SetBounds(0, 0, 75, 25);
    FButton->OnChange = [this](TObject*) {
        if (OnChange) OnChange(this);
    };
    TgrBackground* background = FButton->GetBackground();
    TNotifyEvent innerChange = background->OnChange;
    background->OnChange = [this, innerChange](TObject* Sender) {
        const bool wasClear = FClearWindow;
        FClearWindow = FButton && FButton->GetBackground()->GetStyle() == grbClear;
        if (innerChange) innerChange(Sender);
        // The window's background fill is decided when the window is made.
        if (wasClear != FClearWindow && HandleAllocated()) RecreateWnd();
    };
    button.release();
}

void TgrCustomButton::CMMouseEnter(TMessage&) { FMouseInside = true; }

void TgrCustomButton::CMMouseLeave(TMessage&) { FMouseInside = false; }

void TgrCustomButton::UpdateWidgetColor() {
    if (FClearWindow) return;
    TCustomControl::UpdateWidgetColor();
}

TgrCustomButton::~TgrCustomButton() {
    FButton->GetBackground()->OnChange = nullptr;
    TgrCustomGraphicButton* inner = FButton;
    FButton = nullptr;
    inner->FWrapper = nullptr;
    delete inner;
}

void TgrCustomButton::Click() {
    if (FKind == bkClose && GetKind() == bkClose) {
        if (TForm* form = GetParentForm(this)) form->Close();
        return;
    }
    if (ModalResult != 0)
        if (TForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
    TCustomControl::Click();
}

void TgrCustomButton::Loaded() {
    TCustomControl::Loaded();
    FButton->SetColor(GetColor());
}

void TgrCustomButton::DefineProperties(TFiler* Filer) {
    TCustomControl::DefineProperties(Filer);
    // Older definitions carry these at the top level; they are read and ignored.
    Filer->DefineProperty(
        "TransparentColor", [](TReader*) {}, nullptr, false);
    Filer->DefineProperty(
        "DitherDown", [](TReader*) {}, nullptr, false);
}

void TgrCustomButton::Paint() {
    // The inner button covers the whole client area and paints everything.
}

void TgrCustomButton::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    if (FButton) FButton->SetCaption(GetCaption());
}

void TgrCustomButton::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    if (FButton) FButton->SetEnabled(GetEnabled());
}

void TgrCustomButton::CMColorChanged(TMessage& Message) {
    TCustomControl::CMColorChanged(Message);
    if (FButton) FButton->SetColor(GetColor());
}

void TgrCustomButton::WMSetFocus(TWMSetFocus& Message) {
    TCustomControl::WMSetFocus(Message);
    FButton->FFocused = true;
    FButton->Invalidate();
}

void TgrCustomButton::WMKillFocus(TWMKillFocus& Message) {
    TCustomControl::WMKillFocus(Message);
    FButton->FFocused = false;
    FSpaceDown = false;
    if (FButton->FState == grsPressed) FButton->FState = FButton->GetValue() ? grsToggledDown : grsUp;
    FButton->Invalidate();
}

void TgrCustomButton::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE && !FSpaceDown) {
        FSpaceDown = true;
        FButton->FState = grsPressed;
        FButton->Repaint();
        if (FButton->GetButtonType() == grbMenu) {
            FButton->DropDown();
            FButton->FState = grsUp;
            FSpaceDown = false;
            FButton->Invalidate();
        }
        Key = 0;
        return;
    }
    if (Key == VK_SPACE && FSpaceDown && FButton->GetButtonType() == grbRepeat) {
        Click();
        Key = 0;
        return;
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TgrCustomButton::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        FButton->FState = grsUp;
        if (FButton->GetButtonType() == grbToggle) FButton->SetValue(!FButton->GetValue());
        FButton->Invalidate();
        Click();
        Key = 0;
        return;
    }
    TCustomControl::KeyUp(Key, Shift);
}

void TgrCustomButton::AccelAction() {
    switch (FButton->GetButtonType()) {
    case grbToggle:
        FButton->SetValue(!FButton->GetValue());
        Click();
        break;
    case grbMenu:
        FButton->FState = grsPressed;
        FButton->Repaint();
        FButton->DropDown();
        FButton->FState = FButton->GetValue() ? grsToggledDown : grsUp;
        FButton->Invalidate();
        break;
    default: Click(); break;
    }
}

void TgrCustomButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(char32_t(Message.M.WParam), GetCaption()) && CanFocus()) {
        AccelAction();
        Message.Result() = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TgrCustomButton::CMDialogKey(TWMKey& Message) {
    const Word key = Message.CharCode();
    if (Message.Shift().Empty() && ((key == VK_RETURN && FDefault) || (key == VK_ESCAPE && Cancel)) && CanFocus()) {
        AccelAction();
        Message.Result() = 1;
        return;
    }
    TCustomControl::CMDialogKey(Message);
}

void TgrCustomButton::SetDefault(bool Value) {
    FDefault = Value;
    FButton->SetDefaultLook(Value);
}

namespace {
struct KindRow {
    TgrBtnKind kind;
    const char* caption;
    int modalResult;
};
constexpr KindRow kKinds[] = {
    {bkOK, "OK", 1},    {bkCancel, "&Cancel", 2}, {bkHelp, "&Help", 0},
    {bkYes, "&Yes", 6}, {bkNo, "&No", 7},         {bkClose, "&Close", 0},
};
}  // namespace

void TgrCustomButton::SetKind(TgrBtnKind Value) {
    FKind = Value;
    if (Value == bkCustom) return;
    for (const KindRow& row : kKinds)
        if (row.kind == Value) {
            SetDefault(Value == bkOK || Value == bkYes);
            Cancel = Value == bkCancel || Value == bkNo;
            SetCaption(row.caption);
            ModalResult = row.modalResult;
        }
}

TgrBtnKind TgrCustomButton::GetKind() const {
    if (FKind == bkCustom) return bkCustom;
    for (const KindRow& row : kKinds) {
        if (row.kind != FKind) continue;
        if (GetCaption() != row.caption || ModalResult != row.modalResult) return bkCustom;
        if ((FKind == bkOK || FKind == bkYes) && !FDefault) return bkCustom;
        if ((FKind == bkCancel || FKind == bkNo) && !Cancel) return bkCustom;
    }
    return FKind;
}

// ---------------------------------------------------------------------------
// Registration

namespace {

template <typename T, typename P>
void ButtonSettings(P& p) {
    p.Enum("Style",
           {"bsAuto", "bsWin31", "bsWin95", "bsInset", "bsDelphi", "bsSpeed", "bsWin97", "bsBorderless", "bsShaped"},
           &T::GetStyle, &T::SetStyle)
        .Enum("ButtonType", {"grbCommand", "grbToggle", "grbRepeat", "grbMenu", "grbCombo"}, &T::GetButtonType,
              &T::SetButtonType)
        .Object("Background", &T::GetBackground)
        .Object("BorderInset", &T::GetBorderInset)
        .Bool("MultiLine", &T::GetMultiLine, &T::SetMultiLine)
        .Enum("Font3D", {"fsNone", "fsNormal", "fsRaised", "fsInset", "fsRidged", "fsGrooved", "fsShadow"},
              &T::GetFont3D, &T::SetFont3D)
        .Int("TextAngle", &T::GetTextAngle, &T::SetTextAngle)
        .Int("TextX", &T::GetTextX, &T::SetTextX)
        .Int("TextY", &T::GetTextY, &T::SetTextY)
        .Object("PictureUp", &T::GetPictureUp)
        .Object("PictureDown", &T::GetPictureDown)
        .Object("PictureOver", &T::GetPictureOver)
        .Object("PictureDisabled", &T::GetPictureDisabled)
        .Int("PictureX", &T::GetPictureX, &T::SetPictureX)
        .Int("PictureY", &T::GetPictureY, &T::SetPictureY)
        .template Reference<TImageList>("Images", &T::GetImages, &T::SetImages)
        .Int("ImageIndex", &T::GetImageIndex, &T::SetImageIndex)
        .Bool("Animate", &T::GetAnimate, &T::SetAnimate)
        .Bool("Grayed", &T::GetGrayed, &T::SetGrayed)
        .Bool("Value", &T::GetValue, &T::SetValue)
        .Int("Group", &T::GetGroup, &T::SetGroup)
        .Bool("GroupAllowNoSel", &T::GetGroupAllowNoSel, &T::SetGroupAllowNoSel)
        .Int("Delay", &T::GetDelay, &T::SetDelay)
        .Int("InitDelay", &T::GetInitDelay, &T::SetInitDelay)
        .SetOf("Options", {"grbCacheImages", "grbUsePalette", "grbSmallIcons", "grbNoPicEffects"}, &T::GetOptions,
               &T::SetOptions)
        .SetOf("FocusStyle", {"fsDefault", "fsText", "fsOutline", "fsBoldFont"}, &T::GetFocusStyle, &T::SetFocusStyle)
        .Enum("BorderColors", {"grbCustomColor", "grbWinColor", "grbAutoColor", "grbAutoShade"}, &T::GetBorderColors,
              &T::SetBorderColors)
        .Int("ShadowColor", &T::GetShadowColor, &T::SetShadowColor)
        .Int("BtnLightColor", &T::GetBtnLightColor, &T::SetBtnLightColor)
        .Int("BtnHighlightColor", &T::GetBtnHighlightColor, &T::SetBtnHighlightColor)
        .Int("BtnShadowColor", &T::GetBtnShadowColor, &T::SetBtnShadowColor)
        .Int("BtnDkShadowColor", &T::GetBtnDkShadowColor, &T::SetBtnDkShadowColor)
        .Event("OnChange", &T::OnChange);
}

}  // namespace

void RegisterGrBtnsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        const std::string persistent = ParentIfRegistered("TPersistent");
        Published<TgrBackground>("TgrBackground", persistent)
            .Enum("Style",
                  {"grbSolid", "grbClear", "grbPictureClip", "grbPictureStretch", "grbPicturePattern", "grbGradient",
                   "grbVertGradient"},
                  &TgrBackground::GetStyle, &TgrBackground::SetStyle)
            .Object("Picture", &TgrBackground::GetPicture)
            .Int("Gradient", &TgrBackground::GetGradient, &TgrBackground::SetGradient)
            .Bool("DitherDown", &TgrBackground::GetDitherDown, &TgrBackground::SetDitherDown);
        Published<TgrBorderInset>("TgrBorderInset", persistent)
            .Int("Left", &TgrBorderInset::GetLeft, &TgrBorderInset::SetLeft)
            .Int("Top", &TgrBorderInset::GetTop, &TgrBorderInset::SetTop)
            .Int("Right", &TgrBorderInset::GetRight, &TgrBorderInset::SetRight)
            .Int("Bottom", &TgrBorderInset::GetBottom, &TgrBorderInset::SetBottom);

        Published<TgrCustomGraphicButton> graphic("TgrCustomGraphicButton", "TGraphicControl");
        ButtonSettings<TgrCustomGraphicButton>(graphic);
        Published<TgrGraphicButton>("TgrGraphicButton", "TgrCustomGraphicButton");

        Published<TgrCustomButton> windowed("TgrCustomButton", "TCustomControl");
        ButtonSettings<TgrCustomButton>(windowed);
        windowed.Bool("Cancel", &TgrCustomButton::Cancel, &TgrCustomButton::Cancel)
            .Bool("Default", &TgrCustomButton::GetDefault, &TgrCustomButton::SetDefault)
            .Enum("Kind", {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose"},
                  &TgrCustomButton::GetKind, &TgrCustomButton::SetKind)
            .Int("ModalResult", &TgrCustomButton::ModalResult, &TgrCustomButton::ModalResult);
        Published<TgrButton>("TgrButton", "TgrCustomButton");
    });
}
