#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <memory>

#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "entrlbl.h"

namespace {

struct Extent {
    int w, h;
};

// The caption's size measured apart from the label.
Extent Measure(const TFont* font, const std::string& text) {
    TCanvas canvas;
    canvas.SetFont(const_cast<TFont*>(font));
    TSize s = canvas.TextExtent(text);
    return {s.cx, s.cy};
}

std::unique_ptr<TEntRotatedLabel> TitleStrip(TComponent* owner) {
    auto label = std::make_unique<TEntRotatedLabel>(owner);
    label->GetFont()->SetName("Arial");
    label->GetFont()->SetHeight(-19);
    label->GetFont()->SetStyle({fsBold});
    label->SetCaption("Loan Spread Calculator");
    return label;
}

// Bounding box of the pixels that differ from the background.
QRect InkBox(const QImage& image, QRgb background) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    return box;
}

QImage Render(TEntRotatedLabel& label, QColor background) {
    QImage image(label.GetWidth(), label.GetHeight(), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    label.PaintTo(painter);
    painter.end();
    return image;
}

}  // namespace

TEST(EntRotatedLabel, AutoSizeFitsTheTurnedCaptionAndPlacesTheOrigin) {
    EnsureGuiApp();
    TForm owner(nullptr);
    auto label = TitleStrip(&owner);
    const Extent e = Measure(label->GetFont(), label->GetCaption());
    ASSERT_GT(e.w, e.h);

    struct Row {
        int angle;
        int width, height, originX, originY;
    };
    const int w = e.w, h = e.h;
    const Row rows[] = {
        {0, w, h, 0, 0},
        {90, 2 * h, w + 2 * h, h, w + h - h / 2},  // the title strip
        {180, w + 2 * h, 2 * h, w + h, h},
        {270, 2 * h, w + 2 * h, h, h},
        {-90, 2 * h, w + 2 * h, h, h},
    };
    label->SetAutoSize(true);
    for (const Row& r : rows) {
        label->SetFontAngle(r.angle);
        EXPECT_EQ(label->GetWidth(), r.width) << r.angle;
        EXPECT_EQ(label->GetHeight(), r.height) << r.angle;
        EXPECT_EQ(label->GetOriginX(), r.originX) << r.angle;
        EXPECT_EQ(label->GetOriginY(), r.originY) << r.angle;
    }
}

TEST(EntRotatedLabel, FixedSizeKeepsBoundsAndOriginsWhenTheCaptionChanges) {
    EnsureGuiApp();
    TForm owner(nullptr);
    auto label = TitleStrip(&owner);
    label->SetBounds(2, 0, 24, 378);
    label->SetFontAngle(90);
    // what navigation does on every page change
    label->SetCaption("");
    label->SetOriginX(0);
    label->SetOriginY(227);
    label->SetCaption("Loan Spread Calculator");
    EXPECT_EQ(label->BoundsRect(), Rect(2, 0, 26, 378));
    EXPECT_EQ(label->GetOriginY(), 227);
    EXPECT_EQ(label->GetCaption(), "Loan Spread Calculator");
}

TEST(EntRotatedLabel, FontAngleIsKeptWithinOneTurn) {
    EnsureGuiApp();
    TEntRotatedLabel label(nullptr);
    const std::pair<int, int> rows[] = {{450, 90}, {-370, -10}, {360, 0}, {-359, -359}, {720, 0}};
    for (auto [given, kept] : rows) {
        label.SetFontAngle(given);
        EXPECT_EQ(label.GetFontAngle(), kept) << given;
    }
}

TEST(EntRotatedLabel, OnlyOutlineFontsTurn) {
    EnsureGuiApp();
    TEntRotatedLabel label(nullptr);
    label.GetFont()->SetName("MS Sans Serif");
    label.SetFontAngle(90);
    EXPECT_EQ(label.GetFont()->GetName(), "Arial") << "a raster font is replaced when the text turns";

    label.GetFont()->SetName("Courier");
    EXPECT_EQ(label.GetFontAngle(), 0) << "a raster font set later straightens the text";
}

TEST(EntRotatedLabel, PaintsTurnedTextUpwardsFromTheOrigin) {
    EnsureGuiApp();
    TForm owner(nullptr);
    auto label = TitleStrip(&owner);
    label->GetFont()->SetColor(clBlack);
    label->SetColor(clWhite);
    label->SetBounds(0, 0, 30, 300);
    label->SetFontAngle(90);
    label->SetOriginX(3);
    label->SetOriginY(280);
    const Extent e = Measure(label->GetFont(), label->GetCaption());

    const QImage image = Render(*label, Qt::green);
    const QRect ink = InkBox(image, qRgb(255, 255, 255));
    // opaque: the green background is covered by the label's white
    EXPECT_EQ(image.pixel(29, 0), qRgb(255, 255, 255));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.height(), 3 * ink.width()) << "the text runs along the strip";
    EXPECT_LE(ink.bottom(), 280);
    EXPECT_GE(ink.bottom(), 280 - 6) << "the text starts at OriginY";
    EXPECT_NEAR(ink.height(), e.w, 6);
    EXPECT_GE(ink.left(), 3);
}

TEST(EntRotatedLabel, TransparentAndShadowedPainting) {
    EnsureGuiApp();
    TForm owner(nullptr);
    auto label = TitleStrip(&owner);
    label->SetCaption("W");
    label->GetFont()->SetColor(clBlack);
    label->SetBounds(0, 0, 40, 30);
    label->SetTransparent(true);
    label->SetShadowedText(true);
    label->SetShadowColor(clRed);

    const QImage image = Render(*label, Qt::green);
    EXPECT_EQ(image.pixel(39, 29), qRgb(0, 255, 0)) << "transparent: the background shows";
    bool red = false, black = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            red |= image.pixel(x, y) == qRgb(255, 0, 0);
            black |= image.pixel(x, y) == qRgb(0, 0, 0);
        }
    EXPECT_TRUE(red) << "the shadow";
    EXPECT_TRUE(black) << "the caption over it";
}

TEST(EntRotatedLabel, ReadFromAWindowDefinition) {
    EnsureGuiApp();
    RegisterEntRotatedLabelClasses();
    TForm form(nullptr);
    ReadComponentFromText(&form,
                          "object frmMain: TForm\n"
                          "  object lblCalculatorName: TEntRotatedLabel\n"
                          "    Left = 2\n"
                          "    Top = 0\n"
                          "    Width = 24\n"
                          "    Height = 378\n"
                          "    Alignment = taRightJustify\n"
                          "    AutoSize = False\n"
                          "    Caption = 'Main Menu'\n"
                          "    Font.Color = clCaptionText\n"
                          "    Font.Height = -19\n"
                          "    Font.Name = 'Arial'\n"
                          "    Font.Style = [fsBold]\n"
                          "    FontAngle = 90\n"
                          "    OriginY = 111\n"
                          "    ShadowedText = False\n"
                          "    Transparent = True\n"
                          "  end\n"
                          "end\n");
    auto* label = dynamic_cast<TEntRotatedLabel*>(form.FindComponent("lblCalculatorName"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->BoundsRect(), Rect(2, 0, 26, 378));
    EXPECT_EQ(label->GetAlignment(), taRightJustify);
    EXPECT_EQ(label->GetFontAngle(), 90);
    EXPECT_EQ(label->GetOriginY(), 111);
    EXPECT_TRUE(label->GetTransparent());
    EXPECT_EQ(label->GetCaption(), "Main Menu");
    EXPECT_EQ(label->GetFont()->GetColor(), clCaptionText);
}
