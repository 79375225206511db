// TWinControl and the bridge that turns its widget's Qt events into messages.

#include "Controls.h"
#include "ControlsPrivate.h"
#include "Forms.h"
#include "Menus.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <exception>

TControl* GetCaptureControl();

namespace {

QHash<QWidget*, TWinControl*>& WidgetMap() {
    static auto* map = new QHash<QWidget*, TWinControl*>();
    return *map;
}

// How deep the bridge is in Qt event handling; widgets are not deleted under it.
int gBridgeDepth = 0;
// The windowed control that has the focus (TargetId), and the one that had it last.
HWND gFocused = 0;
HWND gLastFocus = 0;
// The control the mouse is over (TargetId), for CM_MOUSEENTER and CM_MOUSELEAVE.
HWND gMouseControl = 0;

void SetMouseControl(TControl* Control) {
    HWND id = Control ? Control->TargetId() : 0;
    if (id == gMouseControl) return;
    HWND old = gMouseControl;
    gMouseControl = id;
    if (TControl* oldControl = FindTargetControl(old)) oldControl->Perform(CM_MOUSELEAVE, 0, LPARAM(oldControl));
    if (Control && FindTargetControl(id) == Control) Control->Perform(CM_MOUSEENTER, 0, LPARAM(Control));
}

} // namespace

Word VirtualKeyFromQt(int key, unsigned mods) {
    bool keypad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return Word(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? Word(VK_NUMPAD0 + (key - Qt::Key_0)) : Word(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return Word(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Asterisk: return keypad ? Word(VK_MULTIPLY) : Word('8');
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Comma: return keypad ? VK_DECIMAL : VK_OEM_COMMA;
    // The US layout's shifted digits and punctuation give their key's code.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    default: return 0;
    }
}

TShiftState ShiftFromQt(unsigned mods, unsigned buttons) {
    TShiftState s;
    if (mods & Qt::ShiftModifier) s += ssShift;
    if (mods & Qt::ControlModifier) s += ssCtrl;
    if (mods & Qt::AltModifier) s += ssAlt;
    if (buttons & Qt::LeftButton) s += ssLeft;
    if (buttons & Qt::RightButton) s += ssRight;
    if (buttons & Qt::MiddleButton) s += ssMiddle;
    return s;
}

static WPARAM MouseKeys(TShiftState s) {
    WPARAM k = 0;
    if (s.Contains(ssLeft)) k |= MK_LBUTTON;
    if (s.Contains(ssRight)) k |= MK_RBUTTON;
    if (s.Contains(ssMiddle)) k |= MK_MBUTTON;
    if (s.Contains(ssShift)) k |= MK_SHIFT;
    if (s.Contains(ssCtrl)) k |= MK_CONTROL;
    return k;
}

// ---------------------------------------------------------------------------
// The bridge: an event filter on the control's widgets.

class TControlBridge : public QObject {
public:
    explicit TControlBridge(TWinControl* control) : Control(control) {}
    TWinControl* Control;

    // The widget's own handling of the event being turned into Message: run by
    // TWinControl::DefaultHandler when the message reaches it.
    const TMessage* NativeFor = nullptr;
    std::function<void()> Native;
    bool InPaint = false;
    const QRegion* PaintRegion = nullptr;

    bool RunNative(const TMessage& m) {
        if (NativeFor != &m || !Native) return false;
        auto f = std::move(Native);
        Native = nullptr;
        NativeFor = nullptr;
        f();
        return true;
    }

    // Delivers m to target with the native handling armed; false when the control died.
    bool Deliver(TControl* target, TMessage& m, std::function<void()> native) {
        HWND id = Control->TargetId();
        const TMessage* savedFor = NativeFor;
        auto saved = std::move(Native);
        if (target == Control) {
            NativeFor = &m;
            Native = std::move(native);
        } else {
            NativeFor = nullptr;
            Native = nullptr;
        }
        target->WndProc(m);
        if (FindTargetControl(id) != Control) return false;
        NativeFor = savedFor;
        Native = std::move(saved);
        return true;
    }

    bool eventFilter(QObject* obj, QEvent* e) override {
        if (!Control) return false;
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w) return false;
        ++gBridgeDepth;
        bool eaten = false;
        try {
            eaten = Handle(w, e);
        } catch (...) {
            if (e->type() == QEvent::Paint) {
                // Not from inside a paint: the handler may show a window.
                std::exception_ptr ep = std::current_exception();
                TObject* sender = Control;
                QueueCall([ep, sender] {
                    try {
                        std::rethrow_exception(ep);
                    } catch (...) {
                        HandleDispatchException(sender);
                    }
                });
            } else {
                HandleDispatchException(Control);
            }
            eaten = true;
        }
        --gBridgeDepth;
        return eaten;
    }

    TPoint ToClient(QWidget* w, QPoint p) {
        QWidget* client = Control->ClientWidget();
        if (client && w != client) p = client->mapFromGlobal(w->mapToGlobal(p));
        return TPoint{p.x(), p.y()};
    }

    // The control a mouse message at client point p goes to, and p in its coordinates.
    TControl* MouseTarget(TPoint& p) {
        TControl* capture = GetCaptureControl();
        TControl* target = Control;
        if (capture && capture != Control && capture->GetParent() == Control &&
            !dynamic_cast<TWinControl*>(capture)) {
            target = capture;
        } else if (!capture || capture != Control) {
            if (TControl* child = Control->ControlAtPos(p, false)) target = child;
        }
        if (target != Control) p = TPoint{p.X - target->GetLeft(), p.Y - target->GetTop()};
        return target;
    }

    bool Handle(QWidget* w, QEvent* e) {
        auto native = [w, e] { static_cast<QObject*>(w)->event(e); };
        switch (e->type()) {
        case QEvent::KeyPress: return KeyPress(w, static_cast<QKeyEvent*>(e));
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(e);
            SetInputState(ShiftFromQt(ke->modifiers(), QApplication::mouseButtons()));
            Word vk = VirtualKeyFromQt(ke->key(), ke->modifiers());
            if (!vk) return false;
            bool alt = (ke->modifiers() & Qt::AltModifier) && !(ke->modifiers() & Qt::ControlModifier);
            TMessage m;
            m.Msg = alt ? WM_SYSKEYUP : WM_KEYUP;
            m.WParam = vk;
            m.LParam = LPARAM(1) | (LPARAM(1) << 30) | (LPARAM(1) << 31) | (alt ? KF_ALTDOWN_BIT : 0);
            Deliver(Control, m, native);
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: return Mouse(w, static_cast<QMouseEvent*>(e), native);
        case QEvent::Wheel: {
            auto* we = static_cast<QWheelEvent*>(e);
            TShiftState s = ShiftFromQt(we->modifiers(), we->buttons());
            SetInputState(s);
            QPoint g = we->globalPosition().toPoint();
            TMessage m;
            m.Msg = WM_MOUSEWHEEL;
            m.WParam = WPARAM(MouseKeys(s) | (WPARAM(uint16_t(int16_t(we->angleDelta().y()))) << 16));
            m.LParam = MakeLParam(g.x(), g.y());
            Deliver(Control, m, native);
            return true;
        }
        case QEvent::ContextMenu: {
            auto* ce = static_cast<QContextMenuEvent*>(e);
            TPoint p = ToClient(w, ce->pos());
            TControl* target = MouseTarget(p);
            TMessage m;
            m.Msg = WM_CONTEXTMENU;
            m.WParam = WPARAM(target->TargetId());
            if (ce->reason() == QContextMenuEvent::Keyboard)
                m.LParam = MakeLParam(-1, -1);
            else
                m.LParam = MakeLParam(ce->globalPos().x(), ce->globalPos().y());
            TMessage* mp = &m;
            Deliver(target, m, [w, ce, mp] {
                ce->accept();
                static_cast<QObject*>(w)->event(ce);
                mp->Result = ce->isAccepted() ? 1 : 0;
            });
            return true;
        }
        case QEvent::Enter:
            SetMouseControl(Control);
            return false;
        case QEvent::Leave: {
            TControl* mc = FindTargetControl(gMouseControl);
            if (mc == Control || (mc && mc->GetParent() == Control && !dynamic_cast<TWinControl*>(mc)))
                SetMouseControl(nullptr);
            if (Application) Application->CancelHint();
            return false;
        }
        case QEvent::FocusIn: {
            TWinControl* self = Control;
            if (gFocused == self->TargetId()) return false;
            TWinControl* other =
                gLastFocus != self->TargetId() ? dynamic_cast<TWinControl*>(FindTargetControl(gLastFocus)) : nullptr;
            gFocused = self->TargetId();
            TMessage m;
            m.Msg = WM_SETFOCUS;
            m.WParam = WPARAM(other && other->HandleAllocated() ? other->GetHandle() : 0);
            Deliver(self, m, nullptr);
            return false;
        }
        case QEvent::FocusOut: {
            TWinControl* self = Control;
            TWinControl* other = TWinControl::FromWidget(QApplication::focusWidget());
            if (other == self) return false;
            if (gFocused == self->TargetId()) gFocused = 0;
            // The next control learns who had the focus from gLastFocus.
            gLastFocus = self->TargetId();
            TMessage m;
            m.Msg = WM_KILLFOCUS;
            m.WParam = WPARAM(other && other->HandleAllocated() ? other->GetHandle() : 0);
            Deliver(self, m, nullptr);
            return false;
        }
        case QEvent::Paint: {
            QWidget* client = Control->ClientWidget();
            if (w != client) return false;
            auto* pe = static_cast<QPaintEvent*>(e);
            bool savedIn = InPaint;
            const QRegion* savedRegion = PaintRegion;
            InPaint = true;
            PaintRegion = &pe->region();
            TMessage m;
            m.Msg = WM_PAINT;
            struct Restore {
                TControlBridge* b; bool in; const QRegion* r;
                ~Restore() { b->InPaint = in; b->PaintRegion = r; }
            } restore{this, savedIn, savedRegion};
            Deliver(Control, m, native);
            return true;
        }
        case QEvent::Close:
            if (w == Control->WidgetIfAllocated() && w->isWindow()) {
                // The window system asks: the form decides through WM_CLOSE.
                e->ignore();
                TMessage m;
                m.Msg = WM_CLOSE;
                Deliver(Control, m, nullptr);
                return true;
            }
            return false;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (w == Control->WidgetIfAllocated() && w->isWindow()) {
                TMessage m;
                m.Msg = WM_ACTIVATE;
                m.WParam = e->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE;
                Deliver(Control, m, nullptr);
            }
            return false;
        case QEvent::Resize:
        case QEvent::Move:
            if (w == Control->WidgetIfAllocated()) Control->WidgetGeometryChanged();
            return false;
        default: return false;
        }
    }

    bool KeyPress(QWidget* w, QKeyEvent* ke) {
        Qt::KeyboardModifiers mods = ke->modifiers();
        SetInputState(ShiftFromQt(mods, QApplication::mouseButtons()));
        Word vk = VirtualKeyFromQt(ke->key(), mods);
        bool ctrl = mods & Qt::ControlModifier;
        bool alt = (mods & Qt::AltModifier) && !ctrl;

        std::u32string chars = ke->text().toStdU32String();
        if (ke->key() == Qt::Key_Delete) chars.clear();  // no character for Delete
        if (chars.empty() && ctrl && !(mods & Qt::AltModifier) && ke->key() >= Qt::Key_A && ke->key() <= Qt::Key_Z)
            chars = std::u32string(1, char32_t(ke->key() - Qt::Key_A + 1));
        if (ke->key() == Qt::Key_Backtab) chars.clear();

        LPARAM keyData = LPARAM(1) | (ke->isAutoRepeat() ? (LPARAM(1) << 30) : 0) | (alt ? KF_ALTDOWN_BIT : 0);
        TWinControl* self = Control;
        HWND id = self->TargetId();
        auto alive = [&] { return FindTargetControl(id) == self; };

        QPointer<QWidget> guard(w);
        if (vk) {
            if (self->Perform(alt ? CN_SYSKEYDOWN : CN_KEYDOWN, vk, keyData) != 0) return true;
            if (!alive()) return true;
            TMessage m;
            m.Msg = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
            m.WParam = vk;
            m.LParam = keyData;
            // A key with text does its native work with the character message.
            std::function<void()> native;
            if (chars.empty()) native = [w, ke, guard] { if (guard) static_cast<QObject*>(w)->event(ke); };
            if (!Deliver(self, m, native)) return true;
        }
        bool nativeDone = false;
        for (char32_t c : chars) {
            if (self->Perform(alt ? CN_SYSCHAR : CN_CHAR, WPARAM(c), keyData) != 0) continue;
            if (!alive()) return true;
            TMessage m;
            m.Msg = alt ? WM_SYSCHAR : WM_CHAR;
            m.WParam = WPARAM(c);
            m.LParam = keyData;
            TMessage* mp = &m;
            auto native = [w, ke, guard, c, mp, &nativeDone] {
                if (nativeDone || !guard) return;
                nativeDone = true;
                char32_t now = char32_t(mp->WParam);
                if (now == c) {
                    static_cast<QObject*>(w)->event(ke);
                } else if (now != 0) {
                    QKeyEvent changed(QEvent::KeyPress, 0, ke->modifiers(), QString::fromUcs4(&now, 1));
                    static_cast<QObject*>(w)->event(&changed);
                }
            };
            if (!Deliver(self, m, native)) return true;
        }
        return true;
    }

    bool Mouse(QWidget* w, QMouseEvent* me, const std::function<void()>& native) {
        TShiftState s = ShiftFromQt(me->modifiers(), me->buttons());
        SetInputState(s);
        TPoint p = ToClient(w, me->position().toPoint());
        TControl* target = MouseTarget(p);
        unsigned msg = WM_MOUSEMOVE;
        int b = me->button();
        auto pick = [b](unsigned l, unsigned r, unsigned m) {
            return b == Qt::RightButton ? r : b == Qt::MiddleButton ? m : l;
        };
        switch (me->type()) {
        case QEvent::MouseButtonPress: msg = pick(WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN); break;
        case QEvent::MouseButtonRelease: msg = pick(WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP); break;
        case QEvent::MouseButtonDblClick: msg = pick(WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK); break;
        default: break;
        }
        if (msg != WM_MOUSEMOVE && b != Qt::LeftButton && b != Qt::RightButton && b != Qt::MiddleButton)
            return false;
        SetMouseControl(target);
        if (msg == WM_MOUSEMOVE) {
            TCursor cursor = target->GetCursor();
            if (Screen && Screen->GetCursor() == crDefault) {
                if (cursor == crDefault) cursor = Control->GetCursor();
                w->setCursor(QCursor(Qt::CursorShape(CursorToQtShape(cursor))));
            }
        }
        TMessage m;
        m.Msg = msg;
        m.WParam = MouseKeys(s);
        m.LParam = MakeLParam(p.X, p.Y);
        Deliver(target, m, native);
        return true;
    }
};

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
    w->setFocusPolicy(Qt::NoFocus);
    return w;
}

void TWinControl::CreateWnd() {
    if (!QApplication::instance()) throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    QWidget* parentWidget = FParent ? FParent->ClientWidget() : nullptr;
    if (FWidget) return;  // made while the parent made its children
    FWidget = CreateWidget(parentWidget);
    FBridge = new TControlBridge(this);
    FBridge->setParent(FWidget);
    WidgetMap().insert(FWidget, this);
    FWidget->installEventFilter(FBridge);
    FHandle = RegisterMessageTarget(this);
    UpdateWidget();
    if (QWidget* client = ClientWidget(); client && client != FWidget) {
        WidgetMap().insert(client, this);
        client->installEventFilter(FBridge);
    }
    for (TWinControl* child : std::vector<TWinControl*>(FWinControls))
        if (!child->FWidget) child->CreateWnd();
    Realign();
}

void TWinControl::BridgeWidget(QWidget* Inner) {
    if (!Inner || !FBridge) return;
    WidgetMap().insert(Inner, this);
    Inner->installEventFilter(FBridge);
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
    if (FBridge) FBridge->Control = nullptr;
    FBridge = nullptr;
    FWidget = nullptr;
    UnregisterMessageTarget(FHandle);
    FHandle = 0;
    if (gLastFocus == TargetId()) gLastFocus = 0;
    if (gFocused == TargetId()) gFocused = 0;
    w->hide();
    if (gBridgeDepth > 0)
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
    }
    return nullptr;
}

TWinControl* FindFocusedControl() { return TWinControl::FromWidget(QApplication::focusWidget()); }

// ---- Children -------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
    int n = int(FControls.size());
    if (Index < 0 || Index >= ControlCount()) throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
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

bool TWinControl::Focused() const {
    return FWidget && TWinControl::FromWidget(QApplication::focusWidget()) == this;
}

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
    if (FWidget && FParent) DestroyWnd();
    TControl::SetParent(AParent);
}

bool TWinControl::Showing() const {
    if (FWidget) return FWidget->isVisible();
    return false;
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
        case alBottom: R.Bottom -= h; t = R.Bottom; break;
        case alLeft: R.Left += w; break;
        case alRight: R.Right -= w; l = R.Right; break;
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

void TWinControl::PaintWindow(QPainter&) {}

void TWinControl::PaintHandler(TWMPaint& Message) {
    // The widget's own painting first, then ours over it.
    DefaultHandler(Message.M);
    if (!FBridge || !FBridge->InPaint) return;
    QWidget* target = ClientWidget();
    if (!target) return;
    QPainter p(target);
    if (FBridge->PaintRegion) p.setClipRegion(*FBridge->PaintRegion);
    Message.M.WParam = WPARAM(&p);
    PaintWindow(p);
    PaintControls(p);
    Message.M.WParam = 0;
    TRect r;
    bool gray = false;
    if (CaretVisibleIn(this, r, gray)) {
        p.setClipping(false);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
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
        Painter.setClipRect(QRect(0, 0, r.width(), r.height()), Painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
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
    case WM_KEYDOWN: { TWMKey m(Message); WMKeyDown(m); break; }
    case WM_KEYUP: { TWMKey m(Message); WMKeyUp(m); break; }
    case WM_CHAR: { TWMKey m(Message); WMChar(m); break; }
    case WM_SYSKEYDOWN: { TWMKey m(Message); WMSysKeyDown(m); break; }
    case WM_SYSKEYUP: { TWMKey m(Message); WMSysKeyUp(m); break; }
    case WM_SYSCHAR: { TWMKey m(Message); WMSysChar(m); break; }
    case CN_KEYDOWN: case CN_SYSKEYDOWN: { TWMKey m(Message); CNKeyDown(m); break; }
    case CN_CHAR: case CN_SYSCHAR: { TWMKey m(Message); CNChar(m); break; }
    case WM_SETFOCUS: { TWMSetFocus m(Message); WMSetFocus(m); break; }
    case WM_KILLFOCUS: { TWMKillFocus m(Message); WMKillFocus(m); break; }
    case WM_PAINT: { TWMPaint m(Message); WMPaint(m); break; }
    case WM_SIZE: { TWMSize m(Message); WMSize(m); break; }
    case WM_MOVE: { TWMMove m(Message); WMMove(m); break; }
    case WM_SHOWWINDOW: { TWMShowWindow m(Message); WMShowWindow(m); break; }
    case WM_TIMER: { TWMTimer m(Message); WMTimer(m); break; }
    case WM_GETDLGCODE: WMGetDlgCode(Message); break;
    case CM_ENTER: CMEnter(Message); break;
    case CM_EXIT: CMExit(Message); break;
    case CM_DIALOGKEY: { TWMKey m(Message); CMDialogKey(m); break; }
    case CM_DIALOGCHAR: { TWMKey m(Message); CMDialogChar(m); break; }
    case CM_WANTSPECIALKEY: { TWMKey m(Message); CMWantSpecialKey(m); break; }
    case CM_CHILDKEY: { TWMKey m(Message); CMChildKey(m); break; }
    case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
    default: TControl::Dispatch(Message); break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (FBridge) FBridge->RunNative(Message);
}

void TWinControl::Broadcast(TMessage& Message) {
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(unsigned Msg) {
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(Msg, 0, 0);
}

bool TWinControl::DoKeyDown(TWMKey& Message) {
    TForm* form = GetParentForm(this);
    Word key = Message.CharCode();
    TShiftState shift = Message.Shift();
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview && form->OnKeyDown) {
        form->OnKeyDown(form, key, shift);
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    KeyDown(key, shift);
    Message.SetCharCode(key);
    return key == 0;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
    TForm* form = GetParentForm(this);
    Word key = Message.CharCode();
    TShiftState shift = Message.Shift();
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview && form->OnKeyUp) {
        form->OnKeyUp(form, key, shift);
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    KeyUp(key, shift);
    Message.SetCharCode(key);
    return key == 0;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
    TForm* form = GetParentForm(this);
    char32_t key = char32_t(Message.M.WParam);
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview && form->OnKeyPress) {
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
    TForm* form = GetParentForm(this);
    if (form && form->IsShortCut(Message)) return;
    // A parent may claim the key first.
    for (TWinControl* p = FParent; p; p = p->FParent)
        if (p->Perform(CM_CHILDKEY, Message.CharCode(), LPARAM(this)) != 0) return;
    unsigned mask = 0;
    switch (Message.CharCode()) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
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

void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); Message.Result = 0; }

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
