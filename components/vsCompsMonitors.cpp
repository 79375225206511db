// Folder and registry monitors, and the registration of the component family.

#include "vsComps.h"

#include <filesystem>
#include <mutex>
#include <sys/stat.h>

#include "Folders.h"
#include "Menus.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace fs = std::filesystem;

// ---- Folder monitor -----------------------------------------------------------------------

struct TvsCustomFolderMonitor::TEntry {
    std::string Path;  // relative to the folder
    bool Folder = false;
    int64_t Size = 0;
    int64_t Modified = 0;
    unsigned Mode = 0;
    unsigned Owner = 0, Group = 0;
    bool operator<(const TEntry& o) const { return Path < o.Path; }
};

namespace {

// More watches than this would use up the user's inotify allowance.
constexpr size_t kMaxWatches = 4096;

}  // namespace

TvsCustomFolderMonitor::TvsCustomFolderMonitor(TComponent* AOwner) : TvsComponent(AOwner) {}

TvsCustomFolderMonitor::~TvsCustomFolderMonitor() = default;

void TvsCustomFolderMonitor::SetActive(bool Value) {
    FActive = Value;
    Restart();
}

void TvsCustomFolderMonitor::SetFolder(const std::string& Value) {
    FFolder = Trim(Value);
    Restart();
}

void TvsCustomFolderMonitor::SetNotifyFilters(TFolderMonitorFilters Value) {
    FFilters = Value;
    Restart();
}

void TvsCustomFolderMonitor::SetWatchSubTree(bool Value) {
    FWatchSubTree = Value;
    Restart();
}

void TvsCustomFolderMonitor::Loaded() {
    TvsComponent::Loaded();
    Restart();
}

void TvsCustomFolderMonitor::Restart() {
    FWatcher.reset();
    FSnapshot.reset();
    if (!FActive || ComponentState.Contains(csLoading) || ComponentState.Contains(csDesigning)) return;
    FWatcher = std::make_unique<TFileWatcher>();
    FWatcher->OnChange = [this](const std::string&) { Rescan(true); };
    Rescan(false);
}

void TvsCustomFolderMonitor::Rescan(bool Notify) {
    const std::string root = FFolder.empty() ? fs::current_path().string() : FFolder;
    auto now = std::make_unique<std::vector<TEntry>>();
    std::vector<std::string> watch{root};
    const bool watchFiles = FFilters.Contains(fmfSizeChange) || FFilters.Contains(fmfWriteChange);
    std::error_code ec;
    auto add = [&](const fs::directory_entry& e) {
        struct stat st {};
        if (lstat(e.path().c_str(), &st) != 0) return;
        TEntry t;
        t.Path = fs::relative(e.path(), root, ec).string();
        t.Folder = S_ISDIR(st.st_mode);
        t.Size = st.st_size;
        t.Modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        t.Mode = st.st_mode;
        t.Owner = st.st_uid;
        t.Group = st.st_gid;
        now->push_back(t);
        if (watch.size() < kMaxWatches && (t.Folder ? FWatchSubTree : watchFiles)) watch.push_back(e.path().string());
    };
    if (FWatchSubTree) {
        for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            add(*it);
    } else {
        for (const auto& e : fs::directory_iterator(root, ec)) add(e);
    }
    std::sort(now->begin(), now->end());
    FWatcher->SetPaths(watch);

    bool changed = false;
    if (Notify && FSnapshot) {
        const std::vector<TEntry>& old = *FSnapshot;
        auto a = old.begin();
        auto b = now->begin();
        auto named = [&](const TEntry& e) {
            changed |= FFilters.Contains(e.Folder ? fmfDirNameChange : fmfFileNameChange);
        };
        while (a != old.end() || b != now->end()) {
            if (b == now->end() || (a != old.end() && a->Path < b->Path))
                named(*a++);
            else if (a == old.end() || b->Path < a->Path)
                named(*b++);
            else {
                if (a->Folder != b->Folder) named(*b);
                if (a->Mode != b->Mode)
                    changed |= FFilters.Contains(fmfAttributeChange) || FFilters.Contains(fmfSecurityChange);
                if (a->Owner != b->Owner || a->Group != b->Group) changed |= FFilters.Contains(fmfSecurityChange);
                if (a->Size != b->Size) changed |= FFilters.Contains(fmfSizeChange);
                if (a->Modified != b->Modified && !a->Folder) changed |= FFilters.Contains(fmfWriteChange);
                ++a;
                ++b;
            }
        }
    }
    FSnapshot = std::move(now);
    if (changed && OnChange) OnChange(this);
}

// ---- Registry monitor ----------------------------------------------------------------------

namespace {

HKEY RootOf(TvsRegRootKey Root) {
    switch (Root) {
    case rrkClassesRoot: return HKEY_CLASSES_ROOT;
    case rrkCurrentUser: return HKEY_CURRENT_USER;
    case rrkLocalMachine: return HKEY_LOCAL_MACHINE;
    case rrkUsers: return HKEY_USERS;
    case rrkCurrentConfig: return HKEY_CURRENT_CONFIG;
    case rrkDynData: return HKEY(0x80000006u);
    }
    return HKEY_CURRENT_USER;
}

// The key's values and, with Depth, those of the keys below it, as text;
// "names" lists the key names, "values" the values.
void DumpKey(TRegistry& Reg, const std::string& Key, bool Deep, std::string& Names, std::string& Values) {
    if (!Reg.OpenKey("\\" + Key, false)) return;
    Names += Key + "\n";
    TStringList list;
    Reg.GetValueNames(&list);
    for (int i = 0; i < list.Count(); ++i)
        Values += Key + "\\" + list.Strings(i) + "=" + Reg.ReadString(list.Strings(i)) + "\n";
    if (!Deep) return;
    TStringList keys;
    Reg.GetKeyNames(&keys);
    for (int i = 0; i < keys.Count(); ++i) DumpKey(Reg, Key + "\\" + keys.Strings(i), true, Names, Values);
}

}  // namespace

TvsCustomRegistryMonitor::TvsCustomRegistryMonitor(TComponent* AOwner) : TvsComponent(AOwner) {}

TvsCustomRegistryMonitor::~TvsCustomRegistryMonitor() = default;

void TvsCustomRegistryMonitor::SetActive(bool Value) {
    FActive = Value;
    Restart();
}

void TvsCustomRegistryMonitor::SetRegistryKey(const std::string& Value) {
    FKey = Value;
    while (!FKey.empty() && FKey[0] == '\\') FKey.erase(0, 1);
    Restart();
}

void TvsCustomRegistryMonitor::SetRootKey(TvsRegRootKey Value) {
    FRoot = Value;
    Restart();
}

void TvsCustomRegistryMonitor::SetNotifyFilters(TvsRegistryMonitorFilters Value) {
    FFilters = Value;
    Restart();
}

void TvsCustomRegistryMonitor::SetWatchSubTree(bool Value) {
    FWatchSubTree = Value;
    Restart();
}

void TvsCustomRegistryMonitor::Loaded() {
    TvsComponent::Loaded();
    Restart();
}

std::string TvsCustomRegistryMonitor::Snapshot() const {
    TRegistry reg;
    reg.RootKey = RootOf(FRoot);
    std::string names, values;
    DumpKey(reg, FKey, FWatchSubTree, names, values);
    if (names.empty()) return "";  // no such key
    std::string s = "key\n";
    if (FFilters.Contains(rmfSubTreeChange)) s += names;
    if (FFilters.Contains(rmfValueChange)) s += values;
    return s;
}

void TvsCustomRegistryMonitor::Restart() {
    FWatcher.reset();
    if (!FActive || ComponentState.Contains(csLoading) || ComponentState.Contains(csDesigning)) return;
    FWatcher = std::make_unique<TFileWatcher>();
    FWatcher->OnChange = [this](const std::string&) { Check(); };
    FLast = Snapshot();
    const std::string file = TRegistry::RegistryFileName();
    std::error_code ec;
    fs::create_directories(ExtractFilePathPart(file), ec);
    // The folder too: a save replaces the file, and a first save creates it.
    FWatcher->SetPaths({ExtractFilePathPart(file), file});
}

void TvsCustomRegistryMonitor::Check() {
    FWatcher->AddPath(TRegistry::RegistryFileName());
    std::string now = Snapshot();
    if (now == FLast) return;
    FLast = std::move(now);
    if (OnChange) OnChange(this);
}

// ---- Registration ---------------------------------------------------------------------------

void RegisterVsCompsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        RegisterVsUtils();
        Published<TvsComponent>("TvsComponent", "TComponent").Str("About", &TvsComponent::About, nullptr);

        const std::initializer_list<const char*> priorities = {"tpIdle",   "tpLowest",  "tpLower",       "tpNormal",
                                                               "tpHigher", "tpHighest", "tpTimeCritical"};
        using TC = TvsCustomThreadComponent;
        Published<TC>("TvsCustomThreadComponent", "TvsComponent")
            .Enum("Priority", priorities, &TC::GetPriority, &TC::SetPriority)
            .Int("ReturnValue", &TC::GetReturnValue, &TC::SetReturnValue)
            .Bool("Suspended", &TC::GetSuspended, &TC::SetSuspended)
            .Bool("Synchronized", &TC::GetSynchronized, &TC::SetSynchronized)
            .Event("OnException", &TC::OnException)
            .Event("OnExecute", &TC::OnExecute)
            .Event("OnTerminate", &TC::OnTerminate);
        Published<TvsThreadComponent>("TvsThreadComponent", "TvsCustomThreadComponent");

        using TT = TvsCustomThreadTimer;
        Published<TT>("TvsCustomThreadTimer", "TvsComponent")
            .Int("Interval", &TT::GetInterval, &TT::SetInterval)
            .Enum("Priority", priorities, &TT::GetPriority, &TT::SetPriority)
            .Bool("Synchronized", &TT::GetSynchronized, &TT::SetSynchronized)
            .Bool("Enabled", &TT::GetEnabled, &TT::SetEnabled)
            .Event("OnTimer", &TT::OnTimer);
        Published<TvsThreadTimer>("TvsThreadTimer", "TvsCustomThreadTimer");

        using CT = TvsCustomTimer;
        Published<CT>("TvsCustomTimer", "TvsComponent")
            .Bool("Enabled", &CT::GetEnabled, &CT::SetEnabled)
            .Int("Interval", &CT::GetInterval, &CT::SetInterval)
            .Event("OnTimer", &CT::OnTimer);
        Published<TvsColorPicker>("TvsColorPicker", "TvsCustomTimer");

        using WH = TvsCustomWndProcHook;
        Published<WH>("TvsCustomWndProcHook", "TvsComponent")
            .Bool("Active", &WH::GetActive, &WH::SetActive)
            .Bool("AutoDrag", &WH::AutoDrag, &WH::AutoDrag)
            .Reference<TWinControl>("WinControl", &WH::GetWinControl, &WH::SetWinControl)
            .Event("OnChangeHandle", &WH::OnChangeHandle)
            .Event("OnChangeWinControl", &WH::OnChangeWinControl)
            .Event("OnMessageAfter", &WH::OnMessageAfter)
            .Event("OnMessageBefore", &WH::OnMessageBefore);
        Published<TvsWndProcHook>("TvsWndProcHook", "TvsCustomWndProcHook");

        using FO = TvsFileOperation;
        Published<FO>("TvsFileOperation", "TvsComponent")
            .Object("FileList", &FO::GetFileList)
            .Str("DestFolder", &FO::DestFolder, &FO::DestFolder)
            .Str("ProgressTitle", &FO::ProgressTitle, &FO::ProgressTitle)
            .Enum("Operation", {"fotCopy", "fotDelete", "fotMove", "fotRename"}, &FO::Operation, &FO::Operation)
            .SetOf("Options",
                   {"fofAllowUndo", "fofFilesOnly", "fofNoConfirmation", "fofNoConfirmMkDir", "fofNoErrorUI",
                    "fofRenameCollision", "fofSilent", "fofSimpleProgress"},
                   &FO::Options, &FO::Options)
            .Event("OnError", &FO::OnError);

        using FA = TvsFileAssociation;
        Published<FA> assoc("TvsFileAssociation", "TvsComponent");
        assoc.Str("Extension", &FA::GetExtension, &FA::SetExtension)
            .Bool("ReadOnly", &FA::ReadOnly, &FA::ReadOnly)
            .Int("IconIndex", &FA::GetIconIndex, &FA::SetIconIndex);
        const std::pair<const char*, FA::TField> fields[] = {
            {"ExtDescription", FA::afExtDescription},
            {"FileDescription", FA::afFileDescription},
            {"IconFile", FA::afIconFile},
            {"OpenCommand", FA::afOpenCommand},
            {"OpenCommandDescription", FA::afOpenCommandDescription},
            {"OpenNewCommand", FA::afOpenNewCommand},
            {"OpenNewCommandDescription", FA::afOpenNewCommandDescription},
            {"EditCommand", FA::afEditCommand},
            {"EditCommandDescription", FA::afEditCommandDescription},
            {"PrintCommand", FA::afPrintCommand},
            {"PrintCommandDescription", FA::afPrintCommandDescription},
            {"PrintToCommand", FA::afPrintToCommand},
            {"PrintToCommandDescription", FA::afPrintToCommandDescription},
        };
        for (const auto& [name, f] : fields) {
            TPropInfo p;
            p.Name = name;
            p.Kind = pkString;
            p.GetStr = [f = f](TObject* o) { return dynamic_cast<FA&>(*o).Get(f); };
            p.SetStr = [f = f](TObject* o, const std::string& v) { dynamic_cast<FA&>(*o).Set(f, v); };
            assoc.Info().Props.push_back(std::move(p));
        }

        using FS = TvsCustomFileStorage;
        Published<FS>("TvsCustomFileStorage", "TvsComponent")
            .Str("SaveName", &FS::GetSaveName, &FS::SetSaveName)
            .Str("FileName", &FS::GetFileName, &FS::SetFileName)
            .Bool("AutoSave", &FS::GetAutoSave, &FS::SetAutoSave)
            .Event("OnLoad", &FS::OnLoad)
            .Event("OnSave", &FS::OnSave)
            .Event("OnConfirmOverride", &FS::OnConfirmOverride);
        Published<TvsFileStorage>("TvsFileStorage", "TvsCustomFileStorage");

        using SB = TvsStartButtonProperties;
        Published<SB>("TvsStartButtonProperties", "TvsComponent")
            .Int("ButtonLeft", &SB::ButtonLeft, &SB::ButtonLeft)
            .Int("ButtonTop", &SB::ButtonTop, &SB::ButtonTop)
            .Int("ButtonWidth", &SB::ButtonWidth, &SB::ButtonWidth)
            .Int("ButtonHeight", &SB::ButtonHeight, &SB::ButtonHeight)
            .Bool("Enabled", &SB::Enabled, &SB::Enabled)
            .Bool("Visible", &SB::Visible, &SB::Visible);

        using TI = TvsTrayIcon;
        Published<TI>("TvsTrayIcon", "TvsCustomTimer")
            .Bool("CycleIcons", &TI::GetCycleIcons, &TI::SetCycleIcons)
            .Int("CycleInterval", &TI::GetCycleInterval, &TI::SetCycleInterval)
            .Bool("Enabled", &TI::TrayEnabled, &TI::TrayEnabled)
            .Str("Hint", &TI::GetHint, &TI::SetHint)
            .Object("Icon", &TI::GetIcon)
            .Reference<TImageList>("ImageList", &TI::GetImageList, &TI::SetImageList)
            .Int("ImageIndex", &TI::GetImageIndex, &TI::SetImageIndex)
            .Int("IconID", &TI::IconID, &TI::IconID)
            .Bool("MinimizeToTray", &TI::GetMinimizeToTray, &TI::SetMinimizeToTray)
            .Bool("MinimizeOnStart", &TI::MinimizeOnStart, &TI::MinimizeOnStart)
            .Reference<TPopupMenu>("PopupMenu", &TI::GetPopupMenu, &TI::SetPopupMenu)
            .Bool("PopupByLeft", &TI::PopupByLeft, &TI::PopupByLeft)
            .Bool("ShowHint", &TI::GetShowHint, &TI::SetShowHint)
            .Bool("Visible", &TI::GetVisible, &TI::SetVisible)
            .Bool("VisibleOnDesigning", &TI::VisibleOnDesigning, &TI::VisibleOnDesigning)
            .Str("InfoText", &TI::InfoText, &TI::InfoText)
            .Str("InfoTitle", &TI::InfoTitle, &TI::InfoTitle)
            .Int("InfoTimeout", &TI::InfoTimeout, &TI::InfoTimeout)
            .Enum("InfoType", {"tiiNone", "tiiInfo", "tiiWarning", "tiiError"}, &TI::InfoType, &TI::InfoType)
            .Event("OnMinimize", &TI::OnMinimize)
            .Event("OnMouseMove", &TI::OnMouseMove)
            .Event("OnMouseDown", &TI::OnMouseDown)
            .Event("OnMouseUp", &TI::OnMouseUp)
            .Event("OnClick", &TI::OnClick)
            .Event("OnDblClick", &TI::OnDblClick)
            .Event("OnPopupMenu", &TI::OnPopupMenu)
            .Event("OnShow", &TI::OnShow)
            .Event("OnHide", &TI::OnHide)
            .Event("OnCycleIcons", &TI::OnCycleIcons)
            .Event("OnBalloonShow", &TI::OnBalloonShow)
            .Event("OnBalloonTimeout", &TI::OnBalloonTimeout)
            .Event("OnBalloonClick", &TI::OnBalloonClick);

        using OI = TvsOneInstance;
        Published<OI>("TvsOneInstance", "TvsComponent")
            .Bool("ActivatePrevInstance", &OI::ActivatePrevInstance, &OI::ActivatePrevInstance)
            .Bool("ExeNameAsIdentifier", &OI::ExeNameAsIdentifier, &OI::ExeNameAsIdentifier)
            .Str("Message", &OI::Message, &OI::Message)
            .Str("Identifier", &OI::Identifier, &OI::Identifier)
            .Bool("ShowMessage", &OI::ShowMessage, &OI::ShowMessage)
            .Event("OnShowMessage", &OI::OnShowMessage);

        using AR = TvsAutoRun;
        Published<AR>("TvsAutoRun", "TvsComponent")
            .Bool("AutoRun", &AR::GetAutoRun, &AR::SetAutoRun)
            .Str("FileName", &AR::GetFileName, &AR::SetFileName)
            .Enum("Kind",
                  {"aekMachineRun", "aekMachineRunOnce", "aekUserRun", "aekUserRunOnce", "aekServiceRun",
                   "aekServiceRunOnce"},
                  &AR::GetKind, &AR::SetKind);

        using SD = TvsShutdown;
        Published<SD>("TvsShutdown", "TvsComponent")
            .Enum("ActionType", {"aatPowerOff", "aatShutdown", "aatReboot", "aatLogOff", "aatSuspend", "aatHibernate"},
                  &SD::ActionType, &SD::ActionType)
            .Bool("Force", &SD::Force, &SD::Force)
            .Event("OnQueryShutdown", &SD::OnQueryShutdown);

        using WV = TvsWav;
        Published<WV>("TvsWav", "TvsCustomFileStorage")
            .Bool("AsyncPlay", &WV::GetAsyncPlay, &WV::SetAsyncPlay)
            .Str("EventAlias", &WV::GetEventAlias, &WV::SetEventAlias)
            .Bool("Looped", &WV::GetLooped, &WV::SetLooped)
            .Bool("NoDefaultSound", &WV::GetNoDefaultSound, &WV::SetNoDefaultSound)
            .Bool("NoStopSound", &WV::GetNoStopSound, &WV::SetNoStopSound)
            .Bool("NoWaitIfBusy", &WV::GetNoWaitIfBusy, &WV::SetNoWaitIfBusy)
            .Enum("PlayFrom", {"pfFile", "pfResource", "pfDFM", "pfSystemEvent"}, &WV::GetPlayFrom, &WV::SetPlayFrom)
            .Str("ResourceName", &WV::GetResourceName, &WV::SetResourceName)
            .Event("OnPlayAfter", &WV::OnPlayAfter)
            .Event("OnPlayBefore", &WV::OnPlayBefore);

        using FM = TvsCustomFolderMonitor;
        Published<FM>("TvsCustomFolderMonitor", "TvsComponent")
            .Bool("Active", &FM::GetActive, &FM::SetActive)
            .Str("Folder", &FM::GetFolder, &FM::SetFolder)
            .SetOf("NotifyFilters",
                   {"fmfFileNameChange", "fmfDirNameChange", "fmfAttributeChange", "fmfSizeChange", "fmfWriteChange",
                    "fmfSecurityChange"},
                   &FM::GetNotifyFilters, &FM::SetNotifyFilters)
            .Bool("WatchSubTree", &FM::GetWatchSubTree, &FM::SetWatchSubTree)
            .Event("OnChange", &FM::OnChange);
        Published<TvsFolderMonitor>("TvsFolderMonitor", "TvsCustomFolderMonitor");

        using RM = TvsCustomRegistryMonitor;
        Published<RM>("TvsCustomRegistryMonitor", "TvsComponent")
            .Bool("Active", &RM::GetActive, &RM::SetActive)
            .Str("RegistryKey", &RM::GetRegistryKey, &RM::SetRegistryKey)
            .Enum("RootKey",
                  {"rrkClassesRoot", "rrkCurrentUser", "rrkLocalMachine", "rrkUsers", "rrkCurrentConfig", "rrkDynData"},
                  &RM::GetRootKey, &RM::SetRootKey)
            .SetOf("NotifyFilters", {"rmfSubTreeChange", "rmfAttributeChange", "rmfValueChange", "rmfSecurityChange"},
                   &RM::GetNotifyFilters, &RM::SetNotifyFilters)
            .Bool("WatchSubTree", &RM::GetWatchSubTree, &RM::SetWatchSubTree)
            .Event("OnChange", &RM::OnChange);
        Published<TvsRegistryMonitor>("TvsRegistryMonitor", "TvsCustomRegistryMonitor");
    });
}
