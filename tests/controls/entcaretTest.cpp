#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "GuiTestApp.h"
#include "entcaret.h"

namespace {

struct Geometry {
    int width, height, offsetX, offsetY;
};

Geometry Of(const TEntSingleCaret& c) { return {c.CaretWidthNow(), c.CaretHeightNow(), c.OffsetX(), c.OffsetY()}; }

bool operator==(const Geometry& a, const Geometry& b) {
    return a.width == b.width && a.height == b.height && a.offsetX == b.offsetX && a.offsetY == b.offsetY;
}

std::ostream& operator<<(std::ostream& os, const Geometry& g) {
    return os << g.width << "x" << g.height << " at (" << g.offsetX << ", " << g.offsetY << ")";
}

}  // namespace

TEST(EntCaret, GeometryByShapeAndAlignment) {
    // cell 16 high, 8 wide
    struct Row {
        TEntCaretShape shape;
        int align;  // -1: the shape's own alignment
        Geometry expected;
    } rows[] = {
        {csBlock, -1, {8, 16, 0, 0}},     {csHalfBlock, -1, {8, 8, 0, 8}},     {csVertLine, -1, {2, 16, 0, 0}},
        {csHorzLine, -1, {8, 2, 0, 14}},  {csCustom, caCenter, {2, 10, 3, 3}}, {csCustom, caRight, {2, 10, 6, 3}},
        {csCustom, caTop, {2, 10, 3, 0}}, {csCustom, caBottom, {2, 10, 3, 6}},
    };
    for (const Row& r : rows) {
        TEntSingleCaret single(nullptr);
        auto caret = std::make_shared<TEntCaret>();
        single.SetCaret(caret);
        single.SetCellSize(16, 8);
        caret->SetShape(r.shape);
        if (r.align >= 0) caret->SetAlign(TEntCaretAlign(r.align));
        EXPECT_EQ(Of(single), r.expected) << "shape " << r.shape << " align " << r.align;
    }
}

TEST(EntCaret, SettersRefuseSizesBelowOne) {
    TEntCaret c;
    int changes = 0;
    c.AddListener(&c, [&](TObject*) { ++changes; });
    c.SetCaretHeight(0);
    c.SetCaretWidth(-1);
    c.SetCaretHeight(10);  // unchanged
    EXPECT_EQ(c.GetCaretHeight(), 10);
    EXPECT_EQ(c.GetCaretWidth(), 2);
    EXPECT_EQ(changes, 0);
    c.SetShape(csHorzLine);
    EXPECT_EQ(c.GetCaretHeight(), 2);
    EXPECT_EQ(c.GetAlign(), caBottom);
    EXPECT_EQ(changes, 1) << "one notice per change";

    TEntSingleCaret single(nullptr);
    single.SetCellSize(0, 12);
    EXPECT_EQ(single.GetCellHeight(), 10);
    EXPECT_EQ(single.GetCellWidth(), 12);
}

TEST(EntCaretPair, SwitchesBetweenInsertAndOvertype) {
    EnsureGuiApp();
    TForm form(nullptr);
    TEntCaretPair pair(&form);
    EXPECT_EQ(pair.CaretIns()->GetShape(), csVertLine);
    EXPECT_EQ(pair.CaretOvr()->GetShape(), csBlock);
    pair.SetCellSize(16, 8);
    pair.SetPosition(20, 4);
    pair.Show();

    TPoint pos;
    ASSERT_TRUE(GetCaretPos(pos));
    EXPECT_EQ(Of(pair), (Geometry{2, 16, 0, 0}));

    pair.CaretOvr()->SetShape(csHorzLine);
    pair.SetInsertMode(false);
    EXPECT_EQ(Of(pair), (Geometry{8, 2, 0, 14})) << "the overtype caret at the bottom of the cell";
    ASSERT_TRUE(GetCaretPos(pos)) << "the system caret is made again";
    EXPECT_EQ(pos, (TPoint{20, 18}));

    pair.SetInsertMode(true);
    ASSERT_TRUE(GetCaretPos(pos));
    EXPECT_EQ(pos, (TPoint{20, 4}));

    pair.SetPosition(-1, 4);
    ASSERT_TRUE(GetCaretPos(pos));
    EXPECT_GT(pos.X, 100000) << "a negative position puts the caret out of sight";

    pair.Hide();
    EXPECT_FALSE(GetCaretPos(pos)) << "hiding destroys the system caret";
}

TEST(EntCaretPair, BlinkTimeIsRestoredOnHide) {
    EnsureGuiApp();
    TForm form(nullptr);
    const unsigned system = GetCaretBlinkTime();
    TEntCaretPair pair(&form);
    pair.CaretIns()->SetBlinkTime(uint16_t(system + 100));
    pair.Show();
    EXPECT_EQ(GetCaretBlinkTime(), system + 100);
    pair.Hide();
    EXPECT_EQ(GetCaretBlinkTime(), system);
}

TEST(EntCaretPair, AssignedCaretsAreShared) {
    TEntCaretPair a(nullptr), b(nullptr);
    b.SetCaretOvr(a.SharedCaretOvr());
    b.SetInsertMode(false);
    b.SetCellSize(16, 8);
    a.CaretOvr()->SetShape(csHalfBlock);
    EXPECT_EQ(b.CaretOvr()->GetShape(), csHalfBlock);
    EXPECT_EQ(Of(b), (Geometry{8, 8, 0, 8})) << "the holder follows changes made through the other field";
}
