// Colour values, the fixed system palette, colour names, and clip regions.

#include "Graphics.h"
#include "SysUtils.h"

#include <QColor>
#include <QRegion>

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

// The classic desktop scheme, by system colour index; one palette for every
// machine so that windows look and measure the same everywhere.
constexpr TColor kSysPalette[] = {
    RGB(192, 192, 192),  // 0 scroll bar
    RGB(0, 128, 128),    // 1 desktop
    RGB(0, 0, 128),      // 2 active caption
    RGB(128, 128, 128),  // 3 inactive caption
    RGB(192, 192, 192),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(0, 0, 0),        // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(255, 255, 255),  // 9 caption text
    RGB(192, 192, 192),  // 10 active border
    RGB(192, 192, 192),  // 11 inactive border
    RGB(128, 128, 128),  // 12 application workspace
    RGB(0, 0, 128),      // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(192, 192, 192),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 gray text
    RGB(0, 0, 0),        // 18 button text
    RGB(192, 192, 192),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(0, 0, 0),        // 21 3-D dark shadow
    RGB(223, 223, 223),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // 26 hot-tracked item
    RGB(16, 132, 208),   // 27 active caption gradient
    RGB(181, 181, 181),  // 28 inactive caption gradient
    RGB(0, 0, 128),      // 29 menu highlight
    RGB(192, 192, 192),  // 30 menu bar
};

struct ColorName {
    TColor color;
    const char* name;
};

constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

}  // namespace

TColor GetSysColor(int index) {
    if (index < 0 || index >= int(std::size(kSysPalette))) return 0;
    return kSysPalette[index];
}

TColor ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(static_cast<int>(uint32_t(color) & 0xFF));
    return color;
}

QColor ColorToQColor(TColor color) {
    if (color == clNone || color == clDefault) return QColor(0, 0, 0, 0);
    TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor QColorToColor(const QColor& color) {
    return RGB(uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue()));
}

bool IdentToColor(const std::string& ident, TColor& color) {
    for (const ColorName& n : kColorNames)
        if (SameText(ident, n.name)) {
            color = n.color;
            return true;
        }
    return false;
}

bool ColorToIdent(TColor color, std::string& ident) {
    for (const ColorName& n : kColorNames)
        if (n.color == color) {
            ident = n.name;
            return true;
        }
    return false;
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (ColorToIdent(color, ident)) return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", uint32_t(color));
    return buf;
}

TColor StringToColor(const std::string& text) {
    TColor c;
    if (IdentToColor(text, c)) return c;
    if (!text.empty()) {
        const char* s = text.c_str();
        int base = 10;
        if (*s == '$') {
            ++s;
            base = 16;
        } else if (text.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            s += 2;
            base = 16;
        }
        char* end = nullptr;
        long long v = std::strtoll(s, &end, base);
        if (end && *end == 0 && end != s && v >= INT32_MIN && v <= 0xFFFFFFFFLL)
            return static_cast<TColor>(static_cast<uint32_t>(v));
    }
    throw EConvertError("'" + text + "' is not a valid colour");
}

// ---------------------------------------------------------------------------

namespace {
QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
TRect FromQRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
}  // namespace

TRegion::TRegion() : FRegion(std::make_unique<QRegion>()) {}
TRegion::TRegion(const TRect& r) : FRegion(std::make_unique<QRegion>(r.IsEmpty() ? QRect() : ToQRect(r))) {}
TRegion::TRegion(const QRegion& region) : FRegion(std::make_unique<QRegion>(region)) {}
TRegion::TRegion(const TRegion& other) : FRegion(std::make_unique<QRegion>(*other.FRegion)) {}
TRegion& TRegion::operator=(const TRegion& other) {
    *FRegion = *other.FRegion;
    return *this;
}
TRegion::~TRegion() = default;

TRegion TRegion::Elliptic(const TRect& r) {
    if (r.IsEmpty()) return TRegion();
    return TRegion(QRegion(ToQRect(r), QRegion::Ellipse));
}
TRegion TRegion::United(const TRegion& o) const { return TRegion(FRegion->united(*o.FRegion)); }
TRegion TRegion::Intersected(const TRegion& o) const { return TRegion(FRegion->intersected(*o.FRegion)); }
TRegion TRegion::Subtracted(const TRegion& o) const { return TRegion(FRegion->subtracted(*o.FRegion)); }
TRegion TRegion::Xored(const TRegion& o) const { return TRegion(FRegion->xored(*o.FRegion)); }
void TRegion::Offset(int dx, int dy) { FRegion->translate(dx, dy); }
bool TRegion::IsEmpty() const { return FRegion->isEmpty(); }
bool TRegion::Contains(TPoint p) const { return FRegion->contains(QPoint(p.X, p.Y)); }
bool TRegion::Intersects(const TRect& r) const { return !r.IsEmpty() && FRegion->intersects(ToQRect(r)); }
TRect TRegion::BoundingRect() const { return FRegion->isEmpty() ? TRect{} : FromQRect(FRegion->boundingRect()); }
std::vector<TRect> TRegion::Rects() const {
    std::vector<TRect> out;
    for (const QRect& r : *FRegion) out.push_back(FromQRect(r));
    return out;
}
