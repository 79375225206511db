// Message targets, posting, timers, carets and the input state of the window layer.

#include "Controls.h"
#include "ControlsPrivate.h"
#include "Forms.h"
#include "SysUtils.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QTimerEvent>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <mutex>
#include <unordered_map>

// ---------------------------------------------------------------------------
// Small helpers

std::string CharToUtf8(char32_t c) { return c == 0 ? std::string() : CodePointToUtf8(c); }

uint32_t GetTickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::string GetShortHint(const std::string& Hint) {
    auto p = Hint.find('|');
    return p == std::string::npos ? Hint : Hint.substr(0, p);
}

std::string GetLongHint(const std::string& Hint) {
    auto p = Hint.find('|');
    return p == std::string::npos ? Hint : Hint.substr(p + 1);
}

std::string GetHint(TControl* Control) {
    while (Control) {
        if (!Control->Hint.empty()) return Control->Hint;
        Control = Control->GetParent();
    }
    return {};
}

// ---------------------------------------------------------------------------
// Input state: what the layer last saw of the modifiers and mouse buttons.

namespace {
std::atomic<uint64_t> gInputState{0};
}  // namespace

void SetInputState(TShiftState Shift) { gInputState = Shift.Bits(); }
TShiftState GetInputState() { return TShiftState::FromBits(gInputState.load()); }

int16_t GetKeyState(int virtKey) {
    TShiftState s = GetInputState();
    auto down = [](bool d) { return int16_t(d ? int16_t(0x8000) : 0); };
    switch (virtKey) {
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT: return down(s.Contains(ssShift));
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL: return down(s.Contains(ssCtrl));
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU: return down(s.Contains(ssAlt));
    case VK_LBUTTON: return down(s.Contains(ssLeft));
    case VK_RBUTTON: return down(s.Contains(ssRight));
    case VK_MBUTTON: return down(s.Contains(ssMiddle));
    // Toggled lock keys set the low bit; they read as off until the display system tells.
    case VK_NUMLOCK: return LockKeys().NumLock ? 1 : 0;
    case VK_CAPITAL: return LockKeys().CapsLock ? 1 : 0;
    default: return 0;
    }
}

// ---------------------------------------------------------------------------
// Lock keys, as the display system reports them with its key events.

namespace {
std::atomic<unsigned> gLockKeys{0};  // bit 0 known, bit 1 NumLock, bit 2 CapsLock
// The X11 modifier bits of a key event's state: Lock, and Mod2 that NumLock sets.
constexpr unsigned X11LockMask = 0x02, X11NumLockMask = 0x10;
}  // namespace

TLockKeys LockKeysAfterKey(TLockKeys Before, bool PlatformTells, unsigned NativeModifiers, int QtKey, bool Press) {
    if (!PlatformTells) return Before;
    const bool numKey = QtKey == Qt::Key_NumLock, capsKey = QtKey == Qt::Key_CapsLock;
    // A lock key's release still carries the state from before it unlocked.
    if (!Press && (numKey || capsKey)) return Before;
    // The state is the one before the event, so the lock key's own press toggles it.
    TLockKeys after{true, (NativeModifiers & X11NumLockMask) != 0, (NativeModifiers & X11LockMask) != 0};
    if (Press && numKey) after.NumLock = !after.NumLock;
    if (Press && capsKey) after.CapsLock = !after.CapsLock;
    return after;
}

TLockKeys LockKeys() {
    unsigned bits = gLockKeys.load();
    return TLockKeys{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
}

void NoteLockKeys(const QKeyEvent* Event) {
    // Only the X11 platform hands its modifier state on with the key events.
    const bool tells = QGuiApplication::platformName() == QLatin1String("xcb");
    TLockKeys after =
        LockKeysAfterKey(LockKeys(), tells, Event->nativeModifiers(), Event->key(), Event->type() == QEvent::KeyPress);
    gLockKeys = (after.Known ? 1u : 0u) | (after.NumLock ? 2u : 0u) | (after.CapsLock ? 4u : 0u);
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s;
    TShiftState now = GetInputState();
    if (now.Contains(ssShift)) s += ssShift;
    if (now.Contains(ssCtrl)) s += ssCtrl;
    if (keyData & KF_ALTDOWN_BIT) s += ssAlt;
    return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s += ssShift;
    if (keys & MK_CONTROL) s += ssCtrl;
    if (keys & MK_LBUTTON) s += ssLeft;
    if (keys & MK_RBUTTON) s += ssRight;
    if (keys & MK_MBUTTON) s += ssMiddle;
    if (GetInputState().Contains(ssAlt)) s += ssAlt;
    return s;
}

// ---------------------------------------------------------------------------
// Exceptions at dispatch points

void HandleDispatchException(TObject* Sender) {
    if (Application) {
        Application->HandleException(Sender);
        return;
    }
    try {
        throw;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Unhandled exception: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Unhandled exception\n");
    }
}

void GuardedCall(TObject* Sender, const std::function<void()>& Action) {
    try {
        Action();
    } catch (...) {
        HandleDispatchException(Sender);
    }
}

void ReportLater(std::exception_ptr Failure) {
    QueueCall([Failure] {
        try {
            std::rethrow_exception(Failure);
        } catch (...) {
            HandleDispatchException(nullptr);
        }
    });
}

void SignalCall(TObject* Sender, const std::function<void()>& Action) {
    if (BridgeDepth() > 0)
        Action();
    else
        GuardedCall(Sender, Action);
}

// ---------------------------------------------------------------------------
// Target registry

namespace {

struct TargetEntry {
    TControl* Control = nullptr;
    std::function<void(TMessage&)> Proc;
};

std::mutex gTargetsLock;
std::unordered_map<HWND, TargetEntry>& Targets() {
    static auto* targets = new std::unordered_map<HWND, TargetEntry>();
    return *targets;
}
std::atomic<HWND> gNextTarget{0x10};

bool LookupTarget(HWND id, TargetEntry& out) {
    std::lock_guard<std::mutex> lock(gTargetsLock);
    auto it = Targets().find(id);
    if (it == Targets().end()) return false;
    out = it->second;
    return true;
}

void KillTimersOf(HWND target);
void CaretTargetGone(HWND target);

const QEvent::Type kPostedMessage = QEvent::Type(QEvent::registerEventType());
const QEvent::Type kQueuedCall = QEvent::Type(QEvent::registerEventType());

class PostedMessageEvent : public QEvent {
public:
    PostedMessageEvent(HWND target, const TMessage& m) : QEvent(kPostedMessage), Target(target), Message(m) {}
    HWND Target;
    TMessage Message;
};

class QueuedCallEvent : public QEvent {
public:
    explicit QueuedCallEvent(std::function<void()> action) : QEvent(kQueuedCall), Action(std::move(action)) {}
    std::function<void()> Action;
};

struct TimerKey {
    HWND Target;
    uintptr_t Id;
    bool operator<(const TimerKey& o) const { return Target != o.Target ? Target < o.Target : Id < o.Id; }
};

// Receives posted messages and timer ticks on the GUI thread.
class Dispatcher : public QObject {
public:
    std::map<TimerKey, int> TimerIds;
    std::unordered_map<int, TimerKey> TimerKeys;

    bool event(QEvent* e) override {
        if (e->type() == kPostedMessage) {
            auto* pe = static_cast<PostedMessageEvent*>(e);
            TMessage m = pe->Message;
            SendMessage(pe->Target, m.Msg, m.WParam, m.LParam);
            return true;
        }
        if (e->type() == kQueuedCall) {
            auto* qe = static_cast<QueuedCallEvent*>(e);
            GuardedCall(nullptr, qe->Action);
            return true;
        }
        return QObject::event(e);
    }

    void timerEvent(QTimerEvent* e) override {
        auto it = TimerKeys.find(e->timerId());
        if (it == TimerKeys.end()) {
            killTimer(e->timerId());
            return;
        }
        TimerKey key = it->second;
        if (!IsWindow(key.Target)) {
            KillTimer(key.Target, key.Id);
            return;
        }
        SendMessage(key.Target, WM_TIMER, WPARAM(key.Id), 0);
    }
};

Dispatcher* GetDispatcher() {
    // Posting may happen on worker threads (name lookups, sockets).
    static std::mutex lock;
    static QPointer<Dispatcher> dispatcher;
    std::lock_guard<std::mutex> guard(lock);
    if (!dispatcher) {
        auto* app = QCoreApplication::instance();
        if (!app) return nullptr;
        dispatcher = new Dispatcher();
        dispatcher->moveToThread(app->thread());
        // Freed with the application object.
        dispatcher->setParent(app);
    }
    return dispatcher;
}

}  // namespace

HWND RegisterMessageTarget(TControl* Control) {
    HWND id = gNextTarget.fetch_add(1);
    std::lock_guard<std::mutex> lock(gTargetsLock);
    Targets()[id].Control = Control;
    return id;
}

void UnregisterMessageTarget(HWND Id) {
    if (!Id) return;
    {
        std::lock_guard<std::mutex> lock(gTargetsLock);
        Targets().erase(Id);
    }
    KillTimersOf(Id);
    CaretTargetGone(Id);
}

TControl* FindTargetControl(HWND Id) {
    TargetEntry e;
    return LookupTarget(Id, e) ? e.Control : nullptr;
}

HWND AllocateHWnd(std::function<void(TMessage&)> Proc) {
    HWND id = gNextTarget.fetch_add(1);
    std::lock_guard<std::mutex> lock(gTargetsLock);
    Targets()[id].Proc = std::move(Proc);
    return id;
}

void DeallocateHWnd(HWND Handle) { UnregisterMessageTarget(Handle); }

bool IsWindow(HWND Handle) {
    std::lock_guard<std::mutex> lock(gTargetsLock);
    return Targets().count(Handle) != 0;
}

TWinControl* FindControl(HWND Handle) { return dynamic_cast<TWinControl*>(FindTargetControl(Handle)); }

bool PostMessage(HWND Target, unsigned Msg, WPARAM WParam, LPARAM LParam) {
    if (!IsWindow(Target)) return false;
    Dispatcher* d = GetDispatcher();
    if (!d) return false;
    TMessage m{Msg, WParam, LParam};
    QCoreApplication::postEvent(d, new PostedMessageEvent(Target, m));
    return true;
}

bool PostMessage(TControl* Target, unsigned Msg, WPARAM WParam, LPARAM LParam) {
    return Target && PostMessage(Target->TargetId(), Msg, WParam, LParam);
}

LRESULT SendMessage(HWND Target, unsigned Msg, WPARAM WParam, LPARAM LParam) {
    TargetEntry e;
    if (!LookupTarget(Target, e)) return 0;
    TMessage m{Msg, WParam, LParam};
    try {
        if (e.Control) {
            e.Control->CallWindowProc(m);
        } else if (e.Proc) {
            e.Proc(m);
        }
    } catch (...) {
        HandleDispatchException(e.Control);
    }
    return m.Result;
}

LRESULT SendMessage(TControl* Target, unsigned Msg, WPARAM WParam, LPARAM LParam) {
    return Target ? SendMessage(Target->TargetId(), Msg, WParam, LParam) : 0;
}

void QueueCall(std::function<void()> Action) {
    if (Dispatcher* d = GetDispatcher()) QCoreApplication::postEvent(d, new QueuedCallEvent(std::move(Action)));
}

// ---------------------------------------------------------------------------
// Timers

namespace {
void KillTimersOf(HWND target) {
    Dispatcher* d = GetDispatcher();
    if (!d) return;
    std::vector<uintptr_t> ids;
    for (auto& [key, qid] : d->TimerIds)
        if (key.Target == target) ids.push_back(key.Id);
    for (uintptr_t id : ids) KillTimer(target, id);
}
}  // namespace

uintptr_t SetTimer(HWND Target, uintptr_t IDEvent, unsigned Elapse) {
    if (!IsWindow(Target)) return 0;
    Dispatcher* d = GetDispatcher();
    if (!d) return 0;
    KillTimer(Target, IDEvent);
    // The platform never times faster than 10 ms.
    int qid = d->startTimer(int(std::max(Elapse, 10u)));
    if (qid == 0) return 0;
    d->TimerIds[{Target, IDEvent}] = qid;
    d->TimerKeys[qid] = {Target, IDEvent};
    return IDEvent;
}

uintptr_t SetTimer(TControl* Target, uintptr_t IDEvent, unsigned Elapse) {
    return Target ? SetTimer(Target->TargetId(), IDEvent, Elapse) : 0;
}

bool KillTimer(HWND Target, uintptr_t IDEvent) {
    Dispatcher* d = GetDispatcher();
    if (!d) return false;
    auto it = d->TimerIds.find({Target, IDEvent});
    if (it == d->TimerIds.end()) return false;
    d->killTimer(it->second);
    d->TimerKeys.erase(it->second);
    d->TimerIds.erase(it);
    return true;
}

bool KillTimer(TControl* Target, uintptr_t IDEvent) { return Target && KillTimer(Target->TargetId(), IDEvent); }

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    FWindow = AllocateHWnd([this](TMessage& m) {
        if (m.Msg == WM_TIMER) {
            Timer();
        }
    });
    UpdateTimer();
}

TTimer::~TTimer() {
    FEnabled = false;
    DeallocateHWnd(FWindow);
}

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (Value == FInterval) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void TTimer::UpdateTimer() {
    KillTimer(FWindow, 1);
    FRunning = false;
    if (FEnabled && FInterval > 0 && !ComponentState.Contains(csLoading))
        FRunning = SetTimer(FWindow, 1, FInterval) != 0;
}

// ---------------------------------------------------------------------------
// Caret: one per program, drawn inverted into its owner's window.

struct CaretState {
    HWND Owner = 0;  // TargetId of the owning control
    int Width = 0, Height = 0;
    bool Gray = false;
    TPoint Pos;
    int HideLevel = 1;  // shown while 0
    bool Phase = true;  // blink phase: drawn while true
    unsigned BlinkTime = 530;
    QTimer* Blink = nullptr;
    QImage Shape;  // a bitmap caret's pixels; null for a solid one
};

static CaretState& Caret() {
    static CaretState caret;
    return caret;
}

static void InvalidateCaret() {
    CaretState& c = Caret();
    // A caret parked far outside (the platform's way of hiding it) needs no repaint.
    if (std::abs(c.Pos.X) > 1000000 || std::abs(c.Pos.Y) > 1000000) return;
    if (auto* ctl = dynamic_cast<TWinControl*>(FindTargetControl(c.Owner))) {
        if (QWidget* w = ctl->WidgetIfAllocated()) {
            QWidget* client = ctl->ClientWidget();
            (client ? client : w)->update(c.Pos.X - 1, c.Pos.Y - 1, c.Width + 2, c.Height + 2);
        }
    }
}

static void RestartBlink() {
    CaretState& c = Caret();
    c.Phase = true;
    if (!QCoreApplication::instance()) return;
    if (!c.Blink) {
        c.Blink = new QTimer();
        QObject::connect(c.Blink, &QTimer::timeout, [] {
            Caret().Phase = !Caret().Phase;
            InvalidateCaret();
        });
    }
    if (c.Owner && c.HideLevel == 0 && c.BlinkTime > 0 && c.BlinkTime != unsigned(-1))
        c.Blink->start(int(c.BlinkTime));
    else
        c.Blink->stop();
}

namespace {
void CaretTargetGone(HWND target) {
    if (Caret().Owner == target) {
        Caret().Owner = 0;
        if (Caret().Blink) Caret().Blink->stop();
    }
}
}  // namespace

bool CreateCaret(TWinControl* Owner, int Width, int Height, bool Gray) {
    if (!Owner) return false;
    DestroyCaret();
    CaretState& c = Caret();
    c.Owner = Owner->TargetId();
    c.Width = Width > 0 ? Width : 1;
    c.Height = Height > 0 ? Height : 1;
    c.Gray = Gray;
    c.Shape = QImage();
    c.HideLevel = 1;
    c.Pos = TPoint{0, 0};
    RestartBlink();
    return true;
}

bool CreateCaret(TWinControl* Owner, TBitmap* Shape) {
    if (!Shape || Shape->GetEmpty()) return CreateCaret(Owner, 1, 1, false);
    if (!CreateCaret(Owner, Shape->GetWidth(), Shape->GetHeight(), false)) return false;
    Caret().Shape = Shape->ToImage();
    return true;
}

bool CreateCaret(HWND Owner, int Width, int Height, bool Gray) {
    return CreateCaret(dynamic_cast<TWinControl*>(FindTargetControl(Owner)), Width, Height, Gray);
}

bool DestroyCaret() {
    CaretState& c = Caret();
    if (!c.Owner) return false;
    InvalidateCaret();
    c.Owner = 0;
    c.HideLevel = 1;
    if (c.Blink) c.Blink->stop();
    return true;
}

bool SetCaretPos(int X, int Y) {
    CaretState& c = Caret();
    if (!c.Owner) return false;
    InvalidateCaret();
    c.Pos = TPoint{X, Y};
    RestartBlink();
    InvalidateCaret();
    return true;
}

bool GetCaretPos(TPoint& Pos) {
    if (!Caret().Owner) return false;
    Pos = Caret().Pos;
    return true;
}

static bool CaretOwnedBy(HWND Owner) {
    CaretState& c = Caret();
    if (!c.Owner) return false;
    if (Owner == 0 || Owner == c.Owner) return true;
    TControl* ctl = FindTargetControl(Owner);
    return ctl && ctl->TargetId() == c.Owner;
}

bool ShowCaret(HWND Owner) {
    if (!CaretOwnedBy(Owner)) return false;
    CaretState& c = Caret();
    if (c.HideLevel > 0) --c.HideLevel;
    RestartBlink();
    InvalidateCaret();
    return true;
}

bool HideCaret(HWND Owner) {
    if (!CaretOwnedBy(Owner)) return false;
    CaretState& c = Caret();
    ++c.HideLevel;
    RestartBlink();
    InvalidateCaret();
    return true;
}

unsigned GetCaretBlinkTime() { return Caret().BlinkTime; }

bool SetCaretBlinkTime(unsigned Milliseconds) {
    Caret().BlinkTime = Milliseconds;
    RestartBlink();
    return true;
}

// Whether the caret is to be drawn in Control's window now, and where.
bool CaretVisibleIn(const TControl* Control, TRect& R, bool& Gray, const QImage*& Shape) {
    CaretState& c = Caret();
    if (!c.Owner || !Control || c.Owner != Control->TargetId() || c.HideLevel > 0 || !c.Phase) return false;
    if (std::abs(c.Pos.X) > 1000000 || std::abs(c.Pos.Y) > 1000000) return false;
    R = Bounds(c.Pos.X, c.Pos.Y, c.Width, c.Height);
    Gray = c.Gray;
    Shape = c.Shape.isNull() ? nullptr : &c.Shape;
    return true;
}
