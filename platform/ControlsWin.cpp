// TWinControl: the widget made on demand, children, tab order and focus, the
// align pass, painting of graphic children and the keyboard messages.

#include "Controls.h"
#include "ControlsPrivate.h"
#include "Forms.h"
#include "Menus.h"

#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Leave the parent while this is still a windowed control to it.
    if (FParent) FParent->RemoveControl(this);
    DestroyWnd();
    // Children go with their parent; those their owner is freeing already stay to it.
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
        RemoveControl(c);
        if (!c->ComponentState.Contains(csDestroying)) delete c;
    }
}

HWND TWinControl::GetHandle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FWidget) return;
    if (FParent) FParent->HandleNeeded();
    if (!FWidget) CreateWnd();
}

QWidget* TWinControl::Widget() {
    HandleNeeded();
    return FWidget;
}

QWidget* TWinControl::ClientWidget() { return Widget(); }

QWidget* TWinControl::CreateWidget(QWidget* ParentWidget) {
    auto* w = new QWidget(ParentWidget);
    if (FWidgetFocus == TWidgetFocus::TabAndClick) {
        w->setFocusPolicy(Qt::StrongFocus);
        w->setAttribute(Qt::WA_InputMethodEnabled, false);
    } else {
        w->setFocusPolicy(Qt::NoFocus);
    }
    return w;
}

void TWinControl::CreateWnd() {
    if (!QApplication::instance()) throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    QWidget* parentWidget = FParent ? FParent->ClientWidget() : nullptr;
    if (FWidget) return;  // made while the parent made its children
    FWidget = CreateWidget(parentWidget);
    FBridge = NewBridge(this, FWidget);
    WidgetMap().insert(FWidget, this);
    FHandle = RegisterMessageTarget(this);
    UpdateWidget();
    if (QWidget* client = ClientWidget(); client && client != FWidget) {
        WidgetMap().insert(client, this);
        BridgeWatch(FBridge, client);
    }
    for (TWinControl* child : std::vector<TWinControl*>(FWinControls))
        if (!child->FWidget) child->CreateWnd();
    Realign();
}

void TWinControl::BridgeWidget(QWidget* Inner) {
    if (!Inner || !FBridge) return;
    WidgetMap().insert(Inner, this);
    BridgeWatch(FBridge, Inner);
}

void TWinControl::UpdateWidget() {
    if (!FWidget) return;
    if (FParent) FWidget->setGeometry(FLeft, FTop, FWidth, FHeight);
    FWidget->setEnabled(FEnabled);
    UpdateWidgetFont();
    UpdateWidgetColor();
    if (FCursor != crDefault) FWidget->setCursor(QCursor(Qt::CursorShape(CursorToQtShape(FCursor))));
    if (FParent) FWidget->setVisible(FVisible);
    // Windowed children stack above graphic ones in the order of the list.
    if (FParent) {
        for (TWinControl* sibling : FParent->FWinControls)
            if (sibling->FWidget) sibling->FWidget->raise();
    }
}

void TWinControl::UpdateWidgetFont() {
    if (FWidget) FWidget->setFont(FFont->ToQFont());
}

void TWinControl::UpdateWidgetColor() {
    if (!FWidget) return;
    QWidget* target = ClientWidget();
    if (!target) return;
    QPalette pal = target->palette();
    pal.setColor(QPalette::Window, ColorToQColor(FColor));
    target->setPalette(pal);
    target->setAutoFillBackground(true);
}

void TWinControl::DestroyWnd() {
    if (!FWidget) return;
    ControlState += csDestroyingHandle;
    for (TWinControl* child : FWinControls) child->DestroyWnd();
    QWidget* w = FWidget;
    QWidget* client = nullptr;
    for (auto it = WidgetMap().begin(); it != WidgetMap().end();) {
        if (it.value() == this) {
            if (it.key() != w) client = it.key();
            it = WidgetMap().erase(it);
        } else {
            ++it;
        }
    }
    (void)client;
    DetachBridge(FBridge);
    FBridge = nullptr;
    FWidget = nullptr;
    UnregisterMessageTarget(FHandle);
    FHandle = 0;
    ForgetFocus(TargetId());
    w->hide();
    if (BridgeDepth() > 0)
        w->deleteLater();
    else
        delete w;
    ControlState -= csDestroyingHandle;
}

void TWinControl::DestroyHandle() { DestroyWnd(); }

void TWinControl::RecreateWnd() {
    if (!FWidget) return;
    bool hadFocus = Focused();
    DestroyWnd();
    HandleNeeded();
    if (hadFocus && CanFocus()) SetFocus();
}

TWinControl* TWinControl::FromWidget(QWidget* Widget) {
    for (QWidget* w = Widget; w; w = w->parentWidget()) {
        auto it = WidgetMap().find(w);
        if (it != WidgetMap().end()) return it.value();
        // A window of its own (a message box, a dialog over a form) is no
        // control of the form it is parented to.
        if (w->isWindow()) break;
    }
    return nullptr;
}

TWinControl* FindFocusedControl() { return TWinControl::FromWidget(QApplication::focusWidget()); }

// ---- Children -------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
    int n = int(FControls.size());
    if (Index < 0 || Index >= ControlCount())
        throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
    return Index < n ? FControls[size_t(Index)] : FWinControls[size_t(Index - n)];
}

void TWinControl::InsertControl(TControl* AControl) {
    if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(wc);
        FTabList.push_back(wc);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FParent = this;
    if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
        if (FWidget && !wc->FWidget) wc->CreateWnd();
    } else {
        AControl->Invalidate();
    }
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 1);
    if (AControl->FAlign != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (AControl->FParent != this) return;
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 0);
    if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
        if (TForm* form = GetParentForm(this)) form->DefocusControl(wc, true);
        wc->DestroyWnd();
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), wc), FWinControls.end());
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), wc), FTabList.end());
    } else {
        AControl->Invalidate();
        FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    }
    AControl->FParent = nullptr;
    if (AControl->FAlign != alNone) Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
    for (TControl* c = Control; c; c = c->GetParent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    auto hit = [&](TControl* c) {
        if (!c->FVisible || (!AllowDisabled && !c->FEnabled)) return false;
        if (!c->BoundsRect().Contains(Pos)) return false;
        return c->Perform(CM_HITTEST, 0, MakeLParam(Pos.X - c->FLeft, Pos.Y - c->FTop)) != 0;
    };
    if (AllowWinControls)
        for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
            if (hit(*it)) return *it;
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (hit(*it)) return *it;
    return nullptr;
}

// ---- Tab order and focus ----------------------------------------------------------

int TWinControl::GetTabOrder() const {
    if (!FParent) return -1;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (Value < 0 || Value > int(list.size())) Value = int(list.size());
    list.insert(list.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
    if (Value == FTabStop) return;
    FTabStop = Value;
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int count = int(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? count - 1 : 0) : int(found - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == count) i = 0;
        } else {
            if (i == 0) i = count;
            --i;
        }
        TWinControl* c = list[size_t(i)];
        if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this)) return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

void TWinControl::SetFocus() {
    if (TForm* form = GetParentForm(this)) {
        form->FocusControl(this);
    } else if (QWidget* w = Widget()) {
        w->setFocus(Qt::OtherFocusReason);
    }
}

bool TWinControl::CanFocus() const {
    // Visible and enabled up to the form; the form itself may still be hidden.
    TForm* form = GetParentForm(const_cast<TWinControl*>(this));
    if (!form) return false;
    for (const TControl* c = this; c && c != static_cast<const TControl*>(form); c = c->GetParent())
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

bool TWinControl::Focused() const { return FWidget && TWinControl::FromWidget(QApplication::focusWidget()) == this; }

// ---- Bounds and alignment ----------------------------------------------------------

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TWinControl::BoundsChanged(bool SizeChanged) {
    if (FWidget && FParent) {
        QRect g(FLeft, FTop, FWidth, FHeight);
        if (FWidget->geometry() != g) FWidget->setGeometry(g);
    }
    if (SizeChanged) {
        TRect cr = GetClientRect();
        Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(cr.Width(), cr.Height()));
    }
}

void TWinControl::WidgetGeometryChanged() {
    if (!FWidget || !FParent) return;
    QRect g = FWidget->geometry();
    if (g.x() != FLeft || g.y() != FTop || g.width() != FWidth || g.height() != FHeight)
        SetBounds(g.x(), g.y(), g.width(), g.height());
}

TRect TWinControl::GetClientRect() const { return TControl::GetClientRect(); }

TPoint TWinControl::ClientOrigin() const {
    if (FWidget) {
        QWidget* client = const_cast<TWinControl*>(this)->ClientWidget();
        QPoint p = client->mapToGlobal(QPoint(0, 0));
        return TPoint{p.x(), p.y()};
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    // The widget is made again under the new parent's.
    if (FWidget) DestroyWnd();
    TControl::SetParent(AParent);
}

bool TWinControl::Showing() const {
    if (FWidget) return FWidget->isVisible();
    return false;
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0) --FAlignLevel;
    if (FAlignLevel == 0 && ControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
    if (FAlignLevel > 0 || ComponentState.Contains(csLoading)) {
        ControlState += csAlignmentNeeded;
        return;
    }
    if (FAligning) return;
    FAligning = true;
    ControlState -= csAlignmentNeeded;
    try {
        TRect r = GetClientRect();
        AlignControls(AControl, r);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::AlignControls(TControl* AControl, TRect& R) {
    AdjustClientRect(R);
    auto insertBefore = [](TControl* c1, TControl* c2, TAlign a) {
        switch (a) {
        case alTop: return c1->FTop < c2->FTop;
        case alBottom: return c1->FTop + c1->FHeight >= c2->FTop + c2->FHeight;
        case alLeft: return c1->FLeft < c2->FLeft;
        case alRight: return c1->FLeft + c1->FWidth >= c2->FLeft + c2->FWidth;
        default: return false;
        }
    };
    auto doPosition = [&R](TControl* c, TAlign a) {
        int w = R.Right - R.Left;
        if (w < 0 || a == alLeft || a == alRight) w = c->FWidth;
        int h = R.Bottom - R.Top;
        if (h < 0 || a == alTop || a == alBottom) h = c->FHeight;
        int l = R.Left, t = R.Top;
        switch (a) {
        case alTop: R.Top += h; break;
        case alBottom:
            R.Bottom -= h;
            t = R.Bottom;
            break;
        case alLeft: R.Left += w; break;
        case alRight:
            R.Right -= w;
            l = R.Right;
            break;
        default: break;
        }
        c->SetBounds(l, t, w, h);
        // A control that kept another size gives the difference back.
        switch (a) {
        case alTop: R.Top -= h - c->FHeight; break;
        case alBottom: R.Bottom += h - c->FHeight; break;
        case alLeft: R.Left -= w - c->FWidth; break;
        case alRight: R.Right += w - c->FWidth; break;
        default: break;
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        if (AControl && AControl->FAlign == a && AControl->FVisible) list.push_back(AControl);
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (c->FAlign != a || !c->FVisible || c == AControl) continue;
            size_t j = 0;
            while (j < list.size() && !insertBefore(c, list[j], a)) ++j;
            list.insert(list.begin() + long(j), c);
        }
        for (TControl* c : list) doPosition(c, a);
    }
}

// ---- Painting --------------------------------------------------------------------------

void TWinControl::Invalidate() {
    if (QWidget* w = FWidget) {
        QWidget* client = ClientWidget();
        (client ? client : w)->update();
    }
}

void TWinControl::Update() {
    if (FWidget) QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void TWinControl::Repaint() {
    if (QWidget* w = FWidget) {
        QWidget* client = ClientWidget();
        (client ? client : w)->repaint();
    }
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->GetLeft() + DeltaX, c->GetTop() + DeltaY, c->GetWidth(), c->GetHeight());
    }
    QWidget* w = FWidget ? ClientWidget() : nullptr;
    if (!w) return;
    // Children moved through their bounds; without any, the painted pixels
    // move and only the uncovered strip is painted (the widget fills its
    // background, so Qt counts it opaque).
    if (ControlCount() > 0)
        w->update();
    else
        w->scroll(DeltaX, DeltaY);
}

void TWinControl::PaintWindow(QPainter&) {}

void TWinControl::PaintHandler(TWMPaint& Message) {
    // The widget's own painting first, then ours over it.
    DefaultHandler(Message.M);
    const QRegion* region = nullptr;
    if (!BridgeInPaint(FBridge, region)) return;
    QWidget* target = ClientWidget();
    if (!target) return;
    QPainter p(target);
    if (region) p.setClipRegion(*region);
    Message.M.WParam = WPARAM(&p);
    PaintWindow(p);
    PaintControls(p);
    Message.M.WParam = 0;
    TRect r;
    bool gray = false;
    const QImage* shape = nullptr;
    if (CaretVisibleIn(this, r, gray, shape)) {
        // Drawn by inverting, as the platform's caret is.
        p.setClipping(false);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        if (shape)
            p.drawImage(QPoint(r.Left, r.Top), *shape);
        else
            p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), gray ? QColor(128, 128, 128) : QColor(Qt::white));
    }
}

void TWinControl::PaintControls(QPainter& Painter) {
    QRegion clip = Painter.hasClipping() ? Painter.clipRegion() : QRegion();
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!c->FVisible || c->FWidth <= 0 || c->FHeight <= 0) continue;
        QRect r(c->FLeft, c->FTop, c->FWidth, c->FHeight);
        if (!clip.isEmpty() && !clip.intersects(r)) continue;
        Painter.save();
        Painter.translate(r.topLeft());
        Painter.setClipRect(QRect(0, 0, r.width(), r.height()),
                            Painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        try {
            c->Perform(WM_PAINT, WPARAM(&Painter), 0);
        } catch (...) {
            Painter.restore();
            throw;
        }
        Painter.restore();
    }
}

// ---- Messages ----------------------------------------------------------------------------

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        TWMKey m(Message);
        WMKeyDown(m);
        break;
    }
    case WM_KEYUP: {
        TWMKey m(Message);
        WMKeyUp(m);
        break;
    }
    case WM_CHAR: {
        TWMKey m(Message);
        WMChar(m);
        break;
    }
    case WM_SYSKEYDOWN: {
        TWMKey m(Message);
        WMSysKeyDown(m);
        break;
    }
    case WM_SYSKEYUP: {
        TWMKey m(Message);
        WMSysKeyUp(m);
        break;
    }
    case WM_SYSCHAR: {
        TWMKey m(Message);
        WMSysChar(m);
        break;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
        TWMKey m(Message);
        CNKeyDown(m);
        break;
    }
    case CN_CHAR:
    case CN_SYSCHAR: {
        TWMKey m(Message);
        CNChar(m);
        break;
    }
    case WM_SETFOCUS: {
        TWMSetFocus m(Message);
        WMSetFocus(m);
        break;
    }
    case WM_KILLFOCUS: {
        TWMKillFocus m(Message);
        WMKillFocus(m);
        break;
    }
    case WM_PAINT: {
        TWMPaint m(Message);
        WMPaint(m);
        break;
    }
    case WM_SIZE: {
        TWMSize m(Message);
        WMSize(m);
        break;
    }
    case WM_MOVE: {
        TWMMove m(Message);
        WMMove(m);
        break;
    }
    case WM_SHOWWINDOW: {
        TWMShowWindow m(Message);
        WMShowWindow(m);
        break;
    }
    case WM_TIMER: {
        TWMTimer m(Message);
        WMTimer(m);
        break;
    }
    case WM_GETDLGCODE: WMGetDlgCode(Message); break;
    case CM_ENTER: CMEnter(Message); break;
    case CM_EXIT: CMExit(Message); break;
    case CM_DIALOGKEY: {
        TWMKey m(Message);
        CMDialogKey(m);
        break;
    }
    case CM_DIALOGCHAR: {
        TWMKey m(Message);
        CMDialogChar(m);
        break;
    }
    case CM_WANTSPECIALKEY: {
        TWMKey m(Message);
        CMWantSpecialKey(m);
        break;
    }
    case CM_CHILDKEY: {
        TWMKey m(Message);
        CMChildKey(m);
        break;
    }
    case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
    default: TControl::Dispatch(Message); break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) { BridgeRunNative(FBridge, Message); }

void TWinControl::Broadcast(TMessage& Message) {
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->CallWindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(unsigned Msg) {
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(Msg, 0, 0);
}

// The form that sees this control's keys before it does (KeyPreview), if any.
static TForm* KeyPreviewForm(TWinControl* Control) {
    TForm* form = GetParentForm(Control);
    return form && form != static_cast<TControl*>(Control) && form->KeyPreview ? form : nullptr;
}

bool TWinControl::DoKeyDown(TWMKey& Message) {
    TForm* form = KeyPreviewForm(this);
    Word key = Message.CharCode();
    TShiftState shift = Message.Shift();
    if (form && form->OnKeyDown) {
        form->OnKeyDown(form, key, shift);
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    KeyDown(key, shift);
    Message.SetCharCode(key);
    return key == 0;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
    TForm* form = KeyPreviewForm(this);
    Word key = Message.CharCode();
    TShiftState shift = Message.Shift();
    if (form && form->OnKeyUp) {
        form->OnKeyUp(form, key, shift);
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    KeyUp(key, shift);
    Message.SetCharCode(key);
    return key == 0;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
    TForm* form = KeyPreviewForm(this);
    char32_t key = char32_t(Message.M.WParam);
    if (form && form->OnKeyPress) {
        form->OnKeyPress(form, key);
        Message.M.WParam = WPARAM(key);
        if (key == 0) return true;
    }
    KeyPress(key);
    Message.M.WParam = WPARAM(key);
    return key == 0;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMSysKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMSysKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMChar(TWMKey& Message) {
    if (!DoKeyPress(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMSysChar(TWMKey& Message) { DefaultHandler(Message.M); }

void TWinControl::CNKeyDown(TWMKey& Message) {
    Message.Result() = 1;
    // Menu shortcuts: the pop-up menus up the parent chain, then the form's menu.
    for (TControl* c = this; c; c = c->GetParent())
        if (c->GetPopupMenu() && c->GetPopupMenu()->IsShortCut(Message)) return;
    TForm* form = GetParentForm(this);
    if (form && form->IsShortCut(Message)) return;
    // F1 asks for the help of the nearest control, up the parent chain, that names a topic.
    if (Message.CharCode() == VK_F1 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        for (TControl* c = this; c; c = c->GetParent())
            if (c->HelpContext != 0) {
                if (Application) Application->HelpContext(c->HelpContext);
                return;
            }
    }
    // Shift+F1 stands for the help border icon, which title bars here do not show.
    if (Message.CharCode() == VK_F1 && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0 && form && form->GetBorderIcons().Contains(biHelp)) {
        form->BeginContextHelp(TForm::ShowContextPopup);
        return;
    }
    // A parent may claim the key first.
    for (TWinControl* p = FParent; p; p = p->FParent)
        if (p->Perform(CM_CHILDKEY, Message.CharCode(), LPARAM(this)) != 0) return;
    unsigned mask = 0;
    switch (Message.CharCode()) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.KeyData()) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 && form &&
        form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.KeyData()) != 0)
        return;
    Message.Result() = 0;
}

void TWinControl::CNChar(TWMKey& Message) {
    Message.Result() = 1;
    TForm* form = GetParentForm(this);
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && form &&
        form->Perform(CM_DIALOGCHAR, Message.M.WParam, Message.KeyData()) != 0)
        return;
    Message.Result() = 0;
}

void TWinControl::WMGetDlgCode(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::CMWantSpecialKey(TWMKey& Message) { DefaultHandler(Message.M); }
void TWinControl::CMChildKey(TWMKey& Message) { DefaultHandler(Message.M); }

void TWinControl::CMDialogKey(TWMKey& Message) { Broadcast(Message.M); }
void TWinControl::CMDialogChar(TWMKey& Message) { Broadcast(Message.M); }

void TWinControl::CMFocusChanged(TMessage& Message) {
    Broadcast(Message);
    Message.Result = 0;
}

void TWinControl::WMSetFocus(TWMSetFocus& Message) {
    if (TForm* form = GetParentForm(this)) {
        if (form != static_cast<TControl*>(this) && !form->SetFocusedControl(this)) return;
    }
    DefaultHandler(Message.M);
}

void TWinControl::WMKillFocus(TWMKillFocus& Message) { DefaultHandler(Message.M); }

void TWinControl::WMPaint(TWMPaint& Message) { PaintHandler(Message); }

void TWinControl::WMSize(TWMSize& Message) {
    Realign();
    Resize();
    DefaultHandler(Message.M);
}

void TWinControl::WMMove(TWMMove& Message) { DefaultHandler(Message.M); }
void TWinControl::WMShowWindow(TWMShowWindow& Message) { DefaultHandler(Message.M); }
void TWinControl::WMTimer(TWMTimer& Message) { DefaultHandler(Message.M); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (!FEnabled && FParent) {
        if (TForm* form = GetParentForm(this)) form->DefocusControl(this, false);
    }
    if (FWidget) FWidget->setEnabled(FEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!FVisible && FParent) {
        if (TForm* form = GetParentForm(this)) form->DefocusControl(this, false);
    }
    if (FWidget && FParent) FWidget->setVisible(FVisible);
    if (FVisible && FParent && !FWidget && FParent->HandleAllocated()) CreateWnd();
}

void TWinControl::CMFontChanged(TMessage& Message) {
    UpdateWidgetFont();
    NotifyControls(CM_PARENTFONTCHANGED);
    TControl::CMFontChanged(Message);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    UpdateWidgetColor();
    NotifyControls(CM_PARENTCOLORCHANGED);
    TControl::CMColorChanged(Message);
}

void TWinControl::CMTextChanged(TMessage& Message) { TControl::CMTextChanged(Message); }

void TWinControl::CMCursorChanged(TMessage& Message) {
    if (FWidget) FWidget->setCursor(QCursor(Qt::CursorShape(CursorToQtShape(FCursor))));
    TControl::CMCursorChanged(Message);
}

void TWinControl::SetZOrder(bool TopMost) {
    if (!FParent) return;
    auto& list = FParent->FWinControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost) {
        list.push_back(this);
        if (FWidget) FWidget->raise();
    } else {
        list.insert(list.begin(), this);
        if (FWidget) FWidget->lower();
    }
}

// ---- Control canvas ----------------------------------------------------------------------

TControlCanvas::TControlCanvas(TControl* Control) {
    auto* win = dynamic_cast<TWinControl*>(Control);
    QWidget* surface = win && win->HandleAllocated() ? win->ClientWidget() : nullptr;
    // Qt lets a widget be painted on only inside its paint event.
    if (!surface || !surface->testAttribute(Qt::WA_WState_InPaintEvent)) return;
    FPainter = std::make_unique<QPainter>(surface);
    if (!FPainter->isActive()) {
        FPainter.reset();
        return;
    }
    SetPainter(FPainter.get());
}

TControlCanvas::~TControlCanvas() {
    SetPainter(nullptr);
    FPainter.reset();
}
