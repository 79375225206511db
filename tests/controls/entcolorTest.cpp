#include <gtest/gtest.h>

#include "entcolor.h"

TEST(EntColors, UseDefaultFollowsTheColours) {
    TEntEfColors colors;
    struct Row {
        TEntColors* pair;
        TColor back, text;
    } defaults[] = {
        {colors.Disabled(), clWindow, clGrayText},
        {colors.Error(), clRed, clBlack},
        {colors.Highlight(), clHighlight, clHighlightText},
    };
    for (const auto& r : defaults) {
        EXPECT_EQ(r.pair->GetBackColor(), r.back);
        EXPECT_EQ(r.pair->GetTextColor(), r.text);
        EXPECT_TRUE(r.pair->GetUseDefault());
    }

    int changes = 0;
    colors.OnColorChange = [&](TObject*) { ++changes; };
    TEntColors* error = colors.Error();
    error->SetBackColor(clRed);
    EXPECT_TRUE(error->GetUseDefault()) << "the default colour keeps the flag";
    EXPECT_EQ(changes, 0);
    error->SetBackColor(clYellow);
    EXPECT_FALSE(error->GetUseDefault());
    error->SetBackColor(clRed);
    EXPECT_FALSE(error->GetUseDefault()) << "only UseDefault brings the flag back";
    error->SetTextColor(clBlue);
    error->SetUseDefault(true);
    EXPECT_EQ(error->GetTextColor(), clBlack);
    EXPECT_EQ(changes, 4);

    TEntEfColors copy;
    colors.Highlight()->SetTextColor(clLime);
    copy.Assign(&colors);
    EXPECT_EQ(copy.Highlight()->GetTextColor(), clLime);
    EXPECT_FALSE(copy.Highlight()->GetUseDefault());
}

TEST(EntBorders, ChangesAndTheFieldsFrame) {
    TEntBorders borders;
    int changes = 0;
    borders.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(FieldBorderStyle(borders).BorderStyle, bsSingle);
    EXPECT_TRUE(FieldBorderStyle(borders).Ctl3D);

    borders.TopBorder()->SetPenWidth(0);
    EXPECT_EQ(borders.TopBorder()->GetPenWidth(), 2) << "a width below 1 is refused";
    EXPECT_EQ(changes, 0);
    borders.TopBorder()->SetEnabled(true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(FieldBorderStyle(borders).BorderStyle, bsNone);
    EXPECT_FALSE(FieldBorderStyle(borders).Ctl3D);
    EXPECT_TRUE(borders.TopBorder()->PenStored());
    EXPECT_FALSE(borders.LeftBorder()->PenStored());

    TEntBorders copy;
    borders.TopBorder()->SetPenColor(clRed);
    copy.Assign(&borders);
    EXPECT_TRUE(copy.TopBorder()->GetEnabled());
    EXPECT_EQ(copy.TopBorder()->GetPenColor(), clRed);
}

TEST(EntBorders, EdgeLinesKeepThePenInsideTheField) {
    // field 100 x 20
    struct Row {
        TEntBorderEdge edge;
        int pen;
        TRect line;
    } rows[] = {
        {beLeft, 2, Rect(1, 0, 1, 20)},      {beLeft, 3, Rect(1, 0, 1, 20)},      {beRight, 2, Rect(98, 0, 98, 20)},
        {beRight, 3, Rect(99, 0, 99, 20)},   {beTop, 1, Rect(0, 0, 100, 0)},      {beTop, 4, Rect(0, 2, 100, 2)},
        {beBottom, 2, Rect(0, 18, 100, 18)}, {beBottom, 1, Rect(0, 20, 100, 20)},
    };
    for (const auto& r : rows) {
        const TRect got = TEntBorders::EdgeLine(r.edge, r.pen, 100, 20);
        EXPECT_EQ(got, r.line) << "edge " << r.edge << " pen " << r.pen;
    }
}
