// TAlignGrid: lookup order of the records, drawing, last-column adjustment,
// clipboard text, moving to the next cell, sorting and form-stream settings.

#include "AlignGrid.h"

#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "TestHooks.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>

namespace {

struct PaintableGrid : TAlignGrid {
    using TAlignGrid::TAlignGrid;
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
};

class AlignGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        RegisterAlignGridClasses();
        Form = new TForm(nullptr);
        Form->SetClientSize(600, 400);
        Grid = new PaintableGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBorderStyle(bsNone);
        Grid->SetScrollBars(ssNone);
        Grid->SetColCount(4);
        Grid->SetRowCount(6);
        Grid->SetDefaultColWidth(60);
        Grid->SetDefaultRowHeight(18);
        Grid->SetBounds(0, 0, 300, 200);
        Grid->SetAlignment(TMyAlign::alDefault);
    }
    void TearDown() override {
        delete Form;
        SetInputState({});
    }
    void Key(Word vk, TShiftState shift = {}) {
        SetInputState(shift);
        Grid->Perform(WM_KEYDOWN, vk, 0);
        SetInputState({});
    }
    void Fill(int cols, int rows) {
        Grid->SetColCount(cols);
        Grid->SetRowCount(rows);
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < rows; ++r) Grid->SetCells(c, r, std::string(1, char('a' + c)) + std::to_string(r));
    }
    TForm* Form = nullptr;
    PaintableGrid* Grid = nullptr;
};

TEST_F(AlignGridTest, AlignmentLookupGoesCellColumnRowGrid) {
    EXPECT_EQ(Grid->GetAlignCell(2, 2), TMyAlign::alLeft) << "alDefault on the grid reads as left";
    Grid->SetAlignRow(3, TMyAlign::alRight);
    Grid->SetAlignCol(2, TMyAlign::alCenter);
    Grid->SetAlignCell(3, 3, TMyAlign::alLeft);
    EXPECT_EQ(Grid->GetAlignCell(1, 3), TMyAlign::alRight);
    EXPECT_EQ(Grid->GetAlignCell(2, 3), TMyAlign::alCenter) << "the column comes before the row";
    EXPECT_EQ(Grid->GetAlignCell(3, 3), TMyAlign::alLeft) << "the cell's own record comes first";

    // Fixed cells take the fixed records, the others the ordinary ones.
    Grid->SetFixedAlignCol(1, TMyAlign::alCenter);
    EXPECT_EQ(Grid->GetAlignCell(1, 0), TMyAlign::alCenter);
    EXPECT_EQ(Grid->GetAlignCell(1, 1), TMyAlign::alLeft);
    EXPECT_EQ(Grid->GetAlignCell(2, 0), TMyAlign::alLeft) << "SetAlignCol leaves the header alone";
    Grid->SetFixedAlignRow(4, TMyAlign::alRight);
    EXPECT_EQ(Grid->GetAlignCell(0, 4), TMyAlign::alRight);
    EXPECT_EQ(Grid->GetAlignCell(1, 4), TMyAlign::alLeft);

    Grid->SetWordwrapRow(2, ww_ellipsis);
    EXPECT_EQ(Grid->GetWordwrapCell(1, 2), ww_ellipsis);
    EXPECT_EQ(Grid->GetWordwrapCell(1, 1), ww_none);
}

TEST_F(AlignGridTest, EditPermissionAndColoursFollowTheSameOrder) {
    Grid->SetEditCol(1, false);
    EXPECT_FALSE(Grid->GetEditCell(1, 2));
    EXPECT_EQ(Grid->GetColProperties(1)->Edit, TCellProperties::EditNo);
    Grid->SetEditCell(1, 3, true);
    EXPECT_TRUE(Grid->GetEditCell(1, 3));
    Grid->Editable = false;
    EXPECT_FALSE(Grid->GetEditCell(2, 2));

    Grid->GetBrushRow(4)->SetColor(clAqua);
    Grid->SetColorCol(1, clYellow);
    EXPECT_EQ(Grid->GetColorCell(1, 4), clYellow) << "column before row";
    EXPECT_EQ(Grid->GetColorCell(2, 4), clAqua);
    EXPECT_EQ(Grid->GetColorCell(2, 2), Grid->GetColor());
    EXPECT_EQ(Grid->GetColorCell(0, 0), Grid->GetFixedColor()) << "fixed cells use the fixed brush";
    Grid->SetFixedColor(clGreen);
    EXPECT_EQ(Grid->GetColorCell(0, 2), clGreen);

    // Selected colours ignore fixed status: the column's selected brush holds in a fixed row.
    Grid->SetSelectedColorCol(1, clRed);
    EXPECT_EQ(Grid->GetSelectedColorCell(1, 0), clRed);
    EXPECT_EQ(Grid->GetSelectedColorCell(2, 2), Grid->GetSelectedCellColor());

    // A font made on demand is an unflagged copy; changing it flags it and moves the cell's font.
    TFont* f = Grid->GetFontCell(2, 2);
    EXPECT_FALSE(Grid->GetCellProperties(2, 2)->Font->ExplicitlySet);
    f->SetColor(clMaroon);
    EXPECT_TRUE(Grid->GetCellProperties(2, 2)->Font->ExplicitlySet);
    EXPECT_EQ(Grid->GetEffectiveFont(2, 2)->GetColor(), clMaroon);
    EXPECT_EQ(Grid->GetEffectiveFont(2, 1)->GetColor(), Grid->GetFont()->GetColor());

    TCellProperties copy(Grid);
    copy.Assign(Grid->GetCellProperties(2, 2));
    EXPECT_TRUE(copy.Font->ExplicitlySet);
    EXPECT_FALSE(copy.IsEmpty());
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.IsEmpty());
}

// Leftmost and rightmost dark pixel of a cell's text.
std::pair<int, int> InkSpan(const QImage& img, const TRect& r, QRgb background) {
    int lo = INT32_MAX, hi = -1;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (img.pixel(x, y) != background) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    return {lo, hi};
}

TEST_F(AlignGridTest, DrawingPlacesTextAndColoursCells) {
    Grid->SetColWidths(1, 120);
    Grid->SetRowHeights(1, 20);
    for (int r = 1; r <= 3; ++r) Grid->SetCells(1, r, "12.5");
    Grid->SetAlignCell(1, 1, TMyAlign::alLeft);
    Grid->SetAlignCell(1, 2, TMyAlign::alCenter);
    Grid->SetAlignCell(1, 3, TMyAlign::alRight);
    Grid->SetColorCol(3, clYellow);
    Grid->SetCol(2);
    Grid->SetRow(4);
    Grid->SetOptions(Grid->GetOptions() + goDrawFocusSelected);
    Grid->SetSelectedCellColor(clNavy);
    QImage img = Grid->PaintImage();
    QRgb white = QColor(Qt::white).rgb();
    auto left = InkSpan(img, Grid->CellRect(1, 1), white);
    auto centre = InkSpan(img, Grid->CellRect(1, 2), white);
    auto right = InkSpan(img, Grid->CellRect(1, 3), white);
    TRect cell = Grid->CellRect(1, 3);
    EXPECT_LE(left.first, Grid->CellRect(1, 1).Left + 4);
    EXPECT_GE(right.second, cell.Right - 5);
    EXPECT_LE(right.second, cell.Right - 2) << "2 pixels of margin";
    int mid = (cell.Left + cell.Right) / 2;
    EXPECT_NEAR((centre.first + centre.second) / 2, mid, 2);
    EXPECT_EQ(right.second - right.first, left.second - left.first) << "the same text, only moved";

    TRect yellow = Grid->CellRect(3, 2);
    EXPECT_EQ(QColorToColor(img.pixelColor(yellow.Left + 3, yellow.Top + 3)), clYellow);
    TRect sel = Grid->CellRect(2, 4);
    EXPECT_EQ(QColorToColor(img.pixelColor(sel.Left + 3, sel.Top + 3)), clNavy);
}

TEST_F(AlignGridTest, WrappedAndMultiLineCellsUseTheirHeight) {
    Grid->SetRowHeights(1, 60);
    Grid->SetRowHeights(2, 60);
    Grid->SetRowHeights(3, 60);
    const std::string text = "one two three four five";
    Grid->SetCells(1, 1, text);
    Grid->SetCells(1, 2, text);
    Grid->SetCells(1, 3, "one\r\ntwo");
    Grid->SetWordwrapCell(1, 2, ww_wordwrap);
    Grid->SetCol(3);  // the selection away from the cells looked at
    QImage img = Grid->PaintImage();
    auto inkRows = [&](int row) {
        TRect r = Grid->CellRect(1, row);
        int top = INT32_MAX, bottom = -1;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (QColorToColor(img.pixelColor(x, y)) != clWhite) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        EXPECT_GE(bottom, 0) << "row " << row << " draws nothing";
        return bottom - top;
    };
    int single = inkRows(1);
    EXPECT_GT(single, 4);
    EXPECT_GT(inkRows(2), 2 * single) << "word wrap breaks the text into lines";
    EXPECT_GT(inkRows(3), single + 5) << "a line break in the text starts a new line";
}

TEST_F(AlignGridTest, LastColumnFillsTheClientWidth) {
    Grid->SetColCount(8);
    Grid->SetDefaultColWidth(72);
    Grid->SetBounds(0, 0, 585, 200);
    std::vector<int> widthsChanged;
    Grid->OnColWidthsChanged = [&](TObject*) { widthsChanged.push_back(Grid->GetColWidths(7)); };
    Grid->SetAutoAdjustLastCol(true);
    EXPECT_EQ(Grid->GetColWidths(7), 585 - 504 - 8);
    EXPECT_FALSE(widthsChanged.empty());
    Grid->SetBounds(0, 0, 600, 200);
    EXPECT_EQ(Grid->GetColWidths(7), 600 - 504 - 8) << "a resize adjusts again";
    Grid->SetColWidths(0, 500);
    Grid->AdjustLastCol();
    EXPECT_EQ(Grid->GetColWidths(7), 600 - 504 - 8) << "no room left: the column keeps its width";
}

TEST_F(AlignGridTest, ClipboardTextHasTabAfterEveryCellAndCrLfAfterEveryRow) {
    FakeClipboard clip;
    Fill(3, 3);
    Grid->SetCells(0, 0, "a1");
    Grid->SetCells(1, 0, "b1");
    Grid->SetCells(0, 1, "a2");
    Grid->SetCells(1, 1, "b2");
    Grid->CopyToClipboard('\t', TGridRect{0, 0, 1, 1});
    EXPECT_EQ(clip.Text, "a1\tb1\t\r\na2\tb2\t\r\n");
    // A right below the left reaches the last column.
    Grid->CopyToClipboard('\t', TGridRect{2, 2, -1, 2});
    EXPECT_EQ(clip.Text, "c2\t\r\n");

    clip.Text = "x\t\ty\r\n\r\nq";
    Grid->PasteFromClipboard('\t', TGridRect{0, 1, -1, -1});
    EXPECT_EQ(Grid->GetCells(0, 1), "x");
    EXPECT_EQ(Grid->GetCells(1, 1), "");
    EXPECT_EQ(Grid->GetCells(2, 1), "y");
    EXPECT_EQ(Grid->GetCells(0, 2), "a2") << "an empty line changes no cell";
    EXPECT_EQ(Grid->GetCells(0, 3), "q");
    EXPECT_EQ(Grid->GetRowCount(), 4) << "the grid grows to take every line";

    clip.Text = "a1\tb1\t\r\na2\tb2\t\r\n";
    Grid->PasteFromClipboard('\t', TGridRect{2, 2, 1, 1});
    EXPECT_EQ(Grid->GetColCount(), 4);
    EXPECT_EQ(Grid->GetCells(3, 3), "b2");
    clip.Text = std::string("z1\tz2\0\tz3", 8);
    Grid->PasteFromClipboard('\t', TGridRect{0, 0, -1, -1});
    EXPECT_EQ(Grid->GetCells(1, 0), "z2") << "the text ends at its 0 byte";
    EXPECT_EQ(Grid->GetCells(2, 0), "c0");
}

TEST_F(AlignGridTest, ClipboardKeysChangeOnlyEditableCellsOfAnEditingGrid) {
    FakeClipboard clip;
    Fill(3, 3);
    Grid->SetSelection(TGridRect{1, 1, 2, 2});
    Key(VK_INSERT, {ssCtrl});
    EXPECT_EQ(clip.Text, "b1\tc1\t\r\nb2\tc2\t\r\n");

    // A result grid: cut copies and leaves the cells, paste does nothing.
    clip.Text = "P\tQ\r\nR\tS\r\n";
    Key(VK_INSERT, {ssShift});
    EXPECT_EQ(Grid->GetCells(1, 1), "b1");
    Key(VK_DELETE, {ssShift});
    EXPECT_EQ(Grid->GetCells(1, 1), "b1");
    EXPECT_EQ(clip.Text, "b1\tc1\t\r\nb2\tc2\t\r\n");

    Grid->SetOptions(Grid->GetOptions() + goEditing);
    Grid->SetEditCell(2, 2, false);
    clip.Text = "P\tQ\tX\r\nR\tS\r\nT\r\n";
    Key(VK_INSERT, {ssShift});
    EXPECT_EQ(Grid->GetCells(1, 1), "P");
    EXPECT_EQ(Grid->GetCells(2, 1), "Q");
    EXPECT_EQ(Grid->GetCells(1, 2), "R");
    EXPECT_EQ(Grid->GetCells(2, 2), "c2") << "a read-only cell keeps its text";
    EXPECT_EQ(Grid->GetColCount(), 3) << "the selection limits a paste";
    EXPECT_EQ(Grid->GetRowCount(), 3);

    Grid->SetSelection(TGridRect{1, 1, 1, 1});
    clip.Text = "a1\tb1\r\n";
    Key(VK_INSERT, {ssShift});
    EXPECT_EQ(Grid->GetCells(1, 1), "a1");
    EXPECT_EQ(Grid->GetCells(2, 1), "Q");

    Grid->SetSelection(TGridRect{1, 2, 2, 2});
    Key(VK_DELETE, {ssShift});
    EXPECT_EQ(Grid->GetCells(1, 2), "");
    EXPECT_EQ(Grid->GetCells(2, 2), "c2");
    EXPECT_EQ(clip.Text, "R\tc2\t\r\n");
}

TEST_F(AlignGridTest, NextCellStepsWrapsAndAppliesTheAfterLastRule) {
    Fill(3, 3);  // one fixed row and column: body (1..2, 1..2)
    struct Row {
        T_nextcell dir;
        int c, r;
        T_lastcell rule;
        int ec, er;
    };
    const Row rows[] = {
        {nc_rightdown, 1, 1, lc_stop, 2, 1},   {nc_rightdown, 2, 1, lc_stop, 1, 2},
        {nc_rightdown, 2, 2, lc_stop, -1, -1}, {nc_rightdown, 2, 2, lc_first, 1, 1},
        {nc_downright, 1, 2, lc_stop, 2, 1},   {nc_downright, 2, 2, lc_first, 1, 1},
        {nc_leftdown, 1, 1, lc_stop, 2, 2},    {nc_leftdown, 1, 2, lc_first, 2, 1},
        {nc_downleft, 2, 2, lc_stop, 1, 1},    {nc_downleft, 1, 2, lc_first, 2, 1},
        {nc_leftup, 1, 2, lc_stop, 2, 1},      {nc_leftup, 1, 1, lc_first, 2, 2},
        {nc_upleft, 2, 1, lc_stop, 1, 2},      {nc_upleft, 1, 1, lc_first, 2, 2},
        {nc_rightup, 2, 2, lc_stop, 1, 1},     {nc_rightup, 2, 1, lc_first, 1, 2},
        {nc_upright, 1, 1, lc_stop, 2, 2},     {nc_upright, 2, 1, lc_first, 1, 2},
    };
    for (const Row& row : rows) {
        int c = row.c, r = row.r;
        Grid->NextCell(row.dir, row.rule, c, r);
        EXPECT_EQ(c, row.ec) << int(row.dir) << " from " << row.c << "," << row.r;
        EXPECT_EQ(r, row.er) << int(row.dir) << " from " << row.c << "," << row.r;
    }
    int c = 2, r = 2;
    Grid->NextCell(nc_rightdown, lc_newcolrow, c, r);
    EXPECT_EQ(Grid->GetRowCount(), 4);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 3);
    c = 1, r = 1;
    Grid->NextCell(nc_upleft, lc_newcolrow, c, r);
    EXPECT_EQ(Grid->GetColCount(), 4);
    EXPECT_EQ(Grid->GetCells(2, 1), "b1") << "texts move right of the new column";
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 3);
}

TEST_F(AlignGridTest, TabWalksTheCellsAndShiftTabWalksBack) {
    Fill(3, 3);
    Grid->SetCol(2);
    Grid->SetRow(2);
    Key(VK_TAB);
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(Grid->GetRow(), 1);
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 2);
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(Grid->GetRow(), 2);
}

TEST_F(AlignGridTest, InsertRowShiftsTextsRecordsAndHints) {
    Fill(3, 4);
    Grid->SetAlignRow(2, TMyAlign::alRight);
    Grid->SetHintCell(1, 2, "tip");
    Grid->SetFixedAlignRow(2, TMyAlign::alCenter);
    Grid->InsertRow(2);
    EXPECT_EQ(Grid->GetRowCount(), 5);
    EXPECT_EQ(Grid->GetCells(1, 2), "");
    EXPECT_EQ(Grid->GetCells(1, 3), "b2");
    EXPECT_EQ(Grid->GetCells(1, 4), "b3");
    EXPECT_EQ(Grid->GetAlignCell(1, 3), TMyAlign::alRight);
    EXPECT_EQ(Grid->GetAlignCell(1, 2), TMyAlign::alLeft);
    EXPECT_EQ(Grid->GetHintCell(1, 3), "tip");
    EXPECT_EQ(Grid->GetAlignCell(0, 2), TMyAlign::alCenter) << "fixed-row records stay";
}

TEST_F(AlignGridTest, SortOrdersLinesAndCarriesTheirSettings) {
    Grid->SetColCount(2);
    Grid->SetRowCount(8);
    const char* keys[] = {"", "pear", "apple", "fig", "kiwi", "date", "apple", "lime"};
    for (int r = 1; r < 8; ++r) {
        Grid->SetCells(1, r, keys[r]);
        Grid->SetCells(0, r, std::to_string(r));
    }
    Grid->SetAlignRow(1, TMyAlign::alRight);  // "pear"
    Grid->Sort(1, 1, 7, TSortOrder::Ascending, TSortLines::Rows);
    std::vector<std::string> got;
    for (int r = 1; r < 8; ++r) got.push_back(Grid->GetCells(1, r));
    EXPECT_EQ(got, (std::vector<std::string>{"apple", "apple", "date", "fig", "kiwi", "lime", "pear"}));
    EXPECT_EQ(Grid->GetCells(0, 7), "1") << "the whole row moves";
    EXPECT_EQ(Grid->GetAlignCell(1, 7), TMyAlign::alRight);

    Grid->Sort(1, 1, 7, TSortOrder::Descending, TSortLines::Rows);
    got.clear();
    for (int r = 1; r < 8; ++r) got.push_back(Grid->GetCells(1, r));
    EXPECT_EQ(got, (std::vector<std::string>{"pear", "lime", "kiwi", "fig", "date", "apple", "apple"}));

    // Columns by a row, with a comparison of the program's own (by length).
    Fill(5, 2);
    const char* row[] = {"x", "ccc", "a", "dddd", "bb"};
    for (int c = 0; c < 5; ++c) Grid->SetCells(c, 1, row[c]);
    Grid->OnCompareRow = [&](TObject*, int index, int a, int b) {
        size_t la = Grid->GetCells(a, index).size(), lb = Grid->GetCells(b, index).size();
        return la < lb ? 0 : la == lb ? 1 : 2;
    };
    Grid->Sort(1, 1, 4, TSortOrder::Ascending, TSortLines::Columns);
    EXPECT_EQ(Grid->GetCells(1, 1), "a");
    EXPECT_EQ(Grid->GetCells(4, 1), "dddd");
    EXPECT_EQ(Grid->GetCells(1, 0), "c0") << "the column moved with its key";
}

TEST_F(AlignGridTest, FormStreamCarriesRecordsTextsAndOlderLists) {
    auto* root = new TForm(nullptr);
    ReadComponentFromText(root, R"(object Root: TForm
  object grd: TAlignGrid
    ColCount = 4
    RowCount = 3
    Alignment = alCenter
    Editable = False
    SelectedFontColor = clRed
    AutoAdjustLastCol = True
    NextCellTab = nc_leftup
    PropCol = (2 1 2 0 3 4 255 0 0)
    PropCell = ()
    PropCell = (1 2 6 128 -11 'Arial' 0 1 0)
    AlignCol = {010000}
    AlignRow = {020000}
    Cells = (1 1 'one' 3 2 'last')
    HintCell = (2 1 'tip')
  end
end
)");
    auto* g = dynamic_cast<TAlignGrid*>(root->FindComponent("grd"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetAlignCell(2, 1), TMyAlign::alCenter);
    EXPECT_EQ(g->GetAlignCell(1, 1), TMyAlign::alRight) << "older byte list: column 1, alRight";
    EXPECT_EQ(g->GetAlignCell(3, 1), TMyAlign::alCenter);
    EXPECT_EQ(g->GetColorCell(3, 1), TColor(255));
    const TFont* f = g->GetEffectiveFont(1, 2);
    EXPECT_EQ(f->GetName(), "Arial");
    EXPECT_EQ(f->GetColor(), TColor(128));
    EXPECT_TRUE(f->GetStyle().Contains(fsBold));
    EXPECT_FALSE(g->GetEditCell(1, 1));
    EXPECT_EQ(g->GetSelectedFontColor(), clRed);
    EXPECT_EQ(g->NextCellTab, nc_leftup);
    EXPECT_EQ(g->GetCells(1, 1), "one");
    EXPECT_EQ(g->GetCells(3, 2), "last");
    EXPECT_EQ(g->GetHintCell(2, 1), "tip");
    delete root;

    auto* bad = new TForm(nullptr);
    EXPECT_ANY_THROW(ReadComponentFromText(bad, R"(object Root: TForm
  object grd: TAlignGrid
    PropCol = (2 1)
  end
end
)")) << "a record cut short is an error, not a guess";
    delete bad;
}

TEST_F(AlignGridTest, EnterEndsTheEditAndOpensTheNextCellInANewRow) {
    Fill(3, 3);
    Grid->SetOptions(Grid->GetOptions() + goEditing);
    Grid->AutoEditNextCell = true;
    std::vector<std::string> events;
    Grid->OnBeforeEdit = [&](TObject*, int c, int r) {
        events.push_back("before " + std::to_string(c) + std::to_string(r));
    };
    Grid->OnAfterEdit = [&](TObject*, int c, int r) {
        events.push_back("after " + std::to_string(c) + std::to_string(r));
    };
    Form->Show();
    Grid->SetFocus();
    Grid->SetCol(2);
    Grid->SetRow(2);
    Grid->ShowEditor();
    TInplaceEdit* e = Grid->InplaceEditor();
    ASSERT_NE(e, nullptr);
    e->SetText("new");
    EXPECT_EQ(Grid->GetCells(2, 2), "c2") << "the cell keeps its text while the edit runs";
    e->Perform(WM_CHAR, 13, 0);
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetCells(2, 2), "new");
    EXPECT_EQ(Grid->GetRowCount(), 4) << "the last cell's Enter appends a row";
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(Grid->GetRow(), 3);
    EXPECT_TRUE(Grid->IsEditing());
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "before 22");
    EXPECT_EQ(events[1], "after 22");
}

TEST_F(AlignGridTest, CellHintsAndThumbTracking) {
    Fill(4, 30);
    Grid->SetHintCell(2, 3, "third row");
    TRect cell = Grid->CellRect(2, 3);
    auto ask = [&](int x, int y) {
        THintInfo info;
        info.HintControl = Grid;
        info.CursorPos = TPoint{x, y};
        LRESULT refused = Grid->Perform(CM_HINTSHOW, 0, LPARAM(&info));
        return refused ? std::string("<none>") : info.HintStr;
    };
    EXPECT_EQ(ask(cell.Left + 3, cell.Top + 3), "third row");
    THintInfo placed;
    placed.CursorPos = TPoint{cell.Left + 3, cell.Top + 3};
    Grid->Perform(CM_HINTSHOW, 0, LPARAM(&placed));
    EXPECT_EQ(placed.HintPos, Grid->ClientToScreen(TPoint{cell.Left, cell.Bottom + 6})) << "below the cell";
    EXPECT_EQ(ask(cell.Left + 3, cell.Bottom + 3), "<none>") << "no hint of its own";
    Grid->OnShowHintCell = [](TAlignGrid*, int, int, std::string& text, bool& show, THintInfo&) {
        text += "!";
        show = text != "!";
    };
    EXPECT_EQ(ask(cell.Left + 3, cell.Top + 3), "third row!");
    EXPECT_EQ(ask(cell.Left + 3, cell.Bottom + 3), "<none>");

    // Dragging the thumb scrolls only while the grid redraws as it scrolls.
    Grid->Perform(WM_VSCROLL, WPARAM(SB_THUMBTRACK | (12u << 16)), 0);
    EXPECT_EQ(Grid->GetTopRow(), 1);
    Grid->RedrawWhileScroll = true;
    Grid->Perform(WM_VSCROLL, WPARAM(SB_THUMBTRACK | (12u << 16)), 0);
    EXPECT_EQ(Grid->GetTopRow(), 12);
}

struct Tracked : TObject {
    std::vector<int>* Freed;
    int Id;
    Tracked(std::vector<int>* f, int id) : Freed(f), Id(id) {}
    ~Tracked() override { Freed->push_back(Id); }
};

TEST(ObjectListTest, OwnsItsItemsAndFreesThemLastFirst) {
    std::vector<int> freed;
    auto* keep = new Tracked(&freed, 99);
    {
        TObjectList list;
        for (int i = 0; i < 4; ++i) list.Add(new Tracked(&freed, i));
        list.Delete(1);
        EXPECT_EQ(freed, (std::vector<int>{1}));
        TObject* two = list.Items(1);
        EXPECT_EQ(list.Remove(two), 1);
        EXPECT_EQ(list.Remove(keep), -1) << "an item the list does not hold";
        EXPECT_THROW(list.Items(2), EListError);
        EXPECT_EQ(list.Count(), 2);
    }
    EXPECT_EQ(freed, (std::vector<int>{1, 2, 3, 0}));
    delete keep;
}

}  // namespace
