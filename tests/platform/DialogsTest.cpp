// Dialogs and services through their hooks.

#include "Dialogs.h"
#include "Forms.h"
#include "GuiTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <string>
#include <vector>

namespace {

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApp(); }
};

TEST_F(DialogsTest, FiltersSplitIntoNamesAndPatterns) {
    auto f = ParseFileFilter("Varnholt File (*.qvd)|*.qvd|Pictures|*.bmp; *.ico|All files (*.*)|*.*");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].Name, "Varnholt File (*.qvd)");
    EXPECT_EQ(f[0].Patterns, (std::vector<std::string>{"*.qvd"}));
    EXPECT_EQ(f[1].Patterns, (std::vector<std::string>{"*.bmp", "*.ico"}));
    EXPECT_EQ(f[2].Patterns, (std::vector<std::string>{"*.*"}));
    EXPECT_TRUE(ParseFileFilter("").empty());
}

TEST_F(DialogsTest, FileDialogShowsEachFilterItsPatternsOnce) {
    TOpenDialog dlg(nullptr);
    dlg.Filter = "Varnholt File (*.qvd)|*.qvd|Pictures|*.bmp;*.ico|All files (*.*)|*.*";
    QStringList shown;
    QTimer::singleShot(0, [&] {
        if (auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = fd->nameFilters();
            fd->reject();
        }
    });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(shown.join(" | ").toStdString(), "Varnholt File (*.qvd) | Pictures (*.bmp *.ico) | All files (*.*)");
}

TEST_F(DialogsTest, DefaultExtensionIsAddedOnlyToANameWithoutOne) {
    struct Row {
        const char* Name;
        const char* Ext;
        const char* Want;
    } rows[] = {
        {"/home/u/loans", "*.qvd", "/home/u/loans.qvd"},  // the window definitions write "*.qvd"
        {"/home/u/loans", "qvd", "/home/u/loans.qvd"},
        {"/home/u/loans.txt", "qvd", "/home/u/loans.txt"},
        {"/home/u.v/loans", ".qvd", "/home/u.v/loans.qvd"},
        {"/home/u/loans", "*.*", "/home/u/loans"},
        {"", "qvd", ""},
    };
    for (auto& r : rows) EXPECT_EQ(ApplyDefaultExt(r.Name, r.Ext), r.Want) << r.Name << " " << r.Ext;
}

TEST_F(DialogsTest, SaveDialogAsksTheHookAndAppliesTheDefaultExtension) {
    TSaveDialog dlg(nullptr);
    dlg.Filter = "Varnholt File (*.qvd)|*.qvd";
    dlg.DefaultExt = "*.qvd";
    dlg.FileName = "untitled.qvd";
    dlg.Options += ofOverwritePrompt;
    TFileDialogKind kind = fdOpen;
    std::string offered;
    auto previous = SetFileDialogHook([&](TOpenDialog& d) {
        kind = d.Kind();
        offered = d.FileName;
        d.FileName = "/tmp/march";
        return true;
    });
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(kind, fdSave);
    EXPECT_EQ(offered, "untitled.qvd");
    EXPECT_EQ(dlg.FileName, "/tmp/march.qvd");
    SetFileDialogHook([](TOpenDialog&) { return false; });
    dlg.FileName = "kept";
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(dlg.FileName, "kept");
    SetFileDialogHook(previous);
}

TEST_F(DialogsTest, MessageDlgShowsThroughTheMessageBoxWithItsButtonsAndIcon) {
    std::string caption;
    unsigned flags = 0;
    auto previous = SetMessageBoxHook([&](const std::string&, const std::string& c, unsigned f) {
        caption = c;
        flags = f;
        return IDNO;
    });
    EXPECT_EQ(MessageDlg("Save changes to /tmp/a.qvd", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
    EXPECT_EQ(caption, "Confirm");
    EXPECT_EQ(flags, unsigned(MB_YESNO | MB_ICONQUESTION));
    MessageDlg("x", mtError, mbOKCancel, 0);
    EXPECT_EQ(flags, unsigned(MB_OKCANCEL | MB_ICONERROR));
    SetMessageBoxHook(previous);
    unsigned f = 0;
    EXPECT_FALSE(MessageDlgFlags(mtWarning, {mbYes, mbAll}, f)) << "no platform box has these buttons";
}

TEST(MessageBoxText, EveryLineBreakBecomesOneLineFeed) {
    struct Row {
        const char* text;
        const char* shown;
    } rows[] = {
        {"figures.\n\r\n\rPlease", "figures.\n\nPlease"},  // LF CR pairs, as the calculators write them
        {"a\r\nb\r\n", "a\nb\n"},
        {"a\nb\rc", "a\nb\nc"},
        {"a\n\nb", "a\n\nb"},
        {"a\r\rb", "a\n\nb"},
        {"no break", "no break"},
    };
    for (const Row& r : rows) EXPECT_EQ(MessageBoxLines(r.text), r.shown) << r.text;
}

TEST_F(DialogsTest, ClipboardTextGoesThroughItsHook) {
    std::string store;
    TClipboardHook hook;
    hook.GetText = [&] { return store; };
    hook.SetText = [&](const std::string& s) { store = s; };
    hook.HasText = [&] { return !store.empty(); };
    TClipboardHook previous = SetClipboardHook(hook);
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    Clipboard()->SetAsText("1,234.50");
    EXPECT_EQ(store, "1,234.50");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->GetAsText(), "1,234.50");
    SetClipboardHook(previous);
}

TEST_F(DialogsTest, ShellOpenAndShellExecuteUseTheHook) {
    std::vector<std::string> opened;
    bool answer = true;
    auto previous = SetShellOpenHook([&](const std::string& t) {
        opened.push_back(t);
        return answer;
    });
    EXPECT_TRUE(ShellOpen("https://example.com/?source=x"));
    EXPECT_GT(ShellExecute(0, "open", "readme.txt", "", "/tmp", SW_SHOWNORMAL), 32);
    answer = false;
    EXPECT_LE(ShellExecute(0, "", "https://example.com/", "", "", SW_SHOWNORMAL), 32);
    EXPECT_LE(ShellExecute(0, "print", "a.txt", "", "", SW_SHOWNORMAL), 32);
    EXPECT_FALSE(ShellOpen(""));
    EXPECT_EQ(opened,
              (std::vector<std::string>{"https://example.com/?source=x", "/tmp/readme.txt", "https://example.com/"}));
    SetShellOpenHook(previous);
}

TEST_F(DialogsTest, CommandLineParametersSplitAsAProgramReceivesThem) {
    using V = std::vector<std::string>;
    const struct {
        const char* Line;
        V Want;
    } rows[] = {
        {"", V{}},
        {"  /S \t /D=x  ", V{"/S", "/D=x"}},
        {R"(/dir "C:\Program Files\Varnholt" -q)", V{"/dir", R"(C:\Program Files\Varnholt)", "-q"}},
        {R"(a\\b \"x\" c\\"d e")", V{R"(a\\b)", R"("x")", R"(c\d e)"}},
        {R"("say ""hi""" "")", V{R"(say "hi")", ""}},
        {"$(touch x); `id` | rm *", V{"$(touch", "x);", "`id`", "|", "rm", "*"}},
    };
    for (const auto& r : rows) EXPECT_EQ(SplitCommandLine(r.Line), r.Want) << r.Line;
}

TEST_F(DialogsTest, ShellExecuteRunsAProgramWithItsParametersAndOpensADocument) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    QFile program(dir.filePath("setup.run"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
    program.close();
    program.setPermissions(program.permissions() | QFile::ExeOwner);
    QFile document(dir.filePath("notes.txt"));
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.close();

    struct Run {
        std::string Program;
        std::vector<std::string> Args;
        std::string Directory;
    };
    std::vector<Run> runs;
    std::vector<std::string> opened;
    auto previousRun =
        SetShellRunHook([&](const std::string& p, const std::vector<std::string>& a, const std::string& d) {
            runs.push_back({p, a, d});
            return true;
        });
    auto previousOpen = SetShellOpenHook([&](const std::string& t) {
        opened.push_back(t);
        return true;
    });
    EXPECT_GT(ShellExecute(0, "open", root + "/setup.run", "/S \"/D=my dir\"", "", SW_SHOWNORMAL), 32);
    EXPECT_GT(ShellExecute(0, "open", "setup.run", "", root, SW_SHOWNORMAL), 32);
    EXPECT_GT(ShellExecute(0, "open", root + "/notes.txt", "/S", "", SW_SHOWNORMAL), 32);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Program, root + "/setup.run");
    EXPECT_EQ(runs[0].Args, (std::vector<std::string>{"/S", "/D=my dir"}));
    EXPECT_TRUE(runs[1].Args.empty());
    EXPECT_EQ(runs[1].Directory, root);
    EXPECT_EQ(opened, (std::vector<std::string>{root + "/notes.txt"}));

    // The real starter hands the arguments over untouched by any shell.
    SetShellRunHook(nullptr);
    const std::string hostile = "$(touch pwned) ';' \"a b\"";
    EXPECT_GT(ShellExecute(0, "open", root + "/setup.run", hostile, "", SW_SHOWNORMAL), 32);
    QFile out(dir.filePath("args.txt"));
    QElapsedTimer waited;
    waited.start();
    while (!(out.exists() && out.size() > 0) && waited.elapsed() < 20000) QThread::msleep(20);
    QThread::msleep(50);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().toStdString(), "$(touch\npwned)\n';'\na b\n");
    EXPECT_FALSE(QFile::exists(dir.filePath("pwned")));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("pwned")));
    SetShellRunHook(previousRun);
    SetShellOpenHook(previousOpen);
}

}  // namespace
