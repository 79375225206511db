// The in-place editor, the edit protocol and the grid's keyboard and mouse.

#include "Grids.h"

#include "FormReader.h"
#include "Forms.h"
#include "GridsPrivate.h"
#include "StdCtrlsPrivate.h"

#include <algorithm>

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
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: toGrid = true; break;
    case VK_LEFT: toGrid = leftSide && !Shift.Contains(ssShift); break;
    case VK_RIGHT: toGrid = rightSide && !Shift.Contains(ssShift); break;
    case VK_HOME:
    case VK_END: toGrid = Shift.Contains(ssCtrl); break;
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
        case 9:
        case 27:
        case 13: Key = 0; break;
        case 8:
        case 22:
        case 24: break;
        default: break;
        }
        if ((Key == 8 || Key == 22 || Key == 24 || Key >= 32) && !FGrid->CanEditModify()) Key = 0;
    }
    if (Key) TCustomEdit::KeyPress(Key);
}

// ---------------------------------------------------------------------------
// TCustomGrid: editing and input

// ---- Editing ----------------------------------------------------------------------------

bool TCustomGrid::EditorShowing() const { return FInplaceEdit && FInplaceEdit->GetVisible() && FInplaceCol >= 0; }

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else
        HideEditor();
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
        if (FEditorMode)
            HideEditor();
        else
            ShowEditor();
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
        if (rowSelect) {
            SetLeftCol(FTopLeft.X - 1);
            return;
        }
        --c;
        break;
    case VK_RIGHT:
        if (rowSelect) {
            SetLeftCol(FTopLeft.X + 1);
            return;
        }
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
            if (c > FFixedCols)
                --c;
            else if (r > FFixedRows) {
                --r;
                c = cols - 1;
            }
        } else {
            if (c < cols - 1)
                ++c;
            else if (r < rows - 1) {
                ++r;
                c = FFixedCols;
            }
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
        TGridAxis cols = ColAxis(), rows = RowAxis();
        int c = cols.IndexAt(X), r = rows.IndexAt(Y);
        // Sizing: the mouse on a line between two cells of the fixed header.
        auto nearLine = [](const TGridAxis& a, int p, int& index, int& start) {
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
        if (FOptions.Contains(goColSizing) && r >= 0 && r < FFixedRows &&
            nearLine(cols, X, FSizingIndex, FSizingStart)) {
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
                Click();
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
    case gsColSizing:
        FSizingPos = X;
        SetColWidths(FSizingIndex, std::max(X - FSizingStart, 0));
        break;
    case gsRowSizing:
        FSizingPos = Y;
        SetRowHeights(FSizingIndex, std::max(Y - FSizingStart, 0));
        break;
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

void TCustomGrid::DoEnter() {
    TCustomControl::DoEnter();
    if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) ShowEditor();
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
    case WM_VSCROLL: {
        TWMScroll m(Message);
        WMVScroll(m);
        break;
    }
    case WM_HSCROLL: {
        TWMScroll m(Message);
        WMHScroll(m);
        break;
    }
    default: TCustomControl::Dispatch(Message); break;
    }
}
