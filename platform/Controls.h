#pragma once
// Controls: the base of everything on a window.
//
//   TControl        bounds, parent, alignment, visibility, font, colour, text, hints,
//                   mouse events and the message switch (Perform -> WndProc -> Dispatch)
//   TWinControl     owns a Qt widget made on demand and turns its events into messages;
//                   children, tab order, focus, the align pass, painting of graphic children
//   TGraphicControl no widget of its own; its parent paints it through a TCanvas
//   TCustomControl  a windowed control that paints itself through Canvas and Paint
//
// Messages are also posted (PostMessage: through Qt's event queue, first in first
// out, delivered inside modal loops, dropped when the target is gone) and sent
// (SendMessage, Perform: at once). Non-visual components get hidden message targets
// (AllocateHWnd), timers (SetTimer, TTimer) and there is one caret per program.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"
#include "Types.h"

class QWidget;
class QEvent;
class QPainter;
class TControl;
class TWinControl;
class TPopupMenu;
class TForm;
class TControlBridge;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// Border styles of forms; controls use bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

using TCursor = int16_t;
enum : TCursor {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSize = -22,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
};

enum TControlStyleFlag {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents
};
using TControlStyle = Set<TControlStyleFlag>;

enum TControlStateFlag {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = Set<TControlStateFlag>;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
// Key is the typed character's code point; setting it to 0 drops the character.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// UTF-8 text of one code point (empty for 0).
std::string CharToUtf8(char32_t c);

// CM_HINTSHOW: LParam points at this; a handler may change the text or refuse (Result non-zero).
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint CursorPos;     // client coordinates of HintControl
    std::string HintStr;  // the short part shown in the tip
    TRect CursorRect;     // the tip stays while the mouse is inside
    TPoint HintPos;       // screen position of the tip; the cursor's unless a handler moves it
    int HideTimeout = 0;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // ---- Parent and bounds ----------------------------------------------------
    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // The client area in the control's own coordinates, (0, 0) at its top left.
    virtual TRect GetClientRect() const;
    TRect ClientRect() const { return GetClientRect(); }
    int GetClientWidth() const { return GetClientRect().Width(); }
    int GetClientHeight() const { return GetClientRect().Height(); }
    virtual void SetClientSize(int AWidth, int AHeight);
    void SetClientWidth(int Value) { SetClientSize(Value, GetClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(GetClientWidth(), Value); }
    // Screen position of the client area's top left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;

    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign Value);

    // ---- State -----------------------------------------------------------------
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, with every parent up to a shown top-level window.
    virtual bool Showing() const;
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Enabled, with every parent.
    bool IsEnabledChain() const;

    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    // Caption and Text are the same text (the window text).
    std::string GetText() const { return GetTextValue(); }
    void SetText(const std::string& Value);
    std::string GetCaption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }

    std::string Hint;
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    int HelpContext = 0;

    TControlStyle ControlStyle;
    TControlState ControlState;

    // ---- Events ----------------------------------------------------------------
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TContextPopupEvent OnContextPopup;
    TNotifyEvent OnResize;
    // Raised by windowed controls only (a graphic control never has the keyboard).
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // ---- Painting ----------------------------------------------------------------
    // Invalidate asks for a repaint soon; Repaint paints now; Update paints what is pending.
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // ---- Messages ----------------------------------------------------------------
    LRESULT Perform(unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // The control's message entry: WndProc unless replaced. Whoever replaces it
    // keeps the previous value and passes messages on to it (or calls WndProc
    // when it was empty); every message sent, posted or performed goes here.
    using TWndMethod = std::function<void(TMessage&)>;
    TWndMethod WindowProc;
    void CallWindowProc(TMessage& Message);
    // Every message passes here first; input for a disabled control stops here.
    virtual void WndProc(TMessage& Message);
    // The message switch: routes a message number to its typed handler.
    virtual void Dispatch(TMessage& Message);
    // What happens to a message nobody handled.
    virtual void DefaultHandler(TMessage& Message);

    void BringToFront();
    void SendToBack();
    virtual void Click();
    virtual void DblClick();
    bool GetMouseCapture() const;
    void SetMouseCapture(bool Value);

    // The identity posted messages and timers use to find this control while it lives.
    HWND TargetId() const { return FTargetId; }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // The window-definition reader's placing: the parent is the windowed control holding it.
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;

protected:
    friend class TWinControl;
    friend class TControlBridge;

    virtual std::string GetTextValue() const { return FText; }
    virtual void SetTextValue(const std::string& Value);
    // The parent's client area changed how this control must be drawn.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    virtual void RequestAlign();
    virtual void Resize();
    virtual void VisibleChanging() {}
    virtual void SetZOrder(bool TopMost);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // After the bounds changed; the default raises OnResize for a new size.
    virtual void BoundsChanged(bool SizeChanged);
    virtual void FontChanged(TObject* Sender);

    // Typed handlers, by message.
    virtual void WMLButtonDown(TWMMouse& Message);
    virtual void WMLButtonUp(TWMMouse& Message);
    virtual void WMLButtonDblClk(TWMMouse& Message);
    virtual void WMRButtonDown(TWMMouse& Message);
    virtual void WMRButtonUp(TWMMouse& Message);
    virtual void WMRButtonDblClk(TWMMouse& Message);
    virtual void WMMButtonDown(TWMMouse& Message);
    virtual void WMMButtonUp(TWMMouse& Message);
    virtual void WMMButtonDblClk(TWMMouse& Message);
    virtual void WMMouseMove(TWMMouse& Message);
    virtual void WMMouseWheel(TWMMouseWheel& Message);
    virtual void WMContextMenu(TWMContextMenu& Message);
    virtual void WMCancelMode(TWMNoParams& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentShowHintChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMHitTest(TMessage& Message);
    virtual void CMHintShow(TMessage& Message);
    virtual void CMCursorChanged(TMessage& Message);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::string FText;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TCursor FCursor = crDefault;
    HWND FTargetId = 0;
    bool FMouseInside = false;

private:
    enum class TMouseAction { Down, Up, DoubleClick };
    // A button message's default handling, then MouseDown or MouseUp.
    void MouseButtonMessage(TWMMouse& Message, TMouseButton Button, TMouseAction Action);
    // The surface this control is painted on (its parent's client widget), if made yet.
    QWidget* ParentSurface() const;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // ---- The widget ----------------------------------------------------------------
    // The window handle; makes the widget when there is none yet.
    HWND GetHandle();
    HWND Handle() { return GetHandle(); }
    bool HandleAllocated() const { return FWidget != nullptr; }
    void HandleNeeded();
    // Destroys the widget (and the children's); it is made again on demand, state kept.
    void DestroyHandle();
    void RecreateWnd();
    // The widget, made on demand; WidgetIfAllocated does not make it.
    QWidget* Widget();
    QWidget* WidgetIfAllocated() const { return FWidget; }
    // The widget children's widgets live in (the form's client area, for instance).
    virtual QWidget* ClientWidget();

    // ---- Children ------------------------------------------------------------------------
    // Graphic children first, then windowed ones, each in z-order (bottom first).
    int ControlCount() const { return int(FControls.size() + FWinControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The child at a client position; nullptr when none.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;

    // ---- Tab order and focus ---------------------------------------------------------------
    int GetTabOrder() const;
    void SetTabOrder(int Value);
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // Windowed descendants in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    virtual void SetFocus();
    virtual bool CanFocus() const;
    virtual bool Focused() const;

    // ---- Alignment -----------------------------------------------------------------------
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    bool AlignDisabled() const { return FAlignLevel > 0; }
    void Realign();
    // Realigns the children, AControl first among those of its alignment (it just changed).
    void AlignControl(TControl* AControl);

    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    // Moves what the window shows, children included, by DeltaX and DeltaY
    // pixels. A control without children keeps the pixels it has and is
    // painted again only where the move uncovered it.
    void ScrollBy(int DeltaX, int DeltaY);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect GetClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetParent(TWinControl* AParent) override;
    bool Showing() const override;
    void DefaultHandler(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    // Aligns the children once the definition is read.
    void Loaded() override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // The windowed control whose widget is Widget or one of its ancestors; nullptr when none.
    static TWinControl* FromWidget(QWidget* Widget);

protected:
    friend class TControl;
    friend class TControlBridge;

    // Makes the widget: CreateWidget, then position, font, colour, visibility, children.
    virtual void CreateWnd();
    // The widget for this control, child of ParentWidget (nullptr for a top-level window).
    // Derived controls return a Qt widget of their kind (a QPushButton, a QLineEdit): its
    // events arrive as messages, and a message that reaches DefaultHandler gets the
    // widget's own handling of the event it came from.
    virtual QWidget* CreateWidget(QWidget* ParentWidget);
    // How the plain widget of the default CreateWidget takes the keyboard focus:
    // not at all, or by tab and click with input methods off (a control that
    // draws and edits its own text from key messages).
    enum class TWidgetFocus { None, TabAndClick };
    void SetWidgetFocus(TWidgetFocus Focus) { FWidgetFocus = Focus; }
    virtual void DestroyWnd();
    // Applies the control's properties to a fresh or changed widget.
    virtual void UpdateWidget();
    virtual void UpdateWidgetFont();
    virtual void UpdateWidgetColor();
    // Lets an inner widget of a composite Qt widget (a combo box's edit, a scroll
    // area's viewport) deliver its input and paint events as this control's messages.
    void BridgeWidget(QWidget* Inner);

    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The part of the client area aligned children share (less borders and bevels).
    virtual void AdjustClientRect(TRect& Rect) {}
    void BoundsChanged(bool SizeChanged) override;
    // The widget was moved or resized by the window system: take its geometry.
    virtual void WidgetGeometryChanged();
    // Paints the window's own content; the default lets the widget paint itself.
    virtual void PaintWindow(QPainter& Painter);
    void PaintHandler(TWMPaint& Message);
    // Paints the graphic children that intersect the painter's clip.
    void PaintControls(QPainter& Painter);

    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    // OnKeyDown and friends, with the form's KeyPreview first; true when the key was eaten.
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);

    virtual void WMKeyDown(TWMKey& Message);
    virtual void WMKeyUp(TWMKey& Message);
    virtual void WMChar(TWMKey& Message);
    virtual void WMSysKeyDown(TWMKey& Message);
    virtual void WMSysKeyUp(TWMKey& Message);
    virtual void WMSysChar(TWMKey& Message);
    // The key-down before the control sees it: menu shortcuts and dialog keys.
    virtual void CNKeyDown(TWMKey& Message);
    virtual void CNChar(TWMKey& Message);
    virtual void WMSetFocus(TWMSetFocus& Message);
    virtual void WMKillFocus(TWMKillFocus& Message);
    virtual void WMPaint(TWMPaint& Message);
    virtual void WMSize(TWMSize& Message);
    virtual void WMMove(TWMMove& Message);
    virtual void WMShowWindow(TWMShowWindow& Message);
    virtual void WMTimer(TWMTimer& Message);
    // The keys a control handles itself (DLGC_WANTARROWS, DLGC_WANTTAB, DLGC_WANTALLKEYS,
    // DLGC_WANTCHARS). The default wants none, so the form's dialog keys move the focus;
    // an edit or a grid answers here to keep its arrows.
    virtual void WMGetDlgCode(TMessage& Message);
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    virtual void CMDialogKey(TWMKey& Message);
    virtual void CMDialogChar(TWMKey& Message);
    virtual void CMWantSpecialKey(TWMKey& Message);
    virtual void CMChildKey(TWMKey& Message);
    virtual void CMFocusChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMCursorChanged(TMessage& Message) override;
    void SetZOrder(bool TopMost) override;

    // Sends Message to every child; stops at the first that sets Result.
    void Broadcast(TMessage& Message);
    void NotifyControls(unsigned Msg);

    QWidget* FWidget = nullptr;
    TControlBridge* FBridge = nullptr;
    TWidgetFocus FWidgetFocus = TWidgetFocus::None;
    HWND FHandle = 0;
    std::vector<TControl*> FControls;        // graphic children
    std::vector<TWinControl*> FWinControls;  // windowed children
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    int FAlignLevel = 0;
    bool FAligning = false;
};

// A control without a widget; its parent paints it through Canvas.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* GetCanvas() const { return FCanvas.get(); }
    TCanvas* Canvas() const { return FCanvas.get(); }
    // Paints the control through Painter, whose origin is the control's top left.
    void PaintTo(QPainter& Painter);

protected:
    virtual void Paint() {}
    void Dispatch(TMessage& Message) override;
    std::unique_ptr<TCanvas> FCanvas;
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* GetCanvas() const { return FCanvas.get(); }
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(QPainter& Painter) override;
    std::unique_ptr<TCanvas> FCanvas;
};

// A canvas on a windowed control's client widget, usable while that widget is
// being painted (from the control's WM_PAINT on, after the painting that the
// message does itself); elsewhere it has no handle and draws nothing.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl* Control);
    ~TControlCanvas() override;

private:
    std::unique_ptr<QPainter> FPainter;
};

// The form a control sits on; nullptr when none.
TForm* GetParentForm(TControl* Control);
// The control a window handle belongs to; nullptr when none.
TWinControl* FindControl(HWND Handle);
// The control that has the keyboard focus; nullptr when none.
TWinControl* FindFocusedControl();
// True while a focus gain is handled that a mouse press caused: the window
// system moves the focus before the press itself arrives.
bool FocusFromMousePress();
// Hints: the part before the first "|", and the part after it (both the whole hint without "|").
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);
// The hint shown for a control: its own, else its nearest parent's.
std::string GetHint(TControl* Control);

// ---- Posting, sending, hidden targets -------------------------------------------
// Queues a message for Target; false when the target does not exist. Delivery is
// first in, first out, also inside modal loops; a message for a target destroyed
// meanwhile is dropped. Safe to call from any thread.
bool PostMessage(HWND Target, unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
bool PostMessage(TControl* Target, unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Delivers at once and returns the Result (0 for an unknown target).
LRESULT SendMessage(HWND Target, unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
LRESULT SendMessage(TControl* Target, unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// A hidden message target for a non-visual component. Every message sent or posted
// to it reaches Proc (with exceptions handed to the application's handler).
HWND AllocateHWnd(std::function<void(TMessage&)> Proc);
void DeallocateHWnd(HWND Handle);
bool IsWindow(HWND Handle);
// Runs Action later from the event loop, guarded like any dispatch.
void QueueCall(std::function<void()> Action);

// ---- Timers ----------------------------------------------------------------------
// WM_TIMER (WParam = IDEvent) every Elapse ms to the target; a second call with the
// same id restarts it. Returns IDEvent, or 0 when the target does not exist.
uintptr_t SetTimer(HWND Target, uintptr_t IDEvent, unsigned Elapse);
uintptr_t SetTimer(TControl* Target, uintptr_t IDEvent, unsigned Elapse);
bool KillTimer(HWND Target, uintptr_t IDEvent);
bool KillTimer(TControl* Target, uintptr_t IDEvent);

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer;
    void Loaded() override;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    HWND FWindow = 0;
    bool FRunning = false;
};

// ---- Carets ------------------------------------------------------------------------
// One caret for the program, drawn by the layer in the owning window (inverted).
// CreateCaret makes it hidden; ShowCaret and HideCaret nest like the platform's.
bool CreateCaret(TWinControl* Owner, int Width, int Height, bool Gray = false);
bool CreateCaret(HWND Owner, int Width, int Height, bool Gray = false);
// A caret of the bitmap's shape: its white pixels invert what is under them.
bool CreateCaret(TWinControl* Owner, TBitmap* Shape);
bool DestroyCaret();
bool SetCaretPos(int X, int Y);
bool GetCaretPos(TPoint& Pos);
bool ShowCaret(HWND Owner);
bool HideCaret(HWND Owner);
unsigned GetCaretBlinkTime();
bool SetCaretBlinkTime(unsigned Milliseconds);

// ---- Input state -------------------------------------------------------------------
// Called by the layer for each input event it dispatches; tests may call it too.
void SetInputState(TShiftState Shift);
TShiftState GetInputState();
// Exceptions caught at a dispatch point go here (the application's handler).
void HandleDispatchException(TObject* Sender);
// Runs Action, handing any exception to the application's handler.
void GuardedCall(TObject* Sender, const std::function<void()>& Action);
// Hands a failure in measuring or painting to the application's handler once
// the layout or paint that ran into it, which belongs to Qt, has finished.
void ReportLater(std::exception_ptr Failure);
// Runs a Qt signal's handler. Inside the layer's own event handling a failure
// goes on to that dispatch point; a signal Qt emits by itself (input methods,
// menu hovering) hands it to the application here, so none crosses Qt's loop.
void SignalCall(TObject* Sender, const std::function<void()>& Action);
uint32_t GetTickCount();

// Registers the published properties of controls, forms, menus, timers and dialogs
// (and the cursor names) for window definitions. Safe to call more than once.
void RegisterControlsClasses();
