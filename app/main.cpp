// Program entry point.

#include "Forms.h"

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    Application->Initialize();
    Application->Run();
    // Frees the forms and the Qt application while everything they use still exists.
    delete Application;
    Application = nullptr;
    return 0;
}
