// TAlignGrid: the in-place editor and edit protocol, moving to the next cell,
// inserting and exchanging lines, clipboard text and sorting.

#include "AlignGrid.h"

#include "Dialogs.h"
#include "Forms.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------
// TNewInplaceEdit

TNewInplaceEdit::TNewInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {}

void TNewInplaceEdit::SetMyAlignment(TMyAlign Value) {
    if (Value == FMyAlignment) return;
    FMyAlignment = Value;
    SetAlignment(Value == TMyAlign::alRight ? taRightJustify : Value == TMyAlign::alCenter ? taCenter : taLeftJustify);
}

void TNewInplaceEdit::UpdateContents() {
    auto* grid = dynamic_cast<TAlignGrid*>(FGrid);
    if (grid) {
        int c = grid->GetCol(), r = grid->GetRow();
        EditCol = c;
        EditRow = r;
        SetMyAlignment(grid->GetAlignCell(c, r));
        Multiline = grid->EditMultiline;
    }
    TInplaceEdit::UpdateContents();
    if (grid) {
        int c = grid->GetCol(), r = grid->GetRow();
        SetFont(const_cast<TFont*>(grid->GetEffectiveFont(c, r)));
        SetColor(grid->GetColorCell(c, r));
    }
}

// The grid's cell keeps its text until the edit ends.
void TNewInplaceEdit::Change() { TCustomEdit::Change(); }

void TNewInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Multiline) {
        switch (Key) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: TCustomEdit::KeyDown(Key, Shift); return;
        default: break;
        }
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TNewInplaceEdit::KeyPress(char32_t& Key) {
    if (EditCol < 0 || EditRow < 0) {
        Key = 0;
        return;
    }
    auto* grid = dynamic_cast<TAlignGrid*>(FGrid);
    if (Key == 13) {
        if (!Multiline) {
            if (grid) PostMessage(grid, WM_GRID_ENDEDITMOVE, WPARAM(EditCol), LPARAM(EditRow));
        } else if (grid && grid->CanEditModify()) {
            // A new line inside the cell.
            SetSelText("\r\n");
            Key = 0;
            return;
        } else {
            Key = 0;
            return;
        }
    } else if (Key == 27 && !Multiline) {
        ShowText(SavedText);
        if (grid) PostMessage(grid, WM_GRID_CANCELEDIT, WPARAM(EditCol), LPARAM(EditRow));
        Key = 13;
    } else if (Key == 9) {
        Key = 0;
        return;
    }
    TInplaceEdit::KeyPress(Key);
}

// ---------------------------------------------------------------------------
// TAlignGrid: edit protocol

TNewInplaceEdit* TAlignGrid::Editor() const { return static_cast<TNewInplaceEdit*>(FInplaceEdit); }

TInplaceEdit* TAlignGrid::CreateEditor() {
    auto* e = new TNewInplaceEdit(this);
    e->EditCol = e->EditRow = -1;
    return e;
}

bool TAlignGrid::CanEditShow() {
    if (FOptions.Contains(goAlwaysShowEditor) && !FEditorMode) FEditorMode = true;
    bool can = TStringGrid::CanEditShow();
    TNewInplaceEdit* e = Editor();
    if (e && (e->EditCol != FCurrent.X || e->EditRow != FCurrent.Y)) {
        if (e->EditCol >= 0 && e->EditRow >= 0)
            PostMessage(this, WM_GRID_ENDEDIT, WPARAM(e->EditCol), LPARAM(e->EditRow));
        e->EditStarted = false;
    }
    if (!ComponentState.Contains(csDesigning)) can = can && GetEditCell(FCurrent.X, FCurrent.Y);
    if (can && !e) {
        // The editor exists before the edit starts, so it can keep the cell's text.
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetParent(this);
        e = Editor();
    }
    if (can) {
        if (e && !e->EditStarted) {
            e->EditStarted = true;
            Perform(WM_GRID_BEGINEDIT, WPARAM(FCurrent.X), LPARAM(FCurrent.Y));
            e->SavedText = GetCells(FCurrent.X, FCurrent.Y);
        }
        PostMessage(this, WM_GRID_EDITSHOWN);
    } else {
        if (e) e->EditCol = e->EditRow = -1;
        FEditorMode = false;
    }
    return can;
}

void TAlignGrid::UpdateText() {
    // The text goes into the cell only when the edit ends (HideEdit, FinishEdit).
}

void TAlignGrid::HideEdit() {
    TNewInplaceEdit* e = Editor();
    if (e && FInplaceCol >= 0 && FInplaceRow >= 0 && e->GetText() != GetCells(FInplaceCol, FInplaceRow))
        SetEditText(FInplaceCol, FInplaceRow, e->GetText());
    TStringGrid::HideEdit();
}

void TAlignGrid::FinishEdit(int ACol, int ARow, bool Move) {
    FEditing = false;
    TNewInplaceEdit* e = Editor();
    if (e) e->EditStarted = false;
    if (ACol >= 0 && ARow >= 0) {
        if (e && e->GetVisible() && FInplaceCol == ACol && FInplaceRow == ARow && e->GetText() != GetCells(ACol, ARow))
            SetEditText(ACol, ARow, e->GetText());
        bool valid = true;
        if (OnValidateEdit) OnValidateEdit(this, ACol, ARow, valid);
        if (!valid) {
            MoveCurrent(ACol, ARow, true, true);
            ShowEditor();
            FEditing = true;
            return;
        }
        if (OnAfterEdit) OnAfterEdit(this, ACol, ARow);
    }
    if (!Move || !AutoEditNextCell || FEditing || ACol < 0 || ARow < 0) return;
    int c = FCurrent.X, r = FCurrent.Y;
    if (!FindNextEditableCell(c, r)) return;
    if (e) e->EditCol = e->EditRow = -1;
    HideEdit();
    MoveCurrent(c, r, true, true);
    ShowEditor();
    FEditing = true;
}

void TAlignGrid::CancelEditMsg(int ACol, int ARow) {
    FEditing = false;
    if (TNewInplaceEdit* e = Editor()) e->EditStarted = false;
    if (ACol >= 0 && ARow >= 0 && OnCancelEdit) OnCancelEdit(this, ACol, ARow);
}

void TAlignGrid::BeginEditMsg(int ACol, int ARow) {
    if (ACol >= 0 && ARow >= 0 && OnBeforeEdit) OnBeforeEdit(this, ACol, ARow);
    FEditing = true;
}

void TAlignGrid::RestoreEditMsg() {
    ShowEditor();
    if (TNewInplaceEdit* e = Editor(); e && EditorShowing()) {
        if (FSavedSelLength < 0)
            e->SelectAll();
        else {
            e->SetSelStart(FSavedSelStart);
            e->SetSelLength(FSavedSelLength);
        }
    }
}

void TAlignGrid::EndEdit(bool Cancel) {
    FEditing = false;
    TNewInplaceEdit* e = Editor();
    if (!e || !e->GetVisible()) return;
    if (Cancel) {
        e->Perform(WM_CHAR, 27, 0);
        return;
    }
    int c = FCurrent.X, r = FCurrent.Y;
    if (e->GetText() != GetCells(c, r) && FInplaceCol == c && FInplaceRow == r) SetEditText(c, r, e->GetText());
    HideEdit();
    FinishEdit(c, r, false);
}

void TAlignGrid::DoExit() {
    if (FEditorMode && EditorShowing()) {
        TNewInplaceEdit* e = Editor();
        FSavedSelStart = e->GetSelStart();
        FSavedSelLength = e->GetSelLength();
        FInterrupted = true;
        EndEdit(false);
        if (FEditing) {
            // A rejected value keeps the user in the cell.
            if (CanFocus()) SetFocus();
            return;
        }
    }
    TStringGrid::DoExit();
    FEditorMode = false;
}

void TAlignGrid::DoEnter() {
    TStringGrid::DoEnter();
    if (FInterrupted && FOptions.Contains(goAlwaysShowEditor)) PostMessage(this, WM_GRID_RESTOREEDIT);
}

void TAlignGrid::Loaded() {
    TStringGrid::Loaded();
    if (FCellsStored) {
        for (int c = 0; c < GetColCount(); ++c)
            for (int r = 0; r < GetRowCount(); ++r) {
                const std::string* text = nullptr;
                if (size_t(c) < FStoredCells.size() && size_t(r) < FStoredCells[size_t(c)].size())
                    text = &FStoredCells[size_t(c)][size_t(r)];
                SetCells(c, r, text ? *text : std::string());
            }
        if (!ComponentState.Contains(csDesigning)) FStoredCells.clear();
    }
    FInterrupted = FOptions.Contains(goAlwaysShowEditor);
    if (SelectEditText) FSavedSelLength = -1;
    if (FAutoAdjustLastCol) AdjustLastCol();
}

void TAlignGrid::Dispatch(TMessage& Message) {
    int c = int(Message.WParam), r = int(Message.LParam);
    switch (Message.Msg) {
    case WM_GRID_CANCELEDIT: CancelEditMsg(c, r); break;
    case WM_GRID_ENDEDITMOVE: FinishEdit(c, r, true); break;
    case WM_GRID_ENDEDIT: FinishEdit(c, r, false); break;
    case WM_GRID_BEGINEDIT: BeginEditMsg(c, r); break;
    case WM_GRID_RESTOREEDIT: RestoreEditMsg(); break;
    case WM_GRID_EDITSHOWN: break;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE: ClipboardCommand(Message.Msg); break;
    default: TStringGrid::Dispatch(Message); break;
    }
}

// ---- Keyboard and mouse ------------------------------------------------------------------------------

namespace {
T_nextcell Reversed(T_nextcell d) {
    switch (d) {
    case nc_rightdown: return nc_leftup;
    case nc_leftup: return nc_rightdown;
    case nc_downright: return nc_upleft;
    case nc_upleft: return nc_downright;
    case nc_leftdown: return nc_rightup;
    case nc_rightup: return nc_leftdown;
    case nc_downleft: return nc_upright;
    case nc_upright: return nc_downleft;
    }
    return d;
}
}  // namespace

void TAlignGrid::KeyPress(char32_t& Key) {
    if (Key == 13 && EditMultiline) {
        Key = 0;
        return;
    }
    TStringGrid::KeyPress(Key);
}

void TAlignGrid::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_TAB && !Shift.Contains(ssAlt)) {
        T_nextcell dir = Shift.Contains(ssShift) ? Reversed(NextCellTab) : NextCellTab;
        int c = FCurrent.X, r = FCurrent.Y;
        // Every column is a tab stop, so one step finds the cell.
        NextCell(dir, AfterLastCellTab, c, r);
        if (c >= 0 && r >= 0) FocusCell(c, r, true);
        Key = 0;
        return;
    }
    if (Key == VK_INSERT && Shift.Contains(ssShift)) {
        Perform(WM_PASTE, 0, 0);
        Key = 0;
        return;
    }
    if (Key == VK_INSERT && Shift.Contains(ssCtrl)) {
        Perform(WM_COPY, 0, 0);
        Key = 0;
        return;
    }
    if (Key == VK_DELETE && Shift.Contains(ssShift)) {
        Perform(WM_CUT, 0, 0);
        Key = 0;
        return;
    }
    TStringGrid::KeyDown(Key, Shift);
}

void TAlignGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !(X < 0 && Y < 0)) {
        int c = -1, r = -1;
        MouseToCell(X, Y, c, r);
        if (c >= 0 && r >= 0) {
            if (c < FFixedCols) {
                if (OnFixedRowClick) OnFixedRowClick(this, r);
            } else if (r < FFixedRows) {
                if (OnFixedColClick) OnFixedColClick(this, c);
            }
        }
        if (TNewInplaceEdit* e = Editor()) e->LastLeftPress = GetTickCount();
    }
    TStringGrid::MouseDown(Button, Shift, X, Y);
}

void TAlignGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TStringGrid::MouseUp(Button, Shift, X, Y);
    if (FAutoAdjustLastCol) AdjustLastCol();
}

// ---- Next cell ---------------------------------------------------------------------------------------------

void TAlignGrid::NextCell(T_nextcell Direction, T_lastcell AfterLast, int& ACol, int& ARow) {
    const int C = GetColCount(), R = GetRowCount(), FC = FFixedCols, FR = FFixedRows;
    int c = ACol, r = ARow;
    bool none = false;
    switch (Direction) {
    case nc_rightdown:
        if (++c >= C) {
            c = FC;
            ++r;
        }
        none = r >= R;
        break;
    case nc_downright:
        if (++r >= R) {
            r = FR;
            ++c;
        }
        none = c >= C;
        break;
    case nc_leftdown:
        if (--c < FC) {
            c = C - 1;
            ++r;
        }
        none = r >= R;
        break;
    case nc_downleft:
        if (++r >= R) {
            r = FR;
            --c;
        }
        none = c < FC;
        break;
    case nc_leftup:
        if (--c < FC) {
            c = C - 1;
            --r;
        }
        none = r < FR;
        break;
    case nc_upleft:
        if (--r < FR) {
            r = R - 1;
            --c;
        }
        none = c < FC;
        break;
    case nc_rightup:
        if (++c >= C) {
            c = FC;
            --r;
        }
        none = r < FR;
        break;
    case nc_upright:
        if (--r < FR) {
            r = R - 1;
            ++c;
        }
        none = c >= C;
        break;
    }
    if (!none) {
        ACol = c;
        ARow = r;
        return;
    }
    ACol = ARow = -1;
    switch (AfterLast) {
    case lc_stop: return;
    case lc_exit:
        if (TForm* f = GetParentForm(this)) f->SelectNext(this, true, true);
        return;
    case lc_first:
        switch (Direction) {
        case nc_rightdown:
        case nc_downright:
            ACol = FC;
            ARow = FR;
            break;
        case nc_leftdown:
        case nc_downleft:
            ACol = C - 1;
            ARow = FR;
            break;
        case nc_leftup:
        case nc_upleft:
            ACol = C - 1;
            ARow = R - 1;
            break;
        case nc_rightup:
        case nc_upright:
            ACol = FC;
            ARow = R - 1;
            break;
        }
        return;
    case lc_newcolrow:
        switch (Direction) {
        case nc_rightdown:
            InsertRow(R);
            ACol = FC;
            ARow = GetRowCount() - 1;
            break;
        case nc_downright:
            InsertColumn(C);
            ACol = GetColCount() - 1;
            ARow = FR;
            break;
        case nc_leftdown:
            InsertRow(R);
            ACol = GetColCount() - 1;
            ARow = GetRowCount() - 1;
            break;
        case nc_downleft:
            InsertColumn(FC);
            ACol = FC;
            ARow = FR;
            break;
        case nc_leftup:
            InsertRow(FR);
            ACol = GetColCount() - 1;
            ARow = FR;
            break;
        case nc_upleft:
            InsertColumn(FC);
            ACol = FC;
            ARow = GetRowCount() - 1;
            break;
        case nc_rightup:
            InsertRow(FR);
            ACol = FC;
            ARow = FR;
            break;
        case nc_upright:
            InsertColumn(C);
            ACol = GetColCount() - 1;
            ARow = GetRowCount() - 1;
            break;
        }
        return;
    }
}

bool TAlignGrid::FindNextEditableCell(int& ACol, int& ARow) {
    const int startC = ACol, startR = ARow, cols = GetColCount(), rows = GetRowCount();
    int c = ACol, r = ARow;
    for (;;) {
        NextCell(NextCellEdit, AfterLastCellEdit, c, r);
        if (c < 0 || r < 0) return false;
        if (cols != GetColCount() || rows != GetRowCount() || GetEditCell(c, r)) break;
        if (c == startC && r == startR) return false;
    }
    ACol = c;
    ARow = r;
    return true;
}

// ---- Inserting and exchanging lines ---------------------------------------------------------------------------

namespace {
template <typename T>
void InsertAt(std::vector<T>& List, int Index) {
    if (Index >= 0 && size_t(Index) < List.size()) List.insert(List.begin() + Index, T{});
}
template <typename T>
void SwapAt(std::vector<T>& List, int A, int B) {
    size_t need = size_t(std::max(A, B)) + 1;
    if (List.size() < need) {
        if (size_t(std::min(A, B)) >= List.size()) return;  // neither place holds anything
        List.resize(need);
    }
    std::swap(List[size_t(A)], List[size_t(B)]);
}
template <typename T>
void MoveAt(std::vector<T>& List, int From, int To) {
    size_t need = size_t(std::max(From, To)) + 1;
    if (size_t(std::min(From, To)) >= List.size()) return;
    if (List.size() < need) List.resize(need);
    T item = std::move(List[size_t(From)]);
    List.erase(List.begin() + From);
    List.insert(List.begin() + To, std::move(item));
}
}  // namespace

void TAlignGrid::InsertColumn(int Index) {
    int i = std::max(Index, FFixedCols);
    bool reshow = EditorShowing() && FInplaceCol >= i;
    if (reshow) HideEdit();
    int oldCount = GetColCount();
    SetColCount(oldCount + 1);
    InsertAt(FColProps, i);
    InsertAt(FCellProps, i);
    InsertAt(FHints, i);
    if (i < oldCount) {
        auto column = std::move(FCells.back());
        FCells.pop_back();
        for (auto& cell : column) cell = Cell{};
        FCells.insert(FCells.begin() + i, std::move(column));
    }
    if (FCurrent.X >= i && FCurrent.X + 1 < GetColCount()) ++FCurrent.X;
    if (reshow) UpdateEdit();
    Invalidate();
}

void TAlignGrid::InsertRow(int Index) {
    int i = std::max(Index, FFixedRows);
    bool reshow = EditorShowing() && FInplaceRow >= i;
    if (reshow) HideEdit();
    int oldCount = GetRowCount();
    SetRowCount(oldCount + 1);
    InsertAt(FRowProps, i);
    for (auto& column : FCellProps) InsertAt(column, i);
    for (auto& column : FHints) InsertAt(column, i);
    if (i < oldCount)
        for (auto& column : FCells) {
            column.pop_back();
            column.insert(column.begin() + i, Cell{});
        }
    if (FCurrent.Y >= i && FCurrent.Y + 1 < GetRowCount()) ++FCurrent.Y;
    if (reshow) UpdateEdit();
    Invalidate();
}

void TAlignGrid::ExchangeRows(int A, int B) {
    if (A == B) return;
    if (A < 0 || B < 0 || A >= GetRowCount() || B >= GetRowCount())
        throw EGridError("Grid index out of range (" + std::to_string(A) + ", " + std::to_string(B) + ")");
    SwapAt(FRowProps, A, B);
    for (auto& column : FCellProps) SwapAt(column, A, B);
    for (auto& column : FHints) SwapAt(column, A, B);
    for (auto& column : FCells) std::swap(column[size_t(A)], column[size_t(B)]);
    std::swap(FRowHeights[size_t(A)], FRowHeights[size_t(B)]);
    Invalidate();
}

void TAlignGrid::ExchangeColumns(int A, int B) {
    if (A == B) return;
    if (A < 0 || B < 0 || A >= GetColCount() || B >= GetColCount())
        throw EGridError("Grid index out of range (" + std::to_string(A) + ", " + std::to_string(B) + ")");
    SwapAt(FColProps, A, B);
    SwapAt(FCellProps, A, B);
    SwapAt(FHints, A, B);
    std::swap(FCells[size_t(A)], FCells[size_t(B)]);
    std::swap(FColWidths[size_t(A)], FColWidths[size_t(B)]);
    Invalidate();
}

void TAlignGrid::RowMoved(int FromIndex, int ToIndex) {
    if (FInplaceRow == FromIndex)
        FInplaceRow = ToIndex;
    else if (FInplaceRow == ToIndex)
        FInplaceRow = ToIndex + 1;
    MoveAt(FRowProps, FromIndex, ToIndex);
    for (auto& column : FCellProps) MoveAt(column, FromIndex, ToIndex);
    for (auto& column : FHints) MoveAt(column, FromIndex, ToIndex);
    TStringGrid::RowMoved(FromIndex, ToIndex);
}

void TAlignGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (FInplaceCol == FromIndex)
        FInplaceCol = ToIndex;
    else if (FInplaceCol == ToIndex)
        FInplaceCol = ToIndex + 1;
    MoveAt(FColProps, FromIndex, ToIndex);
    MoveAt(FCellProps, FromIndex, ToIndex);
    MoveAt(FHints, FromIndex, ToIndex);
    TStringGrid::ColumnMoved(FromIndex, ToIndex);
}

// ---- Clipboard text ------------------------------------------------------------------------------------------

namespace {
// Right (bottom) below left (top) or negative: the last line; left (top) negative: 0.
TGridRect NormalisedForWrite(TGridRect R, int Cols, int Rows) {
    if (R.Right < R.Left || R.Right < 0) R.Right = Cols - 1;
    if (R.Left < 0) R.Left = 0;
    if (R.Bottom < R.Top || R.Bottom < 0) R.Bottom = Rows - 1;
    if (R.Top < 0) R.Top = 0;
    R.Right = std::min(R.Right, Cols - 1);
    R.Bottom = std::min(R.Bottom, Rows - 1);
    return R;
}

std::string StreamText(TStream* Stream) {
    std::string text;
    char buf[32768];
    for (;;) {
        int64_t n = Stream->Read(buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, size_t(n));
    }
    // The clipboard's text ends at its first 0 byte.
    if (size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
}
}  // namespace

TStream* TAlignGrid::WriteRectAsText(TStream* Stream, char Separator, TGridRect R) const {
    R = NormalisedForWrite(R, GetColCount(), GetRowCount());
    std::string text;
    for (int r = R.Top; r <= R.Bottom; ++r) {
        for (int c = R.Left; c <= R.Right; ++c) {
            text += GetCells(c, r);
            text += Separator;
        }
        text += "\r\n";
    }
    StringToStream(Stream, text);
    return Stream;
}

namespace {
// Reads the lines of Text into cells from the rect's top left; Accept says
// whether a cell may change (all may when unset).
template <typename Grow, typename Put>
void ReadLines(const std::string& Text, char Separator, TGridRect R, Grow grow, Put put) {
    if (R.Top < 0) R.Top = 0;
    if (R.Left < 0) R.Left = 0;
    bool rowLimit = R.Bottom >= R.Top, colLimit = R.Right >= R.Left;
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < Text.size()) {
        size_t end = Text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = Text.size();
        lines.push_back(Text.substr(pos, end - pos));
        if (end < Text.size() && Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n') ++end;
        pos = end + 1;
    }
    int row = R.Top;
    for (size_t li = 0; li < lines.size() && (!rowLimit || row <= R.Bottom); ++li, ++row) {
        std::string line = lines[li] + Separator;
        int col = R.Left;
        size_t p = 0;
        while ((!colLimit || col <= R.Right) && line.size() - p > 1) {
            size_t sep = line.find(Separator, p);
            grow(col, row);
            put(col, row, line.substr(p, sep - p));
            p = sep + 1;
            ++col;
        }
    }
}
}  // namespace

void TAlignGrid::ReadRectFromText(TStream* Stream, char Separator, TGridRect R) {
    std::string text = StreamText(Stream);
    ReadLines(
        text, Separator, R,
        [this](int c, int r) {
            if (r >= GetRowCount()) SetRowCount(r + 1);
            if (c >= GetColCount()) SetColCount(c + 1);
        },
        [this](int c, int r, const std::string& s) { SetCells(c, r, s); });
}

void TAlignGrid::CopyToClipboard(char Separator, const TGridRect& R) const {
    TMemoryStream stream;
    WriteRectAsText(&stream, Separator, R);
    stream.SetPosition(0);
    StreamToClipboard(&stream, CF_TEXT);
}

void TAlignGrid::PasteFromClipboard(char Separator, const TGridRect& R) {
    TMemoryStream stream;
    ClipboardToStream(&stream, CF_TEXT);
    stream.SetPosition(0);
    ReadRectFromText(&stream, Separator, R);
}

void TAlignGrid::ClipboardCommand(unsigned Msg) {
    TGridRect sel = NormalisedForWrite(GetSelection(), GetColCount(), GetRowCount());
    // A grid without the editing option only shows results: nothing is cut or pasted over.
    bool edits = FOptions.Contains(goEditing);
    if (Msg == WM_COPY || Msg == WM_CUT) CopyToClipboard('\t', sel);
    if (Msg == WM_CUT && edits) {
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            for (int c = sel.Left; c <= sel.Right; ++c)
                if (GetEditCell(c, r)) SetCells(c, r, "");
    }
    if (Msg == WM_PASTE && edits) {
        TMemoryStream stream;
        ClipboardToStream(&stream, CF_TEXT);
        stream.SetPosition(0);
        std::string text = StreamText(&stream);
        ReadLines(
            text, '\t', sel, [](int, int) {},
            [this](int c, int r, const std::string& s) {
                if (GetEditCell(c, r)) SetCells(c, r, s);
            });
    }
}

// ---- TObjectList -----------------------------------------------------------------------------------------------

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Check(int Index, int Limit) const {
    if (Index < 0 || Index > Limit)
        throw EListError("List index out of bounds (" + std::to_string(Index) + ") of " + std::to_string(Count()));
}

TObject* TObjectList::Items(int Index) const {
    Check(Index, Count() - 1);
    return FItems[size_t(Index)];
}

int TObjectList::Add(TObject* Item) {
    FItems.push_back(Item);
    return Count() - 1;
}

void TObjectList::Insert(int Index, TObject* Item) {
    Check(Index, Count());
    FItems.insert(FItems.begin() + Index, Item);
}

void TObjectList::Delete(int Index) {
    Check(Index, Count() - 1);
    delete FItems[size_t(Index)];
    FItems.erase(FItems.begin() + Index);
}

int TObjectList::Remove(TObject* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return -1;
    int index = int(it - FItems.begin());
    Delete(index);
    return index;
}

void TObjectList::Clear() {
    while (!FItems.empty()) {
        delete FItems.back();
        FItems.pop_back();
    }
}

void StringToStream(TStream* Stream, const std::string& Text) {
    if (!Text.empty()) Stream->WriteBuffer(Text.data(), int64_t(Text.size()));
}

void StreamToClipboard(TStream* Stream, unsigned Format) {
    if (Format != CF_TEXT && Format != CF_UNICODETEXT && Format != CF_OEMTEXT) return;
    std::string data;
    char buf[32768];
    for (;;) {
        int64_t n = Stream->Read(buf, sizeof buf);
        if (n <= 0) break;
        data.append(buf, size_t(n));
    }
    // Clipboard text is a terminated string: whatever follows a 0 byte is not part of it.
    if (size_t zero = data.find('\0'); zero != std::string::npos) data.resize(zero);
    Clipboard()->SetAsText(data);
}

void ClipboardToStream(TStream* Stream, unsigned Format) {
    Stream->SetPosition(0);
    if (Format != CF_TEXT && Format != CF_UNICODETEXT && Format != CF_OEMTEXT) return;
    if (!Clipboard()->HasFormat(CF_TEXT)) return;
    std::string data = Clipboard()->GetAsText();
    StringToStream(Stream, data);
}

// ---- Sorting -------------------------------------------------------------------------------------------------------

int TAlignGrid::Compare(TSortLines Lines, int KeyIndex, int A, int B) {
    if (Lines == TSortLines::Rows && OnCompareCol) return OnCompareCol(this, KeyIndex, A, B);
    if (Lines == TSortLines::Columns && OnCompareRow) return OnCompareRow(this, KeyIndex, A, B);
    const std::string a = Lines == TSortLines::Rows ? GetCells(KeyIndex, A) : GetCells(A, KeyIndex);
    const std::string b = Lines == TSortLines::Rows ? GetCells(KeyIndex, B) : GetCells(B, KeyIndex);
    int cmp = a.compare(b);
    return cmp < 0 ? 0 : cmp == 0 ? 1 : 2;
}

void TAlignGrid::QuickSort(int KeyIndex, int Lo, int Hi, TSortOrder Order, TSortLines Lines) {
    while (Lo < Hi) {
        const int skip = Order == TSortOrder::Ascending ? 2 : 0;
        auto exchange = [&](int a, int b) {
            if (Lines == TSortLines::Rows)
                ExchangeRows(a, b);
            else
                ExchangeColumns(a, b);
        };
        int i = Lo, j = Hi - 1;
        for (;;) {
            while (i < Hi && Compare(Lines, KeyIndex, Hi, i) == skip) ++i;
            while (j > Lo && Compare(Lines, KeyIndex, j, Hi) == skip) --j;
            if (j <= i) break;
            exchange(i, j);
            ++i;
            --j;
        }
        exchange(i, Hi);
        // Recurse into the smaller side so deep ranges cannot exhaust the stack.
        if (i - Lo < Hi - i) {
            QuickSort(KeyIndex, Lo, i - 1, Order, Lines);
            Lo = i + 1;
        } else {
            QuickSort(KeyIndex, i + 1, Hi, Order, Lines);
            Hi = i - 1;
        }
    }
}

void TAlignGrid::Sort(int KeyIndex, int First, int Last, TSortOrder Order, TSortLines Lines) {
    int count = Lines == TSortLines::Rows ? GetRowCount() : GetColCount();
    First = std::max(First, 0);
    Last = std::min(Last, count - 1);
    if (First >= Last) return;
    if (EditorShowing()) HideEdit();
    QuickSort(KeyIndex, First, Last, Order, Lines);
}
