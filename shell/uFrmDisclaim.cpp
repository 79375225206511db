// The Disclaimer window.

#include "uFrmDisclaim.h"

#include "Main.h"
#include "Resources.h"

TfrmDisclaim* frmDisclaim = nullptr;

TfrmDisclaim::TfrmDisclaim(TComponent* AOwner) : TForm(AOwner) {
    RegisterMainWindowClasses();
    THandlerTable handlers;
    handlers["FormCreate"] = TNotifyEvent([this](TObject* s) { FormCreate(s); });
    handlers["FormClose"] = TCloseEvent([this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    handlers["FormDestroy"] = TNotifyEvent([this](TObject* s) { FormDestroy(s); });
    handlers["BtnCloseClick"] = TNotifyEvent([this](TObject* s) { BtnCloseClick(s); });
    ReadComponentFromText(this, std::string(FindResource("forms/Disclaim.txt")), handlers);
}

TfrmDisclaim::~TfrmDisclaim() {
    BeforeDestruction();
    if (frmDisclaim == this) frmDisclaim = nullptr;
}

void TfrmDisclaim::FormCreate(TObject*) {
    if (frmMain) frmMain->CenterForm(this);
}

void TfrmDisclaim::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmDisclaim::FormDestroy(TObject*) {
    if (frmDisclaim == this) frmDisclaim = nullptr;
}

void TfrmDisclaim::BtnCloseClick(TObject*) { Close(); }
