#pragma once
// Support routines of the system components: worker threads that wait on a
// timer, string and path helpers, registry helpers, autorun entries, the
// extra named colours and the helpers that show, hide and find the
// program's windows.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "Classes.h"
#include "Graphics.h"
#include "Registry.h"
#include "Threads.h"

// ---- Message texts ---------------------------------------------------------------
namespace vsMsg {
inline constexpr char ReadOnlyMode[] = "Cannot change the property in Read-Only mode.";
inline constexpr char CannotOpenKey[] = "Unable to open the %s key";
inline constexpr char CannotWriteRegistry[] = "Cannot write to registry.";
inline constexpr char ThreadException[] = "Thread %s raised exception class %s with message \"%s\".";
inline constexpr char AlreadyRunning[] = "Application \"%s\" is already running.";
inline constexpr char InsertToTrayFailed[] = "%s.InsertToTray failed";
inline constexpr char DeleteFromTrayFailed[] = "%s.DeleteFromTray failed";
inline constexpr char WrongSaveName[] =
    "AutoSave can not be set because the SaveName property contains a wrong file name";
inline constexpr char CannotLoad[] = "Can not load data from the \"%s\" file";
inline constexpr char CannotSave[] = "Can not save data to the \"%s\" file";
inline constexpr char ValueBetween[] = "Value must be between %d and %d";
}  // namespace vsMsg

// ---- Threads ----------------------------------------------------------------------
// Runs its event once, on the GUI thread when Synchronized.
class TvsEventThread : public TThread {
public:
    TvsEventThread() = default;
    ~TvsEventThread() override { Stop(); }
    std::atomic<bool> Synchronized{false};
    // May change while the thread runs.
    void SetOnEvent(TNotifyEvent Value);

protected:
    void Execute() override;
    // Calls OnEvent (unless terminated), through Synchronize when Synchronized.
    void RunEvent();

private:
    std::mutex FEventLock;
    TNotifyEvent FOnEvent;
};

// Runs its event every Interval milliseconds until terminated.
class TvsTimerThread : public TvsEventThread {
public:
    TvsTimerThread() = default;
    ~TvsTimerThread() override;
    unsigned GetInterval() const { return FInterval; }
    // A new interval starts counting at once.
    void SetInterval(unsigned Value);
    // Ends the current wait early (without running the event) and resumes the thread.
    virtual void Wake();

protected:
    void Execute() override;

private:
    std::atomic<unsigned> FInterval{1000};
    std::mutex FWaitLock;
    std::condition_variable FWaitWake;
    unsigned FWakes = 0;
};

// ---- Strings and paths -------------------------------------------------------------
// 1-based position of Sub in S at or after Start; 0 when absent or either is empty.
int PosFrom(const std::string& Sub, const std::string& S, int Start);
// Last position of Sub starting at or before min(Index, length of S) - length of Sub + 1; 0 when none.
int BackPosBefore(const std::string& Sub, const std::string& S, int Index);
int BackPos(const std::string& Sub, const std::string& S);
std::string ReplaceAt(const std::string& S, int Index, const std::string& Old, const std::string& New);
// The search goes on after each inserted text.
std::string ReplaceAll(const std::string& S, const std::string& Old, const std::string& New);
std::string ReplaceChar(const std::string& S, char Old, char New);
// Appends C unless S is empty or ends with it already.
std::string AddTrailingChar(const std::string& S, char C);
// Each separator (a character, or a string when longer) becomes a line of List.
void TextToStrings(const std::string& Text, const std::string& Separator, TStrings* List);
// False for an empty name; true for an existing file; else whether it can be created (and is removed again).
bool IsFileNameValid(const std::string& Name);
// The helpers below take "\", ":" and "/" as separators; what they add is "/".
std::string RemoveDoublePathDelimiters(const std::string& S);
std::string ExtractFileNamePart(const std::string& Path);
std::string ExtractFilePathPart(const std::string& Path);
std::string ExtractFileNameWithoutExt(const std::string& Path);
// The mask's path, name and extension where given; "*" or "?" in a part keeps the source's.
std::string ApplyFileMask(const std::string& Source, const std::string& Mask);
// A relative name is taken inside Dir.
std::string ExpandFileNameFromDir(const std::string& Dir, const std::string& Name);

// ---- Registry and autorun ------------------------------------------------------------------
// Opens or creates Key; raises ERegistryException "Unable to open the <key> key" when it cannot.
void RegWriteStringValue(HKEY Root, const std::string& Key, const std::string& Name, const std::string& Value);

enum TvsAutoExecKind { aekMachineRun, aekMachineRunOnce, aekUserRun, aekUserRunOnce, aekServiceRun, aekServiceRunOnce };
// The desktop's autostart folder for a kind: the user's ($XDG_CONFIG_HOME/autostart/)
// or the machine's (the first of $XDG_CONFIG_DIRS, /etc/xdg by default, + autostart/);
// empty for the service kinds, which have no autostart entries.
std::string AutoRunFolder(TvsAutoExecKind Kind);
// The autostart entry of Path for Kind; empty for the service kinds.
std::string AutoRunEntryFile(TvsAutoExecKind Kind, const std::string& Path);
// Writes the autostart entry that starts Path at log-on (a run-once entry
// removes itself when it runs); false for service kinds or when it cannot.
bool AutoRunRegister(TvsAutoExecKind Kind, const std::string& Path);
// Removes the entry; true when there is none, false for service kinds or a missing folder.
bool AutoRunUnregister(TvsAutoExecKind Kind, const std::string& Path);

// ---- Colours ------------------------------------------------------------------------------
// The thirty extra colour names, then the standard ones.
bool IdentToColorEx(const std::string& Ident, TColor& Color);
bool ColorToIdentEx(TColor Color, std::string& Ident);
// The screen's colour under the mouse pointer.
TColor GetColorUnderCursor();

// ---- The program's windows --------------------------------------------------------------------
// Bits: 1 Shift, 2 Alt, 4 Ctrl.
int GetKeyboardShiftState();
void ShowApplicationWindow();
void HideApplicationWindow();
// The same, with the main form.
void ShowApplication();
void HideApplication();
// Asks the instance of this program that runs under Name (a single-instance
// lock) to bring its window forward; false when none answers.
bool ActivatePrevInstance(const std::string& Name);

// Registers the extra colour names for window definitions; safe to call more than once.
void RegisterVsUtils();
