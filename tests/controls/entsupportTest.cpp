#include <gtest/gtest.h>

#include "Graphics.h"
#include "GuiTestApp.h"
#include "entsupport.h"

TEST(EntSupport, RotatedFontKeepsFaceSizeAndStyle) {
    EnsureGuiApp();
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-13);
    font.SetStyle({fsBold, fsUnderline});
    auto rotated = CreateRotatedFont(&font, 90);
    EXPECT_EQ(rotated->GetOrientation(), 900);
    EXPECT_EQ(rotated->GetName(), "Arial");
    EXPECT_EQ(rotated->GetHeight(), -13);
    EXPECT_EQ(rotated->GetStyle(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(CreateRotatedFont(&font, 270)->GetOrientation(), 2700);
    EXPECT_EQ(font.GetOrientation(), 0) << "the source font is left alone";
}

TEST(EntSupport, MenuFontPathsFitTheirWidth) {
    EnsureGuiApp();
    const std::string path = "/home/user/Documents/Real estate/2026/clients/Johnson/refinance plan.qvd";
    const TEntTextMeasure menu = MenuFontMeasure();
    for (int width : {400, 250, 150, 90, 40}) {
        const std::string s = ShortenPath(path, width);
        EXPECT_LE(menu.Width(s), width) << s;
    }
    EXPECT_EQ(ShortenPath(path, 0), path);
}

TEST(EntSupport, TopMarginCentresOneLine) {
    EnsureGuiApp();
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-11);
    // A line well under the control's height sits one pixel inside a border,
    // at the top without one.
    EXPECT_EQ(GetTopTextMargin(&font, TEntBorder::Single, 25, TEntBorderLook::Ctl3D), 1);
    EXPECT_EQ(GetTopTextMargin(&font, TEntBorder::None, 25, TEntBorderLook::Flat), 0);
}
