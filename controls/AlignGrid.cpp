// TAlignGrid: the property records, their lookup, drawing and cell hints.

#include "AlignGrid.h"

#include "Forms.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TMyFont, TMyBrush

void TMyFont::Changed() {
    ExplicitlySet = true;
    TFont::Changed();
}

void TMyBrush::Changed() {
    ExplicitlySet = true;
    TBrush::Changed();
}

// ---------------------------------------------------------------------------
// TCellProperties

bool TCellProperties::IsEmpty() const {
    return !Brush && !SelectedBrush && !Font && !SelectedFont && Align == uint8_t(TMyAlign::alDefault) &&
           Wordwrap == ww_default && Edit == EditNotSet;
}

namespace {

template <typename T, typename Base>
void CopySlot(TAlignGrid* Grid, std::unique_ptr<T>& Slot, const std::unique_ptr<T>& Source) {
    if (!Source) {
        Slot.reset();
        return;
    }
    auto copy = std::make_unique<T>();
    copy->Assign(const_cast<T*>(Source.get()));
    copy->ExplicitlySet = Source->ExplicitlySet;
    if (Grid) copy->OnChange = [Grid](TObject*) { Grid->Invalidate(); };
    Slot = std::move(copy);
}

}  // namespace

void TCellProperties::Assign(const TCellProperties* Source) {
    if (Source == this) return;
    if (!Source) {
        Brush.reset();
        SelectedBrush.reset();
        Font.reset();
        SelectedFont.reset();
        Align = uint8_t(TMyAlign::alDefault);
        Wordwrap = ww_default;
        Edit = EditNotSet;
        return;
    }
    Align = Source->Align;
    Wordwrap = Source->Wordwrap;
    Edit = Source->Edit;
    CopySlot<TMyBrush, TBrush>(Grid, Brush, Source->Brush);
    CopySlot<TMyBrush, TBrush>(Grid, SelectedBrush, Source->SelectedBrush);
    CopySlot<TMyFont, TFont>(Grid, Font, Source->Font);
    CopySlot<TMyFont, TFont>(Grid, SelectedFont, Source->SelectedFont);
}

TMyFont* TCellProperties::NeedFont(std::unique_ptr<TMyFont>& Slot, const TFont* Source) {
    if (!Slot) {
        Slot = std::make_unique<TMyFont>();
        if (Source) Slot->Assign(const_cast<TFont*>(Source));
        Slot->ExplicitlySet = false;
        if (TAlignGrid* g = Grid) Slot->OnChange = [g](TObject*) { g->Invalidate(); };
    }
    return Slot.get();
}

TMyBrush* TCellProperties::NeedBrush(std::unique_ptr<TMyBrush>& Slot, const TBrush* Source) {
    if (!Slot) {
        Slot = std::make_unique<TMyBrush>();
        if (Source) Slot->Assign(const_cast<TBrush*>(Source));
        Slot->ExplicitlySet = false;
        if (TAlignGrid* g = Grid) Slot->OnChange = [g](TObject*) { g->Invalidate(); };
    }
    return Slot.get();
}

// ---------------------------------------------------------------------------
// TAlignGrid: creation

TAlignGrid::TAlignGrid(TComponent* AOwner) : TStringGrid(AOwner) {
    Editable = true;
    Initialize();
}

TAlignGrid::~TAlignGrid() = default;

void TAlignGrid::Initialize() {
    FFixedFont = std::make_unique<TMyFont>();
    FFixedFont->Assign(GetFont());
    FFixedFont->ExplicitlySet = false;
    Watch(FFixedFont.get());
    FFixedBrush = std::make_unique<TMyBrush>();
    FFixedBrush->SetColor(GetFixedColor());
    FFixedBrush->ExplicitlySet = false;
    Watch(FFixedBrush.get());
    FAlignment = TMyAlign::alLeft;
    FWordwrap = ww_none;
    FSelectedCellColor = clActiveCaption;
    FSelectedFontColor = clWhite;
    FDrawSelection = true;
    ShowCellHints = true;
    FAutoAdjustLastCol = false;
    FHintCell = TGridCoord{-1, -1};
}

const TBrush* TAlignGrid::GridBrush() const {
    if (FGridBrush.GetColor() != GetColor()) FGridBrush.SetColor(GetColor());
    return &FGridBrush;
}

void TAlignGrid::Watch(TGraphicsObject* Object) {
    Object->OnChange = [this](TObject* o) { GridChanged(o); };
}

// ---- Grid-wide settings -----------------------------------------------------------------------

void TAlignGrid::SetAlignment(TMyAlign Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Invalidate();
}

void TAlignGrid::SetWordwrap(T_Wordwrap Value) {
    if (Value == FWordwrap) return;
    FWordwrap = Value;
    Invalidate();
}

void TAlignGrid::SetFixedColor(TColor Value) {
    TStringGrid::SetFixedColor(Value);
    if (FFixedBrush) FFixedBrush->SetColor(Value);
    Invalidate();
}

void TAlignGrid::SetSelectedCellColor(TColor Value) {
    FSelectedCellColor = Value;
    Invalidate();
}

void TAlignGrid::SetSelectedFontColor(TColor Value) {
    FSelectedFontColor = Value;
    Invalidate();
}

void TAlignGrid::SetDrawSelection(bool Value) {
    FDrawSelection = Value;
    Invalidate();
}

void TAlignGrid::SetAutoAdjustLastCol(bool Value) {
    FAutoAdjustLastCol = Value;
    if (Value) AdjustLastCol();
}

void TAlignGrid::SetGridLineWidth(int Value) {
    TStringGrid::SetGridLineWidth(Value);
    if (FAutoAdjustLastCol) AdjustLastCol();
}

void TAlignGrid::AdjustLastCol() {
    int last = GetColCount() - 1;
    if (last < 0) return;
    int sum = 0;
    for (int i = 0; i < last; ++i) sum += GetColWidths(i);
    bool lines = FOptions.Contains(goVertLine) || FOptions.Contains(goFixedVertLine);
    int lineRoom = lines ? GetColCount() * GetGridLineWidth() : 0;
    int client = GetClientRect().Width();
    if (sum >= client) return;
    int width = client - sum - lineRoom;
    if (width >= 1) SetColWidths(last, width);
}

void TAlignGrid::ColWidthsChanged() {
    TStringGrid::ColWidthsChanged();
    if (OnColWidthsChanged) OnColWidthsChanged(this);
}

void TAlignGrid::RowHeightsChanged() {
    TStringGrid::RowHeightsChanged();
    if (OnRowHeightsChanged) OnRowHeightsChanged(this);
}

void TAlignGrid::BoundsChanged(bool SizeChanged) {
    TStringGrid::BoundsChanged(SizeChanged);
    if (SizeChanged && FAutoAdjustLastCol) AdjustLastCol();
}

// ---- Records ------------------------------------------------------------------------------------

TCellProperties* TAlignGrid::Find(const TPropList& List, int Index) {
    if (Index < 0 || size_t(Index) >= List.size()) return nullptr;
    return List[size_t(Index)].get();
}

TCellProperties* TAlignGrid::FindCell(int ACol, int ARow) const {
    if (ACol < 0 || size_t(ACol) >= FCellProps.size()) return nullptr;
    return Find(FCellProps[size_t(ACol)], ARow);
}

TCellProperties* TAlignGrid::Need(TAlignGrid* Grid, TPropList& List, int Index) {
    if (Index < 0) throw EGridError("Grid index out of range (" + std::to_string(Index) + ")");
    if (size_t(Index) >= List.size()) List.resize(size_t(Index) + 1);
    auto& slot = List[size_t(Index)];
    if (!slot) slot = std::make_unique<TCellProperties>(Grid);
    return slot.get();
}

TCellProperties* TAlignGrid::GetCellProperties(int ACol, int ARow) {
    if (ACol < 0) throw EGridError("Grid index out of range (" + std::to_string(ACol) + ")");
    if (size_t(ACol) >= FCellProps.size()) FCellProps.resize(size_t(ACol) + 1);
    return Need(this, FCellProps[size_t(ACol)], ARow);
}
TCellProperties* TAlignGrid::GetColProperties(int ACol) { return Need(this, FColProps, ACol); }
TCellProperties* TAlignGrid::GetRowProperties(int ARow) { return Need(this, FRowProps, ARow); }
TCellProperties* TAlignGrid::GetFixedColProperties(int ACol) { return Need(this, FFixedColProps, ACol); }
TCellProperties* TAlignGrid::GetFixedRowProperties(int ARow) { return Need(this, FFixedRowProps, ARow); }

void TAlignGrid::Levels(int ACol, int ARow, const TCellProperties* Out[3]) const {
    bool fixed = IsFixedCell(ACol, ARow);
    Out[0] = FindCell(ACol, ARow);
    Out[1] = Find(fixed ? FFixedColProps : FColProps, ACol);
    Out[2] = Find(fixed ? FFixedRowProps : FRowProps, ARow);
}

// ---- Lookup ---------------------------------------------------------------------------------------

TMyAlign TAlignGrid::GetAlignCell(int ACol, int ARow) const {
    const TCellProperties* levels[3];
    Levels(ACol, ARow, levels);
    for (auto* p : levels)
        if (p && p->Align != uint8_t(TMyAlign::alDefault)) return TMyAlign(p->Align);
    return FAlignment == TMyAlign::alDefault ? TMyAlign::alLeft : FAlignment;
}

T_Wordwrap TAlignGrid::GetWordwrapCell(int ACol, int ARow) const {
    const TCellProperties* levels[3];
    Levels(ACol, ARow, levels);
    for (auto* p : levels)
        if (p && p->Wordwrap != ww_default) return T_Wordwrap(p->Wordwrap);
    return FWordwrap == ww_default ? ww_none : FWordwrap;
}

bool TAlignGrid::GetEditCell(int ACol, int ARow) const {
    const TCellProperties* levels[3];
    Levels(ACol, ARow, levels);
    for (auto* p : levels)
        if (p && p->Edit != TCellProperties::EditNotSet) return p->Edit == TCellProperties::EditYes;
    return Editable;
}

const TFont* TAlignGrid::GetEffectiveFont(int ACol, int ARow) const {
    const TCellProperties* levels[3];
    Levels(ACol, ARow, levels);
    for (auto* p : levels)
        if (p && p->Font) return p->Font.get();
    return IsFixedCell(ACol, ARow) ? static_cast<const TFont*>(FFixedFont.get()) : GetFont();
}

const TBrush* TAlignGrid::GetEffectiveBrush(int ACol, int ARow) const {
    const TCellProperties* levels[3];
    Levels(ACol, ARow, levels);
    for (auto* p : levels)
        if (p && p->Brush) return p->Brush.get();
    return IsFixedCell(ACol, ARow) ? static_cast<const TBrush*>(FFixedBrush.get()) : GridBrush();
}

TColor TAlignGrid::GetColorCell(int ACol, int ARow) const { return GetEffectiveBrush(ACol, ARow)->GetColor(); }

TColor TAlignGrid::GetSelectedColorCell(int ACol, int ARow) const {
    // Fixed status plays no part here: the ordinary column and row records count.
    for (auto* p : {FindCell(ACol, ARow), Find(FColProps, ACol), Find(FRowProps, ARow)})
        if (p && p->SelectedBrush) return p->SelectedBrush->GetColor();
    return FSelectedCellColor;
}

TColor TAlignGrid::GetSelectedFontColorCell(int ACol, int ARow) const {
    for (auto* p : {FindCell(ACol, ARow), Find(FColProps, ACol), Find(FRowProps, ARow)})
        if (p && p->SelectedFont) return p->SelectedFont->GetColor();
    return FSelectedFontColor;
}

std::string TAlignGrid::GetHintCell(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || size_t(ACol) >= FHints.size() || size_t(ARow) >= FHints[size_t(ACol)].size()) return "";
    return FHints[size_t(ACol)][size_t(ARow)];
}

void TAlignGrid::SetHintCell(int ACol, int ARow, const std::string& Value) {
    if (ACol < 0 || ARow < 0)
        throw EGridError("Grid index out of range (" + std::to_string(ACol) + ", " + std::to_string(ARow) + ")");
    if (size_t(ACol) >= FHints.size()) FHints.resize(size_t(ACol) + 1);
    auto& column = FHints[size_t(ACol)];
    if (size_t(ARow) >= column.size()) column.resize(size_t(ARow) + 1);
    column[size_t(ARow)] = Value;
}

// ---- Setters ----------------------------------------------------------------------------------------

void TAlignGrid::SetAlignCell(int ACol, int ARow, TMyAlign Value) {
    GetCellProperties(ACol, ARow)->Align = uint8_t(Value);
    Invalidate();
}
void TAlignGrid::SetAlignCol(int ACol, TMyAlign Value) {
    GetColProperties(ACol)->Align = uint8_t(Value);
    Invalidate();
}
void TAlignGrid::SetFixedAlignCol(int ACol, TMyAlign Value) {
    GetFixedColProperties(ACol)->Align = uint8_t(Value);
    Invalidate();
}
void TAlignGrid::SetAlignRow(int ARow, TMyAlign Value) {
    GetRowProperties(ARow)->Align = uint8_t(Value);
    Invalidate();
}
void TAlignGrid::SetFixedAlignRow(int ARow, TMyAlign Value) {
    GetFixedRowProperties(ARow)->Align = uint8_t(Value);
    Invalidate();
}
void TAlignGrid::SetWordwrapCell(int ACol, int ARow, T_Wordwrap Value) {
    GetCellProperties(ACol, ARow)->Wordwrap = Value;
    Invalidate();
}
void TAlignGrid::SetWordwrapCol(int ACol, T_Wordwrap Value) {
    GetColProperties(ACol)->Wordwrap = Value;
    Invalidate();
}
void TAlignGrid::SetWordwrapRow(int ARow, T_Wordwrap Value) {
    GetRowProperties(ARow)->Wordwrap = Value;
    Invalidate();
}

void TAlignGrid::SetSelectedColorCell(int ACol, int ARow, TColor Value) {
    auto* p = GetCellProperties(ACol, ARow);
    p->NeedBrush(p->SelectedBrush, GridBrush())->SetColor(Value);
    Invalidate();
}
void TAlignGrid::SetSelectedColorCol(int ACol, TColor Value) {
    auto* p = GetColProperties(ACol);
    p->NeedBrush(p->SelectedBrush, GridBrush())->SetColor(Value);
    Invalidate();
}
void TAlignGrid::SetSelectedColorRow(int ARow, TColor Value) {
    auto* p = GetRowProperties(ARow);
    p->NeedBrush(p->SelectedBrush, GridBrush())->SetColor(Value);
    Invalidate();
}
void TAlignGrid::SetColorCol(int ACol, TColor Value) {
    GetBrushCol(ACol)->SetColor(Value);
    Invalidate();
}
void TAlignGrid::SetColorRow(int ARow, TColor Value) {
    GetBrushRow(ARow)->SetColor(Value);
    Invalidate();
}

namespace {
uint8_t EditByte(bool Value) { return Value ? TCellProperties::EditYes : TCellProperties::EditNo; }
}  // namespace

void TAlignGrid::SetEditCell(int ACol, int ARow, bool Value) { GetCellProperties(ACol, ARow)->Edit = EditByte(Value); }
void TAlignGrid::SetEditCol(int ACol, bool Value) { GetColProperties(ACol)->Edit = EditByte(Value); }
void TAlignGrid::SetEditRow(int ARow, bool Value) { GetRowProperties(ARow)->Edit = EditByte(Value); }

// The fixed-line variants copy the grid's ordinary font and brush, as the others do.
TFont* TAlignGrid::GetFontCell(int ACol, int ARow) {
    auto* p = GetCellProperties(ACol, ARow);
    return p->NeedFont(p->Font, GetFont());
}
TFont* TAlignGrid::GetFontCol(int ACol) {
    auto* p = GetColProperties(ACol);
    return p->NeedFont(p->Font, GetFont());
}
TFont* TAlignGrid::GetFontFixedCol(int ACol) {
    auto* p = GetFixedColProperties(ACol);
    return p->NeedFont(p->Font, GetFont());
}
TFont* TAlignGrid::GetFontRow(int ARow) {
    auto* p = GetRowProperties(ARow);
    return p->NeedFont(p->Font, GetFont());
}
TFont* TAlignGrid::GetFontFixedRow(int ARow) {
    auto* p = GetFixedRowProperties(ARow);
    return p->NeedFont(p->Font, GetFont());
}
TBrush* TAlignGrid::GetBrushCell(int ACol, int ARow) {
    auto* p = GetCellProperties(ACol, ARow);
    return p->NeedBrush(p->Brush, GridBrush());
}
TBrush* TAlignGrid::GetBrushCol(int ACol) {
    auto* p = GetColProperties(ACol);
    return p->NeedBrush(p->Brush, GridBrush());
}
TBrush* TAlignGrid::GetBrushFixedCol(int ACol) {
    auto* p = GetFixedColProperties(ACol);
    return p->NeedBrush(p->Brush, GridBrush());
}
TBrush* TAlignGrid::GetBrushRow(int ARow) {
    auto* p = GetRowProperties(ARow);
    return p->NeedBrush(p->Brush, GridBrush());
}
TBrush* TAlignGrid::GetBrushFixedRow(int ARow) {
    auto* p = GetFixedRowProperties(ARow);
    return p->NeedBrush(p->Brush, GridBrush());
}

void TAlignGrid::ClearCells() {
    for (int c = 0; c < GetColCount(); ++c)
        for (int r = 0; r < GetRowCount(); ++r) SetCells(c, r, "");
}

// ---- Drawing ------------------------------------------------------------------------------------------

void TAlignGrid::PrepareCellCanvas(int ACol, int ARow, TGridDrawState AState, TRect& ARect) {
    TCanvas* c = GetCanvas();
    c->SetFont(const_cast<TFont*>(GetEffectiveFont(ACol, ARow)));
    c->SetBrush(const_cast<TBrush*>(GetEffectiveBrush(ACol, ARow)));
    if (FDrawSelection && AState.Contains(gdSelected)) {
        bool plainFocus =
            AState.Contains(gdFocused) && !FOptions.Contains(goDrawFocusSelected) && !FOptions.Contains(goRowSelect);
        if (!plainFocus) {
            c->GetBrush()->SetColor(GetSelectedColorCell(ACol, ARow));
            c->GetFont()->SetColor(GetSelectedFontColorCell(ACol, ARow));
        }
    }
    if (!DefaultDrawing) return;
    bool fixed = IsFixedCell(ACol, ARow);
    // Where a grid line is off, the cell's own colour covers its room.
    bool vert = FOptions.Contains(fixed ? goFixedVertLine : goVertLine);
    bool horz = FOptions.Contains(fixed ? goFixedHorzLine : goHorzLine);
    if (!vert) ARect.Right += GetGridLineWidth();
    if (!horz) ARect.Bottom += GetGridLineWidth();
    c->FillRect(ARect);
    c->SetBkMode(TRANSPARENT);
}

void TAlignGrid::DrawCellText(int ACol, int ARow, TGridDrawState, const TRect& ARect) {
    unsigned flags = DT_NOPREFIX;
    switch (GetAlignCell(ACol, ARow)) {
    case TMyAlign::alRight: flags |= DT_RIGHT; break;
    case TMyAlign::alCenter: flags |= DT_CENTER; break;
    default: flags |= DT_LEFT; break;
    }
    switch (GetWordwrapCell(ACol, ARow)) {
    case ww_wordwrap: flags |= DT_WORDBREAK; break;
    case ww_ellipsis: flags |= DT_END_ELLIPSIS; break;
    default: break;
    }
    TRect r = Rect(ARect.Left + 2, ARect.Top + 2, ARect.Right - 2, ARect.Bottom - 2);
    std::string text = GetCells(ACol, ARow);
    if (!text.empty()) GetCanvas()->DrawText(text, r, flags);
}

void TAlignGrid::DrawDropDownButton(int, int, TGridDrawState, TRect& ARect) {
    TRect button = Rect(std::max(ARect.Right - 16, ARect.Left), ARect.Top, ARect.Right, ARect.Bottom);
    TCanvas* c = GetCanvas();
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(button);
    TRect edge = button;
    c->DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
    int cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
    c->GetBrush()->SetColor(clBtnText);
    for (int i = 0; i < 3; ++i) c->FillRect(Rect(cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i));
    ARect.Right = button.Left;
}

void TAlignGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TRect r = ARect;
    PrepareCellCanvas(ACol, ARow, AState, r);
    if (DefaultDrawing) DrawCellText(ACol, ARow, AState, r);
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, r, AState);
}

// ---- Hints and scrolling --------------------------------------------------------------------------------

void TAlignGrid::CMHintShow(TMessage& Message) {
    if (!ShowCellHints) return TStringGrid::CMHintShow(Message);
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (!info) return;
    int c = -1, r = -1;
    MouseToCell(info->CursorPos.X, info->CursorPos.Y, c, r);
    FHintCell = TGridCoord{c, r};
    std::string text = GetHintCell(c, r);
    bool canShow = true;
    if (OnShowHintCell) OnShowHintCell(this, c, r, text, canShow, *info);
    info->HintStr = text;
    // The tip shows 6 pixels below the cell, and only while the mouse is over it.
    if (c >= 0 && r >= 0) {
        TRect cell = CellRect(c, r);
        info->CursorRect = cell;
        info->HintPos = ClientToScreen(TPoint{cell.Left, cell.Bottom + 6});
    }
    Message.Result = canShow && !text.empty() ? 0 : 1;
}

void TAlignGrid::MouseMove(TShiftState Shift, int X, int Y) {
    if (FHintCell.X >= 0 || FHintCell.Y >= 0) {
        TGridCoord now = MouseCoord(X, Y);
        if (!(now == FHintCell)) {
            if (Application) Application->CancelHint();
            FHintCell = TGridCoord{-1, -1};
        }
    }
    TStringGrid::MouseMove(Shift, X, Y);
}

void TAlignGrid::WMVScroll(TWMScroll& Message) {
    if (RedrawWhileScroll && Message.ScrollCode() == SB_THUMBTRACK) {
        Perform(WM_VSCROLL, WPARAM(SB_THUMBPOSITION | (unsigned(Message.Pos()) << 16)), Message.M.LParam);
        return;
    }
    TStringGrid::WMVScroll(Message);
}

void TAlignGrid::WMHScroll(TWMScroll& Message) {
    if (RedrawWhileScroll && Message.ScrollCode() == SB_THUMBTRACK) {
        Perform(WM_HSCROLL, WPARAM(SB_THUMBPOSITION | (unsigned(Message.Pos()) << 16)), Message.M.LParam);
        return;
    }
    TStringGrid::WMHScroll(Message);
}
