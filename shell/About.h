#pragma once
// The About window: the product's title, version, compile date and copyright,
// shown modally and released afterwards.

#include "Forms.h"
#include "StdCtrls.h"

class TAboutBox : public TForm {
public:
    // Reads the window from its definition (resources/forms/About.txt).
    explicit TAboutBox(TComponent* AOwner);
    ~TAboutBox() override;

    void FormShow(TObject* Sender);
    void BtnCloseClick(TObject* Sender);

    TLabel* lblVersion = nullptr;
    TLabel* lblCompileDate = nullptr;
};

extern TAboutBox* AboutBox;
