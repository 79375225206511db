// The About window.

#include "About.h"

#include "Emblem.h"
#include "Main.h"
#include "Resources.h"
#include "SysUtils.h"

TAboutBox* AboutBox = nullptr;

namespace {

// The build's date as the short date format gives it.
std::string CompileDate() {
    static const char* const months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const std::string stamp = __DATE__;  // "Mmm dd yyyy"
    const int month = int(std::string(months).find(stamp.substr(0, 3)) / 3) + 1;
    const int day = std::stoi(stamp.substr(4, 2));
    const int year = std::stoi(stamp.substr(7, 4));
    return DateToStr(EncodeDate(Word(year), Word(month), Word(day)));
}

}  // namespace

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
    RegisterMainWindowClasses();
    THandlerTable handlers;
    handlers["FormShow"] = TNotifyEvent([this](TObject* s) { FormShow(s); });
    handlers["BtnCloseClick"] = TNotifyEvent([this](TObject* s) { BtnCloseClick(s); });
    ReadComponentFromText(this, std::string(FindResource("forms/About.txt")), handlers);
    lblVersion = NeedComponent<TLabel>(this, "lblVersion");
    lblCompileDate = NeedComponent<TLabel>(this, "lblCompileDate");
    // The picture is the program's own drawing, as on the splash window.
    PutEmblem(dynamic_cast<TImage*>(FindComponent("Image1")));
}

TAboutBox::~TAboutBox() {
    if (AboutBox == this) AboutBox = nullptr;
}

void TAboutBox::FormShow(TObject*) {
    SetCaption("About " + Application->GetTitle());
    lblVersion->SetCaption("3.0.01");
    lblCompileDate->SetCaption(CompileDate());
}

void TAboutBox::BtnCloseClick(TObject*) { Close(); }
