#pragma once
// The application and the main window the window benchmarks share, made once,
// with help answered silently and the settings in a scratch folder.

#include "Dialogs.h"
#include "Folders.h"
#include "Forms.h"
#include "Main.h"

#include <QApplication>
#include <QDir>

inline void EnsureApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    InstallWindowServices();
}

inline TfrmMain& Window() {
    static TfrmMain* w = [] {
        EnsureApp();
        SetHelpService([](const std::string&, unsigned, intptr_t) { return true; });
        static std::string dir = QDir::tempPath().toStdString() + "/varnholt-bench/";
        QDir().mkpath(QString::fromStdString(dir));
        SetProgramDir(dir);
        SetUserConfigDir(dir);
        auto* f = new TfrmMain(nullptr);
        f->AfterConstruction();
        return f;
    }();
    return *w;
}
