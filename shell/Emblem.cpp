#include "Emblem.h"

#include <algorithm>
#include <vector>

void DrawEmblem(TBitmap* Bitmap, int Width, int Height) {
    Bitmap->SetSize(std::max(Width, 1), std::max(Height, 1));
    TCanvas* c = Bitmap->GetCanvas();
    const int w = Bitmap->GetWidth(), h = Bitmap->GetHeight();
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, w, h});

    // Columns of a schedule rising left to right along the ground line.
    const int ground = h * 9 / 10;
    const int columns = 6;
    const int colWidth = std::max(w / (columns * 2), 1);
    c->GetPen()->SetColor(clNavy);
    c->GetBrush()->SetColor(TColor(0xC08040));   // a steel blue
    for (int i = 0; i < columns; ++i) {
        const int left = w / 12 + i * (w * 10 / 12) / columns;
        const int top = ground - (h / 8) - i * (h / 2) / columns;
        c->Rectangle(left, top, left + colWidth, ground);
    }

    // The house: a walled body and a pitched roof over the middle.
    const int bodyLeft = w * 3 / 10, bodyRight = w * 7 / 10;
    const int bodyTop = h * 45 / 100;
    c->GetBrush()->SetColor(TColor(0xE0F0FF));   // cream walls
    c->Rectangle(bodyLeft, bodyTop, bodyRight, ground);
    c->GetBrush()->SetColor(clMaroon);
    const std::vector<TPoint> roof = {{bodyLeft - w / 20, bodyTop}, {w / 2, h * 15 / 100}, {bodyRight + w / 20, bodyTop}};
    c->Polygon(roof);
    // Door and window.
    c->GetBrush()->SetColor(clNavy);
    const int doorWidth = std::max((bodyRight - bodyLeft) / 5, 1);
    c->Rectangle(w / 2 - doorWidth / 2, ground - (ground - bodyTop) / 2, w / 2 + doorWidth / 2, ground);
    c->GetBrush()->SetColor(clYellow);
    const int win = std::max((bodyRight - bodyLeft) / 6, 1);
    c->Rectangle(bodyLeft + win / 2, bodyTop + win / 2, bodyLeft + win / 2 + win, bodyTop + win / 2 + win);

    // The ground line.
    c->GetPen()->SetColor(clGreen);
    c->MoveTo(0, ground);
    c->LineTo(w, ground);
}

void PutEmblem(TImage* Image) {
    if (!Image) return;
    TBitmap picture;
    DrawEmblem(&picture, Image->GetWidth(), Image->GetHeight());
    Image->GetPicture()->SetBitmap(&picture);
}
