// The small windows the main window opens: About, Disclaimer and update.
// Each is created for one modal showing, centred on the main window, and
// released afterwards (also when the showing raised).

#include "Main.h"

#include "About.h"
#include "uFrmDisclaim.h"

namespace {

TUpdateWindowFactory& UpdateFactory() {
    static TUpdateWindowFactory factory;
    return factory;
}

} // namespace

TUpdateWindowFactory SetUpdateWindowFactory(TUpdateWindowFactory Factory) {
    TUpdateWindowFactory previous = std::move(UpdateFactory());
    UpdateFactory() = std::move(Factory);
    return previous;
}

void TfrmMain::AddWindowHandlers(THandlerTable& h) {
    BindNotify(h, "MnuHelpAboutClick", &TfrmMain::MnuHelpAboutClick);
    BindNotify(h, "MnuHelpDisclaimerClick", &TfrmMain::MnuHelpDisclaimerClick);
    BindNotify(h, "lblCompanyClick", &TfrmMain::lblCompanyClick);
    BindNotify(h, "ShowUpdate", &TfrmMain::ShowUpdate);
}

void TfrmMain::ShowCentredModal(TForm* Window) {
    const TRect r = BoundsRect();
    // Integer division truncates toward zero; no clamping here.
    Window->SetTop(r.Top + (r.Height() - Window->GetHeight()) / 2);
    Window->SetLeft(r.Left + (r.Width() - Window->GetWidth()) / 2);
    try {
        Window->ShowModal();
    } catch (...) {
        Window->Release();
        throw;
    }
    Window->Release();
}

void TfrmMain::MnuHelpAboutClick(TObject*) {
    Update();
    AboutBox = new TAboutBox(nullptr);
    AboutBox->AfterConstruction();
    ShowCentredModal(AboutBox);
}

void TfrmMain::MnuHelpDisclaimerClick(TObject*) {
    Update();
    frmDisclaim = new TfrmDisclaim(nullptr);
    frmDisclaim->AfterConstruction();
    ShowCentredModal(frmDisclaim);
}

void TfrmMain::lblCompanyClick(TObject* Sender) { MnuHelpAboutClick(Sender); }

void TfrmMain::ShowUpdate(TObject*) {
    TUpdateWindowFactory& factory = UpdateFactory();
    if (!factory) return;
    Update();
    if (TForm* window = factory(*this)) ShowCentredModal(window);
}
