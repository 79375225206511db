// The bridge: turns the Qt events of a windowed control's widgets into messages.

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

QHash<QWidget*, TWinControl*>& WidgetMap() {
    static auto* map = new QHash<QWidget*, TWinControl*>();
    return *map;
}

namespace {

// How deep the bridge is in Qt event handling; widgets are not deleted under it.
int gBridgeDepth = 0;
// The windowed control that has the focus (TargetId), and the one that had it last.
HWND gFocused = 0;
HWND gLastFocus = 0;
// Set while a focus gain caused by a mouse press is delivered.
bool gFocusByMouse = false;
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

}  // namespace

bool FocusFromMousePress() { return gFocusByMouse; }

Word VirtualKeyFromQt(int key, unsigned mods) {
    bool keypad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return Word(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? Word(VK_NUMPAD0 + (key - Qt::Key_0)) : Word(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return Word(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
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
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
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
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
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
        target->CallWindowProc(m);
        if (FindTargetControl(id) != Control) return false;
        NativeFor = savedFor;
        Native = std::move(saved);
        return true;
    }

    // A message without native handling behind it, to the bridged control.
    void Send(unsigned msg, WPARAM wParam = 0) {
        TMessage m{msg, wParam};
        Deliver(Control, m, nullptr);
    }

    // A focus message names the other control by its window, when it has one.
    static WPARAM FocusPartner(TWinControl* other) {
        return WPARAM(other && other->HandleAllocated() ? other->GetHandle() : 0);
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
        if (capture && capture != Control && capture->GetParent() == Control && !dynamic_cast<TWinControl*>(capture)) {
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
            NoteLockKeys(ke);
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
            TMessage m{WM_CONTEXTMENU, WPARAM(target->TargetId())};
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
        case QEvent::Enter: SetMouseControl(Control); return false;
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
            const bool byMouse = static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason;
            const bool saved = gFocusByMouse;
            gFocusByMouse = byMouse;
            Send(WM_SETFOCUS, FocusPartner(other));
            gFocusByMouse = saved;
            return false;
        }
        case QEvent::FocusOut: {
            TWinControl* self = Control;
            TWinControl* other = TWinControl::FromWidget(QApplication::focusWidget());
            if (other == self) return false;
            if (gFocused == self->TargetId()) gFocused = 0;
            // The next control learns who had the focus from gLastFocus.
            gLastFocus = self->TargetId();
            Send(WM_KILLFOCUS, FocusPartner(other));
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
            TMessage m{WM_PAINT};
            struct Restore {
                TControlBridge* b;
                bool in;
                const QRegion* r;
                ~Restore() {
                    b->InPaint = in;
                    b->PaintRegion = r;
                }
            } restore{this, savedIn, savedRegion};
            Deliver(Control, m, native);
            return true;
        }
        case QEvent::Close:
            if (w == Control->WidgetIfAllocated() && w->isWindow()) {
                // The window system asks: the form decides through WM_CLOSE.
                e->ignore();
                Send(WM_CLOSE);
                return true;
            }
            return false;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (w == Control->WidgetIfAllocated() && w->isWindow())
                Send(WM_ACTIVATE, e->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE);
            return false;
        case QEvent::WindowStateChange:
            // Minimising reaches the window as the platform tells it: WM_SIZE, SIZE_MINIMIZED.
            if (w == Control->WidgetIfAllocated() && w->isWindow() && w->isMinimized()) Send(WM_SIZE, SIZE_MINIMIZED);
            return false;
        case QEvent::Show:
        case QEvent::Hide:
            if (w == Control->WidgetIfAllocated() && !e->spontaneous())
                Send(WM_SHOWWINDOW, e->type() == QEvent::Show ? 1 : 0);
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
        NoteLockKeys(ke);
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
            TMessage m{alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, keyData};
            // A key with text does its native work with the character message.
            std::function<void()> native;
            if (chars.empty())
                native = [w, ke, guard] {
                    if (guard) static_cast<QObject*>(w)->event(ke);
                };
            if (!Deliver(self, m, native)) return true;
        }
        bool nativeDone = false;
        for (char32_t c : chars) {
            if (self->Perform(alt ? CN_SYSCHAR : CN_CHAR, WPARAM(c), keyData) != 0) continue;
            if (!alive()) return true;
            TMessage m{alt ? WM_SYSCHAR : WM_CHAR, WPARAM(c), keyData};
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
        if (msg != WM_MOUSEMOVE && b != Qt::LeftButton && b != Qt::RightButton && b != Qt::MiddleButton) return false;
        SetMouseControl(target);
        if (msg == WM_MOUSEMOVE) {
            TCursor cursor = target->GetCursor();
            if (Screen && Screen->GetCursor() == crDefault) {
                if (cursor == crDefault) cursor = Control->GetCursor();
                w->setCursor(QCursor(Qt::CursorShape(CursorToQtShape(cursor))));
            }
        }
        TMessage m{msg, MouseKeys(s), MakeLParam(p.X, p.Y)};
        Deliver(target, m, native);
        // The control's window took the message: it must not travel on to
        // the parent widget, as an event the native handler ignored would.
        me->accept();
        return true;
    }
};

// ---------------------------------------------------------------------------
// What TWinControl uses of the bridge.

int BridgeDepth() { return gBridgeDepth; }

void ForgetFocus(HWND Id) {
    if (gLastFocus == Id) gLastFocus = 0;
    if (gFocused == Id) gFocused = 0;
}

TControlBridge* NewBridge(TWinControl* Control, QWidget* Widget) {
    auto* bridge = new TControlBridge(Control);
    bridge->setParent(Widget);
    BridgeWatch(bridge, Widget);
    return bridge;
}

void BridgeWatch(TControlBridge* Bridge, QWidget* Widget) {
    if (!Bridge || !Widget) return;
    Widget->installEventFilter(Bridge);
    // Controls get mouse moves with no button held, as the system's windows
    // do: hints, hot looks and cursors follow the mouse.
    Widget->setMouseTracking(true);
}

void DetachBridge(TControlBridge* Bridge) {
    if (Bridge) Bridge->Control = nullptr;
}

bool BridgeRunNative(TControlBridge* Bridge, const TMessage& Message) { return Bridge && Bridge->RunNative(Message); }

bool BridgeInPaint(TControlBridge* Bridge, const QRegion*& Region) {
    if (!Bridge || !Bridge->InPaint) return false;
    Region = Bridge->PaintRegion;
    return true;
}
