// Painting the grid; the draw grid's events and the string grid's cells.

#include "Grids.h"

#include "FormReader.h"
#include "Forms.h"
#include "GridsPrivate.h"
#include "StdCtrlsPrivate.h"

#include <algorithm>

// ---- Painting -----------------------------------------------------------------------------

void TCustomGrid::Paint() {
    TCanvas* c = GetCanvas();
    TRect client = GetClientRect();
    TGridAxis cols = ColAxis(), rows = RowAxis();
    TGridRect sel = GetSelection();
    bool focused = Focused() || (FInplaceEdit && FInplaceEdit->Focused());
    TColor normalLine = ColorToRGB(FColor) == ColorToRGB(clSilver) ? clGray : clSilver;
    int gridRight = 0, gridBottom = 0;

    // The lines in view with their positions, found in one walk: the fixed ones,
    // then the scrolled ones from First until the client ends, so a grid of many
    // thousand rows paints as fast as a short one.
    auto visible = [](const TGridAxis& a, std::vector<int>& index, std::vector<int>& pos) {
        int x = 0;
        for (int i = 0; i < a.Fixed && i < a.Count() && x < a.Extent; x += a.Step(i), ++i) {
            index.push_back(i);
            pos.push_back(x);
        }
        for (int i = std::max(a.First, a.Fixed); i < a.Count() && x < a.Extent; x += a.Step(i), ++i) {
            index.push_back(i);
            pos.push_back(x);
        }
    };
    std::vector<int> vc, vr, xs, ys;
    visible(cols, vc, xs);
    visible(rows, vr, ys);

    for (size_t ri = 0; ri < vr.size(); ++ri) {
        int r = vr[ri];
        int y = ys[ri];
        int h = FRowHeights[size_t(r)];
        for (size_t ci = 0; ci < vc.size(); ++ci) {
            int col = vc[ci];
            int x = xs[ci];
            int w = FColWidths[size_t(col)];
            TRect rect = Rect(x, y, x + w, y + h);
            gridRight = std::max(gridRight, x + w + FGridLineWidth);
            gridBottom = std::max(gridBottom, y + h + FGridLineWidth);
            bool fixed = IsFixedCell(col, r);
            TGridDrawState state;
            if (fixed)
                state += gdFixed;
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
            bool highlight =
                state.Contains(gdSelected) && (!state.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
                                               FOptions.Contains(goRowSelect));
            if (fixed)
                c->GetBrush()->SetColor(FFixedColor);
            else if (highlight) {
                c->GetBrush()->SetColor(clHighlight);
                c->GetFont()->SetColor(clHighlightText);
            } else
                c->GetBrush()->SetColor(FColor);
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
