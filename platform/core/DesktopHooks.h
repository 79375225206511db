#pragma once
// File dialogs, the input query, the clipboard, shell open, starting programs
// and beeps through replaceable hooks. Without a window layer the fallbacks
// answer: a cancelled file dialog or input query, a clipboard kept in the
// process, shell open failing and a silent beep. The window layer installs
// its own as the defaults once an application exists.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Messages.h"

class TOpenDialog;

// Fills in the dialog's FileName (and FilterIndex, Files) and answers whether a
// file was chosen.
using TFileDialogHook = std::function<bool(TOpenDialog& Dialog)>;
TFileDialogHook SetFileDialogHook(TFileDialogHook Hook);
void SetDefaultFileDialogHook(TFileDialogHook Hook);
// Asks through the current hook.
bool RunFileDialogHook(TOpenDialog& Dialog);

// Asks for a line of text; true with Value set when the person pressed OK.
bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
// The entered text, or ADefault when the person cancelled.
std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault);
using TInputQueryHook = std::function<bool(const std::string& Caption, const std::string& Prompt, std::string& Value)>;
TInputQueryHook SetInputQueryHook(TInputQueryHook Hook);
void SetDefaultInputQueryHook(TInputQueryHook Hook);

enum : unsigned { CF_TEXT = 1, CF_BITMAP = 2, CF_OEMTEXT = 7, CF_UNICODETEXT = 13 };

struct TClipboardHook {
    std::function<std::string()> GetText;
    std::function<void(const std::string&)> SetText;
    std::function<bool()> HasText;
    // Usable only with all three.
    explicit operator bool() const { return GetText && SetText && HasText; }
};

class TClipboard {
public:
    std::string GetAsText() const;
    void SetAsText(const std::string& Value);
    bool HasFormat(unsigned Format) const;
    void Clear() { SetAsText(""); }
};
TClipboard* Clipboard();
// Replaces the clipboard (all three functions); returns the previous one; empty restores the default.
TClipboardHook SetClipboardHook(TClipboardHook Hook);
void SetDefaultClipboardHook(TClipboardHook Hook);

// Opens a web address or a file with the desktop's handler; false when that failed.
bool ShellOpen(const std::string& Target);
using TShellOpenHook = std::function<bool(const std::string& Target)>;
TShellOpenHook SetShellOpenHook(TShellOpenHook Hook);
void SetDefaultShellOpenHook(TShellOpenHook Hook);

// Starts a program with an argument list (no shell in between) in Directory
// (empty: the current one); false when it could not be started.
using TShellRunHook = std::function<bool(const std::string& Program, const std::vector<std::string>& Arguments,
                                         const std::string& Directory)>;
TShellRunHook SetShellRunHook(TShellRunHook Hook);
// A command line's parameters as the arguments a program receives: blanks
// separate, double quotes group, backslashes escape a quote only before one.
std::vector<std::string> SplitCommandLine(const std::string& Parameters);
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5 };
// The platform's shell call with the verb "open" (or none): an executable file
// runs with Parameters as its arguments; any other file or address opens with
// the desktop's handler (parameters apply to programs only). Above 32 on success.
intptr_t ShellExecute(HWND Window, const std::string& Operation, const std::string& File, const std::string& Parameters,
                      const std::string& Directory, int ShowCmd);

// The system's beep (MB_OK, MB_ICONHAND, ... or 0xFFFFFFFF).
bool MessageBeep(unsigned Type);
using TBeepHook = std::function<void(unsigned Type)>;
TBeepHook SetBeepHook(TBeepHook Hook);
void SetDefaultBeepHook(TBeepHook Hook);
