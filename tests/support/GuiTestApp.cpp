#include "GuiTestApp.h"

#include "Dialogs.h"

#include <QApplication>
#include <QByteArray>

void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    // Lives until the program ends; tests never tear it down.
    new QApplication(argc, argv);
    InstallWindowServices();
}
