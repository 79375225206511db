#include <QTimer>

#include "MainWindowFixture.h"
#include "../update/LoopbackServer.h"
#include "WUpdate.h"
#include "WebFileInfo.h"

namespace {

using MainUpdateTest = MainWindowTest;

TEST_F(MainUpdateTest, UpdateButtonShowsTheWindowOverTheMainWindowAndReleasesIt) {
    LoopbackServer server;
    server.Scripts["*"] = Answer(
        "200 OK", "", "<META HTTP-EQUIV=\"version\" CONTENT=\"3.0.02\">\r\n");
    Create();
    auto* info = C<TWebFileInfo>("WebFileInfo");
    ASSERT_NE(info, nullptr);
    info->SetHomeURL(server.Url("/calculator/tavo.htm?source=mirkane"));
    bool shown = false, retrieveShown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!frmUpdate || !frmUpdate->FormState.Contains(fsModal) || shown) return;
        // Checks unless the activation's check runs (this may fire inside its wait).
        frmUpdate->CheckUpdate(frmUpdate->btnCheckForUpdate);
        if (frmUpdate->lblUpdateStatus->GetCaption() == "Update Status:  Unknown") return;
        shown = true;
        retrieveShown = frmUpdate->btnRetrieveUpdate->GetVisible();
        frmUpdate->Close();
    });
    poll.start(20);
    C<TControl>("btnUpdate")->Click();
    ASSERT_TRUE(shown) << "the update window was not shown";
    EXPECT_TRUE(retrieveShown);
    EXPECT_GE(server.Requests.size(), 1u);
    ASSERT_TRUE(RunUntil([] { return frmUpdate == nullptr; }, 3000)) << "the window was not released";
}

TEST_F(MainUpdateTest, ModalWindowsOpenAtTheCentreOfTheMainWindowUnclamped) {
    Create();
    struct Row {
        int left, top, width, height;
    } rows[] = {{10, 20, 611, 480}, {0, 0, 200, 100}};  // the second is narrower than the window
    for (const Row& r : rows) {
        Form->SetBounds(r.left, r.top, r.width, r.height);
        auto* w = new TForm(nullptr);
        w->SetBorderStyle(bsDialog);
        w->SetClientSize(310, 165);
        int left = -1, top = -1;
        // Where the window is when it appears, before any window manager has a say.
        w->OnShow = [&](TObject*) {
            left = w->GetLeft();
            top = w->GetTop();
            QTimer::singleShot(0, [w] { w->Close(); });
        };
        const int width = w->GetWidth(), height = w->GetHeight();
        Form->ShowCentredModal(w);
        EXPECT_EQ(left, r.left + (r.width - width) / 2);
        EXPECT_EQ(top, r.top + (r.height - height) / 2);
        RunUntil([] { return false; }, 50);  // the release
    }
}

} // namespace
