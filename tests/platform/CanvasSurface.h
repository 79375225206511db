#pragma once
// A bitmap canvas for drawing tests, filled with one colour, and what was drawn on it.

#include "Graphics.h"
#include "GuiTestApp.h"

#include <algorithm>
#include <climits>

struct CanvasSurface {
    TBitmap bmp;
    TCanvas* c;
    explicit CanvasSurface(int w = 40, int h = 30, TColor bg = clWhite) {
        EnsureGuiApp();
        bmp.SetSize(w, h);
        c = bmp.GetCanvas();
        c->GetBrush()->SetColor(bg);
        c->FillRect(Rect(0, 0, w, h));
    }
    TColor At(int x, int y) { return c->GetPixel(x, y); }
    // Bounding box of the pixels that differ from the colour (right/bottom exclusive).
    TRect Ink(TColor bg = clWhite) {
        TRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (int y = 0; y < bmp.GetHeight(); ++y)
            for (int x = 0; x < bmp.GetWidth(); ++x)
                if (At(x, y) != bg) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r.Left == INT32_MAX ? TRect{} : r;
    }
    int Count(TColor color) {
        int n = 0;
        for (int y = 0; y < bmp.GetHeight(); ++y)
            for (int x = 0; x < bmp.GetWidth(); ++x) n += At(x, y) == color;
        return n;
    }
};
