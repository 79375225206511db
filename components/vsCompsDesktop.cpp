// Notification-area icon, single instance, autorun and shutdown.

#include "vsComps.h"

#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>

#include "Desktop.h"
#include "Folders.h"
#include "Forms.h"
#include "Hooks.h"
#include "InstanceGuard.h"
#include "InstanceLock.h"
#include "MsgBox.h"
#include "SysUtils.h"

extern char** environ;

// ---- Notification-area icon ---------------------------------------------------------------

namespace {

// The running program's own file.
std::string ProgramPath() {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? ProgramDir() + "varnholt" : p.string();
}

constexpr uintptr_t kCycleTimer = 2;
constexpr size_t kMaxTip = 127, kMaxInfo = 255, kMaxInfoTitle = 63;

std::string Cut(const std::string& s, size_t n) { return s.size() <= n ? s : s.substr(0, n); }
}  // namespace

TvsTrayIcon::TvsTrayIcon(TComponent* AOwner)
    : TvsCustomTimer(AOwner), FHost(std::make_unique<TTrayIconHost>()), FIcon(std::make_unique<TBitmap>()) {
    SetEnabled(false);
    HWND window = Window();
    FHost->OnMessage = [window](unsigned m) { PostMessage(window, CallbackMessage, 0, LPARAM(m)); };
}

TvsTrayIcon::~TvsTrayIcon() {
    HookMainForm(false);
    KillTimer(Window(), kCycleTimer);
    FHost->OnMessage = nullptr;
    FHost->SetVisible(false);
}

void TvsTrayIcon::UpdateIcon() {
    TBitmap image;
    TBitmap* shown = FIcon.get();
    if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count()) {
        FImageList->GetBitmap(FImageIndex, &image);
        shown = &image;
    }
    FHost->SetImage(shown);
    FHost->SetToolTip(FShowHint ? Cut(FHint, kMaxTip) : std::string());
}

void TvsTrayIcon::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    if (ComponentState.Contains(csLoading) || ComponentState.Contains(csDesigning)) return;
    if (Value) {
        UpdateIcon();
        FHost->SetVisible(true);
        if (OnShow) OnShow(this);
    } else {
        FHost->SetVisible(false);
        if (OnHide) OnHide(this);
        if (FMinimizeToTray) RestoreApp();
    }
}

void TvsTrayIcon::SetHint(const std::string& Value) {
    FHint = Value;
    UpdateIcon();
}

void TvsTrayIcon::SetShowHint(bool Value) {
    FShowHint = Value;
    UpdateIcon();
}

void TvsTrayIcon::SetIcon(TBitmap* Value) {
    FIcon->Assign(Value);
    UpdateIcon();
}

void TvsTrayIcon::SetImageList(TImageList* Value) {
    if (FImageList) FImageList->RemoveFreeNotification(this);
    FImageList = Value;
    if (FImageList) FImageList->FreeNotification(this);
    UpdateIcon();
}

void TvsTrayIcon::SetImageIndex(int Value) {
    FImageIndex = Value;
    UpdateIcon();
}

void TvsTrayIcon::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TvsTrayIcon::SetCycleIcons(bool Value) {
    FCycleIcons = Value;
    KillTimer(Window(), kCycleTimer);
    if (Value && FCycleInterval > 0 && !ComponentState.Contains(csDesigning))
        SetTimer(Window(), kCycleTimer, FCycleInterval);
}

void TvsTrayIcon::SetCycleInterval(unsigned Value) {
    FCycleInterval = Value;
    SetCycleIcons(FCycleIcons);
}

void TvsTrayIcon::SetMinimizeToTray(bool Value) {
    FMinimizeToTray = Value;
    if (!ComponentState.Contains(csLoading)) HookMainForm(Value && !ComponentState.Contains(csDesigning));
}

void TvsTrayIcon::HookMainForm(bool Hook) {
    if (FHookedForm) {
        FHookedForm->WindowProc = FSavedFormProc;
        FHookedForm->RemoveFreeNotification(this);
        FHookedForm = nullptr;
    }
    if (!Hook) return;
    TForm* form = dynamic_cast<TForm*>(Owner);
    if (!form && Application) form = Application->MainForm();
    if (!form) return;
    FHookedForm = form;
    FSavedFormProc = form->WindowProc;
    form->FreeNotification(this);
    form->WindowProc = [this, form](TMessage& m) {
        const TControl::TWndMethod saved = FSavedFormProc;
        if (saved)
            saved(m);
        else
            form->WndProc(m);
        if (m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED) MinimizeApp();
    };
}

void TvsTrayIcon::ShowBalloon() {
    if (!FVisible) return;
    FHost->ShowBalloon(Cut(InfoTitle, kMaxInfoTitle), Cut(InfoText, kMaxInfo), int(InfoType), InfoTimeout);
}

void TvsTrayIcon::MinimizeApp() {
    HideApplication();
    SetVisible(true);
    if (OnMinimize) OnMinimize(this);
}

void TvsTrayIcon::RestoreApp() {
    ShowApplication();
    if (TForm* f = Application ? Application->MainForm() : nullptr) f->BringToFront();
}

void TvsTrayIcon::Loaded() {
    TvsCustomTimer::Loaded();
    if (ComponentState.Contains(csDesigning)) return;
    if (MinimizeOnStart) {
        if (Application) Application->ShowMainForm = false;
        FVisible = false;
        MinimizeApp();
        return;
    }
    if (FVisible) {
        FVisible = false;
        SetVisible(true);
    }
    SetCycleIcons(FCycleIcons);
    HookMainForm(FMinimizeToTray);
}

void TvsTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
    TvsCustomTimer::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImageList) FImageList = nullptr;
    if (AComponent == FPopupMenu) FPopupMenu = nullptr;
    if (AComponent == FHookedForm) FHookedForm = nullptr;
}

void TvsTrayIcon::WndProc(TMessage& Message) {
    if (Message.Msg == CallbackMessage) {
        if (TrayEnabled && !ComponentState.Contains(csDesigning)) Callback(unsigned(Message.LParam));
        return;
    }
    if (Message.Msg == WM_TIMER && Message.WParam == kCycleTimer) {
        const int count = FImageList ? FImageList->Count() : 0;
        if (count > 0) SetImageIndex(FImageIndex + 1 >= count ? 0 : FImageIndex + 1);
        if (OnCycleIcons) OnCycleIcons(this);
        return;
    }
    TvsCustomTimer::WndProc(Message);
}

void TvsTrayIcon::Callback(unsigned MouseMessage) {
    const TPoint p = GetCursorPos();
    const TShiftState shift = GetInputState();
    auto down = [&](TMouseButton b) {
        if (OnMouseDown) OnMouseDown(this, b, shift, p.X, p.Y);
    };
    auto up = [&](TMouseButton b) {
        if (OnMouseUp) OnMouseUp(this, b, shift, p.X, p.Y);
    };
    switch (MouseMessage) {
    case WM_MOUSEMOVE:
        if (OnMouseMove) OnMouseMove(this, shift, p.X, p.Y);
        break;
    case WM_LBUTTONDOWN:
        FLeftDown = true;
        down(mbLeft);
        break;
    case WM_RBUTTONDOWN: down(mbRight); break;
    case WM_MBUTTONDOWN: down(mbMiddle); break;
    case WM_LBUTTONUP: {
        const bool click = FLeftDown;
        FLeftDown = false;
        up(mbLeft);
        if (click) {
            if (OnClick) OnClick(this);
            if (PopupByLeft) PopupAtCursor();
        }
        break;
    }
    case WM_RBUTTONUP:
        up(mbRight);
        PopupAtCursor();
        break;
    case WM_MBUTTONUP: up(mbMiddle); break;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick) OnDblClick(this);
        break;
    case NIN_BALLOONSHOW:
        if (OnBalloonShow) OnBalloonShow(this);
        break;
    case NIN_BALLOONTIMEOUT:
        if (OnBalloonTimeout) OnBalloonTimeout(this);
        break;
    case NIN_BALLOONUSERCLICK:
        if (OnBalloonClick) OnBalloonClick(this);
        break;
    default: break;
    }
}

void TvsTrayIcon::PopupAtCursor() {
    if (!FPopupMenu || !FPopupMenu->AutoPopup) return;
    if (auto* form = dynamic_cast<TForm*>(Owner)) form->BringToFront();
    FPopupMenu->PopupComponent = this;
    const TPoint p = GetCursorPos();
    FPopupMenu->Popup(p.X, p.Y);
    if (OnPopupMenu) OnPopupMenu(this);
}

// ---- One instance -------------------------------------------------------------------------------

TvsOneInstance::TvsOneInstance(TComponent* AOwner) : TvsComponent(AOwner) {}

TvsOneInstance::~TvsOneInstance() = default;

std::string TvsOneInstance::InstanceName() const {
    std::string name = ExeNameAsIdentifier ? ProgramPath() : (Application ? Application->GetTitle() : "");
    return ReplaceChar(name + Identifier + ".OneInstance.", '\\', '/');
}

bool TvsOneInstance::Check() {
    TInstanceLock::TAcquire result;
    FLock = TInstanceLock::TryAcquire(
        InstanceName(),
        [this] {
            GuardedCall(this, [] {
                ShowApplication();
                if (TForm* f = Application ? Application->MainForm() : nullptr) f->BringToFront();
            });
        },
        result);
    // Without a lock file there is nothing to guard with: the program runs.
    FFirst = result != TInstanceLock::TAcquire::HeldElsewhere;
    if (FFirst) return true;
    bool terminate = true;
    if (ShowMessage) {
        if (OnShowMessage) {
            OnShowMessage(this, terminate);
        } else {
            const std::string title = Application ? Application->GetTitle() : "";
            MessageBox(Message.empty() ? Format(vsMsg::AlreadyRunning, {title}) : Message, title,
                       MB_OK | MB_ICONWARNING);
        }
    }
    if (!terminate) return false;
    if (ActivatePrevInstance) ::ActivatePrevInstance(InstanceName());
    if (Application) {
        Application->ShowMainForm = false;
        Application->Terminate();
    }
    return false;
}

void TvsOneInstance::Loaded() {
    TvsComponent::Loaded();
    if (!ComponentState.Contains(csDesigning) && TInstanceGuard::GuardsEnabled()) Check();
}

// ---- Autorun -------------------------------------------------------------------------------------

TvsAutoRun::TvsAutoRun(TComponent* AOwner) : TvsComponent(AOwner), FFileName(ProgramPath()) {}

void TvsAutoRun::Apply(const std::function<void()>& Change) {
    const bool live = !ComponentState.Contains(csLoading) && !ComponentState.Contains(csDesigning);
    if (live && FAutoRun) AutoRunUnregister(FKind, FFileName);
    Change();
    if (live && FAutoRun) AutoRunRegister(FKind, FFileName);
}

void TvsAutoRun::SetAutoRun(bool Value) {
    if (Value == FAutoRun) return;
    const bool live = !ComponentState.Contains(csLoading) && !ComponentState.Contains(csDesigning);
    FAutoRun = Value;
    if (!live) return;
    if (Value)
        AutoRunRegister(FKind, FFileName);
    else
        AutoRunUnregister(FKind, FFileName);
}

void TvsAutoRun::SetFileName(const std::string& Value) {
    if (Value != FFileName) Apply([&] { FFileName = Value; });
}

void TvsAutoRun::SetKind(TvsAutoExecKind Value) {
    if (Value != FKind) Apply([&] { FKind = Value; });
}

void TvsAutoRun::Loaded() {
    TvsComponent::Loaded();
    if (FAutoRun && !ComponentState.Contains(csDesigning)) AutoRunRegister(FKind, FFileName);
}

// ---- Shutdown -------------------------------------------------------------------------------------

namespace {

// The session manager (systemd-logind) through its command-line tools.
bool RunSessionCommand(TvsShutdownActionType Action, bool Force) {
    std::vector<std::string> args;
    switch (Action) {
    case aatPowerOff: args = {"systemctl", "poweroff"}; break;
    case aatShutdown: args = {"systemctl", "halt"}; break;
    case aatReboot: args = {"systemctl", "reboot"}; break;
    case aatSuspend: args = {"systemctl", "suspend"}; break;
    case aatHibernate: args = {"systemctl", "hibernate"}; break;
    case aatLogOff: {
        const char* session = std::getenv("XDG_SESSION_ID");
        if (!session || !*session) return false;
        args = {"loginctl", "terminate-session", session};
        break;
    }
    }
    // Forced: without asking the programs that could delay it.
    if (Force && args[0] == "systemctl") args.push_back("--check-inhibitors=no");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TShutdownService& ShutdownService() {
    static TShutdownService service = RunSessionCommand;
    return service;
}

}  // namespace

TShutdownService SetShutdownService(TShutdownService Service) {
    return ReplaceHook(ShutdownService(), std::move(Service), RunSessionCommand);
}

bool TvsShutdown::Execute() {
    bool allowed = true;
    if (OnQueryShutdown) OnQueryShutdown(this, allowed);
    if (!allowed) return false;
    return ShutdownService()(ActionType, Force);
}
