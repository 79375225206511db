#pragma once
// The splash window shown while the main window is being built; its timer
// closes it 5000 ms after the message loop has started, and it frees itself.

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TSplashScreen : public TForm {
public:
    // Reads the window from its definition (resources/forms/Splash.txt).
    explicit TSplashScreen(TComponent* AOwner);
    ~TSplashScreen() override;

    void Timer1Timer(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    TTimer* Timer1 = nullptr;
};

extern TSplashScreen* SplashScreen;

// The program's start: the splash window, the application's title, the main
// window from its definition, then the message loop until the main window closes.
void ProgramMain();
// Everything of ProgramMain before the message loop; returns the main window.
class TfrmMain;
TfrmMain* StartProgram();
