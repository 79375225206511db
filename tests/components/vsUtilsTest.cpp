#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Classes.h"
#include "GuiTestApp.h"
#include "Threads.h"
#include "vsUtils.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Points the desktop's configuration folders at a temporary folder.
struct TempDesktop {
    fs::path root;
    std::vector<std::pair<std::string, std::string>> saved;
    TempDesktop() {
        root = fs::temp_directory_path() / ("vsutils-" + std::to_string(::getpid()) + "-" + std::to_string(rand()));
        fs::create_directories(root);
        Set("XDG_CONFIG_HOME", (root / "config").string());
        Set("XDG_CONFIG_DIRS", (root / "xdg").string() + ":/etc/xdg");
    }
    void Set(const char* var, const std::string& value) {
        const char* old = std::getenv(var);
        saved.emplace_back(var, old ? old : "\x01");
        setenv(var, value.c_str(), 1);
    }
    ~TempDesktop() {
        for (auto& [var, value] : saved)
            value == "\x01" ? unsetenv(var.c_str()) : setenv(var.c_str(), value.c_str(), 1);
        fs::remove_all(root);
    }
};

TEST(vsUtils, StringSearchAndReplace) {
    EXPECT_EQ(PosFrom("ab", "xabab", 1), 2);
    EXPECT_EQ(PosFrom("ab", "xabab", 3), 4);
    EXPECT_EQ(PosFrom("ab", "xabab", 5), 0);
    EXPECT_EQ(PosFrom("", "xabab", 1), 0);
    EXPECT_EQ(BackPos("ab", "xabab"), 4);
    EXPECT_EQ(BackPosBefore("ab", "xabab", 4), 2);  // an occurrence must end by the index
    EXPECT_EQ(BackPosBefore("ab", "xabab", 2), 0);
    EXPECT_EQ(BackPosBefore("ab", "xabab", 99), 4);
    EXPECT_EQ(ReplaceAt("hello", 2, "el", "EE"), "hEElo");
    // The search goes on after the inserted text, so it does not loop.
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("a\\\\b\\\\c", "\\\\", "\\"), "a\\b\\c");
    EXPECT_EQ(ReplaceChar("a.b.c", '.', '/'), "a/b/c");
    EXPECT_EQ(AddTrailingChar("", '/'), "");
    EXPECT_EQ(AddTrailingChar("a/", '/'), "a/");
    EXPECT_EQ(AddTrailingChar("a", '/'), "a/");
    TStringList list;
    TextToStrings("a;b;c", ";", &list);
    EXPECT_EQ(list.Count(), 3);
    TextToStrings("a<br>b", "<br>", &list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(1), "b");
}

TEST(vsUtils, PathParts) {
    struct Row {
        const char* path;
        const char* name;
        const char* dir;
        const char* bare;
    };
    const Row rows[] = {
        {"C:\\a\\b.txt", "b.txt", "C:\\a\\", "b"},
        {"/home/u/r.tar.gz", "r.tar.gz", "/home/u/", "r.tar"},
        {"c:name", "name", "c:", "name"},
        {"plain", "plain", "", "plain"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ExtractFileNamePart(r.path), r.name) << r.path;
        EXPECT_EQ(ExtractFilePathPart(r.path), r.dir) << r.path;
        EXPECT_EQ(ExtractFileNameWithoutExt(r.path), r.bare) << r.path;
    }
    struct Mask {
        const char* source;
        const char* mask;
        const char* result;
    };
    const Mask masks[] = {
        {"C:\\a\\b.txt", "*.bak", "C:\\a\\b.bak"}, {"C:\\a\\b.txt", "", "C:\\a\\b.txt"},
        {"/d/b.txt", "/e/*.*", "/e/b.txt"},        {"/d/b.txt", "/e/new.*", "/e/new.txt"},
        {"/d/b.txt", "c?.log", "/d/b.log"},
    };
    for (const Mask& m : masks) EXPECT_EQ(ApplyFileMask(m.source, m.mask), m.result) << m.mask;
    EXPECT_EQ(ExpandFileNameFromDir("/d/", "x/y"), "/d/x/y");
    EXPECT_EQ(ExpandFileNameFromDir("/d", "/abs"), "/abs");
}

TEST(vsUtils, FileNameValidityLeavesNothingBehind) {
    TempDesktop t;
    const std::string fresh = (t.root / "fresh.dat").string();
    EXPECT_FALSE(IsFileNameValid(""));
    EXPECT_TRUE(IsFileNameValid(fresh));
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_FALSE(IsFileNameValid((t.root / "no" / "such" / "x").string()));
    std::ofstream(fresh) << "kept";
    EXPECT_TRUE(IsFileNameValid(fresh));
    EXPECT_EQ(ReadAll(fresh), "kept");
}

TEST(vsUtils, AutoRunEntriesGoWhereTheDesktopLooks) {
    TempDesktop t;
    const std::string program = "/opt/my apps/varnholt";
    ASSERT_TRUE(AutoRunRegister(aekUserRun, program));
    const std::string entry = (t.root / "config" / "autostart" / "varnholt.desktop").string();
    EXPECT_EQ(AutoRunEntryFile(aekUserRun, program), entry);
    const std::string text = ReadAll(entry);
    EXPECT_NE(text.find("[Desktop Entry]"), std::string::npos);
    EXPECT_NE(text.find("Exec=\"/opt/my apps/varnholt\"\n"), std::string::npos) << text;
    // Machine entries go to the first system configuration folder.
    ASSERT_TRUE(AutoRunRegister(aekMachineRunOnce, program));
    const std::string once = ReadAll((t.root / "xdg" / "autostart" / "varnholt.once.desktop").string());
    EXPECT_NE(once.find("rm -f"), std::string::npos) << once;
    // Service kinds have no entries and write nothing.
    EXPECT_FALSE(AutoRunRegister(aekServiceRun, program));
    EXPECT_FALSE(AutoRunUnregister(aekServiceRunOnce, program));
    EXPECT_EQ(std::distance(fs::directory_iterator(t.root / "config" / "autostart"), {}), 1);
    EXPECT_TRUE(AutoRunUnregister(aekUserRun, program));
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_TRUE(AutoRunUnregister(aekUserRun, program));  // none left: still fine
    fs::remove_all(t.root / "config");
    EXPECT_FALSE(AutoRunUnregister(aekUserRun, program));
}

TEST(vsUtils, ExtraColourNamesRoundTripAndFallBack) {
    TColor c;
    ASSERT_TRUE(IdentToColorEx("clMoneyGreen", c));
    EXPECT_EQ(c, TColor(0xC0DCC0));
    ASSERT_TRUE(IdentToColorEx("CLORANGE", c));
    std::string name;
    ASSERT_TRUE(ColorToIdentEx(c, name));
    EXPECT_EQ(name, "clOrange");
    ASSERT_TRUE(IdentToColorEx("clRed", c));
    EXPECT_EQ(c, clRed);
    EXPECT_FALSE(IdentToColorEx("clNoSuchColour", c));
}

TEST(vsUtils, TimerThreadTicksUntilItIsFreed) {
    EnsureGuiApp();
    std::atomic<int> ticks{0};
    auto timer = std::make_unique<TvsTimerThread>();
    timer->SetInterval(10);
    timer->SetOnEvent([&](TObject*) { ++ticks; });
    timer->Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
    // A long interval set now takes effect at once: no tick for a while.
    timer->SetInterval(100000);
    const int seen = ticks;
    QTest::qWait(50);
    EXPECT_LE(ticks - seen, 1);
    timer.reset();  // joins; the event never runs again
    const int final = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, final);
}

TEST(vsUtils, SynchronizedEventsRunOnTheGuiThreadAndFreeingDoesNotDeadlock) {
    EnsureGuiApp();
    std::atomic<int> onGui{0}, elsewhere{0};
    auto timer = std::make_unique<TvsTimerThread>();
    timer->SetInterval(5);
    timer->Synchronized = true;
    timer->SetOnEvent([&](TObject*) { (IsMainThread() ? onGui : elsewhere)++; });
    timer->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return onGui >= 2; }, 5000));
    EXPECT_EQ(elsewhere, 0);
    // The thread may be waiting for this very thread when it is freed.
    timer.reset();
}

class ThrowingThread : public TThread {
public:
    ThrowingThread() = default;
    ~ThrowingThread() override { Stop(); }

protected:
    void Execute() override {
        Synchronize([&] { throw EConvertError("bad value"); });
    }
};

TEST(vsUtils, SynchronizedFailuresComeBackToTheThread) {
    EnsureGuiApp();
    ThrowingThread t;
    t.Start();
    t.WaitFor();
    ASSERT_TRUE(t.FatalException());
    try {
        std::rethrow_exception(t.FatalException());
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "bad value");
    }
}

}  // namespace
