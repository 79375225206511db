#include "MsgBox.h"

#include <cstdio>

namespace {

// Without a window layer a box can only be reported; the first button answers.
int ConsoleMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    switch (flags & 0xF) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

MessageBoxHook& DefaultHook() {
    static MessageBoxHook hook = ConsoleMessageBox;
    return hook;
}

MessageBoxHook& CurrentHook() {
    static MessageBoxHook hook = ConsoleMessageBox;
    return hook;
}

// Whether the current hook is the default (no one has replaced it).
bool gUsingDefault = true;

}  // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return CurrentHook()(text, caption, flags);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = CurrentHook();
    gUsingDefault = !hook;
    CurrentHook() = hook ? std::move(hook) : DefaultHook();
    return previous;
}

// The window layer registers its message box here (declared in Dialogs.h).
void SetDefaultMessageBoxHook(MessageBoxHook hook) {
    DefaultHook() = hook ? std::move(hook) : MessageBoxHook(ConsoleMessageBox);
    if (gUsingDefault) CurrentHook() = DefaultHook();
}
