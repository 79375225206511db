#include "entrlbl.h"

#include <cmath>
#include <mutex>
#include <numbers>

#include "Graphics.h"
#include "TypInfo.h"
#include "entsupport.h"

namespace {

constexpr size_t kMaxCaptionChars = 255;

// The first Count characters (UTF-8 code points) of the text.
std::string LeadingChars(const std::string& Text, size_t Count) {
    size_t chars = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        if ((static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80) {
            if (chars == Count) return Text.substr(0, i);
            ++chars;
        }
    }
    return Text;
}

// Round half to even, as the runtime's Round does.
int RoundEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

}  // namespace

TEntCustomRotatedLabel::TEntCustomRotatedLabel(TComponent* AOwner) : TEntGraphicControl(AOwner) {
    ControlStyle += csOpaque;
    ControlStyle += csReplicatable;
    GetFont()->SetName("Arial");
    SetBounds(GetLeft(), GetTop(), 130, 20);
    if (ComponentState.Contains(csDesigning)) AdjustBounds();
}

void TEntCustomRotatedLabel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Invalidate();
}

void TEntCustomRotatedLabel::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TEntCustomRotatedLabel::SetCaption(const std::string& Value) {
    if (Value == GetText()) return;
    SetText(Value);  // CM_TEXTCHANGED sizes the label
    Repaint();
}

void TEntCustomRotatedLabel::SetFontAngle(int Value) {
    if (!Loading() && Value != 0 && !FontIsTrueType()) GetFont()->SetName("Arial");
    int angle = std::abs(Value) % 360;
    FFontAngle = Value < 0 ? -angle : angle;
    AdjustBounds();
    Invalidate();
}

void TEntCustomRotatedLabel::SetOriginX(int Value) {
    if (Value == FOriginX) return;
    FOriginX = Value;
    Invalidate();
}

void TEntCustomRotatedLabel::SetOriginY(int Value) {
    if (Value == FOriginY) return;
    FOriginY = Value;
    Invalidate();
}

void TEntCustomRotatedLabel::SetShadowColor(TColor Value) {
    if (Value == FShadowColor) return;
    FShadowColor = Value;
    Invalidate();
}

void TEntCustomRotatedLabel::SetShadowedText(bool Value) {
    if (Value == FShadowedText) return;
    FShadowedText = Value;
    Invalidate();
}

void TEntCustomRotatedLabel::SetTransparent(bool Value) {
    if (Value == GetTransparent()) return;
    if (Value)
        ControlStyle -= csOpaque;
    else
        ControlStyle += csOpaque;
    Invalidate();
}

void TEntCustomRotatedLabel::Loaded() {
    TEntGraphicControl::Loaded();
    AdjustBounds();
}

void TEntCustomRotatedLabel::SetName(const std::string& NewName) {
    const bool takeName = ComponentState.Contains(csDesigning) && GetText().empty();
    TEntGraphicControl::SetName(NewName);
    if (takeName) SetCaption(NewName);
}

bool TEntCustomRotatedLabel::FontIsTrueType() const {
    TCanvas canvas;
    canvas.SetFont(GetFont());
    TTextMetric tm;
    canvas.GetTextMetrics(tm);
    return (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

void TEntCustomRotatedLabel::CMFontChanged(TMessage& Message) {
    TEntGraphicControl::CMFontChanged(Message);
    if (!Loading() && FFontAngle != 0 && !FontIsTrueType()) FFontAngle = 0;
    AdjustBounds();
}

void TEntCustomRotatedLabel::CMTextChanged(TMessage& Message) {
    TEntGraphicControl::CMTextChanged(Message);
    AdjustBounds();
}

void TEntCustomRotatedLabel::AdjustBounds() {
    if (Loading() || !FAutoSize || FAdjusting) return;
    FAdjusting = true;
    TCanvas canvas;
    canvas.SetFont(GetFont());
    const std::string text = GetText().empty() ? std::string(" ") : LeadingChars(GetText(), kMaxCaptionChars);
    const TSize extent = canvas.TextExtent(text);
    const int w = extent.cx, h = extent.cy;
    int width, height;
    if (FFontAngle == 0) {
        FOriginX = 0;
        FOriginY = 0;
        width = w;
        height = h;
    } else {
        const double r = FFontAngle * std::numbers::pi / 180.0;
        const int c = RoundEven(std::cos(r) * w);
        const int s = RoundEven(std::sin(r) * w);
        width = std::abs(c) + 2 * h;
        height = std::abs(s) + 2 * h;
        FOriginX = c >= 0 ? h : width - h;
        if (s < 0)
            FOriginY = h;
        else if (c < 0)
            FOriginY = height - h;
        else
            FOriginY = height - h - h / 2;
    }
    SetBounds(GetLeft(), GetTop(), width, height);
    FAdjusting = false;
}

void TEntCustomRotatedLabel::DrawCaption(const std::string& Text, int DX, int DY) {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    if (FFontAngle == 0) {
        static const unsigned kAlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
        r = Rect(r.Left + DX, r.Top + DY, r.Right + DX, r.Bottom + DY);
        canvas->DrawText(Text, r, kAlignFlags[FAlignment] | DT_NOPREFIX);
    } else {
        canvas->ExtTextOut(FOriginX + DX, FOriginY + DY, ETO_CLIPPED, &r, Text);
    }
}

void TEntCustomRotatedLabel::Paint() {
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    if (!GetTransparent()) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->FillRect(client);
    }
    canvas->GetBrush()->SetStyle(bsClear);

    const std::string text = LeadingChars(GetText(), kMaxCaptionChars);
    if (FFontAngle != 0) {
        canvas->SetFont(CreateRotatedFont(GetFont(), FFontAngle).get());
    } else {
        canvas->SetFont(GetFont());
    }
    if (!GetEnabled()) canvas->GetFont()->SetColor(clGrayText);
    const TColor textColor = canvas->GetFont()->GetColor();

    if (FShadowedText) {
        canvas->GetFont()->SetColor(FShadowColor);
        canvas->SetTextColor(FShadowColor);
        if (GetTransparent()) {
            canvas->SetBkMode(TRANSPARENT);
        } else {
            canvas->SetBkMode(OPAQUE);
            canvas->SetBkColor(GetColor());
        }
        DrawCaption(text, 2, 1);
        canvas->GetFont()->SetColor(textColor);
    }
    canvas->SetTextColor(textColor);
    canvas->SetBkMode(TRANSPARENT);
    DrawCaption(text, 0, 0);
}

void RegisterEntRotatedLabelClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterEntBaseClasses();
        const std::string base = ParentIfRegistered("TEntGraphicControl", "TGraphicControl");
        using L = TEntCustomRotatedLabel;
        Published<TEntCustomRotatedLabel>("TEntCustomRotatedLabel", base);
        Published<TEntRotatedLabel>("TEntRotatedLabel", "TEntCustomRotatedLabel")
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &L::GetAlignment, &L::SetAlignment)
            .Bool("AutoSize", &L::GetAutoSize, &L::SetAutoSize)
            .Str("Caption", &L::GetCaption, &L::SetCaption)
            .Int("FontAngle", &L::GetFontAngle, &L::SetFontAngle)
            .Int("OriginX", &L::GetOriginX, &L::SetOriginX)
            .Int("OriginY", &L::GetOriginY, &L::SetOriginY)
            .Int("ShadowColor", &L::GetShadowColor, &L::SetShadowColor)
            .Bool("ShadowedText", &L::GetShadowedText, &L::SetShadowedText)
            .Bool("Transparent", &L::GetTransparent, &L::SetTransparent);
    });
}
