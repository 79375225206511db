// Painting of the notebook's tab strip and page frame in the four tab
// orientations. Everything is drawn straight onto the control's canvas; the
// window does not erase its background, so every pixel of the strip is
// painted here. The tab rectangles come from the layout (LayoutTabs).

#include <vector>

#include "entmsgs.h"
#include "entnbk.h"

struct TEntNotebook::TabPainter {
    TEntNotebook& nb;
    TCanvas& c;
    const int W, H, TH, T;
    const TEntTabOrientation orient;
    TColor background = clBtnFace;
    int textHeight = 0;  // of the measuring text in the notebook's font

    TabPainter(TEntNotebook& notebook, TCanvas& canvas)
        : nb(notebook),
          c(canvas),
          W(notebook.GetWidth()),
          H(notebook.GetHeight()),
          TH(notebook.FTabHeight),
          T(notebook.FTabHeight * notebook.FRowCount),
          orient(notebook.FTabOrientation) {}

    bool Side() const { return orient == toRight || orient == toLeft; }
    bool Shown(int i) const { return nb.Designing() || nb.Pages(i)->GetPageVisible(); }

    void SolidBrushAndPen(TColor color) {
        c.GetBrush()->SetStyle(bsSolid);
        c.GetBrush()->SetColor(color);
        c.GetPen()->SetColor(color);
        c.GetPen()->SetStyle(psSolid);
    }

    void Fill(int left, int top, int right, int bottom) { c.FillRect(Rect(left, top, right, bottom)); }

    void Line(TColor color, std::vector<TPoint> points) {
        c.GetPen()->SetColor(color);
        c.Polyline(points);
    }

    void SelectFont(TFont* font, TColor color) {
        nb.SetTabFont(c, font);
        c.GetFont()->SetColor(color);
    }

    // ---- The strip ------------------------------------------------------------
    // The whole strip in both styles: the old style's justified rows leave the
    // cut corners and the seams between rows uncovered.
    void FillStrip() {
        switch (orient) {
        case toTop: Fill(0, 0, W, T + 2); break;
        case toBottom: Fill(0, H - T - 2, W, H); break;
        case toRight: Fill(W - T - 2, 0, W, H); break;
        case toLeft: Fill(0, 0, T + 2, H); break;
        }
    }

    // ---- Outlines and the page frame -------------------------------------------
    void Outline(TEntTabPage* page, const TRect& r, bool active) {
        const int L = r.Left, T0 = r.Top, R = r.Right, B = r.Bottom;
        const TColor tab = page->GetTabColor(), hi = nb.FHighlightColor, sh = nb.FShadowColor;
        SolidBrushAndPen(tab);
        switch (orient) {
        case toTop:
            c.Polygon({{L, B}, {L, T0 + 2}, {L + 2, T0}, {R - 4, T0}, {R - 2, T0 + 2}, {R - 2, B}});
            Line(hi, {{L, B - 1}, {L, T0 + 2}, {L + 2, T0}, {R - 2, T0}});
            Line(clBlack, {{R - 2, T0 + 1}, {R - 1, T0 + 2}, {R - 1, B}});
            Line(sh, {{R - 2, T0 + 2}, {R - 2, B}});
            if (active) {
                Line(nb.GetColor(), {{L, B}, {R - 1, B}});
                Line(hi, {{L, B}, {0, B}, {0, H - 1}});
                Line(hi, {{R - 1, B}, {W - 2, B}});
                Line(clBlack, {{0, H - 1}, {W - 1, H - 1}, {W - 1, B - 1}});
                Line(sh, {{1, H - 2}, {W - 2, H - 2}, {W - 2, B - 1}});
            }
            break;
        case toBottom:
            c.Polygon({{L + 1, T0}, {L + 1, B - 2}, {L + 3, B - 1}, {R - 3, B - 1}, {R - 1, B - 3}, {R - 1, T0}});
            Line(hi, {{L + 1, T0}, {L + 1, B - 2}});
            Line(clBlack, {{L + 2, B - 1}, {R - 3, B - 1}, {R - 1, B - 3}, {R - 1, T0 - 1}});
            Line(sh, {{L + 2, B - 2}, {R - 2, B - 2}, {R - 2, T0 - 1}});
            if (active) {
                const int y1 = T0 - 2, y2 = T0 - 1;  // shadow inside, black outside
                Line(hi, {{0, y2}, {0, 0}, {W - 1, 0}});
                Line(clBlack, {{0, y2}, {W - 1, y2}, {W - 1, -1}});
                Line(sh, {{1, y1}, {W - 2, y1}, {W - 2, 0}});
                Line(nb.GetColor(), {{L + 2, y1}, {R - 2, y1}});
                Line(nb.GetColor(), {{L + 2, y2}, {R - 2, y2}});
            }
            break;
        case toRight:
            c.Polygon({{L + 1, T0}, {R - 2, T0}, {R - 1, T0 + 2}, {R - 1, B - 3}, {R - 2, B - 1}, {L + 1, B - 1}});
            Line(hi, {{L + 1, T0}, {R - 2, T0}});
            Line(clBlack, {{R - 2, T0 + 1}, {R - 1, T0 + 2}, {R - 1, B - 3}, {R - 3, B - 1}, {L, B - 1}});
            Line(sh, {{R - 2, T0 + 2}, {R - 2, B - 2}, {L, B - 2}});
            if (active) {
                const int x1 = L - 1, x2 = L;  // shadow inside, black outside
                Line(hi, {{0, H - 1}, {0, 0}, {x2, 0}});
                Line(clBlack, {{0, H - 1}, {x2, H - 1}, {x2, -1}});
                Line(sh, {{1, H - 2}, {x1, H - 2}, {x1, 0}});
                Line(nb.GetColor(), {{x1, T0 + 1}, {x1, B - 2}});
                Line(nb.GetColor(), {{x2, T0 + 1}, {x2, B - 2}});
            }
            break;
        case toLeft:
            c.Polygon({{L + 2, T0 + 1}, {R, T0 + 1}, {R, B - 1}, {L + 2, B - 1}, {L, B - 2}, {L, T0 + 2}});
            Line(hi, {{L, B - 2}, {L, T0 + 2}, {L + 1, T0 + 1}, {R + 1, T0 + 1}});
            Line(clBlack, {{L + 1, B - 1}, {R + 1, B - 1}});
            Line(sh, {{L + 2, B - 2}, {R + 1, B - 2}});
            if (active) {
                const int x0 = R;
                Line(hi, {{x0, H - 1}, {x0, 0}, {W - 1, 0}});
                Line(clBlack, {{x0, H - 1}, {W - 1, H - 1}, {W - 1, -1}});
                Line(sh, {{x0 + 1, H - 2}, {W - 2, H - 2}, {W - 2, 0}});
                Line(nb.GetColor(), {{x0, T0 + 2}, {x0, B - 2}});
            }
            break;
        }
    }

    // ---- Captions ---------------------------------------------------------------
    TRect TextRect(const TRect& r, int d) const {
        TRect t;
        if (Side()) {
            t = Rect(r.Left + d, r.Top + 6, r.Right - d, r.Bottom - 6);
            if (t.Bottom > H - 2) t.Bottom = H - 14;
        } else {
            t = Rect(r.Left + 6, r.Top + d, r.Right - 6, r.Bottom - d);
            if (t.Right > W - 2) t.Right = W - 14;
        }
        return t;
    }

    static TRect Moved(const TRect& r, int dx, int dy) {
        return Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
    }

    // One pass of a horizontal caption.
    void FlatText(const std::string& caption, const TRect& r, TColor color, int bkMode, TColor bk) {
        c.GetFont()->SetColor(color);
        c.SetBkMode(bkMode);
        c.SetBkColor(bk);
        TRect rect = r;
        c.DrawText(caption, rect, DT_CENTER | DT_SINGLELINE);
    }

    // One pass of a turned caption: plain text output, centred along the tab,
    // the accelerator underlined by a drawn line.
    void TurnedText(const std::string& caption, const TRect& r, int across, int along, TColor color, int bkMode,
                    TColor bk) {
        std::string text;
        int underline = -1;
        for (size_t k = 0; k < caption.size(); ++k) {
            if (caption[k] != '&') {
                text += caption[k];
            } else if (k + 1 < caption.size() && caption[k + 1] == '&') {
                text += '&';
                ++k;
            } else if (underline < 0 && k + 1 < caption.size()) {
                underline = static_cast<int>(text.size());
            }
        }
        if (text.empty()) text.push_back(' ');  // an empty caption is written as a blank
        c.GetFont()->SetColor(color);
        c.SetBkMode(bkMode);
        c.SetBkColor(bk);
        const int width = c.TextWidth(text);
        const int length = r.Height();
        const int offset = width < length ? (length - width) / 2 : 0;
        // toRight reads upwards from the bottom, toLeft downwards from the top.
        const bool up = orient == toRight;
        const int x = (up ? r.Left : r.Right) + across;
        const int y = (up ? r.Bottom - offset : r.Top + offset) + along;
        c.TextOut(x, y, text);
        if (underline >= 0) {
            size_t end = static_cast<size_t>(underline) + 1;
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
            const int a0 = c.TextWidth(text.substr(0, static_cast<size_t>(underline)));
            const int a1 = c.TextWidth(text.substr(0, end));
            TTextMetric tm;
            c.GetTextMetrics(tm);
            c.GetPen()->SetColor(color);
            if (up) {
                const int ux = x + tm.tmAscent + 1;
                c.MoveTo(ux, y - a0);
                c.LineTo(ux, y - a1);
            } else {
                const int ux = x - tm.tmAscent - 1;
                c.MoveTo(ux, y + a0);
                c.LineTo(ux, y + a1);
            }
        }
    }

    // Two passes (embossed or shadowed) or one, in the orientation's manner.
    void Caption(const std::string& caption, const TRect& r, TColor first, TColor second, bool twoPasses, TColor tab) {
        if (Side()) {
            const int across = orient == toRight ? -1 : 1, along = orient == toRight ? 2 : -2;
            TurnedText(caption, r, 0, 0, first, OPAQUE, tab);
            if (twoPasses) TurnedText(caption, r, across, along, second, TRANSPARENT, tab);
        } else {
            FlatText(caption, r, first, OPAQUE, tab);
            if (twoPasses) FlatText(caption, Moved(r, -2, -1), second, TRANSPARENT, tab);
        }
    }

    void DrawTab(int index, const TRect& r, int d, bool enabled, bool active) {
        TEntTabPage* page = nb.Pages(index);
        Outline(page, r, active);
        const TRect text = TextRect(r, d);
        const std::string caption = page->GetCaption();
        if (nb.OnDrawTab) {
            nb.OnDrawTab(&nb, index, caption, text, enabled, active);
            return;
        }
        TTextMetric tm;
        c.GetTextMetrics(tm);
        if (tm.tmHeight > TH - 4) return;
        const TColor fontColor = c.GetFont()->GetColor();
        const TColor tab = page->GetTabColor();
        if (!enabled)
            Caption(caption, text, nb.FHighlightColor, nb.FShadowColor, true, tab);
        else if (nb.FShadowedText)
            Caption(caption, text, nb.FTextShadowColor, fontColor, true, tab);
        else
            Caption(caption, text, fontColor, fontColor, false, tab);
        c.GetFont()->SetColor(fontColor);
    }

    // ---- Corners ----------------------------------------------------------------------
    // The colour of the pixel beyond a corner: read from the device, else the
    // tab of the row behind that covers it, else the background.
    TColor ColorAt(TPoint p) {
        const TColor pixel = c.GetPixel(p.X, p.Y);
        if (pixel != -1) return pixel;
        for (int i = 0; i < nb.PageCount(); ++i)
            if (Shown(i) && nb.Pages(i)->FTabRect.Contains(p)) return nb.Pages(i)->GetTabColor();
        return background;
    }

    void Triangle(std::vector<TPoint> points, TPoint beyond, bool firstRow) {
        SolidBrushAndPen(firstRow ? background : ColorAt(beyond));
        c.Polygon(points);
    }

    // Cuts the outer corners of a tab; the corner at the start of the strip
    // only from the second tab of a row on (except in the first row drawn).
    void CutCorners(const TRect& r, bool firstRow, bool notFirstInRow) {
        const int L = r.Left, T0 = r.Top, R = r.Right, B = r.Bottom;
        const bool startCorner = firstRow || notFirstInRow;
        switch (orient) {
        case toTop:
            if (startCorner) Triangle({{L, T0}, {L + 1, T0}, {L, T0 + 1}}, {L, T0 - 1}, firstRow);
            Triangle({{R, T0}, {R - 2, T0}, {R, T0 + 2}}, {R - 1, T0 - 1}, firstRow);
            break;
        case toBottom:
            if (startCorner) Triangle({{L, B - 1}, {L + 1, B - 1}, {L, B - 2}}, {L, B}, firstRow);
            Triangle({{R, B - 1}, {R - 2, B - 1}, {R, B - 3}}, {R - 1, B}, firstRow);
            break;
        case toRight:
            if (startCorner) Triangle({{R - 1, T0}, {R - 1, T0 + 1}, {R - 2, T0}}, {R, T0}, firstRow);
            Triangle({{R - 1, B}, {R - 1, B - 2}, {R - 3, B}}, {R, B - 1}, firstRow);
            break;
        case toLeft:
            if (startCorner) Triangle({{L, B - 1}, {L, B - 2}, {L + 1, B - 1}}, {L - 1, B - 1}, firstRow);
            Triangle({{L, T0}, {L, T0 + 2}, {L + 2, T0}}, {L - 1, T0}, firstRow);
            break;
        }
    }

    // ---- The whole strip ----------------------------------------------------------------
    TRect Enlarged(const TRect& r) const {
        switch (orient) {
        case toTop: return Rect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom);
        case toBottom: return Rect(r.Left - 2, r.Top, r.Right + 2, r.Bottom + 2);
        case toRight: return Rect(r.Left, r.Top - 2, r.Right + 2, r.Bottom + 2);
        case toLeft: return Rect(r.Left - 2, r.Top - 2, r.Right, r.Bottom + 1);
        }
        return r;
    }

    TRect FocusFrame(const TRect& t) const {
        switch (orient) {
        case toTop: return Rect(t.Left - 4, t.Top - 2, t.Right + 4, t.Bottom - 2);
        case toRight: return Rect(t.Left + 1, t.Top - 4, t.Right + 2, t.Bottom + 4);
        case toBottom: return Rect(t.Left - 4, t.Top + 2, t.Right + 4, t.Bottom - 3);
        case toLeft: return Rect(t.Left + 4, t.Top - 4, t.Right - 1, t.Bottom + 4);
        }
        return t;
    }

    void Run() {
        const int current = nb.FPageIndex;
        const bool hasCurrent = current >= 0 && current < nb.PageCount();
        if (nb.FPageUsesTabColor && hasCurrent) nb.SetOwnColor(nb.Pages(current)->GetTabColor());
        background = nb.GetParent() ? nb.GetParent()->GetColor() : nb.GetColor();
        SolidBrushAndPen(background);
        FillStrip();

        c.SetFont(nb.GetFont());
        textHeight = c.TextHeight(LookupMessageText(SEntTabMeasureText));
        const int d = (TH - textHeight) / 2 - (Side() ? 1 : 0);

        for (int k = 0; k < nb.FRowCount; ++k) {
            const int row = (nb.FActiveRow + 1 + k) % nb.FRowCount;
            const bool firstRow = k == 0;
            int inRow = 0;
            for (int i = 0; i < nb.PageCount(); ++i) {
                TEntTabPage* page = nb.Pages(i);
                if (page->FTabRow != row || !Shown(i)) continue;
                SelectFont(page->GetFont(), page->GetTextColor());
                DrawTab(i, page->FTabRect, d, nb.GetEnabled() && page->GetEnabled(), i == current);
                SolidBrushAndPen(background);
                CutCorners(page->FTabRect, firstRow, inRow > 0);
                ++inRow;
            }
        }

        if (hasCurrent && Shown(current)) {
            TEntTabPage* page = nb.Pages(current);
            const int dActive = (TH - textHeight + 2) / 2 - (Side() ? 1 : 0);
            if (nb.FUseActiveTabFont)
                SelectFont(nb.FActiveTabFont.get(), nb.FActiveTabFont->GetColor());
            else
                SelectFont(page->GetFont(), page->GetTextColor());
            DrawTab(current, Enlarged(page->FTabRect), dActive, nb.GetEnabled() && page->GetEnabled(), true);
            SolidBrushAndPen(background);
            if (nb.Focused()) c.DrawFocusRect(FocusFrame(nb.GetTabTextRect(current)));
        }
    }
};

void TEntNotebook::Paint() {
    TCanvas* canvas = Canvas();
    if (PageCount() == 0) {
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(ClientRect());
        if (Designing()) {
            canvas->SetFont(GetFont());
            canvas->TextOut(5, 5, LookupMessageText(SEntNoPages));
        }
        return;
    }
    LayoutTabs();
    PlacePages();
    if (FTabHeight <= 0 || FRowCount <= 0) return;
    TabPainter painter(*this, *canvas);
    painter.Run();
}

void TEntNotebook::PaintTo(QPainter& Painter) { PaintWindow(Painter); }
