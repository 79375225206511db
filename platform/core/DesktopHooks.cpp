#include "DesktopHooks.h"

#include "Hooks.h"

namespace {

TReplaceableHook<TFileDialogHook>& FileDialogHook() {
    static TReplaceableHook<TFileDialogHook> hook([](TOpenDialog&) { return false; });
    return hook;
}

TClipboardHook LocalClipboard() {
    static std::string text;
    TClipboardHook h;
    h.GetText = [] { return text; };
    h.SetText = [](const std::string& s) { text = s; };
    h.HasText = [] { return !text.empty(); };
    return h;
}

TReplaceableHook<TClipboardHook>& ClipboardHook() {
    static TReplaceableHook<TClipboardHook> hook(LocalClipboard());
    return hook;
}

TReplaceableHook<TShellOpenHook>& ShellOpenHook() {
    static TReplaceableHook<TShellOpenHook> hook([](const std::string&) { return false; });
    return hook;
}

TReplaceableHook<TBeepHook>& BeepHook() {
    static TReplaceableHook<TBeepHook> hook([](unsigned) {});
    return hook;
}

}  // namespace

TFileDialogHook SetFileDialogHook(TFileDialogHook Hook) { return FileDialogHook().Replace(std::move(Hook)); }
void SetDefaultFileDialogHook(TFileDialogHook Hook) { FileDialogHook().SetDefault(std::move(Hook)); }
bool RunFileDialogHook(TOpenDialog& Dialog) { return FileDialogHook().Current()(Dialog); }

std::string TClipboard::GetAsText() const { return ClipboardHook().Current().GetText(); }
void TClipboard::SetAsText(const std::string& Value) { ClipboardHook().Current().SetText(Value); }

bool TClipboard::HasFormat(unsigned Format) const {
    if (Format == CF_TEXT || Format == CF_UNICODETEXT || Format == CF_OEMTEXT)
        return ClipboardHook().Current().HasText();
    return false;
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

TClipboardHook SetClipboardHook(TClipboardHook Hook) { return ClipboardHook().Replace(std::move(Hook)); }
void SetDefaultClipboardHook(TClipboardHook Hook) { ClipboardHook().SetDefault(std::move(Hook)); }

bool ShellOpen(const std::string& Target) { return !Target.empty() && ShellOpenHook().Current()(Target); }
TShellOpenHook SetShellOpenHook(TShellOpenHook Hook) { return ShellOpenHook().Replace(std::move(Hook)); }
void SetDefaultShellOpenHook(TShellOpenHook Hook) { ShellOpenHook().SetDefault(std::move(Hook)); }

bool MessageBeep(unsigned Type) {
    BeepHook().Current()(Type);
    return true;
}
TBeepHook SetBeepHook(TBeepHook Hook) { return BeepHook().Replace(std::move(Hook)); }
void SetDefaultBeepHook(TBeepHook Hook) { BeepHook().SetDefault(std::move(Hook)); }
