// The About and Disclaimer windows: each is created for one modal showing,
// centred on the main window, and released afterwards.

#include "Main.h"

#include "About.h"
#include "uFrmDisclaim.h"

void TfrmMain::MnuHelpAboutClick(TObject*) {
    AboutBox = new TAboutBox(nullptr);
    AboutBox->AfterConstruction();
    ShowCentredModal(AboutBox);
}

void TfrmMain::MnuHelpDisclaimerClick(TObject*) {
    frmDisclaim = new TfrmDisclaim(nullptr);
    frmDisclaim->AfterConstruction();
    ShowCentredModal(frmDisclaim);
}

void TfrmMain::lblCompanyClick(TObject* Sender) { MnuHelpAboutClick(Sender); }
