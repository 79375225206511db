// TControl, TGraphicControl and TCustomControl; TWinControl is in ControlsWin.cpp.

#include "Controls.h"
#include "ControlsPrivate.h"
#include "Forms.h"
#include "Menus.h"

#include <QCursor>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {
// The control the mouse is captured by (TargetId), for routing inside a parent.
HWND gCaptureControl = 0;
}  // namespace

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FTargetId = RegisterMessageTarget(this);
    ControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TControl::~TControl() {
    UnregisterMessageTarget(FTargetId);
    if (gCaptureControl == FTargetId) gCaptureControl = 0;
    if (Application) Application->ControlDestroyed(this);
    SetPopupMenu(nullptr);
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        // Take the parent's font and colour while they are inherited.
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
        Perform(CM_PARENTFONTCHANGED, 0, 0);
        Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool sizeChanged = AWidth != FWidth || AHeight != FHeight;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    InvalidateControl(FVisible, false);
    BoundsChanged(sizeChanged);
    RequestAlign();
}

void TControl::BoundsChanged(bool SizeChanged) {
    if (SizeChanged) Resize();
}

TRect TControl::GetClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientSize(int AWidth, int AHeight) {
    TRect cr = GetClientRect();
    SetBounds(FLeft, FTop, FWidth - cr.Width() + AWidth, FHeight - cr.Height() + AHeight);
}

TPoint TControl::ClientOrigin() const {
    if (!FParent) return TPoint{FLeft, FTop};
    TPoint p = FParent->ClientOrigin();
    return TPoint{p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) const {
    TPoint o = ClientOrigin();
    return TPoint{P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint P) const {
    TPoint o = ClientOrigin();
    return TPoint{P.X - o.X, P.Y - o.Y};
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign) return;
    TAlign old = FAlign;
    FAlign = Value;
    if (old == alNone || Value == alNone || FParent) RequestAlign();
}

void TControl::RequestAlign() {
    if (FParent) FParent->AlignControl(this);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible) return;
    VisibleChanging();
    InvalidateControl(true, false);
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value, 0);
    RequestAlign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::IsEnabledChain() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FEnabled) return false;
    return true;
}

void TControl::FontChanged(TObject*) {
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
    if (Value == FParentFont) return;
    FParentFont = Value;
    if (FParent && !ComponentState.Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
    if (Value == FParentColor) return;
    FParentColor = Value;
    if (FParent && !ComponentState.Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetText(const std::string& Value) {
    if (Value == GetTextValue()) return;
    SetTextValue(Value);
}

void TControl::SetTextValue(const std::string& Value) {
    FText = Value;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
    if (Value == FShowHint && !FParentShowHint) return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
    if (Value == FParentShowHint) return;
    FParentShowHint = Value;
    if (FParent && !ComponentState.Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (Value == FPopupMenu) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TControl::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* parent = dynamic_cast<TWinControl*>(Value)) SetParent(parent);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParent) {
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
        if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    }
    RequestAlign();
}

QWidget* TControl::ParentSurface() const {
    QWidget* w = FParent ? FParent->WidgetIfAllocated() : nullptr;
    if (!w) return nullptr;
    QWidget* client = FParent->ClientWidget();
    return client ? client : w;
}

void TControl::InvalidateControl(bool IsVisible, bool) {
    if (!IsVisible || dynamic_cast<TWinControl*>(this)) return;
    if (QWidget* surface = ParentSurface()) surface->update(FLeft, FTop, FWidth, FHeight);
}

void TControl::Invalidate() { InvalidateControl(FVisible, ControlStyle.Contains(csOpaque)); }

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    if (!FVisible) return;
    if (QWidget* surface = ParentSurface()) surface->repaint(FLeft, FTop, FWidth, FHeight);
}

LRESULT TControl::Perform(unsigned Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam};
    CallWindowProc(m);
    return m.Result;
}

void TControl::CallWindowProc(TMessage& Message) {
    if (!WindowProc) return WndProc(Message);
    // A copy: the procedure may put the previous one back while it runs.
    TWndMethod proc = WindowProc;
    proc(Message);
}

static bool IsInputMessage(unsigned msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           msg == CN_KEYDOWN || msg == CN_CHAR || msg == CN_SYSKEYDOWN || msg == CN_SYSCHAR || msg == CN_KEYUP;
}

void TControl::WndProc(TMessage& Message) {
    // The one place where input for a disabled control is dropped.
    if (IsInputMessage(Message.Msg) && !IsEnabledChain()) return;
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        if (Application) Application->MouseOverControl(this);
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: {
        TWMMouse m(Message);
        WMLButtonDown(m);
        break;
    }
    case WM_LBUTTONUP: {
        TWMMouse m(Message);
        WMLButtonUp(m);
        break;
    }
    case WM_LBUTTONDBLCLK: {
        TWMMouse m(Message);
        WMLButtonDblClk(m);
        break;
    }
    case WM_RBUTTONDOWN: {
        TWMMouse m(Message);
        WMRButtonDown(m);
        break;
    }
    case WM_RBUTTONUP: {
        TWMMouse m(Message);
        WMRButtonUp(m);
        break;
    }
    case WM_RBUTTONDBLCLK: {
        TWMMouse m(Message);
        WMRButtonDblClk(m);
        break;
    }
    case WM_MBUTTONDOWN: {
        TWMMouse m(Message);
        WMMButtonDown(m);
        break;
    }
    case WM_MBUTTONUP: {
        TWMMouse m(Message);
        WMMButtonUp(m);
        break;
    }
    case WM_MBUTTONDBLCLK: {
        TWMMouse m(Message);
        WMMButtonDblClk(m);
        break;
    }
    case WM_MOUSEMOVE: {
        TWMMouse m(Message);
        WMMouseMove(m);
        break;
    }
    case WM_MOUSEWHEEL: {
        TWMMouseWheel m(Message);
        WMMouseWheel(m);
        break;
    }
    case WM_CONTEXTMENU: {
        TWMContextMenu m(Message);
        WMContextMenu(m);
        break;
    }
    case WM_CANCELMODE: {
        TWMNoParams m(Message);
        WMCancelMode(m);
        break;
    }
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_HITTEST: CMHitTest(Message); break;
    case CM_HINTSHOW: CMHintShow(Message); break;
    case CM_CURSORCHANGED: CMCursorChanged(Message); break;
    case WM_GETTEXTLENGTH: Message.Result = LRESULT(GetTextValue().size()); break;
    default: DefaultHandler(Message); break;
    }
}

void TControl::DefaultHandler(TMessage& Message) {}

void TControl::MouseButtonMessage(TWMMouse& Message, TMouseButton Button, TMouseAction Action) {
    DefaultHandler(Message.M);
    TShiftState shift = Message.Shift();
    if (Action == TMouseAction::Up) return MouseUp(Button, shift, Message.XPos(), Message.YPos());
    if (Action == TMouseAction::DoubleClick) shift += ssDouble;
    MouseDown(Button, shift, Message.XPos(), Message.YPos());
}

void TControl::WMLButtonDown(TWMMouse& Message) {
    DefaultHandler(Message.M);
    if (ControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (ControlStyle.Contains(csClickEvents)) ControlState += csClicked;
    MouseDown(mbLeft, Message.Shift(), Message.XPos(), Message.YPos());
}

void TControl::WMLButtonUp(TWMMouse& Message) {
    DefaultHandler(Message.M);
    if (ControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (ControlState.Contains(csClicked)) {
        ControlState -= csClicked;
        if (GetClientRect().Contains(Message.Pos())) Click();
    }
    MouseUp(mbLeft, Message.Shift(), Message.XPos(), Message.YPos());
}

void TControl::WMLButtonDblClk(TWMMouse& Message) {
    DefaultHandler(Message.M);
    if (ControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (ControlStyle.Contains(csClickEvents)) DblClick();
    MouseDown(mbLeft, Message.Shift() + ssDouble, Message.XPos(), Message.YPos());
}

void TControl::WMRButtonDown(TWMMouse& Message) { MouseButtonMessage(Message, mbRight, TMouseAction::Down); }
void TControl::WMRButtonUp(TWMMouse& Message) { MouseButtonMessage(Message, mbRight, TMouseAction::Up); }
void TControl::WMRButtonDblClk(TWMMouse& Message) { MouseButtonMessage(Message, mbRight, TMouseAction::DoubleClick); }
void TControl::WMMButtonDown(TWMMouse& Message) { MouseButtonMessage(Message, mbMiddle, TMouseAction::Down); }
void TControl::WMMButtonUp(TWMMouse& Message) { MouseButtonMessage(Message, mbMiddle, TMouseAction::Up); }
void TControl::WMMButtonDblClk(TWMMouse& Message) { MouseButtonMessage(Message, mbMiddle, TMouseAction::DoubleClick); }

void TControl::WMMouseMove(TWMMouse& Message) {
    DefaultHandler(Message.M);
    MouseMove(Message.Shift(), Message.XPos(), Message.YPos());
}

void TControl::WMMouseWheel(TWMMouseWheel& Message) {
    TPoint pos{Message.XPos(), Message.YPos()};
    if (DoMouseWheel(Message.Shift(), Message.WheelDelta(), pos)) {
        Message.Result() = 1;
        return;
    }
    DefaultHandler(Message.M);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

void TControl::WMContextMenu(TWMContextMenu& Message) {
    if (Message.Result() != 0) return;
    TPoint screen{Message.XPos(), Message.YPos()};
    bool keyboard = screen.X == -1 && screen.Y == -1;
    TPoint client = keyboard ? TPoint{FWidth / 2, FHeight / 2} : ScreenToClient(screen);
    if (keyboard) screen = ClientToScreen(client);
    bool handled = false;
    DoContextPopup(client, handled);
    if (handled) {
        Message.Result() = 1;
        return;
    }
    if (FPopupMenu && FPopupMenu->AutoPopup) {
        FPopupMenu->PopupComponent = this;
        FPopupMenu->Popup(screen.X, screen.Y);
        Message.Result() = 1;
        return;
    }
    // The widget's own menu (an edit's), else the parent's.
    DefaultHandler(Message.M);
    if (Message.Result() == 0 && FParent)
        Message.Result() = FParent->Perform(WM_CONTEXTMENU, WPARAM(TargetId()), Message.M.LParam);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMCancelMode(TWMNoParams& Message) {
    if (GetMouseCapture()) {
        SetMouseCapture(false);
        if (ControlState.Contains(csLButtonDown)) ControlState -= csLButtonDown;
    }
    ControlState -= csClicked;
    DefaultHandler(Message.M);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

bool TControl::GetMouseCapture() const { return gCaptureControl == FTargetId; }

void TControl::SetMouseCapture(bool Value) {
    if (Value)
        gCaptureControl = FTargetId;
    else if (gCaptureControl == FTargetId)
        gCaptureControl = 0;
}

TControl* GetCaptureControl() { return FindTargetControl(gCaptureControl); }

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, false); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage&) {
    if (FParentFont && FParent) {
        FFont->Assign(FParent->GetFont());
        FParentFont = true;
    }
}

void TControl::CMParentColorChanged(TMessage&) {
    if (FParentColor && FParent) {
        if (FColor != FParent->GetColor()) {
            FColor = FParent->GetColor();
            Perform(CM_COLORCHANGED, 0, 0);
        }
        FParentColor = true;
    }
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (FParentShowHint && FParent) FShowHint = FParent->GetShowHint();
}

void TControl::CMMouseEnter(TMessage&) {
    FMouseInside = true;
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
    FMouseInside = false;
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = 1; }

void TControl::CMHintShow(TMessage&) {}

void TControl::CMCursorChanged(TMessage&) {}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool TopMost) {
    if (!FParent) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    InvalidateControl(FVisible, true);
}

TForm* GetParentForm(TControl* Control) {
    while (Control && Control->GetParent()) Control = Control->GetParent();
    return dynamic_cast<TForm*>(Control);
}

// ---------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(QPainter& Painter) {
    TCanvasPainterScope scope(FCanvas.get(), Painter);
    Paint();
}

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        TWMPaint m(Message);
        if (QPainter* p = m.Painter()) PaintTo(*p);
        return;
    }
    TControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(QPainter& Painter) {
    TCanvasPainterScope scope(FCanvas.get(), Painter);
    Paint();
}
