#pragma once
// Grids: a custom-painted grid of cells with fixed rows and columns, column
// widths and row heights, grid lines, a current cell and a selection, scroll
// bars and an in-place editor; the draw grid (cells drawn by OnDrawCell) and
// the string grid (cells hold texts and objects).
//
// Coordinates: a column occupies [x, x + width) and is followed by a grid line
// of GridLineWidth pixels (when its line option is on, or not, the room is the
// same). Fixed columns stay at the left; the others scroll from LeftCol.
// Everything virtual here is what derived grids override to draw and edit.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "StdCtrls.h"

class EGridError : public Exception {
public:
    using Exception::Exception;
};

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = Set<TGridOption>;
enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = Set<TGridDrawStateFlag>;
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(int ACol, int ARow) const { return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom; }
    bool operator==(const TGridRect&) const = default;
};

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

class TCustomGrid;
struct TGridAxis;

// The editor that opens over the current cell. It tells the grid each change of its
// text, and passes the keys that move between cells on to the grid.
class TInplaceEdit : public TCustomEdit {
public:
    explicit TInplaceEdit(TComponent* AOwner);
    TCustomGrid* Grid() const { return FGrid; }
    // Places the editor over Loc (client coordinates of the grid) and shows it.
    virtual void UpdateLoc(const TRect& Loc);
    // Takes the text, limit and font of the grid's current cell.
    virtual void UpdateContents();
    void Deselect() { SetSelLength(0); }
    // Shows Value without telling the grid (the cell already holds it).
    void ShowText(const std::string& Value);

protected:
    friend class TCustomGrid;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    void WMGetDlgCode(TMessage& Message) override;
    TCustomGrid* FGrid = nullptr;
    bool FUpdatingContents = false;
};

class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // ---- Shape -------------------------------------------------------------------------
    int GetColCount() const { return int(FColWidths.size()); }
    void SetColCount(int Value);
    int GetRowCount() const { return int(FRowHeights.size()); }
    void SetRowCount(int Value);
    int GetFixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int GetFixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int GetDefaultColWidth() const { return FDefaultColWidth; }
    // Also resets every column to it.
    void SetDefaultColWidth(int Value);
    int GetDefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int GetColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int GetRowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GetGridLineWidth() const { return FGridLineWidth; }
    virtual void SetGridLineWidth(int Value);
    TGridOptions GetOptions() const { return FOptions; }
    virtual void SetOptions(TGridOptions Value);
    TColor GetFixedColor() const { return FFixedColor; }
    virtual void SetFixedColor(TColor Value);
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool DefaultDrawing = true;
    // Total size of all columns (rows) with their lines.
    int GridWidth() const;
    int GridHeight() const;

    // ---- Current cell, selection, scrolling ------------------------------------------------
    int GetCol() const { return FCurrent.X; }
    void SetCol(int Value);
    int GetRow() const { return FCurrent.Y; }
    void SetRow(int Value);
    TGridRect GetSelection() const;
    void SetSelection(const TGridRect& Value);
    int GetTopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int GetLeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    // Scrollable rows (columns) wholly in view.
    int VisibleRowCount() const;
    int VisibleColCount() const;

    // ---- Geometry ----------------------------------------------------------------------------
    // The cell's rectangle in client coordinates (its line excluded); empty when not in view.
    TRect CellRect(int ACol, int ARow) const;
    // The cell at a client point; -1 where there is none.
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    TGridCoord MouseCoord(int X, int Y) const;
    TRect GetClientRect() const override;
    QWidget* ClientWidget() override;

    // ---- Editing -------------------------------------------------------------------------------
    bool GetEditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    void ShowEditor();
    void HideEditor();
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    // Moves a column (row) to another index, with its width (height) and data.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    // "ColWidths" and "RowHeights": lists of sizes, one for each column (row).
    void DefineProperties(TFiler* Filer) override;

protected:
    friend class TInplaceEdit;

    // ---- Drawing -------------------------------------------------------------------------------
    void Paint() override;
    // Draws one cell through Canvas; the canvas brush and font are set up for its state.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {}
    void InvalidateCell(int ACol, int ARow);
    void InvalidateGrid() { Invalidate(); }

    // ---- Hooks -----------------------------------------------------------------------------------
    virtual bool SelectCell(int ACol, int ARow) { return true; }
    virtual void SizeChanged(int OldColCount, int OldRowCount) {}
    virtual void TopLeftChanged();
    virtual void ColumnMoved(int FromIndex, int ToIndex) {}
    virtual void RowMoved(int FromIndex, int ToIndex) {}
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();

    // ---- Editor protocol ----------------------------------------------------------------------
    virtual bool CanEditShow();
    virtual bool CanEditModify() { return FOptions.Contains(goEditing); }
    virtual bool CanEditAcceptKey(char32_t Key) { return true; }
    virtual TInplaceEdit* CreateEditor();
    virtual std::string GetEditText(int ACol, int ARow) { return ""; }
    virtual void SetEditText(int ACol, int ARow, const std::string& Value) {}
    virtual std::string GetEditMask(int ACol, int ARow) { return ""; }
    virtual int GetEditLimit() { return 0; }
    // Shows, moves or hides the editor as the editor mode and the current cell say.
    virtual void UpdateEdit();
    // Hands the editor's text to SetEditText for the cell it edits.
    virtual void UpdateText();
    virtual void HideEdit();
    void ShowEditorChar(char32_t Ch);
    bool EditorShowing() const;

    // ---- Input ---------------------------------------------------------------------------------------
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;
    void WMChar(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    virtual void WMHScroll(TWMScroll& Message);
    virtual void WMVScroll(TWMScroll& Message);

    // ---- Current cell --------------------------------------------------------------------------------
    // Makes (ACol, ARow) current when SelectCell allows it; MoveAnchor ends a range selection.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    void ClampInView(int ACol, int ARow);
    bool IsFixedCell(int ACol, int ARow) const { return ACol < FFixedCols || ARow < FFixedRows; }

    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void UpdateWidgetColor() override;
    void DestroyWnd() override;
    void BoundsChanged(bool SizeChanged) override;
    void LayoutWidgets();
    void UpdateScrollBars();
    void ScrollBarAction(bool Vertical, int Action);
    // Whether the scroll bars are shown at the present size.
    void ScrollBarsShown(bool& Horizontal, bool& Vertical) const;
    int BorderSize() const { return FBorderStyle == bsSingle ? 2 : 0; }
    // The columns (rows) as laid out in the client area now.
    TGridAxis ColAxis() const;
    TGridAxis RowAxis() const;
    int MaxTopRow() const;
    int MaxLeftCol() const;
    void SetTopLeft(int ALeftCol, int ATopRow);
    void ChangeSize(int NewColCount, int NewRowCount);

    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TColor FFixedColor = clBtnFace;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};
    TGridState FGridState = gsNormal;
    int FSizingIndex = -1;
    int FSizingPos = 0;
    int FSizingStart = 0;
    int FMoveIndex = -1;
    int FMovePos = -1;
    bool FEditorMode = false;
    TInplaceEdit* FInplaceEdit = nullptr;
    int FInplaceCol = -1, FInplaceRow = -1;
    bool FInMoveCurrent = false;
    QWidget* FViewport = nullptr;
    QScrollBar* FHScroll = nullptr;
    QScrollBar* FVScroll = nullptr;
    bool FScrollSyncing = false;
};

class TCustomDrawGrid : public TCustomGrid {
public:
    explicit TCustomDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText;
    TGetEditEvent OnGetEditMask;
    TSetEditEvent OnSetEditText;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TNotifyEvent OnTopLeftChanged;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    std::string GetEditText(int ACol, int ARow) override;
    std::string GetEditMask(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void TopLeftChanged() override;
};

class TDrawGrid : public TCustomDrawGrid {
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomDrawGrid(AOwner) {}
};

class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    std::string GetCells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);
    TObject* GetObjects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);

protected:
    // Default drawing writes the text 2 pixels in from the cell's top left, then OnDrawCell.
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;

    struct Cell {
        std::string Text;
        TObject* Object = nullptr;
    };
    // [column][row]
    std::vector<std::vector<Cell>> FCells;
    const Cell* FindCell(int ACol, int ARow) const;
    Cell& CellAt(int ACol, int ARow);
};

// Registers the published properties of the classes above. Safe to call more than once.
void RegisterGridsClasses();
