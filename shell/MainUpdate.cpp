// The update window's entry point and the modal showing the main window's
// small windows share.

#include "Main.h"

#include <memory>

#include "Emblem.h"
#include "Resources.h"
#include "WUpdate.h"
#include "WebFileInfo.h"
#include "grBtns.h"

namespace {

// The window's pictures: the program's emblem and the buttons' own.
void PutUpdatePictures(TfrmUpdate* Window) {
    PutEmblem(dynamic_cast<TImage*>(Window->FindComponent("Image1")));
    const std::pair<TControl*, TButtonPicture> buttons[] = {{Window->btnCheckForUpdate, TButtonPicture::Check},
                                                            {Window->btnRetrieveUpdate, TButtonPicture::Retrieve},
                                                            {Window->btnClose, TButtonPicture::Confirm}};
    for (const auto& [control, kind] : buttons) {
        auto* button = dynamic_cast<TgrCustomGraphicButton*>(control);
        if (!button) continue;
        // A picture placed at a fixed top spans the rest of the button, so its drawing sits in the middle.
        const int y = button->GetPictureY();
        TBitmap picture;
        DrawButtonPicture(&picture, kind, y > 0 ? button->GetHeight() - 2 * y : 16);
        button->GetPictureUp()->SetBitmap(&picture);
    }
}

}  // namespace

void TfrmMain::ShowCentredModal(TForm* Window) {
    const int left = GetLeft(), top = GetTop(), width = GetWidth(), height = GetHeight();
    Repaint();
    try {
        // Truncating division and no clamping, as the window has always been placed.
        Window->SetTop(top + (height - Window->GetHeight()) / 2);
        Window->SetLeft(left + (width - Window->GetWidth()) / 2);
        Window->ShowModal();
    } catch (...) {
        Window->Release();
        throw;
    }
    Window->Release();
}

void TfrmMain::ShowUpdate(TObject*) {
    auto* info = dynamic_cast<TWebFileInfo*>(FindComponent("WebFileInfo"));
    auto window = std::make_unique<TfrmUpdate>(nullptr, std::string(FindResource("forms/WUpdate.txt")), info,
                                               [this](TForm* f) { CenterForm(f); });
    window->AfterConstruction();
    PutUpdatePictures(window.get());
    frmUpdate = window.release();
    ShowCentredModal(frmUpdate);
}
