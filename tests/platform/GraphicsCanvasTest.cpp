// Canvas drawing checked on bitmaps: edges, pens, brushes, clipping, copies.

#include "CanvasSurface.h"
#include "Graphics.h"
#include "FormReader.h"
#include "GuiTestApp.h"
#include "TypInfo.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>
#include <algorithm>
#include <climits>

namespace {

using Surface = CanvasSurface;

}  // namespace

TEST(GraphicsColor, SystemColoursResolveThroughTheFixedPalette) {
    struct Row {
        TColor in, out;
    } rows[] = {
        {clBtnFace, RGB(192, 192, 192)},
        {clBtnShadow, RGB(128, 128, 128)},
        {clWindow, clWhite},
        {clWindowText, clBlack},
        {clHighlight, RGB(0, 0, 128)},
        {clInfoBk, RGB(255, 255, 225)},
        {clRed, clRed},
        {clNone, clNone},
    };
    for (const Row& r : rows) EXPECT_EQ(ColorToRGB(r.in), r.out) << std::hex << r.in;
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
    EXPECT_EQ(StringToColor("clBtnFace"), clBtnFace);
    EXPECT_EQ(StringToColor("$000080FF"), RGB(255, 128, 0));
    EXPECT_EQ(ColorToString(clInfoBk), "clInfoBk");
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
}

TEST(GraphicsFont, SizeAndHeightConvertAt96PixelsPerInch) {
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(f.GetHeight(), -11);
    EXPECT_EQ(f.GetSize(), 8);
    f.SetSize(10);
    EXPECT_EQ(f.GetHeight(), -13);
    EXPECT_EQ(f.GetSize(), 10);
    f.SetHeight(-19);
    EXPECT_EQ(f.GetSize(), 14);
    f.SetHeight(-19);  // unchanged: no notice
    EXPECT_EQ(changes, 2);
    TFont g;
    g.Assign(&f);
    EXPECT_TRUE(g.Equals(f));
}

TEST(GraphicsCanvas, FillRectAndRectangleLeaveRightAndBottomEdgesOut) {
    Surface s;
    s.c->GetBrush()->SetColor(clRed);
    s.c->FillRect(Rect(2, 3, 12, 9));
    EXPECT_EQ(s.Ink(), Rect(2, 3, 12, 9));

    Surface r;
    r.c->GetBrush()->SetColor(clYellow);
    r.c->GetPen()->SetColor(clBlue);
    r.c->Rectangle(5, 5, 15, 10);
    EXPECT_EQ(r.Ink(), Rect(5, 5, 15, 10));
    EXPECT_EQ(r.At(5, 5), clBlue);
    EXPECT_EQ(r.At(14, 9), clBlue);
    EXPECT_EQ(r.At(6, 6), clYellow);
    EXPECT_EQ(r.At(13, 8), clYellow);

    // A clear pen fills one pixel short on the right and bottom.
    Surface n;
    n.c->GetBrush()->SetColor(clGreen);
    n.c->GetPen()->SetStyle(psClear);
    n.c->Rectangle(5, 5, 15, 10);
    EXPECT_EQ(n.Ink(), Rect(5, 5, 14, 9));
}

TEST(GraphicsCanvas, LineToLeavesTheEndPointOutAndMovesThePen) {
    Surface s;
    s.c->MoveTo(3, 4);
    s.c->LineTo(13, 4);
    EXPECT_EQ(s.Ink(), Rect(3, 4, 13, 5));
    EXPECT_EQ(s.c->GetPenPos(), Point(13, 4));
    s.c->LineTo(13, 14);
    EXPECT_EQ(s.Ink(), Rect(3, 4, 14, 14));
    EXPECT_EQ(s.At(13, 13), clBlack);
    EXPECT_EQ(s.At(13, 14), clWhite);
}

TEST(GraphicsCanvas, EllipseStaysInsideItsBox) {
    Surface s;
    s.c->GetBrush()->SetColor(clRed);
    s.c->Ellipse(4, 6, 24, 20);
    EXPECT_EQ(s.Ink(), Rect(4, 6, 24, 20));
}

TEST(GraphicsCanvas, XorPenDrawnTwiceRestoresThePixels) {
    Surface s(20, 10, clTeal);
    s.c->GetPen()->SetMode(pmXor);
    s.c->GetPen()->SetColor(clWhite);
    s.c->MoveTo(0, 5);
    s.c->LineTo(20, 5);
    EXPECT_EQ(s.At(7, 5), clTeal ^ 0xFFFFFF);
    s.c->MoveTo(0, 5);
    s.c->LineTo(20, 5);
    EXPECT_EQ(s.Ink(clTeal), TRect{});
}

TEST(GraphicsCanvas, FocusRectIsDottedAndSecondCallRemovesIt) {
    Surface s;
    s.c->DrawFocusRect(Rect(2, 2, 12, 8));
    EXPECT_EQ(s.Ink(), Rect(2, 2, 12, 8));
    EXPECT_NE(s.At(2, 2), s.At(3, 2));  // every other pixel
    EXPECT_EQ(s.At(5, 5), clWhite);     // inside untouched
    s.c->DrawFocusRect(Rect(2, 2, 12, 8));
    EXPECT_EQ(s.Ink(), TRect{});
}

TEST(GraphicsCanvas, HatchAndPatternBrushesRepeatEveryEightPixels) {
    Surface s(32, 32);
    s.c->GetBrush()->SetStyle(bsHorizontal);
    s.c->GetBrush()->SetColor(clBlue);
    s.c->FillRect(Rect(0, 0, 32, 32));
    int blue = s.Count(clBlue);
    EXPECT_EQ(blue, 32 * 4);  // one line in every eight rows
    for (int y = 0; y < 24; ++y) EXPECT_EQ(s.At(5, y), s.At(5, y + 8));

    // An 8x8 checker pattern bitmap tiles from the origin.
    TBitmap pat;
    pat.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pat.GetCanvas()->Pixels[x][y] = (x + y) % 2 ? clRed : clYellow;
    Surface p(20, 20);
    p.c->GetBrush()->SetBitmap(&pat);
    p.c->FillRect(Rect(3, 3, 19, 19));
    EXPECT_EQ(p.At(3, 3), clYellow);  // (3 + 3) even
    EXPECT_EQ(p.At(4, 3), clRed);
    EXPECT_EQ(p.At(11, 3), p.At(3, 3));
    EXPECT_EQ(p.At(2, 2), clWhite);
}

TEST(GraphicsCanvas, ClipRectanglesLimitDrawing) {
    Surface s;
    EXPECT_EQ(s.c->IntersectClipRect(5, 5, 15, 15), SIMPLEREGION);
    s.c->GetBrush()->SetColor(clRed);
    s.c->FillRect(Rect(0, 0, 40, 30));
    EXPECT_EQ(s.Ink(), Rect(5, 5, 15, 15));
    EXPECT_EQ(s.c->GetClipRect(), Rect(5, 5, 15, 15));

    EXPECT_EQ(s.c->ExcludeClipRect(8, 8, 10, 10), COMPLEXREGION);
    s.c->GetBrush()->SetColor(clBlue);
    s.c->FillRect(Rect(0, 0, 40, 30));
    EXPECT_EQ(s.At(9, 9), clRed);
    EXPECT_EQ(s.At(7, 7), clBlue);
    EXPECT_EQ(s.At(20, 20), clWhite);

    s.c->SelectClipRgn(nullptr);
    s.c->GetBrush()->SetColor(clLime);
    s.c->FillRect(Rect(30, 20, 32, 22));
    EXPECT_EQ(s.At(31, 21), clLime);

    TRegion ring = TRegion(Rect(0, 0, 10, 10)).Subtracted(TRegion(Rect(2, 2, 8, 8)));
    s.c->SelectClipRgn(&ring);
    s.c->GetBrush()->SetColor(clBlack);
    s.c->FillRect(Rect(0, 0, 40, 30));
    EXPECT_EQ(s.At(1, 1), clBlack);
    EXPECT_NE(s.At(5, 5), clBlack);
}

TEST(GraphicsCanvas, PixelsReadAndWrite) {
    Surface s(4, 4);
    s.c->Pixels[1][2] = clMaroon;
    EXPECT_EQ(TColor(s.c->Pixels[1][2]), clMaroon);
    EXPECT_EQ(s.c->GetPixel(10, 10), -1);
    TCanvas deviceless;
    EXPECT_EQ(deviceless.GetPixel(0, 0), -1);
}

TEST(GraphicsCanvas, DrawsOnAnExternalPainterWithinItsClip) {
    EnsureGuiApp();
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setClipRect(QRect(0, 0, 10, 20));
        TCanvas c(&p);
        c.GetBrush()->SetColor(clRed);
        c.FillRect(Rect(5, 5, 15, 15));
        c.IntersectClipRect(0, 0, 20, 8);
        c.GetBrush()->SetColor(clBlue);
        c.FillRect(Rect(0, 0, 20, 20));
    }
    EXPECT_EQ(img.pixel(7, 10), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(12, 10), qRgb(255, 255, 255));  // outside the painter's clip
    EXPECT_EQ(img.pixel(3, 3), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(15, 3), qRgb(255, 255, 255));
}

TEST(GraphicsCanvas, StyledPenGapsTakeTheBackgroundOnlyWhenOpaque) {
    Surface s(40, 4, clBlue);
    s.c->GetBrush()->SetColor(clWhite);  // solid brush: opaque background in white
    s.c->GetPen()->SetStyle(psDot);
    s.c->MoveTo(0, 1);
    s.c->LineTo(40, 1);
    EXPECT_EQ(s.At(0, 1), clBlack);
    EXPECT_EQ(s.At(4, 1), clWhite);      // dots of 3 pixels, gaps of 3
    s.c->GetBrush()->SetStyle(bsClear);  // clear brush: transparent background
    s.c->MoveTo(0, 2);
    s.c->LineTo(40, 2);
    EXPECT_EQ(s.At(0, 2), clBlack);
    EXPECT_EQ(s.At(4, 2), clBlue);
}

TEST(GraphicsFont, PublishedPropertiesAndColourNamesServeWindowDefinitions) {
    RegisterGraphicsClasses();
    TFont f;
    SetPropText(&f, "Height", "-19");
    SetPropText(&f, "Style", "[fsBold,fsUnderline]");
    SetPropText(&f, "Name", "Arial");
    EXPECT_EQ(f.GetHeight(), -19);
    EXPECT_EQ(f.GetStyle(), TFontStyles({fsBold, fsUnderline}));
    EXPECT_EQ(GetPropText(&f, "Size"), "14");
    int64_t v = 0;
    ASSERT_TRUE(IdentToInt("clBtnFace", v));
    EXPECT_EQ(v, clBtnFace);
    TBrush b;
    SetPropText(&b, "Style", "bsDiagCross");
    EXPECT_EQ(b.GetStyle(), bsDiagCross);
}
