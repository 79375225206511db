// The splash window and the program's start-up order.

#include "splash.h"

#include "Emblem.h"
#include "Main.h"
#include "Resources.h"

TSplashScreen* SplashScreen = nullptr;

TSplashScreen::TSplashScreen(TComponent* AOwner) : TForm(AOwner) {
    RegisterMainWindowClasses();
    THandlerTable handlers;
    handlers["Timer1Timer"] = TNotifyEvent([this](TObject* s) { Timer1Timer(s); });
    handlers["FormClose"] = TCloseEvent([this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    ReadComponentFromText(this, std::string(FindResource("forms/Splash.txt")), handlers);
    Timer1 = dynamic_cast<TTimer*>(FindComponent("Timer1"));
    if (!Timer1) throw EComponentError("The splash window's definition lacks Timer1");
    // The picture is the program's own drawing, made at the image's size.
    PutEmblem(dynamic_cast<TImage*>(FindComponent("Image1")));
}

TSplashScreen::~TSplashScreen() {
    if (SplashScreen == this) SplashScreen = nullptr;
}

void TSplashScreen::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    Close();
}

void TSplashScreen::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

TfrmMain* StartProgram() {
    RegisterMainWindowClasses();
    SplashScreen = new TSplashScreen(nullptr);
    SplashScreen->AfterConstruction();
    SplashScreen->Timer1->SetEnabled(true);
    SplashScreen->Show();
    SplashScreen->Repaint();  // drawn before the slow creation of the main window
    Application->SetTitle(SApplicationTitle);
    // Replaced by the program folder's help file once the main window exists.
    Application->HelpFile = "lumfig.hlp";
    return Application->CreateForm<TfrmMain>();
}

void ProgramMain() {
    StartProgram();
    Application->Run();
    delete SplashScreen;  // only when the loop ended before its timer fired
}
