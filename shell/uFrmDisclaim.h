#pragma once
// The Disclaimer window: three fixed paragraphs and an OK button; it frees
// itself when closed.

#include "Forms.h"

class TfrmDisclaim : public TForm {
public:
    // Reads the window from its definition (resources/forms/Disclaim.txt).
    explicit TfrmDisclaim(TComponent* AOwner);
    ~TfrmDisclaim() override;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);
    void BtnCloseClick(TObject* Sender);
};

extern TfrmDisclaim* frmDisclaim;
