#pragma once
// Shared inside the drawing sources only.

#include "Graphics.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRect>
#include <QRegion>

#include <array>
#include <memory>
#include <optional>

namespace gfx {

// The printable ASCII characters of one font: advance and glyph of each. With
// kerning off and hinted whole-pixel advances, a text of these characters is
// laid out as its characters' glyphs side by side, so the measuring that
// layouts do line by line, and drawing, need no shaping. `Exact` holds only
// for a font whose shaping of every pair of these characters was found to give
// just that; any other font is shaped.
struct AsciiFont {
    static constexpr char16_t First = 0x20, Last = 0x7E;
    static constexpr size_t Count = Last - First + 1;
    bool Exact = false;
    std::array<double, Count> Advance{};
    std::array<quint32, Count> Glyph{};
    std::array<QRectF, Count> Ink{};  // each glyph's ink about its origin on the baseline

    static bool Covers(const QString& s) {
        for (QChar c : s)
            if (c.unicode() < First || c.unicode() > Last) return false;
        return true;
    }
    // The width of a text, or a negative value when it must be shaped.
    double Width(const QString& s) const {
        if (!Exact) return -1;
        double w = 0;
        for (QChar c : s) {
            const char16_t u = c.unicode();
            if (u < First || u > Last) return -1;
            w += Advance[u - First];
        }
        return w;
    }
};

// The table of a font, found once per font and kept for the process.
std::shared_ptr<const AsciiFont> AsciiFontOf(const QFont& font, const QFontMetricsF& fm);

}  // namespace gfx

struct TCanvas::State {
    QPainter* painter = nullptr;
    bool hasBaseClip = false;
    QRegion baseClip;      // the painter's clip when it was attached
    QRect deviceRect;      // the device's pixels when it was attached
    bool printer = false;  // the device is a printer, "Print to PDF" included
    bool hasClip = false;
    QRegion clip;  // the canvas clip
    bool clipDirty = true;
    bool fontRealized = false;
    bool fontCached = false;
    // What a font was made from: the same again needs no new Qt font.
    struct Source {
        std::string name;
        int height = 0;
        TFontStyles style;
        TFontPitch pitch = fpDefault;
        bool operator==(const Source&) const = default;
    };
    // A font made ready for measuring and drawing.
    struct Face {
        Source source;
        QFont font;
        std::optional<QFontMetricsF> metrics;
        TTextMetric tm;  // what the face and size give
        std::shared_ptr<const gfx::AsciiFont> ascii;
        std::optional<QRawFont> raw;  // the font's glyphs, found when first drawn
    } face;
    // The faces used just before, most recent first: a page that goes from
    // headings to figures and back takes them up again as they were.
    std::vector<Face> recent;
    void SelectFace(const Source& source, const TFont& font);

    // The font's glyphs when a text can be drawn as a glyph run: ASCII the
    // font lays out exactly, not spaced out by character, and no decoration
    // for the painter to add.
    const QRawFont* Glyphs(const QString& s, bool spaced);

    // Plain text bound for a printer, gathered while texts follow one another
    // in one font and colour and drawn as one run when anything else is drawn
    // or the painter goes: a vector device writes every run with a state of
    // its own, and a page of figures is hundreds of texts.
    struct PendingText {
        QRawFont font;
        QColor color;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    std::optional<PendingText> pending;
    void DrawPendingText();
    TTextMetric tm;
    // The last text measured in the font: a report measures a line to place it
    // and then draws it, and shaping is the dear part of both.
    struct Measured {
        QString text;
        double advance = -1;
    } measured;
    // The last text taken to UTF-16, which the line measured is drawn with next.
    struct Converted {
        bool done = false;
        std::string utf8;
        QString text;
    } converted;
    const QString& Utf16(const std::string& utf8) {
        if (!converted.done || utf8 != converted.utf8) {
            converted = {true, utf8, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))};
        }
        return converted.text;
    }
};

namespace gfx {

inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
inline TRect FromQRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QRgb ToQRgb(TColor c) {
    TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}
inline TColor FromQRgb(QRgb c) { return RGB(uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))); }

// The image with every pixel of the colour made fully transparent.
QImage MaskedByColor(const QImage& image, TColor transparent);
// Raster composition for a pen mode, or nullopt for pmNop (draw nothing).
std::optional<QPainter::CompositionMode> PenComposition(TPenMode mode);
// Draws Source's rectangle of an image into Dest by a copy mode (nearest-pixel stretch).
void DrawImageWithCopyMode(QPainter* p, const QRect& dest, const QImage& image, const QRect& source, TCopyMode mode,
                           const QBrush& brush);

}  // namespace gfx
