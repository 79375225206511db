#pragma once
// Standard controls: edits and memos, labels, buttons, check boxes, radio
// buttons, group boxes and combo boxes.
//
// Each control keeps its state in the T-class, so it works before (and
// without) its Qt widget; the widget, made on demand, shows that state and
// reports the person's changes back. A single-line edit does its own editing
// through TEditBuffer, so key messages reach the overridable KeyDown and
// KeyPress before the edit acts, whether they come from Qt or from Perform.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "Messages.h"

class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QScrollBar;

// ---- Scroll bars -------------------------------------------------------------------
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarKind { sbHorizontal, sbVertical };

// WM_HSCROLL / WM_VSCROLL: low word of WParam the code, high word the thumb position.
enum : unsigned {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};
struct TWMScroll : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    unsigned ScrollCode() const { return LoWord(M.WParam); }
    int Pos() const { return int16_t(HiWord(M.WParam)); }
};

// True when Key is the accelerator ("&" marker) of Caption, letter case ignored.
bool IsAccel(char32_t Key, const std::string& Caption);

// ---------------------------------------------------------------------------
// The editing model of a single-line edit: text, caret and selection, in
// characters (code points). No window and no key codes here.

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TEditBuffer {
public:
    std::string GetText() const;
    // Replaces the text (cut to MaxLength) and puts the caret at its end.
    void SetText(const std::string& Value);
    int Length() const { return int(FText.size()); }
    // 0 means no limit.
    int MaxLength = 0;
    TEditCharCase CharCase = ecNormal;

    int SelStart() const { return std::min(FAnchor, FCaret); }
    int SelLength() const { return std::abs(FCaret - FAnchor); }
    int Caret() const { return FCaret; }
    int Anchor() const { return FAnchor; }
    std::string SelText() const;
    // Start and length are clamped to the text.
    void SetSel(int Start, int Len);
    // The caret moves to Pos; Extend keeps the anchor (a selection from it).
    void MoveTo(int Pos, bool Extend);
    void SelectAll() { SetSel(0, Length()); }
    void SetAnchorCaret(int AAnchor, int ACaret) {
        FAnchor = std::clamp(AAnchor, 0, Length());
        FCaret = std::clamp(ACaret, 0, Length());
    }

    // Replaces the selection with Text, cut so the whole stays within MaxLength;
    // false when nothing changed.
    bool ReplaceSel(const std::string& Text);
    // The editing keys: false when the text did not change.
    bool Backspace();
    bool DeleteForward();
    int WordLeft(int From) const;
    int WordRight(int From) const;

private:
    std::u32string FText;
    int FCaret = 0;
    int FAnchor = 0;
    std::u32string ApplyCase(std::u32string s) const;
};

// ---------------------------------------------------------------------------
// Edits

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    virtual int GetSelStart() const;
    virtual void SetSelStart(int Value);
    virtual int GetSelLength() const;
    virtual void SetSelLength(int Value);
    virtual std::string GetSelText() const;
    virtual void SetSelText(const std::string& Value);
    void SelectAll();
    void ClearSelection();
    void Clear() { SetText(""); }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo() const { return FHasUndo; }

    int GetMaxLength() const { return FBuffer.MaxLength; }
    virtual void SetMaxLength(int Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool AutoSelect = true;
    bool GetModified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    TEditCharCase GetCharCase() const { return FBuffer.CharCase; }
    void SetCharCase(TEditCharCase Value);
    char32_t GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    bool GetHideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool OEMConvert = false;
    // Text alignment; a change remakes the window, keeping the selection.
    TAlignment GetAlignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment Value);

    TNotifyEvent OnChange;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    // After every change of the text, by the person or by code.
    virtual void Change();
    std::string GetTextValue() const override;
    void SetTextValue(const std::string& Value) override;
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void DoEnter() override;
    void AdjustHeight();
    void FontChanged(TObject* Sender) override;

    // The editing the control does when a key reaches its default handling:
    // both run after KeyDown / KeyPress have had the key.
    virtual void EditKeyDown(Word Key, TShiftState Shift);
    virtual void EditChar(char32_t Key);

    // The standard menu of an edit (Undo, Cut, Copy, Paste, Delete, Select All) at a
    // screen position; each item sends its message, so derived edits' handlers apply.
    virtual void ShowEditMenu(TPoint ScreenPos);
    virtual void WMCut(TMessage& Message);
    virtual void WMCopy(TMessage& Message);
    virtual void WMPaste(TMessage& Message);
    virtual void WMClear(TMessage& Message);
    virtual void WMUndo(TMessage& Message);
    void WMGetDlgCode(TMessage& Message) override;

    // Shows the buffer's text and selection in the widget.
    virtual void SyncWidget();
    // A change made by the person (or by code) to the buffer: undo, widget, Modified, Change.
    void BufferChanged(const TEditBuffer& Before, bool ByUser);

    TEditBuffer FBuffer;
    bool FReadOnly = false;
    bool FModified = false;
    char32_t FPasswordChar = 0;
    bool FHideSelection = true;
    TBorderStyle FBorderStyle = bsSingle;
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    bool FSyncing = false;
    bool FHasUndo = false;
    TEditBuffer FUndo;
    QLineEdit* LineEdit() const;
    void UpdateWidgetColor() override;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* GetLines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns = true;
    bool WantTabs = false;

    int GetSelStart() const override;
    void SetSelStart(int Value) override;
    int GetSelLength() const override;
    void SetSelLength(int Value) override;
    std::string GetSelText() const override;
    void SetSelText(const std::string& Value) override;
    void SetMaxLength(int Value) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    std::string GetTextValue() const override;
    void SetTextValue(const std::string& Value) override;
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void SyncWidget() override;
    void DoEnter() override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void WMCopy(TMessage& Message) override;
    void WMClear(TMessage& Message) override;

private:
    void LinesChanged();
    void WidgetTextChanged();
    std::unique_ptr<TStringList> FLines;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FLinesSyncing = false;
    int FSelStart = 0, FSelLength = 0;
    QPlainTextEdit* TextEdit() const;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------------------
// Labels

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool GetTransparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    // Draws the caption into Rect with DrawText's Flags (DT_CALCRECT measures).
    virtual void DoDrawText(TRect& Rect, unsigned Flags);
    virtual std::string GetLabelText() const { return GetText(); }
    // With AutoSize, fits the bounds to the text, keeping the aligned edge.
    virtual void AdjustBounds();
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    virtual void CMDialogChar(TWMKey& Message);

    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// Buttons

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    // Clicks made while the state is set by code (or while loading) stay silent.
    bool ClicksDisabled() const { return FClicksDisabled > 0 || ComponentState.Contains(csLoading); }
    int FClicksDisabled = 0;
    void CMDialogChar(TWMKey& Message) override;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);

    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value);
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Set on the parent form when the button is clicked.
    int ModalResult = 0;
    // Sets the form's ModalResult, then OnClick.
    void Click() override;

protected:
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void CMTextChanged(TMessage& Message) override;
    void CMDialogKey(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    bool FDefault = false;
    bool FCancel = false;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TLeftRight { taLeftSide, taRightSide };

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    bool GetChecked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState() const { return FState; }
    // A change clicks the box (OnClick) unless made while loading.
    void SetState(TCheckBoxState Value);
    bool AllowGrayed = false;
    // taRightJustify: the text right of the box (the default).
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    // The person clicked: unchecked -> checked -> grayed (when allowed) -> unchecked.
    virtual void Toggle();
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void CMTextChanged(TMessage& Message) override;
    void CMDialogChar(TWMKey& Message) override;
    TCheckBoxState FState = cbUnchecked;
    TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool GetChecked() const { return FChecked; }
    // Checking unchecks the other radio buttons of the parent and clicks this one.
    virtual void SetChecked(bool Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void CMTextChanged(TMessage& Message) override;
    void CMDialogChar(TWMKey& Message) override;
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void CMTextChanged(TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---------------------------------------------------------------------------
// Combo boxes

// A scroll bar control. Setting the position (by code or by the person)
// fires OnChange once the position changed.
class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind GetKind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int GetMin() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int GetMax() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int GetPosition() const { return FPosition; }
    // Clamped to Min..Max.
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    void SetParams(int APosition, int AMin, int AMax);
    int SmallChange = 1;
    int LargeChange = 1;
    int PageSize = 0;
    TNotifyEvent OnChange;

protected:
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;

private:
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
using TOwnerDrawState = Set<TOwnerDrawStateItem>;
// Draws item Index of an owner-drawn list into Rect of the control's canvas.
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TStrings* GetItems() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int GetItemIndex() const { return FItemIndex; }
    // Setting by code does not raise OnChange.
    void SetItemIndex(int Value);
    TComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    bool GetSorted() const { return FItems->GetSorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int DropDownCount = 8;
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool GetDroppedDown() const;
    void SetDroppedDown(bool Value);
    void Clear();
    // Owner-drawn styles: every item (and the closed box's current one, with
    // odComboBoxEdit) is ItemHeight pixels high and drawn by DrawItem on Canvas.
    int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    bool IsOwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    TCanvas* GetCanvas() const { return FCanvas.get(); }
    TCanvas* Canvas() const { return FCanvas.get(); }
    // OnDrawItem when assigned; else the item's text on the canvas's brush.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TDrawItemEvent OnDrawItem;

protected:
    virtual void Change();
    virtual void Select();
    std::string GetTextValue() const override;
    void SetTextValue(const std::string& Value) override;
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void WMGetDlgCode(TMessage& Message) override;
    void Loaded() override;

private:
    void ItemsChanged();
    void PushItems();
    void WidgetIndexChosen(int Index);
    void WidgetTextEdited(const std::string& Text);
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    TComboBoxStyle FStyle = csDropDown;
    std::string FEditText;
    int FMaxLength = 0;
    int FItemHeight = 16;
    bool FSyncing = false;
    std::unique_ptr<TCanvas> FCanvas;
    QComboBox* Combo() const;
    friend class TOwnerDrawComboWidget;
    friend class TOwnerDrawComboDelegate;
    // Binds the canvas to Painter, sets it up for State and draws the item.
    void PaintItem(QPainter& Painter, int Index, const TRect& Rect, TOwnerDrawState State);
    // A list the person only picks from (no text of their own).
    bool IsList() const { return FStyle == csDropDownList || IsOwnerDrawn(); }
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// Registers the published properties of the classes above. Safe to call more than once.
void RegisterStdCtrlsClasses();
