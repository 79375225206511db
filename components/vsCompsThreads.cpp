// Thread, timer and window-procedure hook components.

#include "vsComps.h"

#include <algorithm>
#include <map>

#include "Desktop.h"
#include "Forms.h"
#include "MsgBox.h"
#include "SysUtils.h"

// ---- Thread component --------------------------------------------------------------

TvsCustomThreadComponent::TvsCustomThreadComponent(TComponent* AOwner) : TvsComponent(AOwner) { MakeThread(true); }

TvsCustomThreadComponent::~TvsCustomThreadComponent() {
    // The thread's own end-of-run call checks this, on the GUI thread.
    FDestroying = true;
    if (FThread) {
        FThread->SetOnEvent(nullptr);
        FThread->Stop();
    }
}

void TvsCustomThreadComponent::MakeThread(bool Suspended) {
    int returnValue = 0;
    if (FThread) {
        // The run in progress is asked to end and waited for; it reports as usual.
        FThread->Stop();
        returnValue = FThread->ReturnValue;
    }
    FThread = std::make_unique<TvsEventThread>();
    FThread->Priority = FPriority;
    FThread->Synchronized = FSynchronized;
    FThread->ReturnValue = returnValue;
    TvsEventThread* thread = FThread.get();
    FThread->SetOnEvent([this](TObject*) {
        if (OnExecute) OnExecute(this);
    });
    // Runs on the GUI thread once the run has ended.
    FThread->OnTerminate = [this, thread](TObject*) {
        if (FDestroying) return;
        if (std::exception_ptr e = thread->FatalException()) HandleException(e);
        if (OnTerminate) OnTerminate(this);
    };
    if (!Suspended) FThread->Resume();
}

void TvsCustomThreadComponent::SetPriority(TThreadPriority Value) {
    FPriority = Value;
    FThread->Priority = Value;
}

int TvsCustomThreadComponent::GetReturnValue() const { return FThread->ReturnValue; }
void TvsCustomThreadComponent::SetReturnValue(int Value) { FThread->ReturnValue = Value; }

bool TvsCustomThreadComponent::GetSuspended() const {
    return ComponentState.Contains(csLoading) ? FStreamedSuspended : FThread->GetSuspended();
}

void TvsCustomThreadComponent::SetSuspended(bool Value) {
    if (ComponentState.Contains(csLoading) || ComponentState.Contains(csDesigning)) {
        FStreamedSuspended = Value;
        return;
    }
    FThread->SetSuspended(Value);
}

void TvsCustomThreadComponent::SetSynchronized(bool Value) {
    FSynchronized = Value;
    FThread->Synchronized = Value;
}

void TvsCustomThreadComponent::Loaded() {
    TvsComponent::Loaded();
    if (!FStreamedSuspended && !ComponentState.Contains(csDesigning)) FThread->Resume();
}

void TvsCustomThreadComponent::Execute() { MakeThread(false); }

void TvsCustomThreadComponent::Synchronize(const std::function<void()>& Method) { FThread->Synchronize(Method); }

bool TvsCustomThreadComponent::Terminated() const { return FThread->Terminated(); }

void TvsCustomThreadComponent::Terminate() { FThread->Terminate(); }

void TvsCustomThreadComponent::HandleException(std::exception_ptr Error) {
    std::string cls = "Exception", message = "Unknown exception";
    try {
        std::rethrow_exception(Error);
    } catch (Exception& e) {
        if (OnException) return OnException(this, e);
        cls = DemangledClassName(typeid(e));
        message = e.Message;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {}
    if (OnException) {
        Exception wrapped(message);
        return OnException(this, wrapped);
    }
    MessageBox(Format(vsMsg::ThreadException, {GetName(), cls, message}), Application ? Application->GetTitle() : "",
               MB_OK | MB_ICONERROR);
}

// ---- Thread timer ----------------------------------------------------------------------

TvsCustomThreadTimer::TvsCustomThreadTimer(TComponent* AOwner)
    : TvsComponent(AOwner), FThread(std::make_unique<TvsTimerThread>()) {
    FThread->SetOnEvent([this](TObject*) {
        if (OnTimer) OnTimer(this);
    });
}

TvsCustomThreadTimer::~TvsCustomThreadTimer() {
    SetEnabled(false);
    FThread.reset();
}

void TvsCustomThreadTimer::SetEnabled(bool Value) {
    FEnabled = Value;
    if (ComponentState.Contains(csLoading) || ComponentState.Contains(csDesigning)) return;
    if (Value)
        FThread->Resume();
    else
        FThread->Suspend();
}

void TvsCustomThreadTimer::Loaded() {
    TvsComponent::Loaded();
    SetEnabled(FEnabled);
}

// ---- Window-message timer --------------------------------------------------------------

TvsCustomTimer::TvsCustomTimer(TComponent* AOwner) : TvsComponent(AOwner) {
    FWindow = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TvsCustomTimer::~TvsCustomTimer() {
    KillTimer(FWindow, 1);
    DeallocateHWnd(FWindow);
}

void TvsCustomTimer::UpdateTimer() {
    KillTimer(FWindow, 1);
    if (FInterval != 0 && FEnabled && !ComponentState.Contains(csDesigning) && SetTimer(FWindow, 1, FInterval) == 0)
        throw EOutOfResources("Not enough timers available");
}

void TvsCustomTimer::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateTimer();
}

void TvsCustomTimer::SetInterval(unsigned Value) {
    FInterval = Value;
    UpdateTimer();
}

void TvsCustomTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void TvsCustomTimer::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER && Message.WParam == 1) Timer();
}

TvsColorPicker::TvsColorPicker(TComponent* AOwner) : TvsCustomTimer(AOwner) { SetInterval(100); }

TvsColorPicker::~TvsColorPicker() { RestoreCursor(); }

void TvsColorPicker::SetCursor(TCursor Value) {
    if (Value == crDefault) RestoreCursor();
    FCursor = Value;
}

void TvsColorPicker::Timer() {
    TvsCustomTimer::Timer();
    if (FCursor == crDefault || !Screen) return;
    if (!FShowing) {
        FSaved = Screen->GetCursor();
        FShowing = true;
    }
    // Shown on every tick, as something else may have set the screen's cursor since.
    Screen->SetCursor(FCursor);
}

void TvsColorPicker::UpdateTimer() {
    TvsCustomTimer::UpdateTimer();
    if (!GetEnabled()) RestoreCursor();
}

void TvsColorPicker::RestoreCursor() {
    if (!FShowing) return;
    FShowing = false;
    if (Screen && Screen->GetCursor() == FCursor) Screen->SetCursor(FSaved);
}

// ---- Window-procedure hook --------------------------------------------------------------

// The hooks of each control, in the order they were made; the first made runs
// closest to the control's own procedure, so hooks chain in creation order
// and leave the chain in any order.
class TvsWndProcHookList {
public:
    struct TChain {
        TControl::TWndMethod Saved;
        std::vector<TvsCustomWndProcHook*> Hooks;
    };

    static void Add(TvsCustomWndProcHook* Hook, TWinControl* Control) {
        TChain& chain = Chains()[Control];
        if (chain.Hooks.empty()) {
            chain.Saved = Control->WindowProc;
            Control->WindowProc = [Control](TMessage& m) { Run(Control, m); };
        }
        chain.Hooks.push_back(Hook);
        std::stable_sort(chain.Hooks.begin(), chain.Hooks.end(),
                         [](auto* a, auto* b) { return a->FOrder < b->FOrder; });
    }

    static void Remove(TvsCustomWndProcHook* Hook, TWinControl* Control) {
        auto it = Chains().find(Control);
        if (it == Chains().end()) return;
        auto& hooks = it->second.Hooks;
        hooks.erase(std::remove(hooks.begin(), hooks.end(), Hook), hooks.end());
        if (hooks.empty()) {
            if (!Control->ComponentState.Contains(csDestroying)) Control->WindowProc = it->second.Saved;
            Chains().erase(it);
        }
    }

    static int NextOrder() {
        static int order = 0;
        return ++order;
    }

private:
    static std::map<TWinControl*, TChain>& Chains() {
        static std::map<TWinControl*, TChain> chains;
        return chains;
    }

    // Runs the newest hook, which passes on to the older ones and finally to the
    // control's own procedure.
    static void Run(TWinControl* Control, TMessage& Message) {
        auto it = Chains().find(Control);
        if (it == Chains().end()) return Control->WndProc(Message);
        const std::vector<TvsCustomWndProcHook*> hooks = it->second.Hooks;
        const TControl::TWndMethod saved = it->second.Saved;
        std::function<void(size_t, TMessage&)> step = [&](size_t i, TMessage& m) {
            if (i == 0) {
                if (saved)
                    saved(m);
                else
                    Control->WndProc(m);
                return;
            }
            hooks[i - 1]->HookProc(m, [&, i](TMessage& mm) { step(i - 1, mm); });
        };
        step(hooks.size(), Message);
    }
};

TvsCustomWndProcHook::TvsCustomWndProcHook(TComponent* AOwner) : TvsComponent(AOwner) {
    FOrder = TvsWndProcHookList::NextOrder();
}

TvsCustomWndProcHook::~TvsCustomWndProcHook() { Unhook(); }

TWinControl* TvsCustomWndProcHook::Target() const {
    return FWinControl ? FWinControl : dynamic_cast<TWinControl*>(Owner);
}

void TvsCustomWndProcHook::Hook() {
    if (!FActive || FHooked || ComponentState.Contains(csDesigning) || ComponentState.Contains(csLoading)) return;
    FHooked = Target();
    if (!FHooked) return;
    FHooked->FreeNotification(this);
    TvsWndProcHookList::Add(this, FHooked);
}

void TvsCustomWndProcHook::Unhook() {
    if (!FHooked) return;
    TvsWndProcHookList::Remove(this, FHooked);
    if (FHooked != FWinControl) FHooked->RemoveFreeNotification(this);
    FHooked = nullptr;
}

void TvsCustomWndProcHook::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value)
        Hook();
    else
        Unhook();
}

void TvsCustomWndProcHook::SetWinControl(TWinControl* Value) {
    if (Value == FWinControl) return;
    Unhook();
    if (FWinControl) FWinControl->RemoveFreeNotification(this);
    FWinControl = Value;
    if (FWinControl) FWinControl->FreeNotification(this);
    Hook();
    if (OnChangeWinControl) OnChangeWinControl(this);
    if (OnChangeHandle) OnChangeHandle(this);
}

void TvsCustomWndProcHook::Loaded() {
    TvsComponent::Loaded();
    Hook();
}

void TvsCustomWndProcHook::Notification(TComponent* AComponent, TOperation Operation) {
    TvsComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FHooked) {
        TvsWndProcHookList::Remove(this, FHooked);
        FHooked = nullptr;
    }
    if (AComponent == FWinControl) FWinControl = nullptr;
}

void TvsCustomWndProcHook::HookProc(TMessage& Message, const std::function<void(TMessage&)>& Next) {
    bool handled = false;
    if (OnMessageBefore) OnMessageBefore(this, Message, handled);
    if (!handled) {
        if (AutoDrag && Message.Msg == WM_LBUTTONDOWN && FHooked) {
            FHooked->SetMouseCapture(false);
            StartWindowDrag(FHooked);
        } else {
            Next(Message);
        }
    }
    if (OnMessageAfter) OnMessageAfter(this, Message, handled);
}
