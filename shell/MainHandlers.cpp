// The main window's handler table: every name its definition binds, to the
// window's methods, the reports' and the calculator pages' own.

#include "Main.h"

#include "MainReports.h"
#include "vsStatusBars.h"

THandlerTable TfrmMain::Handlers() {
    THandlerTable h;
    auto notify = [&](const char* name, void (TfrmMain::*method)(TObject*)) { BindNotify(h, name, this, method); };
    auto mouseMove = [&](const char* name, void (TfrmMain::*method)(TObject*, TShiftState, int, int)) {
        BindHandler<TMouseMoveEvent>(h, name, this, method);
    };
    // Life cycle.
    notify("FormCreate", &TfrmMain::FormCreate);
    notify("FormActivate", &TfrmMain::FormActivate);
    notify("FormDestroy", &TfrmMain::FormDestroy);
    BindHandler<TCloseQueryEvent>(h, "FormCloseQuery", this, &TfrmMain::FormCloseQuery);
    BindHandler<TCloseEvent>(h, "FormClose", this, &TfrmMain::FormClose);
    notify("MnuFileExitClick", &TfrmMain::MnuFileExitClick);

    // Navigation.
    notify("gotoChosenCalculator", &TfrmMain::gotoChosenCalculator);
    notify("MenuButtonEnter", &TfrmMain::MenuButtonEnter);
    notify("MenuButtonLeave", &TfrmMain::MenuButtonLeave);
    notify("nbkMainPageChanged", &TfrmMain::nbkMainPageChanged);
    mouseMove("nbkMainMouseMove", &TfrmMain::nbkMainMouseMove);

    // Help, web links and the status bar.
    notify("btnHelpClick", &TfrmMain::btnHelpClick);
    notify("MnuHelpContentsClick", &TfrmMain::MnuHelpContentsClick);
    notify("MnuHelpSearchClick", &TfrmMain::MnuHelpSearchClick);
    notify("MnuHelpHowClick", &TfrmMain::MnuHelpHowClick);
    notify("MnuHelpGlossaryClick", &TfrmMain::MnuHelpGlossaryClick);
    notify("GoOnline", &TfrmMain::GoOnline);
    mouseMove("statusBarMouseMove", &TfrmMain::statusBarMouseMove);
    h["statusBarPanelClick"] = TvsPanelClickNotifyEvent(
        [this](TObject* panel, TMouseButton, TShiftState, int, int) { statusBarPanelClick(panel); });
    notify("statusBarResize", &TfrmMain::statusBarResize);
    mouseMove("lblCompanyMouseMove", &TfrmMain::lblCompanyMouseMove);

    // Resets.
    notify("mnuResetThisZeroClick", &TfrmMain::mnuResetThisZeroClick);
    notify("mnuResetAllZeroClick", &TfrmMain::mnuResetAllZeroClick);
    notify("mnuResetSamplesClick", &TfrmMain::mnuResetSamplesClick);
    notify("mnuResetAllSamplesClick", &TfrmMain::mnuResetAllSamplesClick);

    // Calculator files.
    notify("btnOpenClick", &TfrmMain::btnOpenClick);
    notify("btnSaveClick", &TfrmMain::btnSaveClick);
    notify("mnuFileSaveAsClick", &TfrmMain::mnuFileSaveAsClick);
    notify("mnuFileCloseClick", &TfrmMain::mnuFileCloseClick);
    notify("CreateNewFile", &TfrmMain::CreateNewFile);
    notify("mnuFileClearHistoryClick", &TfrmMain::mnuFileClearHistoryClick);
    BindHandler<TEntMRUClickEvent>(h, "mnuFileReopenMRUClick", this, &TfrmMain::mnuFileReopenMRUClick);

    // The About, Disclaimer and update windows; printing.
    notify("MnuHelpAboutClick", &TfrmMain::MnuHelpAboutClick);
    notify("MnuHelpDisclaimerClick", &TfrmMain::MnuHelpDisclaimerClick);
    notify("lblCompanyClick", &TfrmMain::lblCompanyClick);
    notify("ShowUpdate", &TfrmMain::ShowUpdate);
    notify("Print", &TfrmMain::Print);
    FReports->RegisterHandlers(h);

    for (auto& page : FPages) page->RegisterHandlers(h);
    return h;
}
