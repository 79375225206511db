// The canvas: device attachment, clipping, shapes, pixels and copies.

#include "GraphicsPrivate.h"

#include <QPaintDevice>
#include <QPen>
#include <QPolygon>

#include <algorithm>

namespace gfx {

QImage MaskedByColor(const QImage& image, TColor transparent) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQRgb(transparent) & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    return out;
}

std::optional<QPainter::CompositionMode> PenComposition(TPenMode mode) {
    switch (mode) {
    case pmNop: return std::nullopt;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;  // pmCopy, pmBlack, pmWhite
    }
}

}  // namespace gfx

using namespace gfx;

namespace {

// Cosmetic dash patterns of the platform, in pixels.
QList<qreal> DashPattern(TPenStyle style) {
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

bool IsDashed(TPenStyle s) { return s == psDash || s == psDot || s == psDashDot || s == psDashDotDot; }

const QRect kWholePlane(-0x100000, -0x100000, 0x200000, 0x200000);

int RegionKind(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Scoped painter state for one drawing call.
struct Saver {
    QPainter* p;
    explicit Saver(QPainter* painter) : p(painter) { p->save(); }
    ~Saver() { p->restore(); }
};

}  // namespace

// ---------------------------------------------------------------------------

TCanvas::TCanvas()
    : S(std::make_unique<State>()),
      FFont(std::make_unique<TFont>()),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()) {
    FFont->OnChange = [this](TObject*) {
        S->fontRealized = false;
        S->fontCached = false;
    };
    FBrush->OnChange = [this](TObject*) { FBrushRealized = false; };
}

TCanvas::TCanvas(QPainter* painter) : TCanvas() { SetPainter(painter); }

TCanvas::~TCanvas() { S->DrawPendingText(); }

void TCanvas::SetPainter(QPainter* painter) {
    FBkMode = OPAQUE;
    FBkColor = clWhite;
    FTextColor = clBlack;
    FTextAlign = TA_LEFT | TA_TOP;
    FCharExtra = FBreakExtra = FBreakCount = 0;
    FBrushRealized = false;
    S->fontRealized = false;
    S->hasClip = false;
    S->clip = QRegion();
    AttachPainter(painter);
}

void TCanvas::AttachPainter(QPainter* painter) {
    S->DrawPendingText();
    S->painter = painter;
    S->clipDirty = true;
    S->hasBaseClip = painter && painter->hasClipping();
    S->baseClip = S->hasBaseClip ? painter->clipRegion() : QRegion();
    // A printer answers its size through its page layout, dear to ask for every object.
    S->deviceRect =
        painter && painter->device() ? QRect(0, 0, painter->device()->width(), painter->device()->height()) : QRect();
    S->printer = painter && painter->device() && painter->device()->devType() == QInternal::Printer;
    if (painter) painter->setRenderHint(QPainter::Antialiasing, false);
}

void TCanvas::DeselectHandle() {
    S->DrawPendingText();
    S->painter = nullptr;
    S->clipDirty = true;
    S->hasBaseClip = false;
    S->baseClip = QRegion();
}

QPainter* TCanvas::Painter() { return Ready(); }

bool TCanvas::HandleAllocated() const { return S->painter != nullptr; }

QPainter* TCanvas::Ready() {
    S->DrawPendingText();
    return ReadyKeepingText();
}

QPainter* TCanvas::ReadyKeepingText() {
    if (!S->painter) CreateHandle();
    if (!S->painter) return nullptr;
    if (S->clipDirty) {
        S->DrawPendingText();  // under the clip it was gathered in
        ApplyClip();
    }
    return S->painter;
}

void TCanvas::ApplyClip() {
    QPainter* p = S->painter;
    S->clipDirty = false;
    if (S->hasClip)
        p->setClipRegion(S->hasBaseClip ? S->baseClip.intersected(S->clip) : S->clip);
    else if (S->hasBaseClip)
        p->setClipRegion(S->baseClip);
    else
        p->setClipping(false);
}

void TCanvas::Refresh() {
    FBrushRealized = false;
    S->fontRealized = false;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::RealizeBrush() {
    if (FBrushRealized) return;
    FBrushRealized = true;
    if (FBrush->GetStyle() == bsSolid) {
        FBkMode = OPAQUE;
        FBkColor = ColorToRGB(FBrush->GetColor());
    } else {
        FBkMode = TRANSPARENT;
        FBkColor = ColorToRGB(FBrush->GetColor()) ^ 0xFFFFFF;
    }
}

void TCanvas::RealizeFont() {
    if (S->fontRealized) return;
    S->fontRealized = true;
    FTextColor = ColorToRGB(FFont->GetColor());
}

int TCanvas::SetBkMode(int Mode) {
    int old = FBkMode;
    FBkMode = Mode;
    return old;
}
TColor TCanvas::SetBkColor(TColor Color) {
    TColor old = FBkColor;
    FBkColor = ColorToRGB(Color);
    return old;
}
TColor TCanvas::SetTextColor(TColor Color) {
    RealizeFont();  // an explicit colour outlasts the font's until the font changes
    TColor old = FTextColor;
    FTextColor = ColorToRGB(Color);
    return old;
}
unsigned TCanvas::SetTextAlign(unsigned Flags) {
    unsigned old = FTextAlign;
    FTextAlign = Flags;
    return old;
}
int TCanvas::SetTextCharacterExtra(int Extra) {
    int old = FCharExtra;
    FCharExtra = Extra;
    return old;
}

// ---------------------------------------------------------------------------
// Pens and brushes on the painter

void TCanvas::ApplyPen(QPainter* p) {
    TPenStyle style = FPen->GetStyle();
    if (style == psClear) {
        p->setPen(Qt::NoPen);
        return;
    }
    QColor color = ColorToQColor(FPen->GetColor());
    if (FPen->GetMode() == pmBlack)
        color = Qt::black;
    else if (FPen->GetMode() == pmWhite || FPen->GetMode() == pmNot)
        color = Qt::white;
    int w = FPen->GetWidth();
    QPen pen(color, w <= 1 ? 0 : w);
    if (w <= 1)
        pen.setCapStyle(Qt::FlatCap), pen.setJoinStyle(Qt::MiterJoin);
    else
        pen.setCapStyle(Qt::RoundCap), pen.setJoinStyle(Qt::RoundJoin);
    if (IsDashed(style)) pen.setDashPattern(DashPattern(style));
    p->setPen(pen);
}

namespace {

QBrush MakeBrush(TBrush* b, TColor textColor, TColor bkColor) {
    if (TBitmap* bm = b->GetBitmap(); bm && !bm->GetEmpty()) {
        QImage img = bm->Image().convertToFormat(QImage::Format_RGB32);
        if (bm->GetMonochrome()) {
            QRgb fg = ToQRgb(textColor), bg = ToQRgb(bkColor);
            for (int y = 0; y < img.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x) line[x] = (line[x] & 0xFFFFFF) == 0 ? fg : bg;
            }
        }
        return QBrush(img);
    }
    QColor c = ColorToQColor(b->GetColor());
    switch (b->GetStyle()) {
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(c, Qt::HorPattern);
    case bsVertical: return QBrush(c, Qt::VerPattern);
    case bsFDiagonal: return QBrush(c, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(c, Qt::BDiagPattern);
    case bsCross: return QBrush(c, Qt::CrossPattern);
    case bsDiagCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(c);
    }
}

bool IsHatch(TBrush* b) { return !b->GetBitmap() && b->GetStyle() != bsSolid && b->GetStyle() != bsClear; }

}  // namespace

// Runs a shape's drawing with the pen mode; styled pens on an opaque background
// get their gaps filled with the background colour first, hatches their ground.
template <typename F>
static void StrokeShape(QPainter* p, TPen* pen, TBrush* brush, int bkMode, TColor bkColor, F draw) {
    auto comp = PenComposition(pen->GetMode());
    if (!comp) return;
    p->setCompositionMode(*comp);
    if (IsHatch(brush) && bkMode == OPAQUE && brush->GetStyle() != bsClear) {
        QPen savedPen = p->pen();
        QBrush savedBrush = p->brush();
        p->setPen(Qt::NoPen);
        p->setBrush(ColorToQColor(bkColor));
        draw();
        p->setPen(savedPen);
        p->setBrush(savedBrush);
    }
    if (IsDashed(pen->GetStyle()) && bkMode == OPAQUE && p->pen().style() != Qt::NoPen) {
        QPen dashed = p->pen();
        QBrush savedBrush = p->brush();
        QPen gap = dashed;
        gap.setStyle(Qt::SolidLine);
        gap.setColor(ColorToQColor(bkColor));
        p->setPen(gap);
        p->setBrush(Qt::NoBrush);
        draw();
        p->setPen(dashed);
        p->setBrush(savedBrush);
    }
    draw();
}

// ---------------------------------------------------------------------------
// Shapes

void TCanvas::MoveTo(int X, int Y) { FPenPos = {X, Y}; }

void TCanvas::LineTo(int X, int Y) {
    std::vector<TPoint> pts{FPenPos, {X, Y}};
    FPenPos = {X, Y};
    Polyline(pts);
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    RealizeBrush();
    QPainter* p = Ready();
    if (!p || Points.size() < 2) return;
    Changing();
    {
        Saver s(p);
        ApplyPen(p);
        p->setBrush(Qt::NoBrush);
        int w = FPen->GetWidth();
        StrokeShape(p, FPen.get(), FBrush.get(), FBkMode, FBkColor, [&] {
            if (w <= 1) {
                // A flat-capped cosmetic pen leaves the last point out, as the platform does.
                QPolygon poly;
                for (const TPoint& pt : Points) poly << QPoint(pt.X, pt.Y);
                p->drawPolyline(poly);
            } else {
                // Wide pens are centred on the pixel line.
                QPolygonF poly;
                for (const TPoint& pt : Points) poly << QPointF(pt.X + 0.5, pt.Y + 0.5);
                p->drawPolyline(poly);
            }
        });
    }
    Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
    RealizeBrush();
    RealizeFont();
    if (FBrush->GetStyle() == bsClear && !FBrush->GetBitmap()) return;
    QPainter* p = Ready();
    if (!p || Rect.IsEmpty()) return;
    Changing();
    {
        Saver s(p);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->setBrushOrigin(0, 0);
        if (IsHatch(FBrush.get()) && FBkMode == OPAQUE) p->fillRect(ToQRect(Rect), ColorToQColor(FBkColor));
        p->fillRect(ToQRect(Rect), MakeBrush(FBrush.get(), FTextColor, FBkColor));
    }
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
    RealizeBrush();
    RealizeFont();
    QPainter* p = Ready();
    if (!p || Rect.IsEmpty()) return;
    Changing();
    {
        Saver s(p);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->setBrushOrigin(0, 0);
        QBrush b = MakeBrush(FBrush.get(), FTextColor, FBkColor);
        const int l = Rect.Left, t = Rect.Top, w = Rect.Width(), h = Rect.Height();
        p->fillRect(QRect(l, t, w, 1), b);
        if (h > 1) p->fillRect(QRect(l, t + h - 1, w, 1), b);
        if (h > 2) {
            p->fillRect(QRect(l, t + 1, 1, h - 2), b);
            if (w > 1) p->fillRect(QRect(l + w - 1, t + 1, 1, h - 2), b);
        }
    }
    Changed();
}

void TCanvas::DrawFilledShape(const std::function<void(QPainter*)>& draw) {
    RealizeBrush();
    RealizeFont();
    QPainter* p = Ready();
    if (!p) return;
    Changing();
    {
        Saver s(p);
        ApplyPen(p);
        p->setBrush(MakeBrush(FBrush.get(), FTextColor, FBkColor));
        p->setBrushOrigin(0, 0);
        StrokeShape(p, FPen.get(), FBrush.get(), FBkMode, FBkColor, [&] { draw(p); });
    }
    Changed();
}

namespace {

struct BoxGeometry {
    QRectF Rect;
    bool FillOnly;  // a clear pen: the box is filled, not outlined
};

// Outlined and filled box shapes share the platform's geometry: a 1-pixel pen
// runs along the last pixel inside the box; a clear pen leaves the fill one
// pixel short on the right and bottom; an inside-frame pen keeps wide
// outlines inside the box.
BoxGeometry BoxShape(TPen* pen, int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const int w = pen->GetWidth();
    if (pen->GetStyle() == psClear) return {QRectF(x1, y1, x2 - x1 - 1, y2 - y1 - 1), true};
    if (w <= 1) return {QRectF(x1, y1, x2 - x1 - 1, y2 - y1 - 1), false};
    if (pen->GetStyle() == psInsideFrame) {
        double h = w / 2.0;
        return {QRectF(x1 + h, y1 + h, x2 - x1 - w, y2 - y1 - w), false};
    }
    return {QRectF(x1 + 0.5, y1 + 0.5, x2 - x1 - 1, y2 - y1 - 1), false};
}

}  // namespace

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    const BoxGeometry box = BoxShape(FPen.get(), X1, Y1, X2, Y2);
    DrawFilledShape([&](QPainter* p) {
        const QRectF& r = box.Rect;
        if (box.FillOnly) {
            if (p->brush().style() != Qt::NoBrush && r.width() > 0 && r.height() > 0)
                p->fillRect(r.toRect(), p->brush());
        } else if (p->pen().width() == 0) {
            p->drawRect(r.toRect());
        } else {
            p->drawRect(r);
        }
    });
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    const QRectF r = BoxShape(FPen.get(), X1, Y1, X2, Y2).Rect;
    DrawFilledShape([&](QPainter* p) { p->drawRoundedRect(r, X3 / 2.0, Y3 / 2.0); });
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    const QRectF r = BoxShape(FPen.get(), X1, Y1, X2, Y2).Rect;
    DrawFilledShape([&](QPainter* p) { p->drawEllipse(r); });
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    if (Points.size() < 2) {
        // Nothing to draw; the brush and font are realized as for any shape.
        RealizeBrush();
        RealizeFont();
        return;
    }
    QPolygon poly;
    for (const TPoint& pt : Points) poly << QPoint(pt.X, pt.Y);
    DrawFilledShape([&](QPainter* p) { p->drawPolygon(poly, Qt::OddEvenFill); });
}

void TCanvas::InvertRect(const TRect& Rect) {
    QPainter* p = Ready();
    if (!p || Rect.IsEmpty()) return;
    Changing();
    {
        Saver s(p);
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->fillRect(ToQRect(Rect), Qt::white);
    }
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
    QPainter* p = Ready();
    if (!p || Rect.IsEmpty()) return;
    // Every other pixel of the frame, inverted; the four sides do not overlap,
    // so a second call restores the pixels.
    QPolygon dots;
    auto add = [&](int x, int y) {
        if (((x + y) & 1) == 0) dots << QPoint(x, y);
    };
    const int l = Rect.Left, t = Rect.Top, r = Rect.Right - 1, b = Rect.Bottom - 1;
    for (int x = l; x <= r; ++x) add(x, t);
    if (b > t)
        for (int x = l; x <= r; ++x) add(x, b);
    for (int y = t + 1; y < b; ++y) {
        add(l, y);
        if (r > l) add(r, y);
    }
    Changing();
    {
        Saver s(p);
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->setPen(QPen(Qt::white, 0));
        p->drawPoints(dots);
    }
    Changed();
}

void TCanvas::DrawEdge(TRect& Rect, unsigned Edge, unsigned Flags) {
    QPainter* p = Ready();
    TRect r = Rect;
    auto ring = [&](TColor topLeft, TColor bottomRight) {
        if (r.IsEmpty()) return;
        if (p) {
            QColor tl = ColorToQColor(topLeft), br = ColorToQColor(bottomRight);
            if (Flags & BF_LEFT) p->fillRect(QRect(r.Left, r.Top, 1, r.Height()), tl);
            if (Flags & BF_TOP) p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), tl);
            if (Flags & BF_RIGHT) p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), br);
            if (Flags & BF_BOTTOM) p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), br);
        }
        if (Flags & BF_LEFT) ++r.Left;
        if (Flags & BF_TOP) ++r.Top;
        if (Flags & BF_RIGHT) --r.Right;
        if (Flags & BF_BOTTOM) --r.Bottom;
    };
    Changing();
    if (p) {
        p->save();
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    const bool flat = Flags & (BF_FLAT | BF_MONO);
    if (Edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (flat)
            ring(Flags & BF_MONO ? clWindowFrame : clBtnShadow, Flags & BF_MONO ? clWindowFrame : clBtnShadow);
        else if (Edge & BDR_RAISEDOUTER)
            ring(cl3DLight, cl3DDkShadow);
        else
            ring(clBtnShadow, clBtnHighlight);
    }
    if (Edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (flat)
            ring(Flags & BF_MONO ? clWindow : clBtnFace, Flags & BF_MONO ? clWindow : clBtnFace);
        else if (Edge & BDR_RAISEDINNER)
            ring(clBtnHighlight, clBtnShadow);
        else
            ring(cl3DDkShadow, cl3DLight);
    }
    if (p && (Flags & BF_MIDDLE) && !r.IsEmpty()) p->fillRect(ToQRect(r), ColorToQColor(clBtnFace));
    if (p) p->restore();
    if (Flags & BF_ADJUST) Rect = r;
    Changed();
}

// ---------------------------------------------------------------------------
// Pixels

TCanvasPixels::Ref::operator TColor() const { return c_->GetPixel(x_, y_); }
TCanvasPixels::Ref& TCanvasPixels::Ref::operator=(TColor color) {
    c_->SetPixel(x_, y_, color);
    return *this;
}

const QImage* TCanvas::SourceImage() {
    if (S->painter && S->painter->device() && S->painter->device()->devType() == QInternal::Image)
        return static_cast<const QImage*>(S->painter->device());
    return nullptr;
}

TColor TCanvas::GetPixel(int X, int Y) {
    const QImage* img = SourceImage();
    if (!img) return -1;
    QPoint d(X, Y);
    if (S->painter) d = S->painter->deviceTransform().map(d);
    if (!img->rect().contains(d)) return -1;
    return FromQRgb(img->pixel(d));
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    QPainter* p = Ready();
    if (!p) return;
    Changing();
    {
        Saver s(p);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->fillRect(QRect(X, Y, 1, 1), ColorToQColor(Color));
    }
    Changed();
}

// ---------------------------------------------------------------------------
// Graphics and copies

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->GetEmpty()) return;
    StretchDraw(Bounds(X, Y, Graphic->GetWidth(), Graphic->GetHeight()), Graphic);
}

void TCanvas::DrawMask(int X, int Y, TGraphic* Graphic, TColor Color) {
    if (!Graphic || Graphic->GetEmpty()) return;
    QPainter* p = Painter();
    if (!p) return;
    QImage mask;
    if (auto* b = dynamic_cast<const TBitmap*>(Graphic))
        mask = MaskedByColor(b->Image(), b->GetTransparentColor());
    else
        mask = Graphic->ToImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb fill = ToQRgb(Color) | 0xFF000000u;
    for (int y = 0; y < mask.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) line[x] = qAlpha(line[x]) >= 128 ? fill : 0;
    }
    Changing();
    {
        Saver s(p);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->drawImage(X, Y, mask);
    }
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (!Graphic || Graphic->GetEmpty()) return;
    Changing();
    Graphic->Draw(this, Rect);
    Changed();
}

namespace gfx {

// Draws Source's rectangle of an image into Dest with a copy mode; stretches
// by nearest pixel as the platform's default stretch mode does.
void DrawImageWithCopyMode(QPainter* p, const QRect& dest, const QImage& image, const QRect& source, TCopyMode mode,
                           const QBrush& brush) {
    Saver s(p);
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    switch (mode) {
    case cmBlackness: p->fillRect(dest, Qt::black); return;
    case cmWhiteness: p->fillRect(dest, Qt::white); return;
    case cmDstInvert:
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->fillRect(dest, Qt::white);
        return;
    case cmPatCopy: p->fillRect(dest, brush); return;
    case cmPatInvert:
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->fillRect(dest, brush);
        return;
    default: break;
    }
    QPainter::CompositionMode comp = QPainter::CompositionMode_SourceOver;
    switch (mode) {
    case cmSrcPaint: comp = QPainter::RasterOp_SourceOrDestination; break;
    case cmSrcAnd: comp = QPainter::RasterOp_SourceAndDestination; break;
    case cmSrcInvert: comp = QPainter::RasterOp_SourceXorDestination; break;
    case cmNotSrcCopy: comp = QPainter::RasterOp_NotSource; break;
    case cmSrcErase: comp = QPainter::RasterOp_SourceAndNotDestination; break;
    case cmNotSrcErase: comp = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case cmMergePaint: comp = QPainter::RasterOp_NotSourceOrDestination; break;
    default: break;
    }
    p->setCompositionMode(comp);
    p->drawImage(dest, image, source);
}

}  // namespace gfx

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    if (!Canvas || Dest.IsEmpty() || Source.IsEmpty()) return;
    const QImage* src = Canvas->SourceImage();
    QPainter* p = Ready();
    if (!src || !p) return;
    RealizeBrush();
    // Copying within one image reads from a snapshot of the source rectangle.
    QImage part = src->copy(ToQRect(Source));
    Changing();
    DrawImageWithCopyMode(p, ToQRect(Dest), part, part.rect(), CopyMode, MakeBrush(FBrush.get(), FTextColor, FBkColor));
    Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (!Bitmap || Bitmap->GetEmpty()) return;
    QPainter* p = Ready();
    if (!p) return;
    QImage part = Bitmap->ToImage().convertToFormat(QImage::Format_RGB32).copy(ToQRect(Source));
    const QRgb key = ToQRgb(Color) & 0xFFFFFF, fill = ToQRgb(FBrush->GetColor());
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = fill;
    }
    Changing();
    DrawImageWithCopyMode(p, ToQRect(Dest), part, part.rect(), cmSrcCopy, QBrush());
    Changed();
}

// ---------------------------------------------------------------------------
// Clipping

int TCanvas::IntersectClipRect(int X1, int Y1, int X2, int Y2) {
    QRegion cur = S->hasClip ? S->clip : QRegion(kWholePlane);
    S->clip = cur.intersected(X2 > X1 && Y2 > Y1 ? QRegion(X1, Y1, X2 - X1, Y2 - Y1) : QRegion());
    S->hasClip = true;
    S->clipDirty = true;
    return RegionKind(S->clip);
}

int TCanvas::ExcludeClipRect(int X1, int Y1, int X2, int Y2) {
    QRegion cur = S->hasClip ? S->clip : QRegion(kWholePlane);
    if (X2 > X1 && Y2 > Y1) cur = cur.subtracted(QRegion(X1, Y1, X2 - X1, Y2 - Y1));
    S->clip = cur;
    S->hasClip = true;
    S->clipDirty = true;
    return RegionKind(S->clip);
}

int TCanvas::SelectClipRgn(const TRegion* Region) {
    S->hasClip = Region != nullptr;
    S->clip = Region ? Region->Region() : QRegion();
    S->clipDirty = true;
    return Region ? RegionKind(S->clip) : SIMPLEREGION;
}

bool TCanvas::GetClipRgn(TRegion& Region) const {
    if (!S->hasClip) return false;
    Region = TRegion(S->clip);
    return true;
}

namespace {

// The device's pixels in the painter's coordinates.
QRect DeviceBounds(QPainter* p, const QRect& device) {
    return p && p->device() ? p->combinedTransform().inverted().mapRect(device) : kWholePlane;
}

}  // namespace

TRect TCanvas::GetClipRect() {
    QRegion r(DeviceBounds(ReadyKeepingText(), S->deviceRect));
    if (S->hasBaseClip) r = r.intersected(S->baseClip);
    if (S->hasClip) r = r.intersected(S->clip);
    return r.isEmpty() ? TRect{} : FromQRect(r.boundingRect());
}

bool TCanvas::RectVisible(const TRect& R) {
    if (R.IsEmpty()) return false;
    if (!S->hasClip && !S->hasBaseClip) return DeviceBounds(ReadyKeepingText(), S->deviceRect).intersects(ToQRect(R));
    TRect c = GetClipRect();
    QRegion r = S->hasClip ? S->clip.intersected(ToQRect(c)) : QRegion(ToQRect(c));
    if (S->hasBaseClip) r = r.intersected(S->baseClip);
    return r.intersects(ToQRect(R));
}
