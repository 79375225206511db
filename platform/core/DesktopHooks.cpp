#include "DesktopHooks.h"

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

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

TReplaceableHook<TInputQueryHook>& InputQueryHook() {
    static TReplaceableHook<TInputQueryHook> hook(
        [](const std::string&, const std::string&, std::string&) { return false; });
    return hook;
}

TReplaceableHook<TClipboardHook>& ClipboardHook() {
    static TReplaceableHook<TClipboardHook> hook(LocalClipboard());
    return hook;
}

TReplaceableHook<TShellOpenHook>& ShellOpenHook() {
    static TReplaceableHook<TShellOpenHook> hook([](const std::string&) { return false; });
    return hook;
}

// Programs start detached, so they outlive the window that started them.
bool StartProgram(const std::string& Program, const std::vector<std::string>& Arguments, const std::string& Directory) {
    QStringList args;
    for (const std::string& a : Arguments) args << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(Program), args, QString::fromStdString(Directory));
}

TShellRunHook& ShellRunHook() {
    static TShellRunHook hook = StartProgram;
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

bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value) {
    return InputQueryHook().Current()(ACaption, APrompt, Value);
}

std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault) {
    std::string value = ADefault;
    return InputQuery(ACaption, APrompt, value) ? value : ADefault;
}

TInputQueryHook SetInputQueryHook(TInputQueryHook Hook) { return InputQueryHook().Replace(std::move(Hook)); }
void SetDefaultInputQueryHook(TInputQueryHook Hook) { InputQueryHook().SetDefault(std::move(Hook)); }

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

TShellRunHook SetShellRunHook(TShellRunHook Hook) { return ReplaceHook(ShellRunHook(), std::move(Hook), StartProgram); }

std::vector<std::string> SplitCommandLine(const std::string& Parameters) {
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false, quoted = false;
    for (size_t i = 0; i < Parameters.size();) {
        const char c = Parameters[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg) args.push_back(std::move(arg));
            arg.clear();
            inArg = false;
            ++i;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            size_t n = 0;
            while (i < Parameters.size() && Parameters[i] == '\\') ++n, ++i;
            if (i < Parameters.size() && Parameters[i] == '"') {
                // 2n backslashes and a quote: n backslashes, the quote delimits;
                // 2n+1: n backslashes and a literal quote.
                arg.append(n / 2, '\\');
                if (n % 2) {
                    arg += '"';
                    ++i;
                }
            } else {
                arg.append(n, '\\');
            }
        } else if (c == '"') {
            if (quoted && i + 1 < Parameters.size() && Parameters[i + 1] == '"') {
                arg += '"';  // "" inside quotes is one quote
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
        } else {
            arg += c;
            ++i;
        }
    }
    if (inArg) args.push_back(std::move(arg));
    return args;
}

intptr_t ShellExecute(HWND, const std::string& Operation, const std::string& File, const std::string& Parameters,
                      const std::string& Directory, int) {
    if (!Operation.empty() && Operation != "open") return 31;  // no association for the verb
    std::string target = File;
    const bool local = !File.empty() && File.find("://") == std::string::npos;
    if (!Directory.empty() && local && File[0] != '/') target = Directory + (Directory.back() == '/' ? "" : "/") + File;
    if (local) {
        const QFileInfo info(QString::fromStdString(target));
        if (info.isFile() && info.isExecutable()) {
            // Never through a shell: the parameters reach the program as they were written.
            return ShellRunHook()(info.absoluteFilePath().toStdString(), SplitCommandLine(Parameters), Directory) ? 42
                                                                                                                  : 2;
        }
    }
    return ShellOpen(target) ? 42 : 2;
}

bool MessageBeep(unsigned Type) {
    BeepHook().Current()(Type);
    return true;
}
TBeepHook SetBeepHook(TBeepHook Hook) { return BeepHook().Replace(std::move(Hook)); }
void SetDefaultBeepHook(TBeepHook Hook) { BeepHook().SetDefault(std::move(Hook)); }
