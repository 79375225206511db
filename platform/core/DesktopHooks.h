#pragma once
// File dialogs, the clipboard, shell open and beeps through replaceable hooks.
// Without a window layer the fallbacks answer: a cancelled file dialog, a
// clipboard kept in the process, shell open failing and a silent beep. The
// window layer installs its own as the defaults once an application exists.

#include <functional>
#include <string>

class TOpenDialog;

// Fills in the dialog's FileName (and FilterIndex, Files) and answers whether a
// file was chosen.
using TFileDialogHook = std::function<bool(TOpenDialog& Dialog)>;
TFileDialogHook SetFileDialogHook(TFileDialogHook Hook);
void SetDefaultFileDialogHook(TFileDialogHook Hook);
// Asks through the current hook.
bool RunFileDialogHook(TOpenDialog& Dialog);

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

// The system's beep (MB_OK, MB_ICONHAND, ... or 0xFFFFFFFF).
bool MessageBeep(unsigned Type);
using TBeepHook = std::function<void(unsigned Type)>;
TBeepHook SetBeepHook(TBeepHook Hook);
void SetDefaultBeepHook(TBeepHook Hook);
