#include "entsupport.h"

#include "Graphics.h"
#include "Messages.h"
#include "SysUtils.h"
#include "entcmd.h"

namespace {

// The system's menu and system fonts at 96 pixels per inch.
void SetMenuFont(TFont& f) {
    f.SetName("MS Sans Serif");
    f.SetHeight(-11);
}

void SetSystemFont(TFont& f) {
    f.SetName("MS Sans Serif");
    f.SetHeight(16);
    f.SetStyle({fsBold});
}

int FontTextHeight(const TFont& font) {
    TCanvas canvas;
    canvas.GetFont()->Assign(const_cast<TFont*>(&font));
    TTextMetric tm;
    canvas.GetTextMetrics(tm);
    return tm.tmHeight;
}

}  // namespace

std::unique_ptr<TFont> CreateRotatedFont(const TFont* font, int angle) {
    auto rotated = std::make_unique<TFont>();
    rotated->Assign(const_cast<TFont*>(font));
    rotated->SetOrientation(angle * 10);
    rotated->SetCharset(DEFAULT_CHARSET);
    return rotated;
}

int GetTopTextMargin(const TFont* font, TEntBorder border, int height, TEntBorderLook look) {
    TFont system;
    SetSystemFont(system);
    return GetTopTextMarginFor(FontTextHeight(*font), FontTextHeight(system), border, height, look,
                               TEntMarginStyle::NewStyle);
}

TEntTextMeasure MenuFontMeasure() {
    auto canvas = std::make_shared<TCanvas>();
    SetMenuFont(*canvas->GetFont());
    TEntTextMeasure m;
    m.Width = [canvas](const std::string& s) { return canvas->TextWidth(s); };
    m.Ellipsize = [canvas](const std::string& s, int width) {
        // drop whole UTF-8 characters from the end until text + "..." fits
        std::string t = s;
        while (!t.empty() && canvas->TextWidth(t + "...") > width) {
            size_t n = t.size() - 1;
            while (n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
            t.resize(n);
        }
        return t + "...";
    };
    return m;
}

std::string ShortenPath(const std::string& path, int width) { return ShortenPath(path, width, MenuFontMeasure()); }

uint8_t GetShiftFlags() {
    auto down = [](int key) { return GetKeyState(key) < 0; };
    uint8_t flags = 0;
    if (down(VK_CONTROL)) flags |= ssfCtrl;
    if (down(VK_SHIFT)) flags |= ssfShift;
    if (down(VK_MENU)) flags |= ssfAlt;
    return flags;
}

// The layer reports buttons as pressed, after any swap the system applies.
int PrimaryMouseButton() { return VK_LBUTTON; }

TCursor LoadEntCursor(const std::string& name) {
    // The tab cursor is a pointing hand: the tab under it can be clicked.
    if (SameText(name, "ENTTABCURSOR")) return crHandPoint;
    return crDefault;
}
