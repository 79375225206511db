// The grid: shape, geometry, current cell and selection, scrolling and its widgets.

#include "Grids.h"

#include "FormReader.h"
#include "Forms.h"
#include "GridsPrivate.h"
#include "StdCtrlsPrivate.h"

#include <QFrame>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

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
    if (Value == FFixedCols) return;
    // A new count of fixed lines starts the grid over at its first scrolled cell.
    FFixedCols = Value;
    FCurrent.X = FAnchor.X = FTopLeft.X = Value;
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0) throw EGridError("Fixed row count must be at least 0 (" + std::to_string(Value) + ")");
    if (Value >= GetRowCount()) throw EGridError("Fixed row count must be less than row count");
    if (Value == FFixedRows) return;
    FFixedRows = Value;
    FCurrent.Y = FAnchor.Y = FTopLeft.Y = Value;
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
        Vertical = allowV && GridHeight() > h0 - (Horizontal ? kGridScrollBarSize : 0);
        Horizontal = allowH && GridWidth() > w0 - (Vertical ? kGridScrollBarSize : 0);
    }
}

TRect TCustomGrid::GetClientRect() const {
    bool h = false, v = false;
    ScrollBarsShown(h, v);
    int b = BorderSize();
    return Rect(0, 0, std::max(FWidth - 2 * b - (v ? kGridScrollBarSize : 0), 0),
                std::max(FHeight - 2 * b - (h ? kGridScrollBarSize : 0), 0));
}

TGridAxis TCustomGrid::ColAxis() const {
    return TGridAxis{FColWidths, FFixedCols, FTopLeft.X, GetClientRect().Width(), FGridLineWidth};
}

TGridAxis TCustomGrid::RowAxis() const {
    return TGridAxis{FRowHeights, FFixedRows, FTopLeft.Y, GetClientRect().Height(), FGridLineWidth};
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    int x = ColAxis().Pos(ACol), y = RowAxis().Pos(ARow);
    if (x < 0 || y < 0) return TRect{};
    return Rect(x, y, x + FColWidths[size_t(ACol)], y + FRowHeights[size_t(ARow)]);
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    ACol = ColAxis().IndexAt(X);
    ARow = RowAxis().IndexAt(Y);
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridCoord c;
    MouseToCell(X, Y, c.X, c.Y);
    return c;
}

int TCustomGrid::VisibleColCount() const { return std::max(ColAxis().LastFull() - FTopLeft.X + 1, 0); }
int TCustomGrid::VisibleRowCount() const { return std::max(RowAxis().LastFull() - FTopLeft.Y + 1, 0); }
int TCustomGrid::MaxLeftCol() const { return ColAxis().MaxFirst(); }
int TCustomGrid::MaxTopRow() const { return RowAxis().MaxFirst(); }

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

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
    // Every cell chosen by the keyboard or by code clicks the grid, as a mouse click does.
    Click();
}

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
    } catch (...) {
        FInMoveCurrent = false;
        throw;
    }
    FInMoveCurrent = false;
}

void TCustomGrid::ClampInView(int ACol, int ARow) {
    int left = FTopLeft.X, top = FTopLeft.Y;
    if (ACol >= FFixedCols) {
        if (ACol < left)
            left = ACol;
        else {
            TGridAxis cols = ColAxis();
            cols.First = left;
            while (left < ACol && cols.LastFull() < ACol) cols.First = ++left;
        }
    }
    if (ARow >= FFixedRows) {
        if (ARow < top)
            top = ARow;
        else {
            TGridAxis rows = RowAxis();
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
                if (Columns)
                    SetColWidths(i, size);
                else
                    SetRowHeights(i, size);
            }
        };
    };
    auto differs = [](const std::vector<int>& sizes, int def) {
        return std::any_of(sizes.begin(), sizes.end(), [def](int s) { return s != def; });
    };
    Filer->DefineProperty("ColWidths", reader(true), nullptr, differs(FColWidths, FDefaultColWidth));
    Filer->DefineProperty("RowHeights", reader(false), nullptr, differs(FRowHeights, FDefaultRowHeight));
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
                if (s)
                    Perform(vertical ? WM_VSCROLL : WM_HSCROLL, WPARAM(SB_THUMBPOSITION | (unsigned(s->value()) << 16)),
                            0);
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
    FVScroll->setGeometry(b + cr.Width(), b, kGridScrollBarSize, cr.Height());
    FHScroll->setGeometry(b, b + cr.Height(), cr.Width(), kGridScrollBarSize);
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
