// Grids: geometry with fixed lines and own sizes, scrolling, keyboard
// navigation, selection, the in-place editor and painting.

#include "Grids.h"
#include "Forms.h"
#include "GuiTestApp.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class GridsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        Form = new TForm(nullptr);
        Form->SetClientSize(400, 300);
        Grid = new TStringGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBorderStyle(bsNone);
        Grid->SetScrollBars(ssNone);
        Grid->SetDefaultColWidth(30);
        Grid->SetDefaultRowHeight(20);
        Grid->SetColWidths(1, 50);
        Grid->SetBounds(0, 0, 120, 100);
    }
    void TearDown() override {
        delete Form;
        SetInputState({});
    }
    void Key(TWinControl* c, Word vk, TShiftState shift = {}) {
        SetInputState(shift);
        c->Perform(WM_KEYDOWN, vk, 0);
        SetInputState({});
    }
    TForm* Form = nullptr;
    TStringGrid* Grid = nullptr;
};

TEST_F(GridsTest, CellRectsFollowFixedLinesWidthsAndScrolling) {
    // Columns 30, 50, 30, 30, 30 and rows of 20, each followed by a 1-pixel line.
    EXPECT_EQ(Grid->CellRect(0, 0), Rect(0, 0, 30, 20));
    EXPECT_EQ(Grid->CellRect(1, 0), Rect(31, 0, 81, 20));
    EXPECT_EQ(Grid->CellRect(2, 1), Rect(82, 21, 112, 41));
    EXPECT_EQ(Grid->VisibleColCount(), 2);
    EXPECT_EQ(Grid->VisibleRowCount(), 3);  // rows 1..3 end at 83; row 4 would end at 104

    Grid->SetLeftCol(2);
    EXPECT_EQ(Grid->GetLeftCol(), 2);
    EXPECT_TRUE(Grid->CellRect(1, 1).IsEmpty()) << "scrolled away";
    EXPECT_EQ(Grid->CellRect(0, 1), Rect(0, 21, 30, 41)) << "fixed columns stay";
    EXPECT_EQ(Grid->CellRect(2, 1), Rect(31, 21, 61, 41));
    Grid->SetLeftCol(99);
    EXPECT_EQ(Grid->GetLeftCol(), 3) << "the last column stays wholly in view";

    Grid->SetLeftCol(1);
    struct Row {
        int x, y, col, row;
    };
    const Row rows[] = {
        {0, 0, 0, 0},    {29, 19, 0, 0},  {30, 20, 0, 0},  // a cell's line belongs to it
        {31, 21, 1, 1},  {81, 5, 1, 0},   {82, 5, 2, 0},    {119, 99, 3, 4},
        {120, 5, -1, 0}, {5, 100, 0, -1}, {-1, -1, -1, -1},
    };
    for (const Row& r : rows) {
        int col = 9, row = 9;
        Grid->MouseToCell(r.x, r.y, col, row);
        EXPECT_EQ(col, r.col) << r.x << "," << r.y;
        EXPECT_EQ(row, r.row) << r.x << "," << r.y;
    }
}

TEST_F(GridsTest, ScrollBarsTakeTheirRoomFromTheClient) {
    Grid->SetScrollBars(ssBoth);
    Grid->SetBorderStyle(bsSingle);
    TRect cr = Grid->GetClientRect();
    // 201 pixels of columns and 105 of rows do not fit 116 x 96: both bars show.
    EXPECT_EQ(cr, Rect(0, 0, 120 - 4 - 16, 100 - 4 - 16));
    Grid->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(Grid->GetClientRect(), Rect(0, 0, 296, 196));
}

TEST_F(GridsTest, KeyboardNavigationAndRangeSelection) {
    Grid->SetRowCount(8);
    Grid->SetOptions(Grid->GetOptions() + goTabs);
    struct Row {
        Word key;
        TShiftState shift;
        int col, row;
        TGridRect selection;
    };
    const Row rows[] = {
        {VK_DOWN, {}, 1, 2, {1, 2, 1, 2}},        {VK_RIGHT, {ssShift}, 2, 2, {1, 2, 2, 2}},
        {VK_DOWN, {ssShift}, 2, 3, {1, 2, 2, 3}}, {VK_END, {}, 4, 3, {4, 3, 4, 3}},
        {VK_TAB, {}, 1, 4, {1, 4, 1, 4}},  // past the last column: the next row's first
        {VK_TAB, {ssShift}, 4, 3, {4, 3, 4, 3}},  {VK_HOME, {ssCtrl}, 1, 1, {1, 1, 1, 1}},
        {VK_UP, {}, 1, 1, {1, 1, 1, 1}},  // fixed rows are never current
        {VK_END, {ssCtrl}, 4, 7, {4, 7, 4, 7}},   {VK_PRIOR, {}, 4, 4, {4, 4, 4, 4}},
    };
    for (const Row& r : rows) {
        Key(Grid, r.key, r.shift);
        EXPECT_EQ(Grid->GetCol(), r.col) << "key " << r.key;
        EXPECT_EQ(Grid->GetRow(), r.row) << "key " << r.key;
        EXPECT_EQ(Grid->GetSelection(), r.selection) << "key " << r.key;
    }
    // The current cell is kept in view.
    EXPECT_LE(Grid->GetTopRow(), 4);
    Key(Grid, VK_END, {ssCtrl});
    EXPECT_EQ(Grid->GetTopRow(), 7 - Grid->VisibleRowCount() + 1);
}

TEST_F(GridsTest, SelectCellCanRefuseAndChoosingClicks) {
    int clicks = 0;
    Grid->OnClick = [&](TObject*) { ++clicks; };
    Grid->OnSelectCell = [](TObject*, int col, int, bool& can) { can = col != 2; };
    Grid->SetCol(2);
    EXPECT_EQ(Grid->GetCol(), 1);
    Grid->SetCol(3);
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(clicks, 2);
    // A mouse click on a cell chooses it and clicks once.
    Grid->SetLeftCol(1);
    TRect r = Grid->CellRect(1, 2);
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(r.Left + 3, r.Top + 3));
    Grid->Perform(WM_LBUTTONUP, 0, MakeLParam(r.Left + 3, r.Top + 3));
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(Grid->GetRow(), 2);
    EXPECT_EQ(clicks, 3);

    Grid->SetRowCount(2);
    EXPECT_EQ(Grid->GetRow(), 1);
    Grid->SetColCount(3);
    EXPECT_LE(Grid->GetCol(), 2) << "the current cell stays inside a smaller grid";
    EXPECT_THROW(Grid->SetFixedCols(3), EGridError);
}

TEST_F(GridsTest, DraggingAHeaderLineSizesTheColumn) {
    Grid->SetOptions(Grid->GetOptions() + goColSizing);
    int line = Grid->CellRect(1, 0).Right;  // 81: the line after column 1
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(line, 5));
    Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(line + 10, 5));
    Grid->Perform(WM_LBUTTONUP, 0, MakeLParam(line + 10, 5));
    EXPECT_EQ(Grid->GetColWidths(1), 60);
    EXPECT_EQ(Grid->GetCol(), 1) << "sizing does not choose a cell";
}

TEST_F(GridsTest, InplaceEditorRoundTrip) {
    Grid->SetOptions(Grid->GetOptions() + goEditing);
    Grid->SetCells(1, 1, "old");
    Grid->SetCells(1, 2, "below");
    std::vector<std::string> sets;
    Grid->OnSetEditText = [&](TObject*, int c, int r, const std::string& v) {
        sets.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
    };

    // A typed character opens the editor over the current cell and replaces its text.
    Grid->Perform(WM_CHAR, 'n', 0);
    ASSERT_TRUE(Grid->GetEditorMode());
    TInplaceEdit* ed = Grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->GetVisible());
    EXPECT_EQ(ed->BoundsRect(), Grid->CellRect(1, 1));
    EXPECT_EQ(ed->GetText(), "n");
    ed->Perform(WM_CHAR, 'e', 0);
    ed->Perform(WM_CHAR, 'w', 0);
    EXPECT_EQ(Grid->GetCells(1, 1), "new");
    EXPECT_EQ(sets.back(), "1,1=new");

    // Down moves the grid and the editor with it.
    ed->Perform(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Grid->GetRow(), 2);
    EXPECT_EQ(ed->GetText(), "below");
    EXPECT_EQ(ed->BoundsRect(), Grid->CellRect(1, 2));
    EXPECT_EQ(Grid->GetCells(1, 1), "new");

    // Enter closes the editor and keeps the text; F2 opens it again.
    ed->Perform(WM_CHAR, 'x', 0);
    ed->Perform(WM_CHAR, 13, 0);
    EXPECT_FALSE(Grid->GetEditorMode());
    EXPECT_FALSE(ed->GetVisible());
    EXPECT_EQ(Grid->GetCells(1, 2), "x");
    Grid->Perform(WM_KEYDOWN, VK_F2, 0);
    EXPECT_TRUE(ed->GetVisible());
    EXPECT_EQ(ed->GetText(), "x");
    Grid->HideEditor();

    // Without the editing option nothing opens.
    Grid->SetOptions(Grid->GetOptions() - goEditing);
    Grid->Perform(WM_CHAR, 'q', 0);
    EXPECT_FALSE(Grid->GetEditorMode());
    EXPECT_EQ(Grid->GetCells(1, 2), "x");
}

TEST_F(GridsTest, LeftAndRightLeaveTheEditorOnlyAtItsEdges) {
    Grid->SetOptions(Grid->GetOptions() + goEditing);
    Grid->SetCells(1, 1, "ab");
    Grid->ShowEditor();
    TInplaceEdit* ed = Grid->InplaceEditor();
    ed->SetSelStart(1);
    ed->Perform(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Grid->GetCol(), 1) << "inside the text the caret moves";
    EXPECT_EQ(ed->GetSelStart(), 2);
    ed->Perform(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Grid->GetCol(), 2);
}

TEST_F(GridsTest, MovingRowsAndColumnsCarriesTheirData) {
    Grid->SetCells(1, 1, "a");
    Grid->SetCells(1, 2, "b");
    Grid->SetCells(2, 1, "c");
    std::vector<int> moved;
    Grid->OnRowMoved = [&](TObject*, int from, int to) { moved = {from, to}; };
    Grid->SetRowHeights(1, 33);
    Grid->MoveRow(1, 2);
    EXPECT_EQ(Grid->GetCells(1, 2), "a");
    EXPECT_EQ(Grid->GetCells(1, 1), "b");
    EXPECT_EQ(Grid->GetRowHeights(2), 33);
    EXPECT_EQ(moved, (std::vector<int>{1, 2}));
    Grid->MoveColumn(1, 3);
    EXPECT_EQ(Grid->GetCells(3, 2), "a");
    EXPECT_EQ(Grid->GetColWidths(3), 50);
    EXPECT_EQ(Grid->GetCells(1, 2), "c") << "moved down with its row, then left with the column";
}

struct PaintedGrid : TStringGrid {
    using TStringGrid::TStringGrid;
    std::vector<std::string> Drawn;
    QImage PaintImage() {
        TRect cr = GetClientRect();
        QImage img(cr.Width(), cr.Height(), QImage::Format_RGB32);
        img.fill(Qt::magenta);
        QPainter p(&img);
        GetCanvas()->SetPainter(&p);
        Paint();
        GetCanvas()->SetPainter(nullptr);
        return img;
    }

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
        std::string s = std::to_string(ACol) + "," + std::to_string(ARow);
        if (AState.Contains(gdFixed)) s += " fixed";
        if (AState.Contains(gdSelected)) s += " selected";
        Drawn.push_back(s);
        TStringGrid::DrawCell(ACol, ARow, ARect, AState);
    }
};

TEST_F(GridsTest, PaintDrawsVisibleCellsWithTheirStates) {
    auto* g = new PaintedGrid(Form);
    g->SetBorderStyle(bsNone);
    g->SetScrollBars(ssNone);
    g->SetColCount(3);
    g->SetRowCount(3);
    g->SetDefaultColWidth(20);
    g->SetDefaultRowHeight(10);
    g->SetBounds(0, 0, 80, 40);
    g->SetFixedColor(clBlue);
    QImage img = g->PaintImage();
    EXPECT_EQ(g->Drawn.size(), 9u);
    EXPECT_EQ(g->Drawn[0], "0,0 fixed");
    EXPECT_EQ(g->Drawn[4], "1,1 selected");
    EXPECT_EQ(QColorToColor(img.pixelColor(5, 5)), clBlue) << "fixed cell";
    EXPECT_EQ(QColorToColor(img.pixelColor(25, 15)), ColorToRGB(clHighlight)) << "selected cell";
    EXPECT_EQ(QColorToColor(img.pixelColor(45, 25)), ColorToRGB(clWindow)) << "plain cell";
    EXPECT_EQ(QColorToColor(img.pixelColor(41, 25)), ColorToRGB(clSilver)) << "grid line after column 1";
    EXPECT_EQ(QColorToColor(img.pixelColor(70, 5)), ColorToRGB(clWindow)) << "beyond the last column";
}

}  // namespace

namespace {

TEST_F(GridsTest, ScrollMessagesMoveTheTopRow) {
    Grid->SetRowCount(20);  // 3 rows fit wholly below the fixed one: the last top row is 17
    struct Row {
        unsigned code;
        int pos;
        TGridOptions extra;
        int expectedTop;
    };
    const Row rows[] = {
        {SB_LINEDOWN, 0, {}, 2},
        {SB_PAGEDOWN, 0, {}, 5},
        {SB_LINEUP, 0, {}, 4},
        {SB_THUMBTRACK, 10, {}, 4},  // dragging the thumb scrolls only with thumb tracking
        {SB_THUMBTRACK, 10, {goThumbTracking}, 10},
        {SB_THUMBPOSITION, 12, {}, 12},
        {SB_BOTTOM, 0, {}, 17},
        {SB_PAGEDOWN, 0, {}, 17},
        {SB_TOP, 0, {}, 1},
        {SB_LINEUP, 0, {}, 1},
    };
    TGridOptions base = Grid->GetOptions();
    for (const Row& r : rows) {
        Grid->SetOptions(base + r.extra);
        Grid->Perform(WM_VSCROLL, WPARAM(r.code | (unsigned(r.pos) << 16)), 0);
        EXPECT_EQ(Grid->GetTopRow(), r.expectedTop) << "code " << r.code;
    }
}

}  // namespace
