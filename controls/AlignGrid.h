#pragma once
// TAlignGrid: a string grid whose cells take their alignment, word wrap, edit
// permission, colours and fonts from their own record, else from their
// column, else from their row, else from the grid. Fixed cells have column and
// row records of their own. The grid adds an edit protocol with an in-place
// editor that keeps the cell's text until the edit ends, moving to the next
// cell on Enter and Tab, clipboard exchange as tab-separated text, line
// sorting, and form-stream properties that carry the records.

#include "Grids.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class TMyAlign : uint8_t { alRight, alLeft, alCenter, alDefault };
enum T_Wordwrap : uint8_t { ww_none, ww_wordwrap, ww_ellipsis, ww_default };
enum T_nextcell : uint8_t {
    nc_rightdown,
    nc_downright,
    nc_leftdown,
    nc_downleft,
    nc_leftup,
    nc_upleft,
    nc_rightup,
    nc_upright
};
enum T_lastcell : uint8_t { lc_newcolrow, lc_stop, lc_first, lc_exit };

// A font (brush) that remembers whether anyone changed it since the grid made it.
class TMyFont : public TFont {
public:
    bool ExplicitlySet = false;

protected:
    void Changed() override;
};

class TMyBrush : public TBrush {
public:
    bool ExplicitlySet = false;

protected:
    void Changed() override;
};

class TAlignGrid;
struct TFormValue;

// What one cell, column or row sets; a missing font or brush and the value 3
// (0 for Edit) mean "not set here".
class TCellProperties {
public:
    enum : uint8_t { EditNotSet = 0, EditNo = 1, EditYes = 2 };

    explicit TCellProperties(TAlignGrid* AGrid) : Grid(AGrid) {}
    TAlignGrid* Grid;
    std::unique_ptr<TMyBrush> Brush, SelectedBrush;
    std::unique_ptr<TMyFont> Font, SelectedFont;
    uint8_t Align = uint8_t(TMyAlign::alDefault);
    uint8_t Wordwrap = ww_default;
    uint8_t Edit = EditNotSet;

    bool IsEmpty() const;
    // Copies every setting; nullptr resets everything to not set.
    void Assign(const TCellProperties* Source);
    // Creates the font (brush) as a copy of Source, unflagged, when missing.
    TMyFont* NeedFont(std::unique_ptr<TMyFont>& Slot, const TFont* Source);
    TMyBrush* NeedBrush(std::unique_ptr<TMyBrush>& Slot, const TBrush* Source);
};

using TShowHintCellEvent = std::function<void(TAlignGrid* Sender, int ACol, int ARow, std::string& HintStr,
                                              bool& CanShow, THintInfo& HintInfo)>;
using TFixedClickEvent = std::function<void(TObject* Sender, int Index)>;
using TGridCellEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TValidateEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Valid)>;
// 0 when line A sorts before line B, 1 when equal, 2 when after.
using TCompareEvent = std::function<int(TObject* Sender, int Index, int LineA, int LineB)>;

enum class TSortLines { Rows, Columns };
enum class TSortOrder { Ascending, Descending };

// Private messages of the edit protocol.
enum : unsigned {
    WM_GRID_CANCELEDIT = WM_USER + 2000,
    WM_GRID_ENDEDITMOVE = WM_USER + 2001,
    WM_GRID_ENDEDIT = WM_USER + 2002,
    WM_GRID_BEGINEDIT = WM_USER + 2003,
    WM_GRID_RESTOREEDIT = WM_USER + 2004,
    WM_GRID_EDITSHOWN = WM_USER + 2005,
};

// The in-place editor: it holds the typed text until the edit ends and tells
// the grid of Enter and Escape through posted messages.
class TNewInplaceEdit : public TInplaceEdit {
public:
    explicit TNewInplaceEdit(TComponent* AOwner);
    TMyAlign GetMyAlignment() const { return FMyAlignment; }
    void SetMyAlignment(TMyAlign Value);
    int EditCol = -1, EditRow = -1;
    bool Multiline = false;
    bool EditStarted = false;
    std::string SavedText;
    uint32_t LastLeftPress = 0;
    void UpdateContents() override;

protected:
    friend class TAlignGrid;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    TMyAlign FMyAlignment = TMyAlign::alLeft;
};

class TAlignGrid : public TStringGrid {
public:
    explicit TAlignGrid(TComponent* AOwner);
    ~TAlignGrid() override;

    // ---- Grid-wide settings -------------------------------------------------------------
    TMyAlign GetAlignment() const { return FAlignment; }
    void SetAlignment(TMyAlign Value);
    T_Wordwrap GetWordwrap() const { return FWordwrap; }
    void SetWordwrap(T_Wordwrap Value);
    bool Editable = true;
    void SetFixedColor(TColor Value) override;
    TColor GetSelectedCellColor() const { return FSelectedCellColor; }
    void SetSelectedCellColor(TColor Value);
    TColor GetSelectedFontColor() const { return FSelectedFontColor; }
    void SetSelectedFontColor(TColor Value);
    bool GetDrawSelection() const { return FDrawSelection; }
    void SetDrawSelection(bool Value);
    bool ShowCellHints = true;
    bool GetAutoAdjustLastCol() const { return FAutoAdjustLastCol; }
    void SetAutoAdjustLastCol(bool Value);
    void SetGridLineWidth(int Value) override;
    bool RedrawWhileScroll = false;
    // Gives the last column the client width the others leave; it keeps its
    // width when they leave less than one pixel.
    void AdjustLastCol();

    bool SelectEditText = true;
    bool EditMultiline = false;
    bool AutoEditNextCell = false;
    T_nextcell NextCellEdit = nc_rightdown;
    T_nextcell NextCellTab = nc_rightdown;
    T_lastcell AfterLastCellEdit = lc_newcolrow;
    T_lastcell AfterLastCellTab = lc_first;

    TShowHintCellEvent OnShowHintCell;
    TNotifyEvent OnColWidthsChanged, OnRowHeightsChanged;
    TFixedClickEvent OnFixedColClick, OnFixedRowClick;
    TGridCellEvent OnBeforeEdit, OnAfterEdit, OnCancelEdit;
    TValidateEditEvent OnValidateEdit;
    TCompareEvent OnCompareCol, OnCompareRow;

    // ---- Effective values of a cell (fixed cells included) -----------------------------------
    TMyAlign GetAlignCell(int ACol, int ARow) const;
    T_Wordwrap GetWordwrapCell(int ACol, int ARow) const;
    bool GetEditCell(int ACol, int ARow) const;
    TColor GetColorCell(int ACol, int ARow) const;
    TColor GetSelectedColorCell(int ACol, int ARow) const;
    TColor GetSelectedFontColorCell(int ACol, int ARow) const;
    std::string GetHintCell(int ACol, int ARow) const;
    void SetHintCell(int ACol, int ARow, const std::string& Value);
    const TFont* GetEffectiveFont(int ACol, int ARow) const;
    const TBrush* GetEffectiveBrush(int ACol, int ARow) const;
    TFont* GetFixedFont() const { return FFixedFont.get(); }
    TBrush* GetFixedBrush() const { return FFixedBrush.get(); }

    // ---- Setters ------------------------------------------------------------------------------
    void SetAlignCell(int ACol, int ARow, TMyAlign Value);
    void SetAlignCol(int ACol, TMyAlign Value);
    void SetFixedAlignCol(int ACol, TMyAlign Value);
    void SetAlignRow(int ARow, TMyAlign Value);
    void SetFixedAlignRow(int ARow, TMyAlign Value);
    void SetWordwrapCell(int ACol, int ARow, T_Wordwrap Value);
    void SetWordwrapCol(int ACol, T_Wordwrap Value);
    void SetWordwrapRow(int ARow, T_Wordwrap Value);
    void SetSelectedColorCell(int ACol, int ARow, TColor Value);
    void SetSelectedColorCol(int ACol, TColor Value);
    void SetSelectedColorRow(int ARow, TColor Value);
    void SetColorCol(int ACol, TColor Value);
    void SetColorRow(int ARow, TColor Value);
    void SetEditCell(int ACol, int ARow, bool Value);
    void SetEditCol(int ACol, bool Value);
    void SetEditRow(int ARow, bool Value);

    // Own fonts and brushes, made on first use as copies of the grid's.
    TFont* GetFontCell(int ACol, int ARow);
    TFont* GetFontCol(int ACol);
    TFont* GetFontFixedCol(int ACol);
    TFont* GetFontRow(int ARow);
    TFont* GetFontFixedRow(int ARow);
    TBrush* GetBrushCell(int ACol, int ARow);
    TBrush* GetBrushCol(int ACol);
    TBrush* GetBrushFixedCol(int ACol);
    TBrush* GetBrushRow(int ARow);
    TBrush* GetBrushFixedRow(int ARow);

    TCellProperties* GetCellProperties(int ACol, int ARow);
    TCellProperties* GetColProperties(int ACol);
    TCellProperties* GetRowProperties(int ARow);
    TCellProperties* GetFixedColProperties(int ACol);
    TCellProperties* GetFixedRowProperties(int ARow);

    // ---- Editing -------------------------------------------------------------------------------
    bool IsEditing() const { return FEditing; }
    void EndEdit(bool Cancel);
    void NextCell(T_nextcell Direction, T_lastcell AfterLast, int& ACol, int& ARow);
    // False when no editable cell follows.
    bool FindNextEditableCell(int& ACol, int& ARow);
    void InsertColumn(int Index);
    void InsertRow(int Index);
    void ExchangeRows(int A, int B);
    void ExchangeColumns(int A, int B);

    // Empties every cell, fixed ones included.
    void ClearCells();

    // ---- Clipboard and text --------------------------------------------------------------------
    // Cells of the rect, each followed by Separator, each row ended by CR LF.
    // A right (bottom) below the left (top) or negative reaches the last column (row).
    TStream* WriteRectAsText(TStream* Stream, char Separator, TGridRect Rect) const;
    // Fills cells from the rect's top left; a right (bottom) below its left (top)
    // is no limit, and the grid grows to take every line and field.
    void ReadRectFromText(TStream* Stream, char Separator, TGridRect Rect);
    void CopyToClipboard(char Separator, const TGridRect& Rect) const;
    void PasteFromClipboard(char Separator, const TGridRect& Rect);

    // ---- Sorting --------------------------------------------------------------------------------
    // Sorts the lines First..Last by the texts of line KeyIndex (a column when
    // rows are sorted, a row when columns are). Not stable.
    virtual void Sort(int KeyIndex, int First, int Last, TSortOrder Order, TSortLines Lines);

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void DefineProperties(TFiler* Filer) override;

    // ---- Drawing (public so a page or test can draw a cell on its own canvas) -----------------
    virtual void PrepareCellCanvas(int ACol, int ARow, TGridDrawState AState, TRect& ARect);
    virtual void DrawCellText(int ACol, int ARow, TGridDrawState AState, const TRect& ARect);
    virtual void DrawDropDownButton(int ACol, int ARow, TGridDrawState AState, TRect& ARect);

protected:
    virtual void Initialize();
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool CanEditShow() override;
    TInplaceEdit* CreateEditor() override;
    void UpdateText() override;
    void HideEdit() override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;
    void BoundsChanged(bool SizeChanged) override;
    void CMHintShow(TMessage& Message) override;
    void WMVScroll(TWMScroll& Message) override;
    void WMHScroll(TWMScroll& Message) override;

private:
    friend class TNewInplaceEdit;
    using TPropSlot = std::unique_ptr<TCellProperties>;
    using TPropList = std::vector<TPropSlot>;

    static TCellProperties* Find(const TPropList& List, int Index);
    TCellProperties* FindCell(int ACol, int ARow) const;
    static TCellProperties* Need(TAlignGrid* Grid, TPropList& List, int Index);
    // The records a cell's lookup visits, most specific first (null where none).
    void Levels(int ACol, int ARow, const TCellProperties* Out[3]) const;
    void GridChanged(TObject*) { Invalidate(); }
    void Watch(TGraphicsObject* Object);
    TNewInplaceEdit* Editor() const;

    // Edit protocol steps.
    void FinishEdit(int ACol, int ARow, bool Move);
    void CancelEditMsg(int ACol, int ARow);
    void BeginEditMsg(int ACol, int ARow);
    void RestoreEditMsg();
    // Cut, copy and paste of the selection; cells change only where the grid edits.
    void ClipboardCommand(unsigned Msg);
    void QuickSort(int KeyIndex, int Lo, int Hi, TSortOrder Order, TSortLines Lines);
    int Compare(TSortLines Lines, int KeyIndex, int A, int B);
    void ReadPropertyList(const TFormValue& Value, int Kind);
    void ReadLegacy(const TFormValue& Value, int Kind);

    TMyAlign FAlignment = TMyAlign::alLeft;
    T_Wordwrap FWordwrap = ww_none;
    TColor FSelectedCellColor = clActiveCaption;
    TColor FSelectedFontColor = clWhite;
    bool FDrawSelection = true;
    bool FAutoAdjustLastCol = false;
    std::unique_ptr<TMyFont> FFixedFont;
    std::unique_ptr<TMyBrush> FFixedBrush;
    TPropList FColProps, FRowProps, FFixedColProps, FFixedRowProps;
    std::vector<TPropList> FCellProps;             // [column][row]
    std::vector<std::vector<std::string>> FHints;  // [column][row]
    // The grid's own brush: its colour is the grid's Color.
    mutable TBrush FGridBrush;
    const TBrush* GridBrush() const;
    TGridCoord FHintCell{-1, -1};
    bool FHintsStored = false;
    bool FEditing = false;
    bool FInterrupted = false;
    int FSavedSelStart = 0, FSavedSelLength = -1;
    std::vector<std::vector<std::string>> FStoredCells;  // texts read from the form stream
    bool FCellsStored = false;
};

// A list that owns its items: deleting an entry frees it, and the list frees
// every item, last first, when it goes.
class TObjectList {
public:
    TObjectList() = default;
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;
    ~TObjectList();
    int Count() const { return int(FItems.size()); }
    TObject* Items(int Index) const;
    int Add(TObject* Item);
    void Insert(int Index, TObject* Item);
    // Frees the item, then removes its entry.
    void Delete(int Index);
    // Deletes the item; its former index, or -1 when the list does not hold it.
    int Remove(TObject* Item);
    void Clear();

private:
    void Check(int Index, int Limit) const;
    std::vector<TObject*> FItems;
};

// Support routines of the grid's clipboard exchange.
void StreamToClipboard(TStream* Stream, unsigned Format);
void ClipboardToStream(TStream* Stream, unsigned Format);
void StringToStream(TStream* Stream, const std::string& Text);

void RegisterAlignGridClasses();
