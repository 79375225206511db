// Program entry point.

#include "Forms.h"
#include "entctrl.h"
#include "splash.h"

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    Application->Initialize();
    ProgramMain();
    FreeDefaultController();
    // Frees the forms and the Qt application while everything they use still exists.
    delete Application;
    Application = nullptr;
    return 0;
}
