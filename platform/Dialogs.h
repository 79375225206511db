#pragma once
// Message dialogs, file dialogs, printer set-up, the clipboard, shell open and
// small services of the window layer. Each one that needs a person or a desktop
// goes through a replaceable hook, so tests answer it without a display.

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "DesktopHooks.h"
#include "MsgBox.h"
#include "Messages.h"
#include "Printers.h"

// ---- Message dialogs ------------------------------------------------------------------
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = Set<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// Shows a message with the buttons given and returns the modal result of the one
// chosen (mrYes, mrOk, ...). Sets the platform's boxes can show go through MessageBox.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
void ShowMessage(const std::string& Msg);
// The MessageBox flags for a dialog type and buttons; false when the platform's
// boxes have no such set of buttons.
bool MessageDlgFlags(TMsgDlgType DlgType, TMsgDlgButtons Buttons, unsigned& Flags);
// The caption of a message dialog ("Warning", "Error", "Information", "Confirm";
// the application's title for mtCustom).
std::string MessageDlgCaption(TMsgDlgType DlgType);

using TMessageDlgHook =
    std::function<int(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)>;
// Replaces MessageDlg's implementation; returns the previous one; empty restores the default.
TMessageDlgHook SetMessageDlgHook(TMessageDlgHook Hook);

// The window layer's message box (Qt), and its installation as the MessageBox
// default. TApplication::Initialize installs them when there is a display.
int QtMessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);
// A message's text as the window layer shows it: each line break (CR LF, LF CR,
// or a lone LF or CR) becomes one LF, since Qt would draw a CR as a glyph.
std::string MessageBoxLines(const std::string& Text);
void InstallWindowDialogs();
// Installs Qt's file dialog, clipboard, shell open and beep as the defaults;
// done whenever a Qt application is created, display or not.
void InstallWindowServices();
// Replaces the default that SetMessageBoxHook({}) restores, and the current hook
// unless one was set through SetMessageBoxHook. (Defined with MessageBox.)
void SetDefaultMessageBoxHook(MessageBoxHook Hook);

// ---- File dialogs -------------------------------------------------------------------------
enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
using TOpenOptions = Set<TOpenOption>;
enum TFileDialogKind { fdOpen, fdSave };

struct TFileFilter {
    std::string Name;                   // "Varnholt File (*.qvd)"
    std::vector<std::string> Patterns;  // {"*.qvd"}
};
// "Name (*.ext)|*.ext|All (*.*)|*.*" into its pairs; patterns split at ";".
std::vector<TFileFilter> ParseFileFilter(const std::string& Filter);
// The extension DefaultExt stands for, without "*" and "." ("*.qvd" and ".qvd" give "qvd").
std::string CleanDefaultExt(const std::string& DefaultExt);
// FileName with the default extension added when it has none.
std::string ApplyDefaultExt(const std::string& FileName, const std::string& DefaultExt);

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    // Asks for a file; true when one was chosen (FileName, Files and FilterIndex are set).
    virtual bool Execute();
    virtual TFileDialogKind Kind() const { return fdOpen; }

    std::string Filter;
    int FilterIndex = 1;  // 1-based, as the platform counts
    std::string DefaultExt;
    std::string FileName;
    std::string InitialDir;
    std::string Title;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    std::vector<std::string> Files;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
    TFileDialogKind Kind() const override { return fdSave; }
};

// What the printer set-up dialog offers and a person changes: the printer,
// and the paper and orientation it prints on.
struct TPrinterSetupChoice {
    std::vector<std::string> Printers;
    int PrinterIndex = 0;
    TPrinterDevMode DevMode;
};

class TPrinterSetupDialog : public TComponent {
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // Offers the program's printers with the selected one's paper; on OK the
    // program's printer (Printer()) takes the choice. False when cancelled.
    virtual bool Execute();
};
// The person at the dialog: changes Choice and answers true for OK.
using TPrinterSetupHook = std::function<bool(TPrinterSetupChoice& Choice)>;
TPrinterSetupHook SetPrinterSetupHook(TPrinterSetupHook Hook);
