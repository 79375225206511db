// Message dialogs, file dialogs, clipboard, shell open and beeps.

#include "Dialogs.h"
#include "ControlsPrivate.h"
#include "Forms.h"
#include "Hooks.h"
#include "SysUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

#include <cstdio>

namespace {

bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QWidget* DialogParent() {
    if (!HaveWidgets()) return nullptr;
    return QApplication::activeWindow();
}

}  // namespace

bool HaveDisplay() {
    if (!HaveWidgets()) return false;
    QString p = QGuiApplication::platformName();
    return p != "offscreen" && p != "minimal";
}

// ---------------------------------------------------------------------------
// Message dialogs

std::string MessageDlgCaption(TMsgDlgType DlgType) {
    switch (DlgType) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return Application ? Application->GetTitle() : std::string();
    }
}

bool MessageDlgFlags(TMsgDlgType DlgType, TMsgDlgButtons Buttons, unsigned& Flags) {
    TMsgDlgButtons b = Buttons - TMsgDlgButtons{mbHelp};
    unsigned kind;
    if (b == TMsgDlgButtons{mbOK})
        kind = MB_OK;
    else if (b == TMsgDlgButtons{mbOK, mbCancel})
        kind = MB_OKCANCEL;
    else if (b == TMsgDlgButtons{mbYes, mbNo})
        kind = MB_YESNO;
    else if (b == TMsgDlgButtons{mbYes, mbNo, mbCancel})
        kind = MB_YESNOCANCEL;
    else if (b == TMsgDlgButtons{mbAbort, mbRetry, mbIgnore})
        kind = MB_ABORTRETRYIGNORE;
    else if (b == TMsgDlgButtons{mbRetry, mbCancel})
        kind = MB_RETRYCANCEL;
    else
        return false;
    unsigned icon = 0;
    switch (DlgType) {
    case mtWarning: icon = MB_ICONWARNING; break;
    case mtError: icon = MB_ICONERROR; break;
    case mtInformation: icon = MB_ICONINFORMATION; break;
    case mtConfirmation: icon = MB_ICONQUESTION; break;
    default: break;
    }
    Flags = kind | icon;
    return true;
}

namespace {

// Sets the platform's boxes cannot show: Qt's box with those buttons, or the
// first button where there is no display.
int CustomMessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    static const std::pair<TMsgDlgBtn, int> order[] = {
        {mbYes, mrYes},     {mbNo, mrNo},         {mbOK, mrOk},   {mbCancel, mrCancel},   {mbAbort, mrAbort},
        {mbRetry, mrRetry}, {mbIgnore, mrIgnore}, {mbAll, mrAll}, {mbNoToAll, mrNoToAll}, {mbYesToAll, mrYesToAll}};
    if (!HaveDisplay()) {
        std::fprintf(stderr, "[%s] %s\n", MessageDlgCaption(DlgType).c_str(), Msg.c_str());
        for (auto [btn, result] : order)
            if (Buttons.Contains(btn)) return result;
        return mrCancel;
    }
    QMessageBox box(DialogParent());
    box.setWindowTitle(QString::fromStdString(MessageDlgCaption(DlgType)));
    box.setText(QString::fromStdString(Msg));
    static const char* names[] = {"&Yes",   "&No",     "OK",   "Cancel",     "&Abort",
                                  "&Retry", "&Ignore", "&All", "N&o to All", "Yes to &All"};
    std::vector<std::pair<QAbstractButton*, int>> made;
    int i = 0;
    for (auto [btn, result] : order) {
        if (Buttons.Contains(btn)) {
            auto role = (btn == mbCancel || btn == mbNo || btn == mbNoToAll) ? QMessageBox::RejectRole
                                                                             : QMessageBox::AcceptRole;
            made.emplace_back(box.addButton(QString::fromUtf8(names[i]), role), result);
        }
        ++i;
    }
    box.exec();
    for (auto& [button, result] : made)
        if (box.clickedButton() == button) return result;
    return mrCancel;
}

int DefaultMessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
    unsigned flags = 0;
    if (MessageDlgFlags(DlgType, Buttons, flags)) return MessageBox(Msg, MessageDlgCaption(DlgType), flags);
    return CustomMessageDlg(Msg, DlgType, Buttons);
}

TMessageDlgHook& CurrentMessageDlgHook() {
    static TMessageDlgHook hook = DefaultMessageDlg;
    return hook;
}

}  // namespace

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return CurrentMessageDlgHook()(Msg, DlgType, Buttons, HelpCtx);
}

TMessageDlgHook SetMessageDlgHook(TMessageDlgHook Hook) {
    return ReplaceHook(CurrentMessageDlgHook(), std::move(Hook), DefaultMessageDlg);
}

void ShowMessage(const std::string& Msg) { MessageBox(Msg, Application ? Application->GetTitle() : "", MB_OK); }

std::string MessageBoxLines(const std::string& Text) {
    std::string out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c != '\r' && c != '\n') {
            out += c;
            continue;
        }
        out += '\n';
        // The other character of a CR LF or LF CR pair belongs to the same break.
        if (i + 1 < Text.size() && (Text[i + 1] == '\r' || Text[i + 1] == '\n') && Text[i + 1] != c) ++i;
    }
    return out;
}

int QtMessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    if (!HaveWidgets()) return IDCANCEL;
    QMessageBox box(DialogParent());
    box.setWindowTitle(QString::fromStdString(Caption));
    // Plain text: a message such as "below <1>" must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(MessageBoxLines(Text)));
    switch (Flags & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    std::vector<std::pair<QMessageBox::StandardButton, int>> buttons;
    switch (Flags & 0xF) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
    }
    QMessageBox::StandardButtons set;
    for (auto& [b, id] : buttons) set |= b;
    box.setStandardButtons(set);
    size_t def = (Flags & MB_DEFBUTTON3) ? 2 : (Flags & MB_DEFBUTTON2) ? 1 : 0;
    if (def < buttons.size()) box.setDefaultButton(buttons[def].first);
    int answer = box.exec();
    for (auto& [b, id] : buttons)
        if (answer == b) return id;
    // Closed from its frame: the platform answers Cancel, or the only button.
    return buttons.size() == 1 ? buttons[0].second : ((Flags & 0xF) == MB_YESNO ? IDNO : IDCANCEL);
}

void InstallWindowDialogs() { SetDefaultMessageBoxHook(QtMessageBox); }

// ---------------------------------------------------------------------------
// File dialogs

std::vector<TFileFilter> ParseFileFilter(const std::string& Filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = Filter.find('|', start);
        parts.push_back(Filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<TFileFilter> filters;
    for (size_t i = 0; i + 1 < parts.size() || (i < parts.size() && !parts[i].empty()); i += 2) {
        TFileFilter f;
        f.Name = parts[i];
        std::string patterns = i + 1 < parts.size() ? parts[i + 1] : std::string();
        size_t s = 0;
        for (;;) {
            size_t semi = patterns.find(';', s);
            std::string p = TrimSpaces(patterns.substr(s, semi == std::string::npos ? std::string::npos : semi - s));
            if (!p.empty()) f.Patterns.push_back(p);
            if (semi == std::string::npos) break;
            s = semi + 1;
        }
        if (f.Name.empty() && f.Patterns.empty()) continue;
        filters.push_back(f);
    }
    return filters;
}

std::string CleanDefaultExt(const std::string& DefaultExt) {
    std::string ext = TrimSpaces(DefaultExt);
    size_t i = 0;
    while (i < ext.size() && (ext[i] == '*' || ext[i] == '.')) ++i;
    ext = ext.substr(i);
    // A wildcard extension stands for none.
    if (ext.find_first_of("*?") != std::string::npos) return {};
    return ext;
}

std::string ApplyDefaultExt(const std::string& FileName, const std::string& DefaultExt) {
    std::string ext = CleanDefaultExt(DefaultExt);
    if (ext.empty() || FileName.empty()) return FileName;
    size_t slash = FileName.find_last_of("/\\");
    std::string base = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
    if (base.empty() || base.find('.') != std::string::npos) return FileName;
    return FileName + "." + ext;
}

namespace {

bool QtFileDialog(TOpenDialog& d) {
    if (!HaveWidgets()) return false;
    QFileDialog dlg(DialogParent());
    bool save = d.Kind() == fdSave;
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dlg.setFileMode(QFileDialog::AnyFile);
    else if (d.Options.Contains(ofAllowMultiSelect))
        dlg.setFileMode(QFileDialog::ExistingFiles);
    else
        dlg.setFileMode(d.Options.Contains(ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!d.Title.empty()) dlg.setWindowTitle(QString::fromStdString(d.Title));
    if (!d.InitialDir.empty()) dlg.setDirectory(QString::fromStdString(d.InitialDir));
    QStringList filters;
    for (const TFileFilter& f : ParseFileFilter(d.Filter)) {
        QString pats;
        for (const std::string& p : f.Patterns) pats += (pats.isEmpty() ? "" : " ") + QString::fromStdString(p);
        // Qt reads the patterns from the name's last parentheses; a name that already shows
        // them ("Varnholt File (*.qvd)") is kept as it is instead of showing them twice.
        QString name = QString::fromStdString(f.Name).trimmed();
        const QString& shown = pats;
        if (!name.endsWith("(" + shown + ")", Qt::CaseInsensitive)) name += " (" + shown + ")";
        filters << name;
    }
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        int idx = d.FilterIndex - 1;
        if (idx >= 0 && idx < filters.size()) dlg.selectNameFilter(filters[idx]);
    }
    std::string ext = CleanDefaultExt(d.DefaultExt);
    if (!ext.empty()) dlg.setDefaultSuffix(QString::fromStdString(ext));
    if (!d.Options.Contains(ofOverwritePrompt)) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    std::string name = d.FileName;
    if (!name.empty() && name.find_first_of("*?") == std::string::npos) dlg.selectFile(QString::fromStdString(name));
    if (dlg.exec() != QDialog::Accepted) return false;
    QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty()) return false;
    d.Files.clear();
    for (const QString& f : chosen) d.Files.push_back(f.toStdString());
    d.FileName = d.Files.front();
    int fi = filters.indexOf(dlg.selectedNameFilter());
    if (fi >= 0) d.FilterIndex = fi + 1;
    return true;
}

bool QtInputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
    if (!HaveDisplay()) return false;
    bool ok = false;
    QString text =
        QInputDialog::getText(DialogParent(), QString::fromStdString(Caption), QString::fromStdString(Prompt),
                              QLineEdit::Normal, QString::fromStdString(Value), &ok);
    if (ok) Value = text.toStdString();
    return ok;
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() {
    if (OnShow) OnShow(this);
    bool ok = RunFileDialogHook(*this);
    if (ok) {
        FileName = ApplyDefaultExt(FileName, DefaultExt);
        if (Files.empty()) Files.push_back(FileName);
        for (std::string& f : Files) f = ApplyDefaultExt(f, DefaultExt);
    }
    if (OnClose) OnClose(this);
    return ok;
}

// ---------------------------------------------------------------------------
// Clipboard

namespace {

// Without a GUI application the clipboard lives in the process.
std::string gLocalClipboard;

TClipboardHook QtClipboardHook() {
    TClipboardHook h;
    h.GetText = [] {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return QGuiApplication::clipboard()->text().toStdString();
        return gLocalClipboard;
    };
    h.SetText = [](const std::string& s) {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::clipboard()->setText(QString::fromStdString(s));
        else
            gLocalClipboard = s;
    };
    h.HasText = [] {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return !QGuiApplication::clipboard()->text().isEmpty();
        return !gLocalClipboard.empty();
    };
    return h;
}

}  // namespace

// ---------------------------------------------------------------------------
// Shell and beeps

namespace {

bool QtShellOpen(const std::string& Target) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    QUrl url = QUrl::fromUserInput(QString::fromStdString(Target), QString(), QUrl::AssumeLocalFile);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void QtBeep(unsigned) {
    if (HaveWidgets()) QApplication::beep();
}

}  // namespace

void InstallWindowServices() {
    SetDefaultFileDialogHook(QtFileDialog);
    SetDefaultInputQueryHook(QtInputQuery);
    SetDefaultClipboardHook(QtClipboardHook());
    SetDefaultShellOpenHook(QtShellOpen);
    SetDefaultBeepHook(QtBeep);
}
