#include "vsUtils.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include <unistd.h>

#include "ClassesIO.h"
#include "Desktop.h"
#include "Folders.h"
#include "FormReader.h"
#include "Forms.h"
#include "InstanceLock.h"
#include "SysUtils.h"

namespace fs = std::filesystem;

// ---- Threads ----------------------------------------------------------------------

void TvsEventThread::Execute() {
    if (!Terminated()) RunEvent();
}

void TvsEventThread::SetOnEvent(TNotifyEvent Value) {
    std::lock_guard<std::mutex> guard(FEventLock);
    FOnEvent = std::move(Value);
}

void TvsEventThread::RunEvent() {
    auto call = [this] {
        TNotifyEvent event;
        {
            std::lock_guard<std::mutex> guard(FEventLock);
            event = FOnEvent;
        }
        if (event && !Terminated()) event(this);
    };
    if (Synchronized)
        Synchronize(call);
    else
        call();
}

TvsTimerThread::~TvsTimerThread() {
    SetOnEvent(nullptr);
    Terminate();
    Wake();
    Stop();
}

void TvsTimerThread::SetInterval(unsigned Value) {
    if (Value == FInterval) return;
    FInterval = Value;
    // Restart the wait with the new interval, keeping a suspended thread suspended.
    const bool suspended = GetSuspended();
    {
        std::lock_guard<std::mutex> guard(FWaitLock);
        ++FWakes;
    }
    FWaitWake.notify_all();
    if (suspended) Suspend();
}

void TvsTimerThread::Wake() {
    {
        std::lock_guard<std::mutex> guard(FWaitLock);
        ++FWakes;
    }
    FWaitWake.notify_all();
    Resume();
}

void TvsTimerThread::Execute() {
    while (!Terminated()) {
        CheckSuspended();
        bool timedOut;
        {
            std::unique_lock<std::mutex> lock(FWaitLock);
            const unsigned wakes = FWakes;
            timedOut = !FWaitWake.wait_for(lock, std::chrono::milliseconds(FInterval.load()),
                                           [&] { return FWakes != wakes || Terminated(); });
        }
        if (timedOut && !Terminated()) RunEvent();
    }
}

// ---- Strings and paths -------------------------------------------------------------

int PosFrom(const std::string& Sub, const std::string& S, int Start) {
    if (Sub.empty() || S.empty() || Start < 1 || Start > int(S.size())) return 0;
    const size_t p = S.find(Sub, size_t(Start - 1));
    return p == std::string::npos ? 0 : int(p) + 1;
}

int BackPosBefore(const std::string& Sub, const std::string& S, int Index) {
    if (Sub.empty() || S.empty()) return 0;
    const int last = std::min(Index, int(S.size())) - int(Sub.size()) + 1;
    if (last < 1) return 0;
    const size_t p = S.rfind(Sub, size_t(last - 1));
    return p == std::string::npos ? 0 : int(p) + 1;
}

int BackPos(const std::string& Sub, const std::string& S) { return BackPosBefore(Sub, S, int(S.size())); }

std::string ReplaceAt(const std::string& S, int Index, const std::string& Old, const std::string& New) {
    if (Index < 1 || Index > int(S.size()) + 1) return S;
    std::string r = S;
    r.erase(size_t(Index - 1), Old.size());
    r.insert(size_t(Index - 1), New);
    return r;
}

std::string ReplaceAll(const std::string& S, const std::string& Old, const std::string& New) {
    if (Old.empty()) return S;
    std::string r;
    size_t from = 0;
    for (size_t p; (p = S.find(Old, from)) != std::string::npos; from = p + Old.size())
        r += S.substr(from, p - from) + New;
    return r + S.substr(from);
}

std::string ReplaceChar(const std::string& S, char Old, char New) {
    std::string r = S;
    std::replace(r.begin(), r.end(), Old, New);
    return r;
}

std::string AddTrailingChar(const std::string& S, char C) { return S.empty() || S.back() == C ? S : S + C; }

void TextToStrings(const std::string& Text, const std::string& Separator, TStrings* List) {
    const std::string lines = Separator.size() > 1 ? ReplaceAll(Text, Separator, "\n")
                                                   : (Separator.empty() ? Text : ReplaceChar(Text, Separator[0], '\n'));
    List->SetText(lines);
}

bool IsFileNameValid(const std::string& Name) {
    if (Name.empty()) return false;
    std::error_code ec;
    if (fs::exists(Name, ec)) return true;
    std::FILE* f = std::fopen(Name.c_str(), "wb");
    if (!f) return false;
    std::fclose(f);
    return std::remove(Name.c_str()) == 0;
}

namespace {

bool IsPathDelimiter(char c) { return c == '\\' || c == ':' || c == '/'; }

size_t LastDelimiter(const std::string& Path) {
    for (size_t i = Path.size(); i > 0; --i)
        if (IsPathDelimiter(Path[i - 1])) return i;
    return 0;
}

// The extension of a file name part, with its dot; empty when none.
std::string ExtOf(const std::string& Name) {
    const size_t dot = Name.rfind('.');
    return dot == std::string::npos ? std::string() : Name.substr(dot);
}

bool IsWild(const std::string& Part) { return Part.find_first_of("*?") != std::string::npos; }

}  // namespace

std::string RemoveDoublePathDelimiters(const std::string& S) {
    std::string r = S;
    for (size_t p; (p = r.find("//")) != std::string::npos;) r.erase(p, 1);
    return r;
}

std::string ExtractFileNamePart(const std::string& Path) { return Path.substr(LastDelimiter(Path)); }

std::string ExtractFilePathPart(const std::string& Path) { return Path.substr(0, LastDelimiter(Path)); }

std::string ExtractFileNameWithoutExt(const std::string& Path) {
    const std::string name = ExtractFileNamePart(Path);
    return name.substr(0, name.size() - ExtOf(name).size());
}

std::string ApplyFileMask(const std::string& Source, const std::string& Mask) {
    if (Mask.empty()) return Source;
    const std::string maskPath = ExtractFilePathPart(Mask);
    const std::string maskName = ExtractFileNameWithoutExt(Mask), maskExt = ExtOf(ExtractFileNamePart(Mask));
    const std::string path = maskPath.empty() ? ExtractFilePathPart(Source) : maskPath;
    const std::string name = maskName.empty() || IsWild(maskName) ? ExtractFileNameWithoutExt(Source) : maskName;
    const std::string ext = maskExt.empty() || IsWild(maskExt) ? ExtOf(ExtractFileNamePart(Source)) : maskExt;
    return path + name + ext;
}

std::string ExpandFileNameFromDir(const std::string& Dir, const std::string& Name) {
    if (!Name.empty() && Name[0] == '/') return Name;
    return RemoveDoublePathDelimiters(Dir + "/" + Name);
}

// ---- Registry and autorun ------------------------------------------------------------------

void RegWriteStringValue(HKEY Root, const std::string& Key, const std::string& Name, const std::string& Value) {
    TRegistry reg;
    reg.RootKey = Root;
    if (!reg.OpenKey(Key, true)) throw ERegistryException(Format(vsMsg::CannotOpenKey, {Key}));
    reg.WriteString(Name, Value);
}

namespace {

// The first of the system's configuration folders.
std::string ConfigDir() {
    const char* v = std::getenv("XDG_CONFIG_DIRS");
    std::string dir = v && *v ? std::string(v) : "/etc/xdg";
    if (size_t colon = dir.find(':'); colon != std::string::npos) dir.resize(colon);
    return IncludeTrailingPathDelimiter(dir);
}

bool IsUserKind(TvsAutoExecKind Kind) { return Kind == aekUserRun || Kind == aekUserRunOnce; }
bool IsServiceKind(TvsAutoExecKind Kind) { return Kind == aekServiceRun || Kind == aekServiceRunOnce; }
bool IsRunOnce(TvsAutoExecKind Kind) { return Kind == aekMachineRunOnce || Kind == aekUserRunOnce; }

// Quoting of one argument of an Exec line: reserved characters need double quotes,
// inside which ", `, $ and \ are escaped; the entry format then doubles every \.
std::string ExecArg(const std::string& Arg) {
    std::string q;
    const bool plain = Arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`=%") == std::string::npos && !Arg.empty();
    if (plain)
        q = Arg;
    else {
        q = "\"";
        for (char c : Arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') q += '\\';
            q += c;
        }
        q += '"';
    }
    std::string out;
    for (char c : q) {
        if (c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    return out;
}

}  // namespace

std::string AutoRunFolder(TvsAutoExecKind Kind) {
    if (IsServiceKind(Kind)) return "";
    if (IsUserKind(Kind)) return XdgConfigHome() + "autostart/";
    return ConfigDir() + "autostart/";
}

std::string AutoRunEntryFile(TvsAutoExecKind Kind, const std::string& Path) {
    const std::string folder = AutoRunFolder(Kind);
    if (folder.empty()) return "";
    const std::string name = ExtractFileNamePart(Path);
    return folder + name + (IsRunOnce(Kind) ? ".once.desktop" : ".desktop");
}

bool AutoRunRegister(TvsAutoExecKind Kind, const std::string& Path) {
    const std::string entry = AutoRunEntryFile(Kind, Path);
    if (entry.empty() || Path.empty()) return false;
    std::error_code ec;
    fs::create_directories(AutoRunFolder(Kind), ec);
    std::string exec = ExecArg(Path);
    // A run-once entry takes itself away when it runs.
    if (IsRunOnce(Kind)) exec = "sh -c " + ExecArg("rm -f \"$0\"; exec \"$1\"") + " " + ExecArg(entry) + " " + exec;
    const std::string text = "[Desktop Entry]\nType=Application\nName=" + ExtractFileNamePart(Path) + "\nExec=" + exec +
                             "\nX-GNOME-Autostart-enabled=true\n";
    return classes_io::WriteFileAtomic(entry, text) == 0;
}

bool AutoRunUnregister(TvsAutoExecKind Kind, const std::string& Path) {
    const std::string entry = AutoRunEntryFile(Kind, Path);
    if (entry.empty()) return false;
    std::error_code ec;
    if (!fs::is_directory(AutoRunFolder(Kind), ec)) return false;
    if (!fs::exists(entry, ec)) return true;
    return fs::remove(entry, ec);
}

// ---- Colours ------------------------------------------------------------------------------

namespace {

struct TColorName {
    const char* Name;
    TColor Color;
};

constexpr TColorName kExtraColors[] = {
    {"clHotLight", TColor(0x8000001A)},
    {"clGradientActiveCaption", TColor(0x8000001B)},
    {"clGradientInactiveCaption", TColor(0x8000001C)},
    {"clMenuHighlight", TColor(0x8000001D)},
    {"clMenuBar", TColor(0x8000001E)},
    {"clDefault", TColor(0x20000000)},
    {"clBrown", 0x3090},
    {"clOliveGreen", 0x3030},
    {"clDarkGreen", 0x3000},
    {"clIndigo", 0x903030},
    {"clNight", 0x303030},
    {"clOrange", 0x68FF},
    {"clBlueGray", 0x906060},
    {"clLightOrange", 0x98FF},
    {"clSeaGreen", 0x609830},
    {"clLightBlue", 0xFF6830},
    {"clMetal", 0x909090},
    {"clGold", 0xC8FF},
    {"clDarkTeal", 0x603000},
    {"clSkyBlue", 0xFFC800},
    {"clPlum", 0x603090},
    {"clRose", 0xD098FF},
    {"clTan", 0xA0C8FF},
    {"clLightYellow", 0x90FFFF},
    {"clLightGreen", 0xD0FFD0},
    {"clLightTurquoise", 0xFFFFC0},
    {"clPaleBlue", 0xFFC890},
    {"clLavender", 0xFF98C0},
    {"clMoneyGreen", 0xC0DCC0},
    {"clCream", 0xA6CAF0},
};

}  // namespace

bool IdentToColorEx(const std::string& Ident, TColor& Color) {
    for (const TColorName& n : kExtraColors)
        if (SameText(Ident, n.Name)) {
            Color = n.Color;
            return true;
        }
    return IdentToColor(Ident, Color);
}

bool ColorToIdentEx(TColor Color, std::string& Ident) {
    for (const TColorName& n : kExtraColors)
        if (n.Color == Color) {
            Ident = n.Name;
            return true;
        }
    return ColorToIdent(Color, Ident);
}

TColor GetColorUnderCursor() { return GetScreenPixel(GetCursorPos()); }

// ---- The program's windows --------------------------------------------------------------------

int GetKeyboardShiftState() {
    const TShiftState s = GetInputState();
    return (s.Contains(ssShift) ? 1 : 0) | (s.Contains(ssAlt) ? 2 : 0) | (s.Contains(ssCtrl) ? 4 : 0);
}

// The application has no window of its own here: its windows are its forms.
void ShowApplicationWindow() {
    if (TForm* f = Application ? Application->MainForm() : nullptr; f && f->GetWindowState() == wsMinimized)
        f->SetWindowState(wsNormal);
}

void HideApplicationWindow() {
    if (TForm* f = Application ? Application->MainForm() : nullptr; f && f->GetVisible())
        f->SetWindowState(wsMinimized);
}

void ShowApplication() {
    ShowApplicationWindow();
    if (TForm* f = Application ? Application->MainForm() : nullptr) f->SetVisible(true);
}

void HideApplication() {
    if (TForm* f = Application ? Application->MainForm() : nullptr) f->SetVisible(false);
}

bool ActivatePrevInstance(const std::string& Name) {
    TInstanceLock::TAcquire result;
    // Taken here means nobody holds it: let it go again at once.
    TInstanceLock::TryAcquire(Name, nullptr, result);
    if (result != TInstanceLock::TAcquire::HeldElsewhere) return false;
    TInstanceLock::RequestActivation(Name);
    return true;
}

void RegisterVsUtils() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const TColorName& n : kExtraColors) RegisterIntConstant(n.Name, n.Color);
    });
}
