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
    c->GetBrush()->SetColor(TColor(0xC08040));  // a steel blue
    for (int i = 0; i < columns; ++i) {
        const int left = w / 12 + i * (w * 10 / 12) / columns;
        const int top = ground - (h / 8) - i * (h / 2) / columns;
        c->Rectangle(left, top, left + colWidth, ground);
    }

    // The house: a walled body and a pitched roof over the middle.
    const int bodyLeft = w * 3 / 10, bodyRight = w * 7 / 10;
    const int bodyTop = h * 45 / 100;
    c->GetBrush()->SetColor(TColor(0xE0F0FF));  // cream walls
    c->Rectangle(bodyLeft, bodyTop, bodyRight, ground);
    c->GetBrush()->SetColor(clMaroon);
    const std::vector<TPoint> roof = {
        {bodyLeft - w / 20, bodyTop}, {w / 2, h * 15 / 100}, {bodyRight + w / 20, bodyTop}};
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

void DrawButtonPicture(TBitmap* Bitmap, TButtonPicture Kind, int Height) {
    Bitmap->SetSize(16, std::max(Height, 16));
    TCanvas* c = Bitmap->GetCanvas();
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect(TRect{0, 0, 16, Bitmap->GetHeight()});
    const int y = (Bitmap->GetHeight() - 16) / 2;
    auto at = [y](std::vector<TPoint> points) {
        for (TPoint& p : points) p.Y += y;
        return points;
    };
    switch (Kind) {
    case TButtonPicture::Check:
        c->GetPen()->SetColor(clNavy);
        c->GetBrush()->SetColor(clAqua);
        c->Ellipse(1, y + 1, 13, y + 13);
        c->GetBrush()->SetStyle(bsClear);
        c->Ellipse(4, y + 1, 10, y + 13);
        c->MoveTo(1, y + 7);
        c->LineTo(13, y + 7);
        c->GetPen()->SetColor(clMaroon);
        c->GetPen()->SetWidth(2);
        c->MoveTo(11, y + 11);
        c->LineTo(15, y + 15);
        break;
    case TButtonPicture::Retrieve:
        c->GetPen()->SetColor(clGreen);
        c->GetBrush()->SetColor(clLime);
        c->Polygon(at({{5, 0}, {10, 0}, {10, 5}, {13, 5}, {7, 11}, {2, 5}, {5, 5}}));
        c->GetPen()->SetColor(clGray);
        c->GetPen()->SetWidth(2);
        c->Polyline(at({{1, 10}, {1, 14}, {14, 14}, {14, 9}}));
        break;
    case TButtonPicture::Confirm:
        c->GetPen()->SetColor(clGreen);
        c->GetPen()->SetWidth(3);
        c->Polyline(at({{2, 8}, {6, 12}, {14, 3}, {15, 2}}));
        break;
    }
    Bitmap->SetTransparent(true);
}
