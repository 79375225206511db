// Program entry point.

#include "Forms.h"
#include "RP_Prv.h"
#include "Resources.h"
#include "entctrl.h"
#include "splash.h"

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    Application->Initialize();
    // The report engine's windows, from the embedded definitions, and its printer layer.
    rpFormSource() = [](const std::string& name) { return std::string(FindResource(name)); };
    rpInstallWindows();
    ProgramMain();
    FreeDefaultController();
    // Frees the forms and the Qt application while everything they use still exists.
    delete Application;
    Application = nullptr;
    return 0;
}
