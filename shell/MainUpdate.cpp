// The update window's entry point and the modal showing the main window's
// small windows share.

#include "Main.h"

#include <memory>

#include "Resources.h"
#include "WUpdate.h"
#include "WebFileInfo.h"

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
    frmUpdate = window.release();
    ShowCentredModal(frmUpdate);
}
