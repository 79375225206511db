#pragma once
// The system-integration components: a worker thread and a thread timer, a
// window-message timer, a window-procedure hook, file operations, file-type
// associations, a data block stored in the form, the Start button's
// properties, a screen colour picker, a notification-area icon, a
// single-instance guard, autorun entries, shutdown, wave playback, and folder
// and registry monitors. No window of the program places one; a window
// definition that does gets the behaviour below.

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "FileWatch.h"
#include "Menus.h"
#include "Registry.h"
#include "vsUtils.h"

class TInstanceLock;

// No system timer was left.
class EOutOfResources : public EOutOfMemory {
public:
    using EOutOfMemory::EOutOfMemory;
};
class TTrayIconHost;

class TvsComponent : public TComponent {
public:
    using TComponent::TComponent;
    std::string About() const { return "v1.0"; }
};

// ---- Threads and timers ----------------------------------------------------------

class TvsCustomThreadComponent : public TvsComponent {
public:
    explicit TvsCustomThreadComponent(TComponent* AOwner);
    ~TvsCustomThreadComponent() override;

    TThreadPriority GetPriority() const { return FPriority; }
    void SetPriority(TThreadPriority Value);
    int GetReturnValue() const;
    void SetReturnValue(int Value);
    bool GetSuspended() const;
    void SetSuspended(bool Value);
    bool GetSynchronized() const { return FSynchronized; }
    void SetSynchronized(bool Value);
    // Starts OnExecute again on a fresh thread; a thread still running is
    // asked to stop and waited for first, never killed mid-run.
    void Execute();
    // Runs Method on the GUI thread, waiting for it (from OnExecute).
    void Synchronize(const std::function<void()>& Method);
    // Whether the current run was asked to stop (for OnExecute's loops).
    bool Terminated() const;
    void Terminate();
    // OnException, else a message box naming the component and the exception.
    void HandleException(std::exception_ptr Error);

    std::function<void(TObject* Sender, Exception& E)> OnException;
    // Runs on the worker thread (on the GUI thread while Synchronized).
    TNotifyEvent OnExecute;
    // Runs on the GUI thread when a run has ended.
    TNotifyEvent OnTerminate;

    void Loaded() override;

private:
    void MakeThread(bool Suspended);
    std::unique_ptr<TvsEventThread> FThread;
    TThreadPriority FPriority = tpNormal;
    bool FSynchronized = false;
    bool FStreamedSuspended = true;
    bool FDestroying = false;
};

class TvsThreadComponent : public TvsCustomThreadComponent {
public:
    using TvsCustomThreadComponent::TvsCustomThreadComponent;
};

class TvsCustomThreadTimer : public TvsComponent {
public:
    explicit TvsCustomThreadTimer(TComponent* AOwner);
    ~TvsCustomThreadTimer() override;

    unsigned GetInterval() const { return FThread->GetInterval(); }
    void SetInterval(unsigned Value) { FThread->SetInterval(Value); }
    TThreadPriority GetPriority() const { return FThread->Priority; }
    void SetPriority(TThreadPriority Value) { FThread->Priority = Value; }
    bool GetSynchronized() const { return FThread->Synchronized; }
    void SetSynchronized(bool Value) { FThread->Synchronized = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Runs on the timer's thread (on the GUI thread while Synchronized).
    TNotifyEvent OnTimer;

    void Loaded() override;

private:
    std::unique_ptr<TvsTimerThread> FThread;
    bool FEnabled = false;
};

class TvsThreadTimer : public TvsCustomThreadTimer {
public:
    using TvsCustomThreadTimer::TvsCustomThreadTimer;
};

// A timer on a hidden message target of its own (timer id 1).
class TvsCustomTimer : public TvsComponent {
public:
    explicit TvsCustomTimer(TComponent* AOwner);
    ~TvsCustomTimer() override;
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer;
    HWND Window() const { return FWindow; }

protected:
    virtual void Timer();
    virtual void WndProc(TMessage& Message);
    virtual void UpdateTimer();

private:
    HWND FWindow = 0;
    bool FEnabled = true;
    unsigned FInterval = 1000;
};

class TvsColorPicker : public TvsCustomTimer {
public:
    explicit TvsColorPicker(TComponent* AOwner);
    ~TvsColorPicker() override;
    // The screen's colour under the mouse pointer now.
    TColor Color() const { return GetColorUnderCursor(); }
    // The cursor shown while the picker ticks (crDefault: none); the screen's
    // own cursor returns when the picker stops, loses its cursor or goes.
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);

protected:
    void Timer() override;
    void UpdateTimer() override;

private:
    void RestoreCursor();
    TCursor FCursor = crDefault;
    bool FShowing = false;  // the picking cursor is on the screen
    TCursor FSaved = crDefault;
};

// ---- Window-procedure hook -------------------------------------------------------

class TvsCustomWndProcHook : public TvsComponent {
public:
    explicit TvsCustomWndProcHook(TComponent* AOwner);
    ~TvsCustomWndProcHook() override;

    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    bool AutoDrag = false;
    // The hooked control; none means the owner, when it is a windowed control.
    TWinControl* GetWinControl() const { return FWinControl; }
    void SetWinControl(TWinControl* Value);

    std::function<void(TObject* Sender, TMessage& Message, bool& Handled)> OnMessageBefore;
    std::function<void(TObject* Sender, TMessage& Message, bool& Handled)> OnMessageAfter;
    TNotifyEvent OnChangeWinControl;
    TNotifyEvent OnChangeHandle;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TvsWndProcHookList;
    TWinControl* Target() const;
    void Hook();
    void Unhook();
    // One message through this hook; Next runs the rest of the chain.
    void HookProc(TMessage& Message, const std::function<void(TMessage&)>& Next);
    bool FActive = false;
    TWinControl* FWinControl = nullptr;
    TWinControl* FHooked = nullptr;
    int FOrder = 0;
};

class TvsWndProcHook : public TvsCustomWndProcHook {
public:
    using TvsCustomWndProcHook::TvsCustomWndProcHook;
};

// ---- Files ----------------------------------------------------------------------------------

enum TvsFileOperationType { fotCopy, fotDelete, fotMove, fotRename };
enum TvsFileOperationFlag {
    fofAllowUndo,
    fofFilesOnly,
    fofNoConfirmation,
    fofNoConfirmMkDir,
    fofNoErrorUI,
    fofRenameCollision,
    fofSilent,
    fofSimpleProgress
};
using TvsFileOperationFlags = Set<TvsFileOperationFlag>;

class TvsFileOperation : public TvsComponent {
public:
    explicit TvsFileOperation(TComponent* AOwner);
    ~TvsFileOperation() override;

    // One source per line (wildcards in the name allowed), or "source=target".
    TStrings* GetFileList() const { return FFileList.get(); }
    void SetFileList(TStrings* Value) { FFileList->Assign(Value); }
    std::string DestFolder;
    std::string ProgressTitle;
    TvsFileOperationType Operation = fotCopy;
    TvsFileOperationFlags Options{fofAllowUndo, fofFilesOnly, fofRenameCollision};
    // Every failure, with its message; the operation goes on with the next file.
    std::function<void(TObject* Sender, const std::string& Message)> OnError;

    // True when every file was done (an empty list succeeds at once). Deleting
    // with fofAllowUndo moves to the desktop's trash. An existing target is
    // renamed away with fofRenameCollision, replaced with fofNoConfirmation,
    // else replaced only when the person agrees.
    bool Execute();

private:
    struct TJob;
    bool Run(const std::string& Source, const std::string& Target);
    bool Fail(const std::string& Message);
    std::unique_ptr<TStringList> FFileList;
};

// A file type known to the desktop: the extension's MIME type in the user's
// MIME database ($XDG_DATA_HOME/mime/packages/), the program entry that opens
// it ($XDG_DATA_HOME/applications/) with its other commands as actions, and
// the default-application choice ($XDG_CONFIG_HOME/mimeapps.list). Every
// change is written at once.
class TvsFileAssociation : public TvsComponent {
public:
    explicit TvsFileAssociation(TComponent* AOwner);

    std::string GetExtension() const { return FExtension; }
    // Reads what the desktop knows of the extension.
    void SetExtension(const std::string& Value);
    bool ReadOnly = true;

    enum TField {
        afExtDescription,
        afFileDescription,
        afIconFile,
        afOpenCommand,
        afOpenCommandDescription,
        afOpenNewCommand,
        afOpenNewCommandDescription,
        afEditCommand,
        afEditCommandDescription,
        afPrintCommand,
        afPrintCommandDescription,
        afPrintToCommand,
        afPrintToCommandDescription,
        afFieldCount
    };
    std::string Get(TField Field) const { return FFields[Field]; }
    void Set(TField Field, const std::string& Value);
    int GetIconIndex() const { return FIconIndex; }
    void SetIconIndex(int Value);

    // The MIME type the extension gets ("application/x-varnholt-qvd").
    std::string MimeType() const;
    std::string MimePackageFile() const;
    std::string DesktopEntryFile() const;
    // Writes everything; false when a file cannot be written.
    bool Write();
    // Takes the association away again.
    bool Remove();

private:
    void Changed();
    bool Read();
    std::string FExtension;
    std::string FFields[afFieldCount];
    int FIconIndex = 0;
};

// A block of data kept in the window definition (the binary "FileData").
class TvsCustomFileStorage : public TvsComponent {
public:
    explicit TvsCustomFileStorage(TComponent* AOwner);
    ~TvsCustomFileStorage() override;

    TMemoryStream* Data() const { return FData.get(); }
    int64_t DataSize() const { return FData->GetSize(); }
    std::string GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value);
    std::string GetSaveName() const { return FSaveName; }
    void SetSaveName(const std::string& Value);
    bool GetAutoSave() const { return FAutoSave; }
    void SetAutoSave(bool Value);

    // Loads FileName; false (and OnLoad told so) when it cannot be read.
    bool LoadFromFile();
    // Saves to SaveName, asking OnConfirmOverride before replacing a file.
    bool SaveToFile();

    std::function<void(TObject* Sender, bool Success)> OnLoad;
    std::function<void(TObject* Sender, bool Success)> OnSave;
    std::function<void(TObject* Sender, bool& Override)> OnConfirmOverride;

    void Loaded() override;

protected:
    void DefineProperties(TFiler* Filer) override;
    // A published property changed.
    virtual void Changed() {}

private:
    std::unique_ptr<TMemoryStream> FData;
    std::string FFileName;
    std::string FSaveName;
    bool FAutoSave = false;
};

class TvsFileStorage : public TvsCustomFileStorage {
public:
    using TvsCustomFileStorage::TvsCustomFileStorage;
};

// ---- Desktop ---------------------------------------------------------------------------------

// The taskbar's Start button has no counterpart on a Linux desktop: the
// settings are kept and nothing is moved.
class TvsStartButtonProperties : public TvsComponent {
public:
    using TvsComponent::TvsComponent;
    int ButtonLeft = 0, ButtonTop = 0, ButtonWidth = 0, ButtonHeight = 0;
    bool Enabled = true;
    bool Visible = true;
};

enum TvsTrayIconInfoType { tiiNone, tiiInfo, tiiWarning, tiiError };

class TvsTrayIcon : public TvsCustomTimer {
public:
    // The message the icon's notifications arrive as, with the mouse message in LParam.
    static constexpr unsigned CallbackMessage = 1235;

    explicit TvsTrayIcon(TComponent* AOwner);
    ~TvsTrayIcon() override;

    bool GetCycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool Value);
    unsigned GetCycleInterval() const { return FCycleInterval; }
    void SetCycleInterval(unsigned Value);
    bool TrayEnabled = true;
    std::string GetHint() const { return FHint; }
    void SetHint(const std::string& Value);
    TBitmap* GetIcon() const { return FIcon.get(); }
    void SetIcon(TBitmap* Value);
    TImageList* GetImageList() const { return FImageList; }
    void SetImageList(TImageList* Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int IconID = 0;
    // Minimising the main form hides it into the icon.
    bool GetMinimizeToTray() const { return FMinimizeToTray; }
    void SetMinimizeToTray(bool Value);
    bool MinimizeOnStart = false;
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    bool PopupByLeft = false;
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    bool VisibleOnDesigning = false;
    std::string InfoText;
    std::string InfoTitle;
    int InfoTimeout = 10000;
    TvsTrayIconInfoType InfoType = tiiNone;

    // Shows InfoTitle and InfoText in a balloon by the icon.
    void ShowBalloon();
    // Hides the main form into the icon (OnMinimize).
    void MinimizeApp();
    void RestoreApp();

    TNotifyEvent OnMinimize;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnPopupMenu;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnCycleIcons;
    TNotifyEvent OnBalloonShow;
    TNotifyEvent OnBalloonTimeout;
    TNotifyEvent OnBalloonClick;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void WndProc(TMessage& Message) override;

private:
    void UpdateIcon();
    void Callback(unsigned MouseMessage);
    void PopupAtCursor();
    void HookMainForm(bool Hook);
    std::unique_ptr<TTrayIconHost> FHost;
    std::unique_ptr<TBitmap> FIcon;
    bool FCycleIcons = false;
    unsigned FCycleInterval = 200;
    std::string FHint;
    TImageList* FImageList = nullptr;
    int FImageIndex = 0;
    TPopupMenu* FPopupMenu = nullptr;
    bool FShowHint = true;
    bool FVisible = false;
    bool FLeftDown = false;
    bool FMinimizeToTray = false;
    TForm* FHookedForm = nullptr;
    TControl::TWndMethod FSavedFormProc;
};

// Keeps the program to one running instance under a name made of the
// program's file name or title and Identifier.
class TvsOneInstance : public TvsComponent {
public:
    explicit TvsOneInstance(TComponent* AOwner);
    ~TvsOneInstance() override;

    bool ActivatePrevInstance = true;
    bool ExeNameAsIdentifier = false;
    std::string Message;
    std::string Identifier;
    bool ShowMessage = false;
    // May clear Terminate to let the second instance run.
    std::function<void(TObject* Sender, bool& Terminate)> OnShowMessage;

    std::string InstanceName() const;
    // Takes the lock, or acts as a second start; true when this is the first instance.
    bool Check();
    bool IsFirstInstance() const { return FFirst; }

    void Loaded() override;

private:
    std::unique_ptr<TInstanceLock> FLock;
    bool FFirst = true;
};

class TvsAutoRun : public TvsComponent {
public:
    explicit TvsAutoRun(TComponent* AOwner);
    bool GetAutoRun() const { return FAutoRun; }
    void SetAutoRun(bool Value);
    std::string GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value);
    TvsAutoExecKind GetKind() const { return FKind; }
    void SetKind(TvsAutoExecKind Value);
    void Loaded() override;

private:
    void Apply(const std::function<void()>& Change);
    bool FAutoRun = false;
    std::string FFileName;
    TvsAutoExecKind FKind = aekMachineRun;
};

enum TvsShutdownActionType { aatPowerOff, aatShutdown, aatReboot, aatLogOff, aatSuspend, aatHibernate };

// Asks the session manager to end the session or switch the machine off.
using TShutdownService = std::function<bool(TvsShutdownActionType Action, bool Force)>;
// Replaces the service (tests); returns the previous one.
TShutdownService SetShutdownService(TShutdownService Service);

class TvsShutdown : public TvsComponent {
public:
    using TvsComponent::TvsComponent;
    TvsShutdownActionType ActionType = aatPowerOff;
    bool Force = false;
    std::function<void(TObject* Sender, bool& Allowed)> OnQueryShutdown;
    // False when refused by OnQueryShutdown or by the system.
    bool Execute();
};

enum TvsWavPlayFrom { pfFile, pfResource, pfDFM, pfSystemEvent };

class TWavePlayer;

// Plays a wave file, or the stored data, through the desktop's sound system.
class TvsWav : public TvsCustomFileStorage {
public:
    explicit TvsWav(TComponent* AOwner);
    ~TvsWav() override;
    // Changing one of these while a loop plays starts the loop again with the new value.
    bool GetAsyncPlay() const { return FAsyncPlay; }
    void SetAsyncPlay(bool Value) { Set(FAsyncPlay, Value); }
    std::string GetEventAlias() const { return FEventAlias; }
    void SetEventAlias(const std::string& Value) { Set(FEventAlias, Value); }
    bool GetLooped() const { return FLooped; }
    void SetLooped(bool Value) { Set(FLooped, Value); }
    bool GetNoDefaultSound() const { return FNoDefaultSound; }
    void SetNoDefaultSound(bool Value) { Set(FNoDefaultSound, Value); }
    bool GetNoStopSound() const { return FNoStopSound; }
    void SetNoStopSound(bool Value) { Set(FNoStopSound, Value); }
    bool GetNoWaitIfBusy() const { return FNoWaitIfBusy; }
    void SetNoWaitIfBusy(bool Value) { Set(FNoWaitIfBusy, Value); }
    TvsWavPlayFrom GetPlayFrom() const { return FPlayFrom; }
    void SetPlayFrom(TvsWavPlayFrom Value) { Set(FPlayFrom, Value); }
    std::string GetResourceName() const { return FResourceName; }
    void SetResourceName(const std::string& Value) { Set(FResourceName, Value); }
    TNotifyEvent OnPlayBefore;
    TNotifyEvent OnPlayAfter;
    // False when there is nothing playable or the sound system refuses it (LastError says why).
    bool Play();
    void Stop();
    bool Playing() const;
    const std::string& LastError() const { return FLastError; }

protected:
    void Changed() override;

private:
    template <class T>
    void Set(T& Field, const T& Value) {
        if (Field == Value) return;
        Field = Value;
        Changed();
    }
    bool FAsyncPlay = true;
    std::string FEventAlias = ".Default";
    bool FLooped = false;
    bool FNoDefaultSound = true;
    bool FNoStopSound = false;
    bool FNoWaitIfBusy = true;
    TvsWavPlayFrom FPlayFrom = pfFile;
    std::string FResourceName = "WAVE1";
    std::unique_ptr<TWavePlayer> FPlayer;
    bool FLooping = false;  // the sound playing was started as a loop
    std::string FLastError;
};

// ---- Monitors -------------------------------------------------------------------------------------

enum TFolderMonitorFilter {
    fmfFileNameChange,
    fmfDirNameChange,
    fmfAttributeChange,
    fmfSizeChange,
    fmfWriteChange,
    fmfSecurityChange
};
using TFolderMonitorFilters = Set<TFolderMonitorFilter>;

// Calls OnChange (on the GUI thread) when a change of a watched kind happens in Folder.
class TvsCustomFolderMonitor : public TvsComponent {
public:
    explicit TvsCustomFolderMonitor(TComponent* AOwner);
    ~TvsCustomFolderMonitor() override;
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    std::string GetFolder() const { return FFolder; }
    void SetFolder(const std::string& Value);
    TFolderMonitorFilters GetNotifyFilters() const { return FFilters; }
    void SetNotifyFilters(TFolderMonitorFilters Value);
    bool GetWatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    // Runs on the GUI thread, from the message loop.
    TNotifyEvent OnChange;

    void Loaded() override;

    struct TEntry;

private:
    void Restart();
    void Rescan(bool Notify);
    bool FActive = false;
    std::string FFolder = "/";
    TFolderMonitorFilters FFilters{fmfFileNameChange, fmfDirNameChange};
    bool FWatchSubTree = true;
    std::unique_ptr<TFileWatcher> FWatcher;
    std::unique_ptr<std::vector<TEntry>> FSnapshot;
};

class TvsFolderMonitor : public TvsCustomFolderMonitor {
public:
    using TvsCustomFolderMonitor::TvsCustomFolderMonitor;
};

enum TvsRegRootKey { rrkClassesRoot, rrkCurrentUser, rrkLocalMachine, rrkUsers, rrkCurrentConfig, rrkDynData };
enum TvsRegistryMonitorFilter { rmfSubTreeChange, rmfAttributeChange, rmfValueChange, rmfSecurityChange };
using TvsRegistryMonitorFilters = Set<TvsRegistryMonitorFilter>;

// Calls OnChange when the key (or, with WatchSubTree, a key below it) of the
// registry stand-in changes, appears or goes away.
class TvsCustomRegistryMonitor : public TvsComponent {
public:
    explicit TvsCustomRegistryMonitor(TComponent* AOwner);
    ~TvsCustomRegistryMonitor() override;
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    std::string GetRegistryKey() const { return FKey; }
    void SetRegistryKey(const std::string& Value);
    TvsRegRootKey GetRootKey() const { return FRoot; }
    void SetRootKey(TvsRegRootKey Value);
    TvsRegistryMonitorFilters GetNotifyFilters() const { return FFilters; }
    void SetNotifyFilters(TvsRegistryMonitorFilters Value);
    bool GetWatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    // Runs on the GUI thread, from the message loop.
    TNotifyEvent OnChange;

    void Loaded() override;

private:
    void Restart();
    std::string Snapshot() const;
    void Check();
    bool FActive = false;
    std::string FKey;
    TvsRegRootKey FRoot = rrkCurrentUser;
    TvsRegistryMonitorFilters FFilters{rmfSubTreeChange, rmfValueChange};
    bool FWatchSubTree = true;
    std::unique_ptr<TFileWatcher> FWatcher;
    std::string FLast;
};

class TvsRegistryMonitor : public TvsCustomRegistryMonitor {
public:
    using TvsCustomRegistryMonitor::TvsCustomRegistryMonitor;
};

// Registers the 23 classes for window definitions; safe to call more than once.
void RegisterVsCompsClasses();
