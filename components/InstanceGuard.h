#pragma once
// Keeps the program to one running instance per user. When the owning form
// has been read, the guard takes a lock named after the application's title;
// a second start finds it taken, asks the running instance (over a local
// socket) to bring its main window to the front, and ends before its own
// main window is shown.

#include <memory>
#include <string>

#include "Classes.h"

class TInstanceLock;

class TInstanceGuard : public TComponent {
public:
    explicit TInstanceGuard(TComponent* AOwner);
    ~TInstanceGuard() override;

    // Whether a second instance activates the first one.
    bool SwitchToPrevious = true;
    // Fired in the second instance before it activates the first and ends.
    TNotifyEvent AlreadyExist;
    // Fired in the first instance when a later start asks for it, before its
    // main window is brought to the front.
    TNotifyEvent OnSwitchRequest;

    // The name the lock goes by: InstanceName when set, else the application's
    // title, cut to 256 characters.
    std::string InstanceName;
    std::string LockName() const;

    // Takes the lock or, when another instance holds it, acts as a second start.
    // An empty name guards nothing.
    void Check();
    bool IsFirstInstance() const { return FFirst; }
    bool Checked() const { return FChecked; }

    void Loaded() override;

    // Tests switch every guard off (a switched-off guard always counts as first).
    static void SetGuardsEnabled(bool Value);
    static bool GuardsEnabled();

private:
    void SwitchRequested();
    std::unique_ptr<TInstanceLock> FLock;
    bool FFirst = false;
    bool FChecked = false;
};

// Registers the guard for window definitions; safe to call more than once.
void RegisterInstanceGuardClasses();
