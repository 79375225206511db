// Background and frame of a view, drawn on its canvas.

#include "RP_Class.h"

void TrpView::DrawBackground() {
    TrpContext* context = Context();
    const bool BuildMode = context && context->BuildMode;
    if (!Canvas || (context && context->FirstPassRunning)) return;
    if (BuildMode && FillColor == rpNoFill) return;
    TBrush* brush = Canvas->GetBrush();
    brush->SetStyle(bsSolid);
    brush->SetColor(FillColor == rpNoFill ? clWhite : FillColor);
    Canvas->SetBkMode(OPAQUE);
    if (BuildMode)
        Canvas->FillRect(TRect{x, y, ScaledRight(), ScaledBottom()});
    else
        Canvas->FillRect(DRect);
}

namespace {

enum class Side { Vertical, Horizontal };

void Line(TCanvas* c, int x1, int y1, int x2, int y2, Side side, int shift) {
    if (side == Side::Vertical) {
        c->MoveTo(x1 + shift, y1);
        c->LineTo(x2 + shift, y2);
    } else {
        c->MoveTo(x1, y1 + shift);
        c->LineTo(x2, y2 + shift);
    }
}

}  // namespace

void TrpView::DrawFrame() {
    TrpContext* context = Context();
    const bool BuildMode = context && context->BuildMode;
    if (!Canvas || (context && context->FirstPassRunning)) return;
    if (BuildMode && FrameTyp == 0) return;
    TCanvas* c = Canvas;
    TPen* pen = c->GetPen();
    c->GetBrush()->SetStyle(bsSolid);
    pen->SetStyle(psSolid);
    if (!BuildMode && dx >= 1 && dy >= 1) {
        // Corner marks of the design state: a 4-pixel and a 3-pixel line per corner.
        pen->SetColor(clBlack);
        pen->SetWidth(1);
        int r = x + dx, b = y + dy;
        auto mark = [&](int cx, int cy, int hx, int vy) {
            c->MoveTo(cx, cy);
            c->LineTo(cx + 4 * hx, cy);
            c->MoveTo(cx, cy + vy);
            c->LineTo(cx, cy + 4 * vy);
        };
        mark(x, y, 1, 1);
        mark(r, y, -1, 1);
        mark(x, b, 1, -1);
        mark(r, b, -1, -1);
    }
    if (FrameTyp == 0) return;
    int width = rpRound(FrameWidth);
    pen->SetColor(FrameColor);
    pen->SetWidth(width);
    bool dashed = FrameStyle != rpfsSolid && FrameStyle != rpfsDouble;
    if (dashed) pen->SetStyle(FrameStyle <= rpfsDashDotDot ? TPenStyle(FrameStyle) : psSolid);
    int right = ScaledRight(), bottom = ScaledBottom();

    auto side = [&](int x1, int y1, int x2, int y2, Side s) {
        if (dashed) {
            // A wide dashed pen is drawn as parallel 1-pixel lines.
            pen->SetWidth(1);
            c->GetBrush()->SetColor(FillColor);
            for (int i = 0; i < width; ++i) Line(c, x1, y1, x2, y2, s, i - width / 2);
            pen->SetWidth(width);
        } else if (FrameStyle == rpfsDouble) {
            Line(c, x1, y1, x2, y2, s, -width);
            pen->SetColor(FillColor);
            Line(c, x1, y1, x2, y2, s, 0);
            pen->SetColor(FrameColor);
            Line(c, x1, y1, x2, y2, s, width);
        } else {
            Line(c, x1, y1, x2, y2, s, 0);
        }
    };
    if (FrameTyp & frbRight) side(right, y, right, bottom, Side::Vertical);
    if (FrameTyp & frbLeft) side(x, y, x, bottom, Side::Vertical);
    if (FrameTyp & frbBottom) side(x, bottom, right, bottom, Side::Horizontal);
    if (FrameTyp & frbTop) side(x, y, right, y, Side::Horizontal);
}
