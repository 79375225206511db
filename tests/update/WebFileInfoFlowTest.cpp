#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Dialogs.h"
#include "Folders.h"
#include "Forms.h"
#include "HttpClient.h"
#include "LoopbackServer.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "WebFileInfo.h"

namespace {

std::string Meta(const std::string& tag, const std::string& content) {
    return "<META HTTP-EQUIV=\"" + tag + "\" CONTENT=\"" + content + "\">\r\n";
}

std::string ReadFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
}

void WriteFile(const std::string& path, const std::string& text) {
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::WriteOnly);
    f.write(text.data(), qint64(text.size()));
}

// The hooks a person would answer: message boxes (by caption), the save
// dialog and the shell. Each is put back when the object ends.
struct Person {
    Person() {
        FBoxes = SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
            Boxes.push_back(caption + ": " + text);
            for (auto& [c, a] : Answers)
                if (c == caption) return a;
            return int(IDNO);
        });
        FDialog = SetFileDialogHook([this](TOpenDialog& d) {
            if (SaveAs.empty()) return false;
            d.FileName = SaveAs;
            d.FilterIndex = 3;
            return true;
        });
        FShell = SetShellOpenHook([this](const std::string& target) {
            Opened.push_back(target);
            return true;
        });
    }
    ~Person() {
        SetMessageBoxHook(FBoxes);
        SetFileDialogHook(FDialog);
        SetShellOpenHook(FShell);
        if (Application) Application->ResetTerminated();
    }
    std::vector<std::pair<std::string, int>> Answers;
    std::vector<std::string> Boxes, Opened;
    std::string SaveAs;

private:
    MessageBoxHook FBoxes;
    TFileDialogHook FDialog;
    TShellOpenHook FShell;
};

std::unique_ptr<TWebFileInfo> InfoFor(const std::string& home) {
    EnsureGuiApp();
    auto w = std::make_unique<TWebFileInfo>(nullptr);
    w->CurrentVersion = "3.0.01";
    TWfiTags* t = w->GetInfoTags();
    t->DateTag = "date";
    t->DownloadTag = "url";
    t->ProductNameTag = "name";
    t->ReadMeTag = "readme";
    t->RedirectTag = "redirect";
    t->VersionTag = "version";
    w->SetHomeURL(home);
    return w;
}

TEST(WebFileInfoFlow, FetchesThePageOnceAndFollowsItsRedirect) {
    LoopbackServer server;
    server.Scripts["/old.htm"] = Answer("200 OK", "", Meta("redirect", server.Url("/new.htm")));
    server.Scripts["/new.htm"] =
        Answer("200 OK", "",
               "<html>\r\n" + Meta("version", "3.0.02") + Meta("date", "Bad 99, date") +
                   Meta("url", server.Url("/files/setup.exe")) + Meta("", "empty tag") + "</html>\r\n");
    Person person;
    auto w = InfoFor(server.Url("/old.htm"));
    w->GetInfoTags()->AuthorTag = "";  // unused tags match nothing, not even an empty one
    ASSERT_TRUE(w->GetInfo()) << w->GetLastError();
    EXPECT_TRUE(w->GetActive());
    EXPECT_EQ(w->GetProductVersion(), "3.0.02");
    EXPECT_EQ(w->GetProductAuthor(), "");
    EXPECT_EQ(w->GetProductDate(), 0.0);  // a date the page gets wrong is no date
    EXPECT_EQ(w->DownloadFileName(), "setup.exe");
    EXPECT_TRUE(w->GetInfo());
    EXPECT_EQ(server.Requests.size(), 2u);  // the second call answers from what it holds
    EXPECT_TRUE(person.Boxes.empty());
}

TEST(WebFileInfoFlow, FailedFetchesLeaveItInactiveWithTheirReason) {
    LoopbackServer server;
    server.Scripts["/missing.htm"] = Answer("404 Not Found", "", "");
    server.Scripts["/huge.htm"] = Answer("200 OK", "", std::string(1024 * 1024 + 10, 'x'));
    server.Scripts["/loop.htm"] = Answer("200 OK", "", Meta("redirect", server.Url("/loop.htm")));
    const std::string cut = Meta("version", "9.9");
    server.Scripts["/cut.htm"] = {{"HTTP/1.0 200 OK\r\nContent-Length: 500\r\n\r\n" + cut, 0, true}};
    const std::string status = Application->GetTitle() + ": 404";  // a plain box has the program's title
    struct Row {
        const char* path;
        std::string reason;
        std::vector<std::string> boxes;
    } rows[] = {
        {"/missing.htm", "Not Found", {status}},
        {"/huge.htm", "Document larger than 1048576 bytes", {status}},
        {"/loop.htm", "The information page redirects too often", {}},
        {"/cut.htm", "Document incomplete: " + std::to_string(cut.size()) + " of 500 bytes received", {}},
    };
    for (const Row& r : rows) {
        Person person;
        auto w = InfoFor(server.Url(r.path));
        EXPECT_FALSE(w->GetInfo()) << r.path;
        EXPECT_FALSE(w->GetActive()) << r.path;
        EXPECT_EQ(w->GetLastError(), r.reason) << r.path;
        EXPECT_EQ(person.Boxes, r.boxes) << r.path;
        EXPECT_EQ(w->GetProductVersion(), "") << r.path;
    }
    Person person;
    auto w = InfoFor("ftp://example.invalid/");
    EXPECT_FALSE(w->GetInfo());
    EXPECT_EQ(person.Boxes,
              (std::vector<std::string>{
                  "Missing Home URL: Can not retrieve version information\rbecause no home url was provided."}));
}

TEST(WebFileInfoFlow, ClientExceptionsEndTheWaitAndPutTheHandlerBack) {
    LoopbackServer server;  // silent: the fetch waits until the exception ends it
    Person person;
    int earlier = 0;
    Application->OnException = [&](TObject*, Exception&) { ++earlier; };
    auto w = InfoFor(server.Url("/info.htm"));
    QTimer::singleShot(100, [] { QueueCall([] { throw EHttpException("HTTP line too long", httperrLineTooLong); }); });
    EXPECT_FALSE(w->GetInfo());
    ASSERT_FALSE(person.Boxes.empty());
    EXPECT_EQ(person.Boxes[0], "Exception: Error retrieving update information.\rException: HTTP line too long.");
    // Back to the application's own handler, which other exceptions reached meanwhile.
    QueueCall([] { throw Exception("elsewhere"); });
    RunUntil([&] { return earlier > 0; }, 2000);
    EXPECT_EQ(earlier, 1);
    Application->OnException = nullptr;
}

struct UpdateServer {
    UpdateServer(const std::string& version, ServerScript file) {
        server.Scripts["/info.htm"] =
            Answer("200 OK", "", Meta("version", version) + Meta("url", server.Url("/files/setup.exe")));
        server.Scripts["/files/setup.exe"] = std::move(file);
    }
    LoopbackServer server;
};

TEST(WebFileInfoFlow, UpdateIsDownloadedWithProgressAndRunAfterConsent) {
    const std::string payload(300000, 'u');
    UpdateServer site("3.0.02", Answer("200 OK", "Content-Type: application/octet-stream\r\n", payload));
    QTemporaryDir dir;
    Person person;
    person.SaveAs = dir.filePath("setup").toStdString();
    person.Answers = {{"Update Available", IDYES}, {"Install Update", IDYES}};
    auto w = InfoFor(site.server.Url("/info.htm"));
    std::vector<std::pair<int64_t, int64_t>> progress;
    w->OnDownloadProgress = [&](TObject*, int64_t r, int64_t t) { progress.emplace_back(r, t); };
    ASSERT_TRUE(w->CheckForUpdate()) << w->GetLastError();
    EXPECT_EQ(ReadFile(person.SaveAs), payload);  // filter 3 adds no extension
    EXPECT_FALSE(FileExists(person.SaveAs + ".part"));
    ASSERT_FALSE(progress.empty());
    for (size_t i = 1; i < progress.size(); ++i) EXPECT_GT(progress[i].first, progress[i - 1].first);
    EXPECT_EQ(progress.back(), std::make_pair(int64_t(payload.size()), int64_t(payload.size())));
    EXPECT_EQ(person.Opened, (std::vector<std::string>{person.SaveAs}));
    EXPECT_TRUE(Application->Terminated());  // the program makes way for the update
}

TEST(WebFileInfoFlow, DownloadOfUnknownLengthEndsWithTheConnection) {
    const std::string payload(20000, 'n');
    UpdateServer site("3.0.02", Answer("200 OK", "", payload, false));
    QTemporaryDir dir;
    Person person;
    person.SaveAs = dir.filePath("setup.zip").toStdString();
    person.Answers = {{"Update Available", IDYES}, {"Install Update", IDNO}};
    auto w = InfoFor(site.server.Url("/info.htm"));
    std::string shown;
    int bar = -1;
    w->OnDownloadProgress = [&](TObject*, int64_t, int64_t total) {
        EXPECT_EQ(total, -1);
        shown = w->GetProgressWindow()->lblProgress->GetCaption();
        bar = w->GetProgressWindow()->pbarProgress->GetPosition();
    };
    EXPECT_TRUE(w->CheckForUpdate()) << w->GetLastError();
    EXPECT_EQ(ReadFile(person.SaveAs), payload);
    EXPECT_EQ(shown, "20,000 bytes received.");  // no percentage of an unknown total
    EXPECT_EQ(bar, 0);
    EXPECT_TRUE(person.Opened.empty());  // the user chose not to install now
    EXPECT_FALSE(Application->Terminated());
}

TEST(WebFileInfoFlow, OnlyACompleteDownloadReplacesTheTargetOrRuns) {
    ServerScript trickle = {{"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n", 0, false}};
    for (int i = 0; i < 200; ++i) trickle.push_back({std::string(100, 't'), 10, false});
    struct Row {
        const char* name;
        ServerScript file;
        bool cancel;
        const char* reason;
    } rows[] = {
        {"cut off",
         {{"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(1000, 'c'), 0, true}},
         false,
         "Document incomplete: 1000 of 5000 bytes received"},
        {"error status", Answer("500 Server Error", "", "oops"), false, "Server Error"},
        {"partial content", Answer("206 Partial Content", "", "part"), false, "Partial Content"},
        {"cancelled", trickle, true, "Download cancelled"},
    };
    for (Row& r : rows) {
        UpdateServer site("3.0.02", r.file);
        QTemporaryDir dir;
        Person person;
        person.SaveAs = dir.filePath("setup.exe").toStdString();
        WriteFile(person.SaveAs, "the previous update");
        person.Answers = {{"Update Available", IDYES}, {"Install Update", IDYES}};
        auto w = InfoFor(site.server.Url("/info.htm"));
        w->OnDownloadProgress = [&](TObject*, int64_t received, int64_t) {
            if (r.cancel && received > 1000 && w->GetProgressWindow()) w->GetProgressWindow()->btnCancel->Click();
        };
        EXPECT_FALSE(w->CheckForUpdate()) << r.name;
        EXPECT_EQ(w->GetLastError(), r.reason) << r.name;
        EXPECT_EQ(ReadFile(person.SaveAs), "the previous update") << r.name;
        EXPECT_FALSE(FileExists(person.SaveAs + ".part")) << r.name;
        EXPECT_TRUE(person.Opened.empty()) << r.name;
        ASSERT_FALSE(person.Boxes.empty()) << r.name;
        EXPECT_EQ(person.Boxes.back(),
                  "Download Error: Error occurred while downloading update.\rError: \"" + std::string(r.reason) + ".\"")
            << r.name;
    }
}

TEST(WebFileInfoFlow, NoUpdateAndReadMe) {
    LoopbackServer server;
    server.Scripts["/same.htm"] = Answer("200 OK", "", Meta("version", "3.0.1"));
    server.Scripts["/newer.htm"] = Answer(
        "200 OK", "",
        Meta("version", "3.1") + Meta("readme", server.Url("/readme.txt")) + Meta("readmeext", server.Url("/docs/..")));
    server.Scripts["/readme.txt"] = Answer("200 OK", "", "What is new");
    {
        Person person;
        auto w = InfoFor(server.Url("/same.htm"));
        EXPECT_FALSE(w->CheckForUpdate());
        EXPECT_EQ(person.Boxes, (std::vector<std::string>{"No Update Found: There is no update available."}));
    }
    Person person;
    person.Answers = {{"Update Available", IDYES}};
    auto w = InfoFor(server.Url("/newer.htm"));
    w->GetInfoTags()->ReadMeExtTag = "readmeext";
    TMemo* shown = nullptr;
    std::string text;
    // The read-me window is modal: read it and close it once it shows.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (int i = 0; Screen && !shown && i < Screen->FormCount(); ++i)
            for (int j = 0; j < Screen->Forms(i)->ComponentCount(); ++j)
                if ((shown = dynamic_cast<TMemo*>(Screen->Forms(i)->Components(j)))) {
                    text = shown->GetLines()->Get(0);
                    Screen->Forms(i)->SetModalResult(mrOk);
                    break;
                }
    });
    poll.start(20);
    EXPECT_TRUE(w->ShowReadMe(true));
    EXPECT_EQ(text, "What is new");
    // A server's file name that is no bare name is never used as a path.
    ASSERT_GE(person.Boxes.size(), 2u);
    EXPECT_EQ(person.Boxes[1], "Error: Can not start program.");
    EXPECT_TRUE(person.Opened.empty());
}

TEST(WebFileInfoFlow, ProgressTextsAndNames) {
    struct Row {
        int64_t received, total;
        int percent;
    } rows[] = {{0, 100, 0},
                {50, 100, 50},
                {100, 100, 100},
                {5, 0, -1},
                {5, -1, -1},
                {INT64_MAX / 2, INT64_MAX, 49},
                {3000000000LL, 6000000000LL, 50}};
    for (const Row& r : rows)
        EXPECT_EQ(DownloadPercent(r.received, r.total), r.percent) << r.received << "/" << r.total;
    EXPECT_EQ(GroupedCount(1048576), "1,048,576");
    EXPECT_EQ(GroupedCount(999), "999");
    EXPECT_EQ(GroupedCount(1000), "1,000");
    const std::pair<const char*, const char*> names[] = {
        {"http://h/a/readme.txt", "readme.txt"}, {"..\\..\\evil.exe", "evil.exe"}, {"http://h/docs/..", ""},
        {"C:readme.txt", "readme.txt"},          {"plain.txt", "plain.txt"},
    };
    for (const auto& [in, out] : names) EXPECT_EQ(BareFileName(in), out) << in;
}

}  // namespace
