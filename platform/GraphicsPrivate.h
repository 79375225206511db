#pragma once
// Shared inside the drawing sources only.

#include "Graphics.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>

#include <optional>

struct TCanvas::State {
    QPainter* painter = nullptr;
    bool hasBaseClip = false;
    QRegion baseClip;  // the painter's clip when it was attached
    bool hasClip = false;
    QRegion clip;  // the canvas clip
    bool clipDirty = true;
    bool fontRealized = false;
    bool fontCached = false;
    QFont font;
    std::optional<QFontMetricsF> metrics;
    TTextMetric tm;
    // The last text measured in the font: a report measures a line to place it
    // and then draws it, and shaping is the dear part of both.
    struct Measured {
        QString text;
        double advance = -1;
    } measured;
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
