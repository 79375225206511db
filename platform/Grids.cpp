// The grid: geometry, current cell and selection, scrolling, painting and input.

#include "Grids.h"

#include "FormReader.h"
#include "Forms.h"
#include "StdCtrlsPrivate.h"

#include <QFrame>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kScrollBarSize = 16;

// One direction of the grid: the columns (or rows) with their sizes, the fixed
// ones at the start, the scrolled ones from First, in Extent pixels of client.
struct Axis {
    const std::vector<int>& Sizes;
    int Fixed;
    int First;
    int Extent;
    int Line;

    int Count() const { return int(Sizes.size()); }
    int Step(int i) const { return Sizes[size_t(i)] + Line; }
    int FixedExtent() const {
        int x = 0;
        for (int i = 0; i < Fixed && i < Count(); ++i) x += Step(i);
        return x;
    }
    // Start of line i in pixels; -1 when it is scrolled away or beyond the client.
    int Pos(int i) const {
        if (i < 0 || i >= Count()) return -1;
        int x = 0;
        if (i < Fixed) {
            for (int j = 0; j < i; ++j) x += Step(j);
        } else {
            if (i < First) return -1;
            x = FixedExtent();
            for (int j = First; j < i; ++j) x += Step(j);
        }
        return x < Extent ? x : -1;
    }
    // The line at pixel p (its grid line belongs to it); -1 when none.
    int IndexAt(int p) const {
        if (p < 0 || p >= Extent) return -1;
        int x = 0;
        for (int i = 0; i < Fixed && i < Count(); ++i) {
            x += Step(i);
            if (p < x) return i;
        }
        for (int i = First; i < Count(); ++i) {
            x += Step(i);
            if (p < x) return i;
        }
        return -1;
    }
    // The last scrolled line wholly inside the client; First - 1 when none.
    int LastFull() const {
        int x = FixedExtent();
        int last = First - 1;
        for (int i = First; i < Count(); ++i) {
            if (x + Sizes[size_t(i)] > Extent) break;
            x += Step(i);
            last = i;
        }
        return last;
    }
    // The greatest First that still shows the last line wholly (at least Fixed).
    int MaxFirst() const {
        int room = Extent - FixedExtent();
        int first = Count() - 1;
        int used = 0;
        for (int i = Count() - 1; i >= Fixed; --i) {
            used += (i == Count() - 1) ? Sizes[size_t(i)] : Step(i);
            if (used > room) break;
            first = i;
        }
        return std::max(first, Fixed);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FGrid = dynamic_cast<TCustomGrid*>(AOwner);
    FVisible = false;
    FBorderStyle = bsNone;
    FAutoSize = false;
    FParentColor = false;
    FTabStop = false;
}

void TInplaceEdit::UpdateLoc(const TRect& Loc) {
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    SetVisible(!Loc.IsEmpty());
}

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    FUpdatingContents = true;
    try {
        SetMaxLength(FGrid->GetEditLimit());
        SetFont(FGrid->GetFont());
        SetColor(FGrid->GetColor());
        SetText(FGrid->GetEditText(FGrid->GetCol(), FGrid->GetRow()));
    } catch (...) {
        FUpdatingContents = false;
        throw;
    }
    FUpdatingContents = false;
    SelectAll();
}

void TInplaceEdit::ShowText(const std::string& Value) {
    FUpdatingContents = true;
    try {
        SetText(Value);
    } catch (...) {
        FUpdatingContents = false;
        throw;
    }
    FUpdatingContents = false;
}

void TInplaceEdit::Change() {
    TCustomEdit::Change();
    if (FGrid && !FUpdatingContents) FGrid->UpdateText();
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::WMGetDlgCode(Message);
    if (FGrid && FGrid->GetOptions().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    int len = int(Utf8ToU32(GetText()).size());
    int start = GetSelStart(), sel = GetSelLength();
    bool wholeOrNone = sel == 0 || sel == len;
    bool leftSide = start == 0 && wholeOrNone;
    bool rightSide = (start == len || (start == 0 && sel == len)) && wholeOrNone;
    bool toGrid = false;
    switch (Key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_ESCAPE: toGrid = true; break;
    case VK_LEFT: toGrid = leftSide && !Shift.Contains(ssShift); break;
    case VK_RIGHT: toGrid = rightSide && !Shift.Contains(ssShift); break;
    case VK_HOME: case VK_END: toGrid = Shift.Contains(ssCtrl); break;
    case VK_TAB: toGrid = FGrid && FGrid->GetOptions().Contains(goTabs) && !Shift.Contains(ssAlt); break;
    default: break;
    }
    if (toGrid && FGrid) {
        FGrid->KeyDown(Key, Shift);
        Key = 0;
        return;
    }
    TCustomEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    if (FGrid) {
        FGrid->KeyPress(Key);
        if (Key >= 32 && !FGrid->CanEditAcceptKey(Key)) Key = 0;
        switch (Key) {
        case 9: case 27: case 13: Key = 0; break;
        case 8: case 22: case 24: break;
        default: break;
        }
        if ((Key == 8 || Key == 22 || Key == 24 || Key >= 32) && !FGrid->CanEditModify()) Key = 0;
    }
    if (Key) TCustomEdit::KeyPress(Key);
}

// ---------------------------------------------------------------------------
// TCustomGrid

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = {csCaptureMouse, csOpaque, csDoubleClicks};
    FWidth = 320;
    FHeight = 120;
    FColor = clWindow;
    FParentColor = false;
    FTabStop = true;
    FColWidths.assign(5, FDefaultColWidth);
    FRowHeights.assign(5, FDefaultRowHeight);
}

TCustomGrid::~TCustomGrid() {
    if (FHScroll) QObject::disconnect(FHScroll, nullptr, nullptr, nullptr);
    if (FVScroll) QObject::disconnect(FVScroll, nullptr, nullptr, nullptr);
}

// ---- Shape -----------------------------------------------------------------------

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    int oldCols = GetColCount(), oldRows = GetRowCount();
    if (NewColCount == oldCols && NewRowCount == oldRows) return;
    if (EditorShowing()) HideEdit();
    FColWidths.resize(size_t(NewColCount), FDefaultColWidth);
    FRowHeights.resize(size_t(NewRowCount), FDefaultRowHeight);
    auto clampCoord = [&](TGridCoord& c) {
        c.X = std::clamp(c.X, FFixedCols, NewColCount - 1);
        c.Y = std::clamp(c.Y, FFixedRows, NewRowCount - 1);
    };
    clampCoord(FCurrent);
    clampCoord(FAnchor);
    SizeChanged(oldCols, oldRows);
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollBars();
    Invalidate();
    if (FEditorMode) UpdateEdit();
}

void TCustomGrid::SetColCount(int Value) {
    if (Value < 1) Value = 1;
    if (Value <= FFixedCols) SetFixedCols(Value - 1);
    ChangeSize(Value, GetRowCount());
}

void TCustomGrid::SetRowCount(int Value) {
    if (Value < 1) Value = 1;
    if (Value <= FFixedRows) SetFixedRows(Value - 1);
    ChangeSize(GetColCount(), Value);
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0) throw EGridError("Fixed column count must be at least 0 (" + std::to_string(Value) + ")");
    if (Value >= GetColCount()) throw EGridError("Fixed column count must be less than column count");
    FFixedCols = Value;
    FCurrent.X = std::max(FCurrent.X, Value);
    FAnchor.X = std::max(FAnchor.X, Value);
    FTopLeft.X = std::max(FTopLeft.X, Value);
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0) throw EGridError("Fixed row count must be at least 0 (" + std::to_string(Value) + ")");
    if (Value >= GetRowCount()) throw EGridError("Fixed row count must be less than row count");
    FFixedRows = Value;
    FCurrent.Y = std::max(FCurrent.Y, Value);
    FAnchor.Y = std::max(FAnchor.Y, Value);
    FTopLeft.Y = std::max(FTopLeft.Y, Value);
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = std::max(Value, 0);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = std::max(Value, 0);
    std::fill(FRowHeights.begin(), FRowHeights.end(), FDefaultRowHeight);
    RowHeightsChanged();
}

int TCustomGrid::GetColWidths(int Index) const {
    if (Index < 0 || Index >= GetColCount()) return FDefaultColWidth;
    return FColWidths[size_t(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= GetColCount())
        throw EGridError("Grid index out of range (" + std::to_string(Index) + ")");
    Value = std::max(Value, 0);
    if (FColWidths[size_t(Index)] == Value) return;
    FColWidths[size_t(Index)] = Value;
    ColWidthsChanged();
}

int TCustomGrid::GetRowHeights(int Index) const {
    if (Index < 0 || Index >= GetRowCount()) return FDefaultRowHeight;
    return FRowHeights[size_t(Index)];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= GetRowCount())
        throw EGridError("Grid index out of range (" + std::to_string(Index) + ")");
    Value = std::max(Value, 0);
    if (FRowHeights[size_t(Index)] == Value) return;
    FRowHeights[size_t(Index)] = Value;
    RowHeightsChanged();
}

void TCustomGrid::ColWidthsChanged() {
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollBars();
    if (EditorShowing()) UpdateEdit();
    Invalidate();
}

void TCustomGrid::RowHeightsChanged() { ColWidthsChanged(); }

void TCustomGrid::SetGridLineWidth(int Value) {
    FGridLineWidth = std::max(Value, 0);
    ColWidthsChanged();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value == FOptions) return;
    FOptions = Value;
    if (!FOptions.Contains(goEditing) && FEditorMode) HideEditor();
    if (FOptions.Contains(goRowSelect)) FAnchor.X = GetColCount() - 1;
    if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) FEditorMode = true;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    LayoutWidgets();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (auto* f = qobject_cast<QFrame*>(WidgetIfAllocated()))
        f->setFrameStyle(Value == bsSingle ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    LayoutWidgets();
}

int TCustomGrid::GridWidth() const {
    int w = 0;
    for (int i = 0; i < GetColCount(); ++i) w += FColWidths[size_t(i)] + FGridLineWidth;
    return w;
}

int TCustomGrid::GridHeight() const {
    int h = 0;
    for (int i = 0; i < GetRowCount(); ++i) h += FRowHeights[size_t(i)] + FGridLineWidth;
    return h;
}

// ---- Geometry ----------------------------------------------------------------------

void TCustomGrid::ScrollBarsShown(bool& Horizontal, bool& Vertical) const {
    int b = BorderSize();
    int w0 = FWidth - 2 * b, h0 = FHeight - 2 * b;
    bool allowH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    bool allowV = FScrollBars == ssVertical || FScrollBars == ssBoth;
    Horizontal = Vertical = false;
    for (int pass = 0; pass < 2; ++pass) {
        Vertical = allowV && GridHeight() > h0 - (Horizontal ? kScrollBarSize : 0);
        Horizontal = allowH && GridWidth() > w0 - (Vertical ? kScrollBarSize : 0);
    }
}

TRect TCustomGrid::GetClientRect() const {
    bool h = false, v = false;
    ScrollBarsShown(h, v);
    int b = BorderSize();
    return Rect(0, 0, std::max(FWidth - 2 * b - (v ? kScrollBarSize : 0), 0),
                std::max(FHeight - 2 * b - (h ? kScrollBarSize : 0), 0));
}

#define GRID_COLS Axis{FColWidths, FFixedCols, FTopLeft.X, GetClientRect().Width(), FGridLineWidth}
#define GRID_ROWS Axis{FRowHeights, FFixedRows, FTopLeft.Y, GetClientRect().Height(), FGridLineWidth}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    int x = GRID_COLS.Pos(ACol), y = GRID_ROWS.Pos(ARow);
    if (x < 0 || y < 0) return TRect{};
    return Rect(x, y, x + FColWidths[size_t(ACol)], y + FRowHeights[size_t(ARow)]);
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    ACol = GRID_COLS.IndexAt(X);
    ARow = GRID_ROWS.IndexAt(Y);
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridCoord c;
    MouseToCell(X, Y, c.X, c.Y);
    return c;
}

int TCustomGrid::VisibleColCount() const { return std::max(GRID_COLS.LastFull() - FTopLeft.X + 1, 0); }
int TCustomGrid::VisibleRowCount() const { return std::max(GRID_ROWS.LastFull() - FTopLeft.Y + 1, 0); }
int TCustomGrid::MaxLeftCol() const { return GRID_COLS.MaxFirst(); }
int TCustomGrid::MaxTopRow() const { return GRID_ROWS.MaxFirst(); }

// ---- Current cell and scrolling ----------------------------------------------------------

TGridRect TCustomGrid::GetSelection() const {
    TGridRect r;
    r.Left = std::min(FAnchor.X, FCurrent.X);
    r.Right = std::max(FAnchor.X, FCurrent.X);
    r.Top = std::min(FAnchor.Y, FCurrent.Y);
    r.Bottom = std::max(FAnchor.Y, FCurrent.Y);
    if (FOptions.Contains(goRowSelect)) {
        r.Left = FFixedCols;
        r.Right = GetColCount() - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
    auto inRange = [&](int c, int r) {
        return c >= FFixedCols && c < GetColCount() && r >= FFixedRows && r < GetRowCount();
    };
    if (!inRange(Value.Left, Value.Top) || !inRange(Value.Right, Value.Bottom)) return;
    FAnchor = TGridCoord{Value.Left, Value.Top};
    MoveCurrent(Value.Right, Value.Bottom, false, true);
}

void TCustomGrid::SetCol(int Value) {
    if (Value != FCurrent.X) FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
    if (Value != FCurrent.Y) FocusCell(FCurrent.X, Value, true);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) { MoveCurrent(ACol, ARow, MoveAnchor, true); }

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= GetColCount() || ARow >= GetRowCount())
        throw EGridError("Grid index out of range (" + std::to_string(ACol) + ", " + std::to_string(ARow) + ")");
    if (FInMoveCurrent || !SelectCell(ACol, ARow)) return;
    FInMoveCurrent = true;
    try {
        bool changed = ACol != FCurrent.X || ARow != FCurrent.Y;
        if (changed && EditorShowing()) UpdateText();
        FCurrent = TGridCoord{ACol, ARow};
        if (MoveAnchor || !FOptions.Contains(goRangeSelect)) FAnchor = FCurrent;
        if (FOptions.Contains(goRowSelect)) FAnchor.X = GetColCount() - 1;
        if (Show) ClampInView(ACol, ARow);
        Invalidate();
        if (FEditorMode) UpdateEdit();
        if (changed) Click();
    } catch (...) {
        FInMoveCurrent = false;
        throw;
    }
    FInMoveCurrent = false;
}

void TCustomGrid::ClampInView(int ACol, int ARow) {
    int left = FTopLeft.X, top = FTopLeft.Y;
    if (ACol >= FFixedCols) {
        if (ACol < left) left = ACol;
        else {
            Axis cols = GRID_COLS;
            cols.First = left;
            while (left < ACol && cols.LastFull() < ACol) cols.First = ++left;
        }
    }
    if (ARow >= FFixedRows) {
        if (ARow < top) top = ARow;
        else {
            Axis rows = GRID_ROWS;
            rows.First = top;
            while (top < ARow && rows.LastFull() < ARow) rows.First = ++top;
        }
    }
    SetTopLeft(left, top);
}

void TCustomGrid::SetTopLeft(int ALeftCol, int ATopRow) {
    int left = std::clamp(ALeftCol, FFixedCols, std::max(MaxLeftCol(), FFixedCols));
    int top = std::clamp(ATopRow, FFixedRows, std::max(MaxTopRow(), FFixedRows));
    if (left == FTopLeft.X && top == FTopLeft.Y) return;
    FTopLeft = TGridCoord{left, top};
    UpdateScrollBars();
    Invalidate();
    TopLeftChanged();
}

void TCustomGrid::SetTopRow(int Value) { SetTopLeft(FTopLeft.X, Value); }
void TCustomGrid::SetLeftCol(int Value) { SetTopLeft(Value, FTopLeft.Y); }

void TCustomGrid::TopLeftChanged() {
    if (EditorShowing()) FInplaceEdit->UpdateLoc(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::InvalidateCell(int, int) { Invalidate(); }

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= GetColCount() || ToIndex >= GetColCount())
        throw EGridError("Grid index out of range (" + std::to_string(FromIndex) + ")");
    if (EditorShowing()) HideEdit();
    int w = FColWidths[size_t(FromIndex)];
    FColWidths.erase(FColWidths.begin() + FromIndex);
    FColWidths.insert(FColWidths.begin() + ToIndex, w);
    ColumnMoved(FromIndex, ToIndex);
    Invalidate();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= GetRowCount() || ToIndex >= GetRowCount())
        throw EGridError("Grid index out of range (" + std::to_string(FromIndex) + ")");
    if (EditorShowing()) HideEdit();
    int h = FRowHeights[size_t(FromIndex)];
    FRowHeights.erase(FRowHeights.begin() + FromIndex);
    FRowHeights.insert(FRowHeights.begin() + ToIndex, h);
    RowMoved(FromIndex, ToIndex);
    Invalidate();
}

void TCustomGrid::Loaded() {
    TCustomControl::Loaded();
    if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) FEditorMode = true;
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollBars();
}

void TCustomGrid::DefineProperties(TFiler* Filer) {
    TCustomControl::DefineProperties(Filer);
    auto reader = [this](bool Columns) {
        return [this, Columns](TReader* Reader) {
            const TFormValue& v = Reader->Value();
            if (v.kind != TFormValue::vkList) throw EReadError("List of sizes expected");
            int n = Columns ? GetColCount() : GetRowCount();
            for (int i = 0; i < int(v.Items.size()) && i < n; ++i) {
                if (v.Items[size_t(i)].kind != TFormValue::vkInteger) throw EReadError("Size expected");
                int size = int(v.Items[size_t(i)].Int);
                if (Columns) SetColWidths(i, size);
                else SetRowHeights(i, size);
            }
        };
    };
    auto differs = [](const std::vector<int>& sizes, int def) {
        return std::any_of(sizes.begin(), sizes.end(), [def](int s) { return s != def; });
    };
    Filer->DefineProperty("ColWidths", reader(true), nullptr, differs(FColWidths, FDefaultColWidth));
    Filer->DefineProperty("RowHeights", reader(false), nullptr, differs(FRowHeights, FDefaultRowHeight));
}

// ---- Editing ----------------------------------------------------------------------------

bool TCustomGrid::EditorShowing() const { return FInplaceEdit && FInplaceEdit->GetVisible() && FInplaceCol >= 0; }

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value) ShowEditor();
    else HideEditor();
}

void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    FEditorMode = false;
    HideEdit();
}

bool TCustomGrid::CanEditShow() {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FEditorMode &&
           !ComponentState.Contains(csDesigning) && FCurrent.X >= FFixedCols && FCurrent.Y >= FFixedRows;
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::UpdateEdit() {
    if (!CanEditShow()) {
        HideEdit();
        return;
    }
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->FGrid = this;
        FInplaceEdit->SetParent(this);
    }
    bool moved = FInplaceCol != FCurrent.X || FInplaceRow != FCurrent.Y;
    if (!moved && FInplaceEdit->GetVisible()) return;
    if (moved && EditorShowing()) UpdateText();
    FInplaceCol = -1;  // the text about to be loaded is not an edit
    FInplaceEdit->UpdateContents();
    FInplaceCol = FCurrent.X;
    FInplaceRow = FCurrent.Y;
    FInplaceEdit->UpdateLoc(CellRect(FCurrent.X, FCurrent.Y));
    if (Focused() && FInplaceEdit->CanFocus()) FInplaceEdit->SetFocus();
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FInplaceCol >= 0 && FInplaceRow >= 0)
        SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->GetText());
}

void TCustomGrid::HideEdit() {
    if (!FInplaceEdit) return;
    if (FInplaceCol >= 0) UpdateText();
    bool hadFocus = FInplaceEdit->Focused();
    FInplaceCol = FInplaceRow = -1;
    FInplaceEdit->SetVisible(false);
    if (hadFocus && CanFocus()) SetFocus();
}

void TCustomGrid::ShowEditorChar(char32_t Ch) {
    ShowEditor();
    if (EditorShowing()) FInplaceEdit->Perform(WM_CHAR, WPARAM(Ch), 0);
}

// ---- Input --------------------------------------------------------------------------------

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
    if (FOptions.Contains(goRowSelect)) return;
    if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
    if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::WMChar(TWMKey& Message) {
    char32_t ch = char32_t(Message.M.WParam);
    // A typed character opens the editor and goes to it.
    if (FOptions.Contains(goEditing) && (ch == 8 || ch >= 32) && !EditorShowing()) {
        ShowEditorChar(ch);
        return;
    }
    TCustomControl::WMChar(Message);
}

void TCustomGrid::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 13 && FOptions.Contains(goEditing) && !FOptions.Contains(goAlwaysShowEditor)) {
        if (FEditorMode) HideEditor();
        else ShowEditor();
        Key = 0;
    }
}

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    bool ctrl = Shift.Contains(ssCtrl);
    bool extend = Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect) && !FOptions.Contains(goRowSelect);
    int cols = GetColCount(), rows = GetRowCount();
    int c = FCurrent.X, r = FCurrent.Y;
    int page = std::max(VisibleRowCount(), 1);
    bool rowSelect = FOptions.Contains(goRowSelect);
    switch (Key) {
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    case VK_LEFT:
        if (rowSelect) { SetLeftCol(FTopLeft.X - 1); return; }
        --c;
        break;
    case VK_RIGHT:
        if (rowSelect) { SetLeftCol(FTopLeft.X + 1); return; }
        ++c;
        break;
    case VK_PRIOR:
        r -= page;
        SetTopRow(FTopLeft.Y - page);
        break;
    case VK_NEXT:
        r += page;
        SetTopRow(FTopLeft.Y + page);
        break;
    case VK_HOME:
        if (ctrl) r = FFixedRows;
        c = FFixedCols;
        break;
    case VK_END:
        if (ctrl) r = rows - 1;
        c = cols - 1;
        break;
    case VK_TAB:
        if (!FOptions.Contains(goTabs) || Shift.Contains(ssAlt)) return;
        extend = false;
        if (Shift.Contains(ssShift)) {
            if (c > FFixedCols) --c;
            else if (r > FFixedRows) { --r; c = cols - 1; }
        } else {
            if (c < cols - 1) ++c;
            else if (r < rows - 1) { ++r; c = FFixedCols; }
        }
        break;
    case VK_F2: ShowEditor(); return;
    default: return;
    }
    c = std::clamp(c, FFixedCols, cols - 1);
    r = std::clamp(r, FFixedRows, rows - 1);
    if (c != FCurrent.X || r != FCurrent.Y) FocusCell(c, r, !extend);
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !Focused() && CanFocus() && (!FInplaceEdit || !FInplaceEdit->Focused())) SetFocus();
    if (Button == mbLeft) {
        Axis cols = GRID_COLS, rows = GRID_ROWS;
        int c = cols.IndexAt(X), r = rows.IndexAt(Y);
        // Sizing: the mouse on a line between two cells of the fixed header.
        auto nearLine = [](const Axis& a, int p, int& index, int& start) {
            for (int i = 0; i < a.Count(); ++i) {
                int pos = a.Pos(i);
                if (pos < 0) continue;
                int end = pos + a.Sizes[size_t(i)];
                if (p >= end - 2 && p <= end + a.Line + 1) {
                    index = i;
                    start = pos;
                    return true;
                }
            }
            return false;
        };
        if (FOptions.Contains(goColSizing) && r >= 0 && r < FFixedRows && nearLine(cols, X, FSizingIndex, FSizingStart)) {
            FGridState = gsColSizing;
            FSizingPos = X;
        } else if (FOptions.Contains(goRowSizing) && c >= 0 && c < FFixedCols &&
                   nearLine(rows, Y, FSizingIndex, FSizingStart)) {
            FGridState = gsRowSizing;
            FSizingPos = Y;
        } else if (FOptions.Contains(goColMoving) && r >= 0 && r < FFixedRows && c >= FFixedCols) {
            FGridState = gsColMoving;
            FMoveIndex = FMovePos = c;
        } else if (FOptions.Contains(goRowMoving) && c >= 0 && c < FFixedCols && r >= FFixedRows) {
            FGridState = gsRowMoving;
            FMoveIndex = FMovePos = r;
        } else if (c >= FFixedCols && r >= FFixedRows) {
            if (FOptions.Contains(goEditing) && c == FCurrent.X && r == FCurrent.Y && !(Shift.Contains(ssDouble))) {
                ShowEditor();
            } else {
                bool extend = Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
                FocusCell(c, r, !extend);
                FGridState = gsSelecting;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    switch (FGridState) {
    case gsSelecting: {
        int c = -1, r = -1;
        MouseToCell(X, Y, c, r);
        if (c >= FFixedCols && r >= FFixedRows && FOptions.Contains(goRangeSelect) &&
            (c != FCurrent.X || r != FCurrent.Y))
            MoveCurrent(c, r, false, true);
        break;
    }
    case gsColSizing: FSizingPos = X; SetColWidths(FSizingIndex, std::max(X - FSizingStart, 0)); break;
    case gsRowSizing: FSizingPos = Y; SetRowHeights(FSizingIndex, std::max(Y - FSizingStart, 0)); break;
    case gsColMoving: {
        int c = MouseCoord(X, Y).X;
        if (c >= FFixedCols) FMovePos = c;
        break;
    }
    case gsRowMoving: {
        int r = MouseCoord(X, Y).Y;
        if (r >= FFixedRows) FMovePos = r;
        break;
    }
    default: break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGridState state = FGridState;
    FGridState = gsNormal;
    if (state == gsColMoving && FMovePos >= 0 && FMovePos != FMoveIndex) MoveColumn(FMoveIndex, FMovePos);
    if (state == gsRowMoving && FMovePos >= 0 && FMovePos != FMoveIndex) MoveRow(FMoveIndex, FMovePos);
    FMoveIndex = FMovePos = -1;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
}

void TCustomGrid::WMVScroll(TWMScroll& Message) {
    int top = FTopLeft.Y, page = std::max(VisibleRowCount(), 1);
    switch (Message.ScrollCode()) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_THUMBPOSITION: top = Message.Pos(); break;
    case SB_THUMBTRACK:
        if (!FOptions.Contains(goThumbTracking)) return;
        top = Message.Pos();
        break;
    case SB_TOP: top = FFixedRows; break;
    case SB_BOTTOM: top = MaxTopRow(); break;
    default: return;
    }
    SetTopRow(top);
}

void TCustomGrid::WMHScroll(TWMScroll& Message) {
    int left = FTopLeft.X, page = std::max(VisibleColCount(), 1);
    switch (Message.ScrollCode()) {
    case SB_LINELEFT: --left; break;
    case SB_LINERIGHT: ++left; break;
    case SB_PAGELEFT: left -= page; break;
    case SB_PAGERIGHT: left += page; break;
    case SB_THUMBPOSITION: left = Message.Pos(); break;
    case SB_THUMBTRACK:
        if (!FOptions.Contains(goThumbTracking)) return;
        left = Message.Pos();
        break;
    case SB_LEFT: left = FFixedCols; break;
    case SB_RIGHT: left = MaxLeftCol(); break;
    default: return;
    }
    SetLeftCol(left);
}

void TCustomGrid::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_VSCROLL: { TWMScroll m(Message); WMVScroll(m); break; }
    case WM_HSCROLL: { TWMScroll m(Message); WMHScroll(m); break; }
    default: TCustomControl::Dispatch(Message); break;
    }
}

// ---- Widgets -----------------------------------------------------------------------------

QWidget* TCustomGrid::CreateWidget(QWidget* ParentWidget) {
    auto* frame = new QFrame(ParentWidget);
    frame->setFrameStyle(FBorderStyle == bsSingle ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    frame->setLineWidth(2);
    frame->setFocusPolicy(Qt::NoFocus);
    FViewport = new QWidget(frame);
    FViewport->setFocusPolicy(Qt::StrongFocus);
    FViewport->setMouseTracking(true);
    frame->setFocusProxy(FViewport);
    FHScroll = new QScrollBar(Qt::Horizontal, frame);
    FVScroll = new QScrollBar(Qt::Vertical, frame);
    FHScroll->setFocusPolicy(Qt::NoFocus);
    FVScroll->setFocusPolicy(Qt::NoFocus);
    for (bool vertical : {false, true}) {
        QScrollBar* sb = vertical ? FVScroll : FHScroll;
        QObject::connect(sb, &QScrollBar::actionTriggered, sb, [this, vertical](int action) {
            GuardedCall(this, [this, vertical, action] { ScrollBarAction(vertical, action); });
        });
        QObject::connect(sb, &QScrollBar::sliderReleased, sb, [this, vertical] {
            GuardedCall(this, [this, vertical] {
                QScrollBar* s = vertical ? FVScroll : FHScroll;
                if (s) Perform(vertical ? WM_VSCROLL : WM_HSCROLL, WPARAM(SB_THUMBPOSITION | (unsigned(s->value()) << 16)), 0);
                UpdateScrollBars();
            });
        });
    }
    return frame;
}

void TCustomGrid::ScrollBarAction(bool Vertical, int Action) {
    QScrollBar* sb = Vertical ? FVScroll : FHScroll;
    if (!sb || FScrollSyncing) return;
    unsigned code;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
    }
    int pos = sb->sliderPosition();
    Perform(Vertical ? WM_VSCROLL : WM_HSCROLL, WPARAM(code | (unsigned(pos) << 16)), 0);
    // The bar shows where the grid is, not where the action would have put it.
    if (code != SB_THUMBTRACK && (sb = Vertical ? FVScroll : FHScroll))
        sb->setSliderPosition(Vertical ? FTopLeft.Y : FTopLeft.X);
}

QWidget* TCustomGrid::ClientWidget() {
    if (!WidgetIfAllocated()) HandleNeeded();
    return FViewport ? FViewport : WidgetIfAllocated();
}

void TCustomGrid::UpdateWidget() {
    TCustomControl::UpdateWidget();
    LayoutWidgets();
}

void TCustomGrid::DestroyWnd() {
    if (FHScroll) QObject::disconnect(FHScroll, nullptr, nullptr, nullptr);
    if (FVScroll) QObject::disconnect(FVScroll, nullptr, nullptr, nullptr);
    FViewport = nullptr;
    FHScroll = FVScroll = nullptr;
    TCustomControl::DestroyWnd();
}

void TCustomGrid::UpdateWidgetColor() { ApplyWidgetColors(FViewport, FColor, FFont->GetColor(), false); }

void TCustomGrid::BoundsChanged(bool SizeChanged) {
    TCustomControl::BoundsChanged(SizeChanged);
    if (SizeChanged) {
        SetTopLeft(FTopLeft.X, FTopLeft.Y);
        LayoutWidgets();
    }
}

void TCustomGrid::LayoutWidgets() {
    if (!FViewport || !FHScroll || !FVScroll) return;
    bool h = false, v = false;
    ScrollBarsShown(h, v);
    int b = BorderSize();
    TRect cr = GetClientRect();
    FViewport->setGeometry(b, b, cr.Width(), cr.Height());
    FVScroll->setGeometry(b + cr.Width(), b, kScrollBarSize, cr.Height());
    FHScroll->setGeometry(b, b + cr.Height(), cr.Width(), kScrollBarSize);
    FVScroll->setVisible(v);
    FHScroll->setVisible(h);
    UpdateScrollBars();
}

void TCustomGrid::UpdateScrollBars() {
    if (!FHScroll || !FVScroll) return;
    FScrollSyncing = true;
    FVScroll->setRange(FFixedRows, std::max(MaxTopRow(), FFixedRows));
    FVScroll->setPageStep(std::max(VisibleRowCount(), 1));
    FVScroll->setValue(FTopLeft.Y);
    FHScroll->setRange(FFixedCols, std::max(MaxLeftCol(), FFixedCols));
    FHScroll->setPageStep(std::max(VisibleColCount(), 1));
    FHScroll->setValue(FTopLeft.X);
    FScrollSyncing = false;
}

// ---- Painting -----------------------------------------------------------------------------

void TCustomGrid::Paint() {
    TCanvas* c = GetCanvas();
    TRect client = GetClientRect();
    Axis cols = GRID_COLS, rows = GRID_ROWS;
    TGridRect sel = GetSelection();
    bool focused = Focused() || (FInplaceEdit && FInplaceEdit->Focused());
    TColor normalLine = ColorToRGB(FColor) == ColorToRGB(clSilver) ? clGray : clSilver;
    int gridRight = 0, gridBottom = 0;

    auto visible = [](const Axis& a, std::vector<int>& out) {
        for (int i = 0; i < a.Count(); ++i)
            if (a.Pos(i) >= 0) out.push_back(i);
    };
    std::vector<int> vc, vr;
    visible(cols, vc);
    visible(rows, vr);

    for (int r : vr) {
        int y = rows.Pos(r);
        int h = FRowHeights[size_t(r)];
        for (int col : vc) {
            int x = cols.Pos(col);
            int w = FColWidths[size_t(col)];
            TRect rect = Rect(x, y, x + w, y + h);
            gridRight = std::max(gridRight, x + w + FGridLineWidth);
            gridBottom = std::max(gridBottom, y + h + FGridLineWidth);
            bool fixed = IsFixedCell(col, r);
            TGridDrawState state;
            if (fixed) state += gdFixed;
            else {
                if (focused && col == FCurrent.X && r == FCurrent.Y) state += gdFocused;
                if (sel.Contains(col, r)) state += gdSelected;
            }
            // Grid lines right of and below the cell.
            bool vert = fixed ? FOptions.Contains(goFixedVertLine) : FOptions.Contains(goVertLine);
            bool horz = fixed ? FOptions.Contains(goFixedHorzLine) : FOptions.Contains(goHorzLine);
            if (FGridLineWidth > 0) {
                TColor line = fixed ? clBlack : normalLine;
                c->GetBrush()->SetStyle(bsSolid);
                c->GetBrush()->SetColor(vert ? line : FColor);
                c->FillRect(Rect(x + w, y, x + w + FGridLineWidth, y + h + FGridLineWidth));
                c->GetBrush()->SetColor(horz ? line : FColor);
                c->FillRect(Rect(x, y + h, x + w + FGridLineWidth, y + h + FGridLineWidth));
            }
            c->SetFont(GetFont());
            c->GetBrush()->SetStyle(bsSolid);
            bool highlight = state.Contains(gdSelected) &&
                             (!state.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
                              FOptions.Contains(goRowSelect));
            if (fixed) c->GetBrush()->SetColor(FFixedColor);
            else if (highlight) {
                c->GetBrush()->SetColor(clHighlight);
                c->GetFont()->SetColor(clHighlightText);
            } else c->GetBrush()->SetColor(FColor);
            if (DefaultDrawing) c->FillRect(rect);
            DrawCell(col, r, rect, state);
            if (DefaultDrawing && fixed && FOptions.Contains(goFixedVertLine) && FOptions.Contains(goFixedHorzLine)) {
                TRect edge = rect;
                c->DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
            }
            if (DefaultDrawing && state.Contains(gdFocused) && !FOptions.Contains(goRowSelect) && !EditorShowing()) {
                c->GetBrush()->SetColor(FColor);
                c->DrawFocusRect(rect);
            }
        }
    }
    // The client beyond the last cells.
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(FColor);
    if (gridRight < client.Right) c->FillRect(Rect(gridRight, 0, client.Right, client.Bottom));
    if (gridBottom < client.Bottom) c->FillRect(Rect(0, gridBottom, std::min(gridRight, client.Right), client.Bottom));
}

// ---------------------------------------------------------------------------
// TCustomDrawGrid

void TCustomDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomDrawGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

std::string TCustomDrawGrid::GetEditText(int ACol, int ARow) {
    std::string value;
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

std::string TCustomDrawGrid::GetEditMask(int ACol, int ARow) {
    std::string value;
    if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, value);
    return value;
}

void TCustomDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TCustomDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TCustomDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

// ---------------------------------------------------------------------------
// TStringGrid

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {
    FCells.resize(size_t(GetColCount()), std::vector<Cell>(size_t(GetRowCount())));
}

TStringGrid::~TStringGrid() = default;

const TStringGrid::Cell* TStringGrid::FindCell(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || size_t(ACol) >= FCells.size() || size_t(ARow) >= FCells[size_t(ACol)].size())
        return nullptr;
    return &FCells[size_t(ACol)][size_t(ARow)];
}

TStringGrid::Cell& TStringGrid::CellAt(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || ACol >= GetColCount() || ARow >= GetRowCount())
        throw EGridError("Grid index out of range (" + std::to_string(ACol) + ", " + std::to_string(ARow) + ")");
    return FCells[size_t(ACol)][size_t(ARow)];
}

std::string TStringGrid::GetCells(int ACol, int ARow) const {
    const Cell* cell = FindCell(ACol, ARow);
    return cell ? cell->Text : "";
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
    Cell& cell = CellAt(ACol, ARow);
    if (cell.Text == Value) return;
    cell.Text = Value;
    InvalidateCell(ACol, ARow);
    // The editor over this cell shows the new text.
    if (EditorShowing() && FInplaceCol == ACol && FInplaceRow == ARow && FInplaceEdit->GetText() != Value) {
        FInplaceEdit->ShowText(Value);
    }
}

TObject* TStringGrid::GetObjects(int ACol, int ARow) const {
    const Cell* cell = FindCell(ACol, ARow);
    return cell ? cell->Object : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) { CellAt(ACol, ARow).Object = Value; }

void TStringGrid::SizeChanged(int OldColCount, int OldRowCount) {
    FCells.resize(size_t(GetColCount()));
    for (auto& column : FCells) column.resize(size_t(GetRowCount()));
    TDrawGrid::SizeChanged(OldColCount, OldRowCount);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    auto column = std::move(FCells[size_t(FromIndex)]);
    FCells.erase(FCells.begin() + FromIndex);
    FCells.insert(FCells.begin() + ToIndex, std::move(column));
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    for (auto& column : FCells) {
        Cell cell = std::move(column[size_t(FromIndex)]);
        column.erase(column.begin() + FromIndex);
        column.insert(column.begin() + ToIndex, std::move(cell));
    }
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
    std::string value = GetCells(ACol, ARow);
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (DefaultDrawing) GetCanvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, GetCells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}
