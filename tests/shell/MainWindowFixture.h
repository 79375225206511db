#pragma once
// A main window made from its definition for each test, with the settings
// folder in a temporary directory and message boxes, help and shell open
// answered by the test.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Folders.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "InstanceGuard.h"
#include "Main.h"
#include "Menus.h"
#include "MsgBox.h"
#include "StdCtrls.h"
#include "SysUtils.h"

struct TShownMessage {
    std::string Text, Caption;
    unsigned Flags;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        TInstanceGuard::SetGuardsEnabled(false);
        FormatSettings = USFormatSettings();
        ASSERT_TRUE(Dir.isValid());
        SetProgramDir(Dir.path().toStdString() + "/");
        SetUserConfigDir(Dir.path().toStdString() + "/config/");
        PreviousBox = SetMessageBoxHook([this](const std::string& t, const std::string& c, unsigned f) {
            Messages.push_back({t, c, f});
            return BoxAnswer;
        });
        PreviousHelp = SetHelpService([this](const std::string& file, unsigned cmd, intptr_t data) {
            HelpCalls.push_back({cmd, cmd == HELP_CONTEXT ? int(data) : -1});
            HelpFile = file;
            return true;
        });
        PreviousShell = SetShellOpenHook([this](const std::string& target) {
            Opened.push_back(target);
            return true;
        });
    }

    void TearDown() override {
        delete Form;
        Form = nullptr;
        Application->OnException = nullptr;
        Application->OnHint = nullptr;
        SetMessageBoxHook(PreviousBox);
        SetHelpService(PreviousHelp);
        SetShellOpenHook(PreviousShell);
        SetProgramDir("");
        SetUserConfigDir("");
    }

    // Creates the window and runs its OnCreate, as the application does.
    TfrmMain* Create() {
        Form = new TfrmMain(nullptr);
        Form->AfterConstruction();
        return Form;
    }

    template <class T>
    T* C(const std::string& name) {
        auto* c = dynamic_cast<T*>(Form->FindComponent(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    QTemporaryDir Dir;
    TfrmMain* Form = nullptr;
    std::vector<TShownMessage> Messages;
    int BoxAnswer = IDOK;
    struct THelpCall {
        unsigned Command;
        int Context;
    };
    std::vector<THelpCall> HelpCalls;
    std::string HelpFile;
    std::vector<std::string> Opened;

private:
    MessageBoxHook PreviousBox;
    THelpService PreviousHelp;
    TShellOpenHook PreviousShell;
};
