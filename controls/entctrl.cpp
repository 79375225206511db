#include "entctrl.h"

#include "MsgBox.h"
#include "TypInfo.h"
#include "entintl.h"

TEntController::TEntController(TComponent* AOwner, std::unique_ptr<TEntSystemTimer> timer)
    : TEntComponent(AOwner), FEntryCommands(std::make_unique<TEntCommandProcessor>()), FEpoch(DefaultEpoch()) {
    // Held by the controller rather than owned as a component, so that it is
    // freed with the processor in the destructor, not among the owner's children.
    FTimerPool = std::make_unique<TEntTimerPool>(nullptr, std::move(timer));
    FTimerPool->OnAllTriggers = [this](TObject* Sender, int Handle, int Interval, int ElapsedTime) {
        if (OnTimerTrigger) OnTimerTrigger(Sender, Handle, Interval, ElapsedTime);
    };
    // The owner announced this component before it was a controller, so the
    // fields of the form that have none learn of it here.
    if (Owner && !Owner->ComponentState.Contains(csLoading)) {
        for (int i = 0; i < Owner->ComponentCount(); ++i) {
            auto* field = dynamic_cast<TEntCustomControlEx*>(Owner->Components(i));
            if (field && !field->AssignedController() && !field->ComponentState.Contains(csDestroying))
                field->SetController(this);
        }
    }
}

TEntController::~TEntController() {
    FEntryCommands.reset();
    FTimerPool.reset();
    if (FHandle) DeallocateHWnd(FHandle);
}

HWND TEntController::Handle() {
    if (!FHandle) FHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    return FHandle;
}

HWND TEntController::HandleOf(TWinControl* Control) {
    return Control && Control->HandleAllocated() ? Control->Handle() : 0;
}

int TEntController::GetEpoch() {
    int value = FEpoch;
    if (OnGetEpoch) OnGetEpoch(this, value);
    return value;
}

void TEntController::SetEpoch(int value) {
    if (value != FEpoch && value >= MinYear && value <= MaxYear) FEpoch = value;
}

void TEntController::DoOnError(TObject* Sender, uint16_t ErrorCode, const std::string& ErrorMsg) {
    if (OnError)
        OnError(Sender, ErrorCode, ErrorMsg);
    else
        MessageBox(ErrorMsg, "Error", MB_ICONERROR | MB_OK);
}

bool TEntController::DoIsSpecialControl(TWinControl* Control) {
    bool special = false;
    if (OnIsSpecialControl) OnIsSpecialControl(this, Control, special);
    return special;
}

void TEntController::DoOnPreEdit(TWinControl* Field, TWinControl* Control) {
    PostMessage(Handle(), om_PreEdit, static_cast<WPARAM>(HandleOf(Control)), static_cast<LPARAM>(HandleOf(Field)));
}

void TEntController::DoOnPostEdit(TWinControl* Field, TWinControl* Control) {
    PostMessage(Handle(), om_PostEdit, static_cast<WPARAM>(HandleOf(Control)), static_cast<LPARAM>(HandleOf(Field)));
}

void TEntController::PostSetFocus(TWinControl* Control) {
    PostMessage(Handle(), om_SetFocus, 0, static_cast<LPARAM>(HandleOf(Control)));
}

void TEntController::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case om_SetFocus:
        if (TWinControl* c = FindControl(static_cast<HWND>(Message.LParam))) {
            c->Show();
            if (c->CanFocus()) c->SetFocus();
        }
        break;
    case om_PreEdit:
    case om_PostEdit: {
        TWinControl* field = FindControl(static_cast<HWND>(Message.LParam));
        TWinControl* other = Message.WParam ? FindControl(static_cast<HWND>(Message.WParam)) : nullptr;
        if (!field) break;  // gone while the notice waited
        auto& event = Message.Msg == om_PreEdit ? OnPreEdit : OnPostEdit;
        if (event) event(field, other);
        break;
    }
    case om_DelayNotify:
        if (OnDelayNotify)
            OnDelayNotify(reinterpret_cast<TObject*>(Message.LParam), static_cast<uint16_t>(Message.WParam));
        break;
    default: break;  // the default window procedure does nothing here
    }
}

void RegisterEntControllerClasses() {
    // A plain flag: the base classes' registration calls back into this one.
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterEntBaseClasses();
    {
        const std::string persistent = ParentIfRegistered("TPersistent");
        Published<TEntCommandProcessor>("TEntCommandProcessor", persistent);
        Published<TEntCommandTable>("TEntCommandTable", persistent);
        Published<TEntTimerPool>("TEntTimerPool", "TComponent")
            .Str("About", &TEntTimerPool::About, nullptr)
            .Event("OnAllTriggers", &TEntTimerPool::OnAllTriggers);
        Published<TEntController>("TEntController", "TEntComponent")
            .Object("EntryCommands", &TEntController::EntryCommands)
            .SetOf("EntryOptions",
                   {"efoAutoAdvanceChar", "efoAutoAdvanceLeftRight", "efoAutoAdvanceUpDown", "efoAutoSelect",
                    "efoBeepOnError", "efoInsertPushes"},
                   &TEntController::EntryOptions, &TEntController::EntryOptions)
            .Int("Epoch", &TEntController::GetEpoch, &TEntController::SetEpoch)
            .Event("OnDelayNotify", &TEntController::OnDelayNotify)
            .Event("OnError", &TEntController::OnError)
            .Event("OnGetEpoch", &TEntController::OnGetEpoch)
            .Event("OnIsSpecialControl", &TEntController::OnIsSpecialControl)
            .Event("OnPostEdit", &TEntController::OnPostEdit)
            .Event("OnPreEdit", &TEntController::OnPreEdit)
            .Event("OnTimerTrigger", &TEntController::OnTimerTrigger);
    }
}

namespace {
TEntController* gDefaultController = nullptr;
}  // namespace

TEntController* DefaultController() {
    if (!gDefaultController) gDefaultController = new TEntController(nullptr);
    return gDefaultController;
}

void FreeDefaultController() {
    delete gDefaultController;
    gDefaultController = nullptr;
}
