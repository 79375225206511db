#include <gtest/gtest.h>

#include <QFile>

#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "LoopbackServer.h"
#include "PlatformClasses.h"
#include "WUpdate.h"
#include "WebFileInfo.h"
#include "grBtns.h"

namespace {

std::string Definition() {
    QFile f(VARNHOLT_SOURCE_DIR "/resources/forms/WUpdate.txt");
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

std::string Meta(const std::string& tag, const std::string& content) {
    return "<META HTTP-EQUIV=\"" + tag + "\" CONTENT=\"" + content + "\">\r\n";
}

// The update window over an info component pointed at a loopback page.
struct UpdateWindow {
    explicit UpdateWindow(const std::string& home) {
        EnsureGuiApp();
        RegisterPlatformClasses();
        RegisterGrBtnsClasses();
        Info = std::make_unique<TWebFileInfo>(nullptr);
        Info->CurrentVersion = "3.0.01";
        Info->GetInfoTags()->VersionTag = "version";
        Info->GetInfoTags()->DateTag = "date";
        Info->GetInfoTags()->DownloadTag = "url";
        Info->SetHomeURL(home);
        FPrevious = SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned) {
            Boxes.push_back(text);
            return int(IDOK);
        });
        Window = std::make_unique<TfrmUpdate>(nullptr, Definition(), Info.get(), [this](TForm*) { ++Centred; });
        Window->AfterConstruction();
    }
    ~UpdateWindow() {
        Window.reset();
        SetMessageBoxHook(FPrevious);
    }
    std::unique_ptr<TWebFileInfo> Info;
    std::unique_ptr<TfrmUpdate> Window;
    std::vector<std::string> Boxes;
    int Centred = 0;

private:
    MessageBoxHook FPrevious;
};

TEST(UpdateWindow, ShowsTheRunningVersionAndWhatThePageOffers) {
    LoopbackServer server;
    server.Scripts["/same.htm"] = Answer("200 OK", "", Meta("version", "3.0.01") + Meta("date", "Jun 07, 2003"));
    server.Scripts["/newer.htm"] = Answer("200 OK", "", Meta("version", "3.0.02") + Meta("url", "http://h/s.exe"));
    {
        UpdateWindow u(server.Url("/same.htm"));
        TfrmUpdate& w = *u.Window;
        EXPECT_EQ(u.Centred, 1);
        EXPECT_EQ(w.lblApplicationName->GetCaption(), "Varnholt");
        EXPECT_EQ(w.lblCurrentVersion->GetCaption(), "3.0.01");
        EXPECT_EQ(w.lblCurrentCompileDate->GetCaption(), "June 7, 2003");
        EXPECT_EQ(w.GetClientRect().Right, 411);
        w.CheckUpdate(&w);
        EXPECT_EQ(w.lblUpdateStatus->GetCaption(), "No Update Available");
        EXPECT_EQ(w.lblUpdateStatus->GetFont()->GetColor(), clRed);
        EXPECT_EQ(w.lblVersion->GetCaption(), "3.0.01");
        EXPECT_EQ(w.lblDate->GetCaption(), "Jun 07, 2003");
        EXPECT_EQ(w.lblVersion->GetFont()->GetColor(), clBlue);
        EXPECT_FALSE(w.btnRetrieveUpdate->GetVisible());
        EXPECT_TRUE(u.Boxes.empty());
    }
    UpdateWindow u(server.Url("/newer.htm"));
    u.Window->CheckUpdate(u.Window->btnCheckForUpdate);
    EXPECT_TRUE(u.Window->btnRetrieveUpdate->GetVisible());
    EXPECT_EQ(u.Window->lblUpdateStatus->GetCaption(), "Update Information");
    EXPECT_EQ(u.Window->lblURL->GetCaption(), "http://h/s.exe");
}

TEST(UpdateWindow, ChecksOnceForActivationsOfAShowing) {
    LoopbackServer server;
    server.Scripts["*"] = Answer("404 Not Found", "", "");
    UpdateWindow u(server.Url("/gone.htm"));
    TfrmUpdate& w = *u.Window;
    // The failure's message box activates the window again; that must not start another check.
    w.CheckUpdate(&w);
    w.CheckUpdate(&w);
    ASSERT_EQ(u.Boxes.size(), 2u);  // the status code, then the failure
    EXPECT_EQ(u.Boxes[1], "Get Info failed due to:\r\nNot Found");
    EXPECT_EQ(server.Requests.size(), 1u);
    EXPECT_EQ(w.lblVersion->GetCaption(), "Status Unknown");
    EXPECT_EQ(w.lblVersion->GetFont()->GetColor(), clSilver);
    EXPECT_EQ(w.lblUpdateStatus->GetCaption(), "Update Status:  Unknown");
    // The button still checks on request.
    w.CheckUpdate(w.btnCheckForUpdate);
    EXPECT_EQ(server.Requests.size(), 2u);
}

}  // namespace
