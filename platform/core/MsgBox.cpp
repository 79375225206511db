#include "MsgBox.h"

#include <cstdio>

#include "Hooks.h"

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

TReplaceableHook<MessageBoxHook>& Hook() {
    static TReplaceableHook<MessageBoxHook> hook(ConsoleMessageBox);
    return hook;
}

}  // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return Hook().Current()(text, caption, flags);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return Hook().Replace(std::move(hook)); }

// The window layer registers its message box here (declared in Dialogs.h).
void SetDefaultMessageBoxHook(MessageBoxHook hook) { Hook().SetDefault(std::move(hook)); }
