// The lock and its request channel are the platform's (InstanceLock.h).

#include "InstanceGuard.h"

#include <atomic>
#include <mutex>

#include "Controls.h"
#include "Forms.h"
#include "InstanceLock.h"
#include "TypInfo.h"

namespace {

std::atomic<bool> gGuardsEnabled{true};

// Brings the application's main window to the front, restoring it when minimised.
void ActivateMainForm() {
    if (!Application) return;
    TForm* form = Application->MainForm();
    if (!form) return;
    if (form->GetWindowState() == wsMinimized) form->SetWindowState(wsNormal);
    if (!form->GetVisible()) return;
    form->BringToFront();
    form->Show();
}

}  // namespace

TInstanceGuard::TInstanceGuard(TComponent* AOwner) : TComponent(AOwner) {}

TInstanceGuard::~TInstanceGuard() = default;

void TInstanceGuard::SetGuardsEnabled(bool Value) { gGuardsEnabled = Value; }
bool TInstanceGuard::GuardsEnabled() { return gGuardsEnabled; }

std::string TInstanceGuard::LockName() const {
    std::string name = InstanceName;
    if (name.empty() && Application) name = Application->GetTitle();
    if (name.size() > 256) {
        size_t cut = 256;
        // Never split a UTF-8 sequence.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return name;
}

void TInstanceGuard::Loaded() {
    TComponent::Loaded();
    Check();
}

void TInstanceGuard::Check() {
    FChecked = true;
    FLock.reset();
    FFirst = true;
    if (!gGuardsEnabled) return;
    // Without a name there is nothing to recognise another instance by (as an unnamed mutex).
    const std::string name = LockName();
    if (name.empty()) return;

    TInstanceLock::TAcquire result;
    FLock = TInstanceLock::TryAcquire(
        name, [this] { GuardedCall(this, [this] { SwitchRequested(); }); }, result);
    // Without a lock file there is nothing to guard with; the program runs rather than refusing to start.
    if (result != TInstanceLock::TAcquire::HeldElsewhere) return;

    // Another instance holds the lock.
    FFirst = false;
    if (AlreadyExist) AlreadyExist(this);
    if (SwitchToPrevious) TInstanceLock::RequestActivation(name);
    if (Application) {
        Application->ShowMainForm = false;
        Application->Terminate();
    }
}

void TInstanceGuard::SwitchRequested() {
    if (OnSwitchRequest) OnSwitchRequest(this);
    ActivateMainForm();
}

void RegisterInstanceGuardClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        Published<TInstanceGuard>("TInstanceGuard", "TComponent")
            .Bool("SwitchToPrevious", &TInstanceGuard::SwitchToPrevious, &TInstanceGuard::SwitchToPrevious)
            .Event("AlreadyExist", &TInstanceGuard::AlreadyExist);
    });
}
