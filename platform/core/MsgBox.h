#pragma once
// Message boxes through a replaceable hook, so that tests answer them and
// code below the window layer can ask the user without knowing about windows.

#include <functional>
#include <string>

// Buttons, icons and results with the platform's values.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_APPLMODAL = 0x0,
    MB_SYSTEMMODAL = 0x1000,
    MB_TASKMODAL = 0x2000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;

// Shows a message box and returns the button chosen (IDOK, IDYES, ...).
int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

// Replaces the implementation; returns the previous one. An empty hook restores the default.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
