// Bitmaps, icons, pictures and image lists.

#include "Graphics.h"
#include "GuiTestApp.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// A 6x4 bitmap: a red 2x2 square at (2, 1) on a fuchsia ground.
void MakeSprite(TBitmap& b) {
    EnsureGuiApp();
    b.SetSize(6, 4);
    TCanvas* c = b.GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 6, 4));
    c->GetBrush()->SetColor(clRed);
    c->FillRect(Rect(2, 1, 4, 3));
}

void Fill(TBitmap& b, int w, int h, TColor color) {
    EnsureGuiApp();
    b.SetSize(w, h);
    b.GetCanvas()->GetBrush()->SetColor(color);
    b.GetCanvas()->FillRect(Rect(0, 0, w, h));
}

}  // namespace

TEST(GraphicsBitmap, TransparentDrawSkipsTheBottomLeftColour) {
    TBitmap sprite;
    MakeSprite(sprite);
    EXPECT_EQ(sprite.GetTransparentColor(), clFuchsia);  // the bottom-left pixel
    TBitmap dest;
    Fill(dest, 10, 10, clBlue);

    dest.GetCanvas()->Draw(1, 1, &sprite);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(1, 1), clFuchsia);

    Fill(dest, 10, 10, clBlue);
    sprite.SetTransparent(true);
    dest.GetCanvas()->Draw(1, 1, &sprite);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(1, 1), clBlue);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(3, 2), clRed);

    sprite.SetTransparentColor(clRed);  // a fixed colour instead
    EXPECT_EQ(sprite.GetTransparentMode(), tmFixed);
    Fill(dest, 10, 10, clBlue);
    dest.GetCanvas()->Draw(1, 1, &sprite);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(1, 1), clFuchsia);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(3, 2), clBlue);
}

TEST(GraphicsBitmap, StretchDrawAndCopyModes) {
    TBitmap sprite;
    MakeSprite(sprite);
    TBitmap dest;
    Fill(dest, 12, 8, clWhite);
    dest.GetCanvas()->StretchDraw(Rect(0, 0, 12, 8), &sprite);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(4, 2), clRed);  // doubled: (2,1) -> (4,2)..(7,5)
    EXPECT_EQ(dest.GetCanvas()->GetPixel(7, 5), clRed);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(8, 5), clFuchsia);

    TCanvas* c = dest.GetCanvas();
    c->CopyMode = cmSrcInvert;
    c->CopyRect(Rect(0, 0, 6, 4), sprite.GetCanvas(), Rect(0, 0, 6, 4));
    c->CopyRect(Rect(0, 0, 6, 4), sprite.GetCanvas(), Rect(0, 0, 6, 4));
    EXPECT_EQ(c->GetPixel(4, 2), clRed);  // xor twice restores
    c->CopyMode = cmSrcCopy;
    c->CopyRect(Rect(0, 0, 2, 2), c, Rect(4, 2, 6, 4));  // within one bitmap
    EXPECT_EQ(c->GetPixel(0, 0), clRed);
}

TEST(GraphicsBitmap, ResizeKeepsThePictureAndFillsWithTheBrush) {
    TBitmap b;
    MakeSprite(b);
    b.GetCanvas()->GetBrush()->SetColor(clLime);
    b.SetWidth(8);
    EXPECT_EQ(b.GetWidth(), 8);
    EXPECT_EQ(b.GetCanvas()->GetPixel(2, 1), clRed);
    EXPECT_EQ(b.GetCanvas()->GetPixel(7, 0), clLime);
    b.SetHeight(0);
    EXPECT_TRUE(b.GetEmpty());
    EXPECT_EQ(b.GetWidth(), 8);
}

TEST(GraphicsBitmap, BmpStreamsRoundTrip) {
    struct Row {
        TPixelFormat format;
    } rows[] = {{pf24bit}, {pf32bit}, {pf1bit}};
    for (const Row& row : rows) {
        TBitmap b;
        MakeSprite(b);
        b.SetPixelFormat(row.format);
        TMemoryStream s;
        b.SaveToStream(&s);
        s.WriteInt32(0x12345678);  // whatever follows the file stays unread
        s.SetPosition(0);
        TBitmap r;
        r.LoadFromStream(&s);
        EXPECT_EQ(s.ReadInt32(), 0x12345678);
        EXPECT_EQ(r.GetPixelFormat(), row.format);
        ASSERT_EQ(r.GetWidth(), 6);
        ASSERT_EQ(r.GetHeight(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(r.GetCanvas()->GetPixel(x, y), b.GetCanvas()->GetPixel(x, y)) << x << "," << y;
    }
    TMemoryStream junk;
    junk.WriteInt32(42);
    junk.SetPosition(0);
    TBitmap bad;
    EXPECT_THROW(bad.LoadFromStream(&junk), Exception);
}

TEST(GraphicsBitmap, PictureDataNamesTheGraphicClass) {
    TPicture pic;
    int changes = 0;
    pic.OnChange = [&](TObject*) { ++changes; };
    MakeSprite(*pic.GetBitmap());
    EXPECT_GT(changes, 0);
    TMemoryStream s;
    pic.WriteData(&s);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadByte(), 7);  // "TBitmap"
    s.SetPosition(0);
    TPicture copy;
    copy.ReadData(&s);
    ASSERT_NE(dynamic_cast<TBitmap*>(copy.GetGraphic()), nullptr);
    EXPECT_EQ(copy.GetWidth(), 6);
    EXPECT_EQ(copy.GetBitmap()->GetCanvas()->GetPixel(2, 1), clRed);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
}

TEST(GraphicsBitmap, IconsKeepTheirTransparency) {
    EnsureGuiApp();
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(0);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) img.setPixel(x, y, qRgb(0, 0, 255));
    TIcon icon;
    icon.SetImage(img);
    TMemoryStream s;
    icon.SaveToStream(&s);
    s.SetPosition(0);
    TIcon back;
    back.LoadFromStream(&s);
    EXPECT_EQ(back.GetWidth(), 16);
    TBitmap dest;
    Fill(dest, 20, 20, clYellow);
    dest.GetCanvas()->Draw(2, 2, &back);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(3, 3), clYellow);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(8, 8), clBlue);
}

TEST(GraphicsBitmap, ImageListCutsMasksAndEmbossesDisabledImages) {
    TBitmap strip;
    Fill(strip, 12, 4, clFuchsia);
    strip.GetCanvas()->GetBrush()->SetColor(clBlack);
    strip.GetCanvas()->FillRect(Rect(1, 1, 2, 2));  // image 0
    strip.GetCanvas()->FillRect(Rect(7, 1, 8, 2));  // image 1
    TImageList list(nullptr);
    list.SetWidth(6);
    list.SetHeight(4);
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap dest;
    Fill(dest, 10, 10, clWhite);
    list.Draw(dest.GetCanvas(), 0, 0, 1, true);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(1, 1), clBlack);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(0, 0), clWhite);

    Fill(dest, 10, 10, clGreen);
    list.Draw(dest.GetCanvas(), 0, 0, 0, false);
    EXPECT_EQ(dest.GetCanvas()->GetPixel(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(dest.GetCanvas()->GetPixel(2, 2), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(dest.GetCanvas()->GetPixel(3, 3), clGreen);
}

TEST(GraphicsBitmap, IconEntriesWhoseEndWrapsPastFourGigabytesAreRefused) {
    // Two directory entries: 8 bytes at offset 38, and 0x20 bytes at offset
    // 0xFFFFFFF0, whose 32-bit end wraps round to 0x10.
    const uint8_t file[] = {0,  0, 1, 0, 2, 0,  16, 16,   0, 0, 1, 0,    32,   0,    8,    0, 0, 0, 38, 0, 0, 0, 16,
                            16, 0, 0, 1, 0, 32, 0,  0x20, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4,  5, 6, 7, 8};
    TMemoryStream s;
    s.WriteBuffer(file, sizeof file);
    s.SetPosition(0);
    TIcon icon;
    EXPECT_THROW(icon.LoadFromStream(&s), EInvalidGraphic);
}
