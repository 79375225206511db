#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "InstanceGuard.h"
#include "Registry.h"
#include "Sound.h"
#include "StdCtrls.h"
#include "TestHooks.h"
#include "vsComps.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

// A form, and the desktop's folders (configuration, data, runtime, registry)
// moved to a temporary folder for the test's lifetime.
struct Sandbox {
    fs::path root;
    std::unique_ptr<TForm> form;
    std::vector<std::pair<std::string, std::string>> saved;

    Sandbox() {
        EnsureGuiApp();
        RegisterVsCompsClasses();
        static int n = 0;
        root = fs::temp_directory_path() / ("vscomps-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        fs::create_directories(root / "runtime");
        Set("XDG_CONFIG_HOME", (root / "config").string());
        Set("XDG_DATA_HOME", (root / "data").string());
        Set("XDG_CONFIG_DIRS", (root / "xdg").string());
        Set("XDG_RUNTIME_DIR", (root / "runtime").string());
        TRegistry::SetRegistryFileName((root / "config" / "registry.ini").string());
        form = std::make_unique<TForm>(nullptr);
    }
    ~Sandbox() {
        form.reset();
        TRegistry::SetRegistryFileName("");
        for (auto& [var, value] : saved)
            value == "\x01" ? unsetenv(var.c_str()) : setenv(var.c_str(), value.c_str(), 1);
        fs::remove_all(root);
        Application->ResetTerminated();
        Application->ShowMainForm = true;
    }
    void Set(const char* var, const std::string& value) {
        const char* old = std::getenv(var);
        saved.emplace_back(var, old ? old : "\x01");
        setenv(var, value.c_str(), 1);
    }
    template <typename T>
    T* Make() {
        return new T(form.get());
    }
};

TEST(vsComps, WindowDefinitionsPlaceEveryComponentByClassName) {
    Sandbox s;
    const char* names[] = {"TvsThreadComponent",
                           "TvsThreadTimer",
                           "TvsColorPicker",
                           "TvsTrayIcon",
                           "TvsWndProcHook",
                           "TvsFileOperation",
                           "TvsFileAssociation",
                           "TvsFileStorage",
                           "TvsStartButtonProperties",
                           "TvsOneInstance",
                           "TvsAutoRun",
                           "TvsShutdown",
                           "TvsWav",
                           "TvsFolderMonitor",
                           "TvsRegistryMonitor"};
    for (const char* n : names) EXPECT_NE(FindClassInfo(n), nullptr) << n;
    const std::string text =
        "object Form1: TForm\n"
        "  object Monitor: TvsFolderMonitor\n"
        "    Folder = '" +
        s.root.string() +
        "'\n"
        "    NotifyFilters = [fmfFileNameChange]\n"
        "    WatchSubTree = False\n"
        "  end\n"
        "  object Store: TvsFileStorage\n"
        "    FileData = {03000000414243}\n"
        "  end\n"
        "  object Ops: TvsFileOperation\n"
        "    Operation = fotMove\n"
        "    Options = [fofNoConfirmation]\n"
        "  end\n"
        "end\n";
    ReadComponentFromText(s.form.get(), text);
    auto* monitor = dynamic_cast<TvsFolderMonitor*>(s.form->FindComponent("Monitor"));
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->GetFolder(), s.root.string());
    EXPECT_FALSE(monitor->GetWatchSubTree());
    auto* store = dynamic_cast<TvsFileStorage*>(s.form->FindComponent("Store"));
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->DataSize(), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(store->Data()->Memory()), 3), "ABC");
    auto* ops = dynamic_cast<TvsFileOperation*>(s.form->FindComponent("Ops"));
    ASSERT_NE(ops, nullptr);
    EXPECT_EQ(ops->Operation, fotMove);
    EXPECT_EQ(ops->Options, TvsFileOperationFlags{fofNoConfirmation});
}

TEST(vsComps, ThreadComponentRunsAndReportsOnTheGuiThread) {
    Sandbox s;
    auto* t = s.Make<TvsThreadComponent>();
    EXPECT_TRUE(t->GetSuspended());
    std::atomic<int> runs{0};
    bool ranElsewhere = false;
    int terminated = 0;
    t->OnExecute = [&](TObject*) {
        ranElsewhere = !IsMainThread();
        ++runs;
    };
    t->OnTerminate = [&](TObject*) { terminated += IsMainThread(); };
    t->Execute();
    ASSERT_TRUE(QTest::qWaitFor([&] { return terminated == 1; }, 5000));
    EXPECT_TRUE(ranElsewhere);
    t->Execute();
    ASSERT_TRUE(QTest::qWaitFor([&] { return terminated == 2; }, 5000));
    EXPECT_EQ(runs, 2);

    // A failure in OnExecute: OnException, else a message box naming both.
    t->OnExecute = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    std::string caught;
    t->OnException = [&](TObject*, Exception& e) { caught = e.Message; };
    t->Execute();
    ASSERT_TRUE(QTest::qWaitFor([&] { return terminated == 3; }, 5000));
    EXPECT_EQ(caught, "'x' is not a valid integer value");
    t->OnException = nullptr;
    t->SetName("Worker");
    MessageBoxRecorder boxes;
    t->Execute();
    ASSERT_TRUE(QTest::qWaitFor([&] { return terminated == 4; }, 5000));
    ASSERT_EQ(boxes.Texts.size(), 1u);
    EXPECT_EQ(boxes.Texts[0],
              "Thread Worker raised exception class EConvertError with message \"'x' is not a valid integer value\".");
}

TEST(vsComps, ThreadComponentFreedWhileRunningStopsItsThread) {
    Sandbox s;
    auto* t = s.Make<TvsThreadComponent>();
    std::atomic<bool> started{false};
    t->OnExecute = [&](TObject*) {
        started = true;
        while (!t->Terminated()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    t->Execute();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 5000));
    delete t;  // returns only once the loop has ended
}

TEST(vsComps, TimersTickWhileEnabledAndStopCleanly) {
    Sandbox s;
    auto* threadTimer = s.Make<TvsThreadTimer>();
    auto* windowTimer = s.Make<TvsColorPicker>();
    std::atomic<int> threadTicks{0};
    int windowTicks = 0;
    threadTimer->SetInterval(10);
    threadTimer->OnTimer = [&](TObject*) { ++threadTicks; };
    windowTimer->SetInterval(10);
    windowTimer->OnTimer = [&](TObject*) { ++windowTicks; };
    EXPECT_FALSE(threadTimer->GetEnabled());
    QTest::qWait(40);
    EXPECT_EQ(threadTicks, 0);
    threadTimer->SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return threadTicks >= 2 && windowTicks >= 2; }, 5000));
    threadTimer->SetEnabled(false);
    windowTimer->SetEnabled(false);
    QTest::qWait(30);
    const int t = threadTicks, w = windowTicks;
    QTest::qWait(50);
    EXPECT_LE(threadTicks - t, 0);
    EXPECT_EQ(windowTicks, w);
    threadTimer->SetEnabled(true);
    delete threadTimer;  // freed while enabled
}

TEST(vsComps, ColorPickerShowsItsCursorWhileTickingAndGivesTheScreenBack) {
    Sandbox s;
    ASSERT_NE(Screen, nullptr);
    Screen->SetCursor(crHourGlass);
    auto* picker = s.Make<TvsColorPicker>();
    int ticks = 0;
    picker->OnTimer = [&](TObject*) { ++ticks; };
    picker->SetInterval(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
    EXPECT_EQ(Screen->GetCursor(), crHourGlass) << "no picking cursor set";
    picker->SetCursor(crCross);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Screen->GetCursor() == crCross; }, 5000));
    picker->SetEnabled(false);
    EXPECT_EQ(Screen->GetCursor(), crHourGlass);
    picker->SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Screen->GetCursor() == crCross; }, 5000));
    picker->SetCursor(crDefault);
    EXPECT_EQ(Screen->GetCursor(), crHourGlass);
    picker->SetCursor(crCross);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Screen->GetCursor() == crCross; }, 5000));
    delete picker;
    EXPECT_EQ(Screen->GetCursor(), crHourGlass);
    Screen->SetCursor(crDefault);
}

TEST(vsComps, WndProcHooksChainInCreationOrderAndLeaveInAnyOrder) {
    Sandbox s;
    auto* edit = new TEdit(s.form.get());
    edit->SetParent(s.form.get());
    std::string trace;
    auto* first = s.Make<TvsWndProcHook>();
    auto* second = s.Make<TvsWndProcHook>();
    for (auto [hook, tag] : {std::pair{first, '1'}, std::pair{second, '2'}}) {
        hook->SetWinControl(edit);
        hook->OnMessageBefore = [&trace, tag = tag](TObject*, TMessage& m, bool& handled) {
            if (m.Msg != WM_USER + 1) return;
            trace += tag;
            handled = m.WParam == WPARAM(tag);
        };
        hook->OnMessageAfter = [&trace, tag = tag](TObject*, TMessage& m, bool&) {
            if (m.Msg == WM_USER + 1) trace += char(tag + 16);
        };
    }
    first->SetActive(true);
    second->SetActive(true);
    edit->Perform(WM_USER + 1);
    EXPECT_EQ(trace, "21AB");  // the newest first in, last out
    trace.clear();
    edit->Perform(WM_USER + 1, '2');  // handled by the newest: the older one never sees it
    EXPECT_EQ(trace, "2B");
    trace.clear();
    first->SetActive(false);
    edit->Perform(WM_USER + 1);
    EXPECT_EQ(trace, "2B");
    second->SetActive(false);
    EXPECT_FALSE(bool(edit->WindowProc));
    // Freed while hooked: the control keeps working.
    second->SetActive(true);
    delete second;
    EXPECT_FALSE(bool(edit->WindowProc));
}

struct FileOps : Sandbox {
    TvsFileOperation* op;
    std::vector<std::string> errors;
    FileOps() {
        op = Make<TvsFileOperation>();
        op->OnError = [this](TObject*, const std::string& m) { errors.push_back(m); };
        WriteFile(root / "src" / "a.txt", "alpha");
        WriteFile(root / "src" / "b.log", "beta");
        fs::create_directories(root / "dst");
    }
    std::string P(const char* rel) const { return (root / rel).string(); }
};

TEST(vsComps, FileOperationCopiesAndMovesWithMasksAndCollisions) {
    FileOps f;
    EXPECT_TRUE(f.op->Execute());  // nothing to do
    f.op->GetFileList()->SetText(f.P("src/*.txt"));
    f.op->DestFolder = f.P("dst");
    ASSERT_TRUE(f.op->Execute());
    EXPECT_EQ(ReadAll(f.root / "dst" / "a.txt"), "alpha");
    EXPECT_FALSE(fs::exists(f.root / "dst" / "b.log"));
    // Again: the default options rename the new copy rather than replace.
    ASSERT_TRUE(f.op->Execute());
    EXPECT_EQ(ReadAll(f.root / "dst" / "a (2).txt"), "alpha");
    // "source=target" lines take the target as a mask inside DestFolder.
    f.op->Operation = fotMove;
    f.op->GetFileList()->SetText(f.P("src/b.log") + "=sub/*.bak");
    ASSERT_TRUE(f.op->Execute());
    EXPECT_EQ(ReadAll(f.root / "dst" / "sub" / "b.bak"), "beta");
    EXPECT_FALSE(fs::exists(f.root / "src" / "b.log"));
    // Replacing asks unless told not to; "no" leaves the target alone.
    f.op->Operation = fotCopy;
    f.op->Options = {};
    WriteFile(f.root / "dst" / "a.txt", "old");
    f.op->GetFileList()->SetText(f.P("src/a.txt"));
    {
        MessageBoxRecorder no(IDNO);
        EXPECT_TRUE(f.op->Execute());
        EXPECT_EQ(no.Texts.size(), 1u);
    }
    EXPECT_EQ(ReadAll(f.root / "dst" / "a.txt"), "old");
    f.op->Options = {fofNoConfirmation};
    ASSERT_TRUE(f.op->Execute());
    EXPECT_EQ(ReadAll(f.root / "dst" / "a.txt"), "alpha");
    EXPECT_TRUE(f.errors.empty());
}

TEST(vsComps, FileOperationRenamesDeletesToTheTrashAndReportsFailures) {
    FileOps f;
    f.op->Operation = fotRename;
    f.op->GetFileList()->SetText(f.P("src/a.txt"));
    f.op->DestFolder = "renamed.txt";
    ASSERT_TRUE(f.op->Execute());
    EXPECT_TRUE(fs::exists(f.root / "src" / "renamed.txt"));
    // Deleting with undo goes to the trash of the data folder, with its record.
    f.op->Operation = fotDelete;
    f.op->GetFileList()->SetText(f.P("src/renamed.txt"));
    ASSERT_TRUE(f.op->Execute()) << (f.errors.empty() ? "" : f.errors[0]);
    EXPECT_FALSE(fs::exists(f.root / "src" / "renamed.txt"));
    EXPECT_EQ(ReadAll(f.root / "data" / "Trash" / "files" / "renamed.txt"), "alpha");
    const std::string info = ReadAll(f.root / "data" / "Trash" / "info" / "renamed.txt.trashinfo");
    EXPECT_NE(info.find("Path=" + f.P("src/renamed.txt")), std::string::npos) << info;
    // Without undo the file is gone for good.
    f.op->Options = {};
    f.op->GetFileList()->SetText(f.P("src/b.log"));
    ASSERT_TRUE(f.op->Execute());
    EXPECT_FALSE(fs::exists(f.root / "data" / "Trash" / "files" / "b.log"));
    // A missing source fails through OnError and the result.
    f.op->GetFileList()->SetText(f.P("src/none.txt"));
    EXPECT_FALSE(f.op->Execute());
    ASSERT_EQ(f.errors.size(), 1u);
    EXPECT_NE(f.errors[0].find("none.txt"), std::string::npos);
}

TEST(vsComps, FileAssociationIsWrittenWhereTheDesktopLooksAndReadBack) {
    Sandbox s;
    auto* a = s.Make<TvsFileAssociation>();
    a->SetExtension("qvd");
    EXPECT_EQ(a->GetExtension(), ".qvd");
    a->Set(TvsFileAssociation::afFileDescription, "Calculator file");
    a->Set(TvsFileAssociation::afOpenCommand, "/opt/varnholt/varnholt \"%1\"");
    a->Set(TvsFileAssociation::afPrintCommand, "/opt/varnholt/varnholt --print %1");
    const std::string xml = ReadAll(s.root / "data" / "mime" / "packages" / "application-x-varnholt-qvd.xml");
    EXPECT_NE(xml.find("<glob pattern=\"*.qvd\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<comment>Calculator file</comment>"), std::string::npos);
    const std::string entry = ReadAll(s.root / "data" / "applications" / "application-x-varnholt-qvd.desktop");
    EXPECT_NE(entry.find("Exec=/opt/varnholt/varnholt %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-varnholt-qvd;"), std::string::npos);
    EXPECT_NE(entry.find("Actions=print;"), std::string::npos);
    const std::string apps = ReadAll(s.root / "config" / "mimeapps.list");
    EXPECT_NE(apps.find("application/x-varnholt-qvd=application-x-varnholt-qvd.desktop"), std::string::npos) << apps;

    auto* again = s.Make<TvsFileAssociation>();
    again->SetExtension(".QVD");
    EXPECT_EQ(again->Get(TvsFileAssociation::afOpenCommand), "/opt/varnholt/varnholt \"%1\"");
    EXPECT_EQ(again->Get(TvsFileAssociation::afPrintCommand), "/opt/varnholt/varnholt --print %1");
    EXPECT_EQ(again->Get(TvsFileAssociation::afFileDescription), "Calculator file");
    ASSERT_TRUE(again->Remove());
    EXPECT_FALSE(fs::exists(s.root / "data" / "applications" / "application-x-varnholt-qvd.desktop"));
    EXPECT_EQ(ReadAll(s.root / "config" / "mimeapps.list").find("x-varnholt-qvd"), std::string::npos);
}

TEST(vsComps, FileStorageLoadsAndSavesAskingBeforeReplacing) {
    Sandbox s;
    auto* store = s.Make<TvsFileStorage>();
    std::vector<bool> loads, saves;
    store->OnLoad = [&](TObject*, bool ok) { loads.push_back(ok); };
    store->OnSave = [&](TObject*, bool ok) { saves.push_back(ok); };
    store->SetFileName((s.root / "none.bin").string());
    EXPECT_FALSE(store->LoadFromFile());
    WriteFile(s.root / "in.bin", std::string("\0\1\2payload", 10));
    store->SetFileName((s.root / "in.bin").string());
    ASSERT_TRUE(store->LoadFromFile());
    EXPECT_EQ(store->DataSize(), 10);
    store->SetSaveName((s.root / "out.bin").string());
    ASSERT_TRUE(store->SaveToFile());
    EXPECT_EQ(ReadAll(s.root / "out.bin"), std::string("\0\1\2payload", 10));
    WriteFile(s.root / "out.bin", "keep");
    store->OnConfirmOverride = [](TObject*, bool& replace) { replace = false; };
    EXPECT_FALSE(store->SaveToFile());
    EXPECT_EQ(ReadAll(s.root / "out.bin"), "keep");
    EXPECT_EQ(loads, (std::vector<bool>{false, true}));
    EXPECT_EQ(saves, (std::vector<bool>{true}));
}

TEST(vsComps, AutoRunFollowsItsSettings) {
    Sandbox s;
    auto* run = s.Make<TvsAutoRun>();
    run->SetKind(aekUserRun);
    run->SetFileName("/opt/a/first");
    run->SetAutoRun(true);
    const fs::path dir = s.root / "config" / "autostart";
    EXPECT_TRUE(fs::exists(dir / "first.desktop"));
    run->SetFileName("/opt/a/second");
    EXPECT_FALSE(fs::exists(dir / "first.desktop"));
    EXPECT_TRUE(fs::exists(dir / "second.desktop"));
    run->SetKind(aekUserRunOnce);
    EXPECT_TRUE(fs::exists(dir / "second.once.desktop"));
    EXPECT_FALSE(fs::exists(dir / "second.desktop"));
    run->SetAutoRun(false);
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST(vsComps, ShutdownAsksFirstAndUsesTheSessionService) {
    Sandbox s;
    std::vector<std::pair<TvsShutdownActionType, bool>> calls;
    TShutdownService old = SetShutdownService([&](TvsShutdownActionType a, bool force) {
        calls.emplace_back(a, force);
        return true;
    });
    auto* off = s.Make<TvsShutdown>();
    off->ActionType = aatReboot;
    off->Force = true;
    off->OnQueryShutdown = [](TObject*, bool& allowed) { allowed = false; };
    EXPECT_FALSE(off->Execute());
    EXPECT_TRUE(calls.empty());
    off->OnQueryShutdown = nullptr;
    EXPECT_TRUE(off->Execute());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(aatReboot, true));
    SetShutdownService(old);
}

TEST(vsComps, OneInstanceLetsTheFirstRunAndEndsTheSecond) {
    Sandbox s;
    auto* first = s.Make<TvsOneInstance>();
    first->Identifier = "test";
    ASSERT_TRUE(first->Check());
    auto* second = s.Make<TvsOneInstance>();
    second->Identifier = "test";
    second->ShowMessage = true;
    second->OnShowMessage = [](TObject*, bool& terminate) { terminate = false; };
    EXPECT_FALSE(second->Check());
    EXPECT_FALSE(Application->Terminated());
    second->OnShowMessage = nullptr;
    {
        MessageBoxRecorder boxes;
        EXPECT_FALSE(second->Check());
        ASSERT_EQ(boxes.Texts.size(), 1u);
        EXPECT_EQ(boxes.Texts[0], "Application \"" + Application->GetTitle() + "\" is already running.");
    }
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Application->ShowMainForm);
    // Another identifier is another program.
    auto* other = s.Make<TvsOneInstance>();
    other->Identifier = "other";
    EXPECT_TRUE(other->Check());
}

TEST(vsComps, TrayIconTurnsNotificationsIntoEvents) {
    Sandbox s;
    auto* tray = s.Make<TvsTrayIcon>();
    std::string trace;
    tray->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { trace += b == mbLeft ? "d" : "D"; };
    tray->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { trace += b == mbLeft ? "u" : "U"; };
    tray->OnClick = [&](TObject*) { trace += "c"; };
    tray->OnDblClick = [&](TObject*) { trace += "2"; };
    tray->OnBalloonClick = [&](TObject*) { trace += "b"; };
    tray->OnShow = [&](TObject*) { trace += "S"; };
    tray->OnHide = [&](TObject*) { trace += "H"; };
    auto notify = [&](unsigned m) { SendMessage(tray->Window(), TvsTrayIcon::CallbackMessage, 0, LPARAM(m)); };
    for (unsigned m : {unsigned(WM_LBUTTONUP), unsigned(WM_LBUTTONDOWN), unsigned(WM_LBUTTONUP),
                       unsigned(WM_LBUTTONDBLCLK), unsigned(WM_RBUTTONDOWN), unsigned(WM_RBUTTONUP), 0x405u})
        notify(m);
    // An up without its down is no click.
    EXPECT_EQ(trace, "uduc2DUb");
    trace.clear();
    tray->TrayEnabled = false;
    notify(WM_LBUTTONDOWN);
    EXPECT_EQ(trace, "");
    tray->SetVisible(true);
    tray->SetVisible(false);
    EXPECT_EQ(trace, "SH");
}

TEST(vsComps, MinimisingHidesTheFormIntoTheTrayIcon) {
    Sandbox s;
    auto* tray = s.Make<TvsTrayIcon>();
    int minimised = 0;
    tray->OnMinimize = [&](TObject*) { ++minimised; };
    tray->SetMinimizeToTray(true);
    s.form->Show();
    Application->SetMainForm(s.form.get());
    s.form->Perform(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_EQ(minimised, 1);
    EXPECT_TRUE(tray->GetVisible());
    EXPECT_FALSE(s.form->GetVisible());
    // Hiding the icon brings the form back.
    tray->SetVisible(false);
    EXPECT_TRUE(s.form->GetVisible());
    tray->SetMinimizeToTray(false);
    EXPECT_FALSE(bool(s.form->WindowProc));
    Application->SetMainForm(nullptr);
}

TEST(vsComps, FolderMonitorSeesChangesOfTheKindsItWatches) {
    Sandbox s;
    fs::create_directories(s.root / "watched" / "inner");
    auto* m = s.Make<TvsFolderMonitor>();
    int changes = 0;
    m->OnChange = [&](TObject*) { ++changes; };
    m->SetFolder((s.root / "watched").string());
    m->SetNotifyFilters({fmfDirNameChange});
    m->SetActive(true);
    WriteFile(s.root / "watched" / "file.txt", "x");
    QTest::qWait(200);
    EXPECT_EQ(changes, 0);  // a file's name is not watched
    fs::create_directories(s.root / "watched" / "inner" / "deeper");
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 1; }, 5000));
    m->SetNotifyFilters({fmfFileNameChange, fmfWriteChange});
    WriteFile(s.root / "watched" / "inner" / "deeper" / "new.txt", "x");
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 2; }, 5000));
    std::ofstream(s.root / "watched" / "file.txt", std::ios::app) << "more";
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 3; }, 5000));
    m->SetActive(false);
    WriteFile(s.root / "watched" / "late.txt", "x");
    QTest::qWait(200);
    EXPECT_EQ(changes, 3);
}

TEST(vsComps, RegistryMonitorSeesItsKeyOnly) {
    Sandbox s;
    auto* m = s.Make<TvsRegistryMonitor>();
    int changes = 0;
    m->OnChange = [&](TObject*) { ++changes; };
    m->SetRegistryKey("Software\\Watched");
    m->SetActive(true);
    RegWriteStringValue(HKEY_CURRENT_USER, "Software\\Other", "v", "1");
    QTest::qWait(200);
    EXPECT_EQ(changes, 0);
    RegWriteStringValue(HKEY_CURRENT_USER, "Software\\Watched", "v", "1");  // the key appears
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 1; }, 5000));
    RegWriteStringValue(HKEY_CURRENT_USER, "Software\\Watched\\Sub", "v", "2");  // below it
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 2; }, 5000));
    m->SetWatchSubTree(false);
    RegWriteStringValue(HKEY_CURRENT_USER, "Software\\Watched\\Sub", "v", "3");
    QTest::qWait(200);
    EXPECT_EQ(changes, 2);
}

// A RIFF/WAVE file of 16-bit mono samples.
std::string Wave(int Samples, uint32_t DeclaredData = 0) {
    auto le = [](uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += char((v >> (8 * i)) & 0xFF);
        return s;
    };
    const uint32_t data = DeclaredData ? DeclaredData : uint32_t(Samples * 2);
    return "RIFF" + le(36 + Samples * 2, 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) +
           le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(data, 4) + std::string(size_t(Samples) * 2, '\0');
}

TEST(vsComps, WavePlaysStoredDataAndStopsALoop) {
    Sandbox s;
    TWavePlayer::SetDevice("null");
    auto* wav = s.Make<TvsWav>();
    std::string trace;
    wav->OnPlayBefore = [&](TObject*) { trace += "<"; };
    wav->OnPlayAfter = [&](TObject*) { trace += ">"; };
    wav->SetPlayFrom(pfDFM);
    const std::string sound = Wave(800);
    wav->Data()->WriteBuffer(sound.data(), int64_t(sound.size()));
    wav->SetAsyncPlay(false);
    EXPECT_TRUE(wav->Play()) << wav->LastError();
    EXPECT_EQ(trace, "<>");
    wav->SetLooped(true);
    ASSERT_TRUE(wav->Play()) << wav->LastError();
    EXPECT_TRUE(wav->Playing());
    // A change while the loop plays starts it again; the same value changes nothing.
    trace.clear();
    wav->SetNoWaitIfBusy(false);
    EXPECT_EQ(trace, "<>");
    EXPECT_TRUE(wav->Playing());
    wav->SetNoWaitIfBusy(false);
    wav->SetFileName("unused.wav");
    EXPECT_EQ(trace, "<><>");
    wav->SetNoStopSound(true);
    EXPECT_EQ(trace, "<><><>");
    EXPECT_FALSE(wav->Play());  // leaves the running sound alone
    EXPECT_TRUE(wav->Playing());
    wav->Stop();
    EXPECT_FALSE(wav->Playing());
    wav->SetEventAlias("SystemExit");  // nothing plays: nothing starts
    EXPECT_FALSE(wav->Playing());
    // Switching the loop off while it plays plays the sound once, here to its end.
    wav->SetNoStopSound(false);
    ASSERT_TRUE(wav->Play());
    trace.clear();
    wav->SetLooped(false);
    EXPECT_EQ(trace, "<>");
    EXPECT_FALSE(wav->Playing());
    // A file that is no wave, or whose chunk runs past its end, is refused with the reason.
    WriteFile(s.root / "no.wav", "RIFF....AVI LIST");
    wav->SetPlayFrom(pfFile);
    wav->SetFileName((s.root / "no.wav").string());
    EXPECT_FALSE(wav->Play());
    EXPECT_EQ(wav->LastError(), "Not a wave file");
    WriteFile(s.root / "cut.wav", Wave(10, 5000));
    wav->SetFileName((s.root / "cut.wav").string());
    EXPECT_FALSE(wav->Play());
    EXPECT_EQ(wav->LastError(), "Wave chunk of 5000 bytes at 36 runs past the end");
    TWavePlayer::SetDevice("");
}

}  // namespace
