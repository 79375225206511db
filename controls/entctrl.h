#pragma once
// The entry controller: one per form, shared by its entry fields. It owns the
// key-to-command translator, the default entry options, the two-digit-year
// epoch, the timer pool and a hidden window through which the fields post
// their deferred work (refocus after an error, pre-edit and post-edit notices).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "entbase.h"
#include "entcmd.h"
#include "enttimer.h"

enum TEntEntryOption {
    efoAutoAdvanceChar,
    efoAutoAdvanceLeftRight,
    efoAutoAdvanceUpDown,
    efoAutoSelect,
    efoBeepOnError,
    efoInsertPushes
};
using TEntEntryOptions = Set<TEntEntryOption>;

// Private messages of the controller's hidden window. Controls travel as
// their window handles and are looked up on delivery, so a control destroyed
// while the message waits is simply not found.
enum : unsigned {
    om_SetFocus = 0x7F01,  // WParam - / LParam the control's handle: show it, focus it when it can
    om_PreEdit = 0x7F06,   // WParam the other control's handle or 0 / LParam the field's handle
    om_PostEdit = 0x7F07,
    om_DelayNotify = 0x7F0A,  // WParam the notify code / LParam the sender
};

using TDelayNotifyEvent = std::function<void(TObject* Sender, uint16_t NotifyCode)>;
using TEntErrorEvent = std::function<void(TObject* Sender, uint16_t ErrorCode, const std::string& ErrorMsg)>;
using TGetEpochEvent = std::function<void(TObject* Sender, int& Epoch)>;
using TIsSpecialControlEvent = std::function<void(TObject* Sender, TWinControl* Control, bool& Special)>;
using TPreEditEvent = std::function<void(TObject* Sender, TWinControl* Control)>;
using TPostEditEvent = std::function<void(TObject* Sender, TWinControl* Control)>;

class TEntController : public TEntComponent {
public:
    // Without a timer the pool runs on its own hidden-window timer.
    explicit TEntController(TComponent* AOwner, std::unique_ptr<TEntSystemTimer> timer = nullptr);
    ~TEntController() override;

    TEntCommandProcessor* EntryCommands() const { return FEntryCommands.get(); }
    TEntEntryOptions EntryOptions{efoAutoSelect, efoBeepOnError, efoInsertPushes};
    // After OnGetEpoch when assigned.
    int GetEpoch();
    // Takes 1600..3999 only; other values are ignored.
    void SetEpoch(int value);

    TDelayNotifyEvent OnDelayNotify;
    TEntErrorEvent OnError;
    TGetEpochEvent OnGetEpoch;
    TIsSpecialControlEvent OnIsSpecialControl;
    TPostEditEvent OnPostEdit;
    TPreEditEvent OnPreEdit;
    TTriggerEvent OnTimerTrigger;

    bool InsertMode = true;     // shared by the fields of this controller
    bool ErrorPending = false;  // one error report per failure
    std::string ErrorText;      // text of the last reported error

    TEntTimerPool* TimerPool() const { return FTimerPool.get(); }

    // OnError when assigned, else a message box with the text.
    void DoOnError(TObject* Sender, uint16_t ErrorCode, const std::string& ErrorMsg);
    bool DoIsSpecialControl(TWinControl* Control);
    // Posted notices: the field gained the focus from Control / lost it to Control.
    void DoOnPreEdit(TWinControl* Field, TWinControl* Control);
    void DoOnPostEdit(TWinControl* Field, TWinControl* Control);
    // Posts om_SetFocus: the control is shown and focused once the current
    // focus change is over.
    void PostSetFocus(TWinControl* Control);

    // The hidden window, created on first use.
    HWND Handle();

protected:
    virtual void WndProc(TMessage& Message);

private:
    static HWND HandleOf(TWinControl* Control);
    std::unique_ptr<TEntCommandProcessor> FEntryCommands;
    std::unique_ptr<TEntTimerPool> FTimerPool;
    int FEpoch;
    HWND FHandle = 0;
};

// Publishes the controller's properties for window definitions (once); the
// base classes are published first.
void RegisterEntControllerClasses();

// The process-wide controller for controls whose form has none; created on
// first use. The program's shut-down step frees it (while the window layer
// still exists) with FreeDefaultController.
TEntController* DefaultController();
void FreeDefaultController();
