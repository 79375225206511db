#include <QImage>
#include <QTimer>

#include "ControlImage.h"
#include "MainWindowFixture.h"
#include "grBtns.h"
#include "../update/LoopbackServer.h"
#include "WUpdate.h"
#include "WebFileInfo.h"

namespace {

using MainUpdateTest = MainWindowTest;

TEST_F(MainUpdateTest, UpdateButtonShowsTheWindowOverTheMainWindowAndReleasesIt) {
    LoopbackServer server;
    server.Scripts["*"] = Answer("200 OK", "", "<META HTTP-EQUIV=\"version\" CONTENT=\"3.0.02\">\r\n");
    Create();
    auto* info = C<TWebFileInfo>("WebFileInfo");
    ASSERT_NE(info, nullptr);
    info->SetHomeURL(server.Url("/calculator/tavo.htm?source=mirkane"));
    bool shown = false, retrieveShown = false;
    int left = -1, top = -1, width = 0, height = 0;
    std::vector<QImage> buttons;
    int pictureWidth = 0, pictureHeight = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!frmUpdate || !frmUpdate->FormState.Contains(fsModal) || shown) return;
        left = frmUpdate->GetLeft();
        top = frmUpdate->GetTop();
        width = frmUpdate->GetWidth();
        height = frmUpdate->GetHeight();
        // Checks unless the activation's check runs (this may fire inside its wait).
        frmUpdate->CheckUpdate(frmUpdate->btnCheckForUpdate);
        if (frmUpdate->lblUpdateStatus->GetCaption() == "Update Status:  Unknown") return;
        shown = true;
        retrieveShown = frmUpdate->btnRetrieveUpdate->GetVisible();
        for (TControl* b : {frmUpdate->btnCheckForUpdate, frmUpdate->btnRetrieveUpdate, frmUpdate->btnClose})
            buttons.push_back(RenderGraphicControl(dynamic_cast<TGraphicControl*>(b)));
        if (auto* image = dynamic_cast<TImage*>(frmUpdate->FindComponent("Image1"))) {
            pictureWidth = image->GetPicture()->GetWidth();
            pictureHeight = image->GetPicture()->GetHeight();
        }
        frmUpdate->Close();
    });
    poll.start(20);
    // Away from the screen's centre, so that centring on the screen would show.
    Form->SetBounds(7, 9, Form->GetWidth(), Form->GetHeight());
    C<TControl>("btnUpdate")->Click();
    ASSERT_TRUE(shown) << "the update window was not shown";
    EXPECT_TRUE(retrieveShown);
    EXPECT_GE(server.Requests.size(), 1u);
    // Placed over the main window by its opener, not re-centred on the screen
    // when shown (read once shown, so the window system's frame may shift it a little).
    EXPECT_NEAR(left, Form->GetLeft() + (Form->GetWidth() - width) / 2, 3);
    EXPECT_NEAR(top, Form->GetTop() + (Form->GetHeight() - height) / 2, 3);
    EXPECT_EQ(pictureWidth, 144);
    EXPECT_EQ(pictureHeight, 155);
    // Each button shows its picture in its own colours, its ground left out.
    ASSERT_EQ(buttons.size(), 3u);
    const QRgb marks[] = {qRgb(0, 0xFF, 0xFF), qRgb(0, 0xFF, 0), qRgb(0, 0x80, 0)};
    for (size_t i = 0; i < buttons.size(); ++i) {
        int ground = 0, mark = 0;
        for (int y = 0; y < buttons[i].height(); ++y)
            for (int x = 0; x < buttons[i].width(); ++x) {
                const QRgb p = buttons[i].pixel(x, y) & 0xFFFFFF;
                ground += p == (qRgb(0xFF, 0, 0xFF) & 0xFFFFFF);
                mark += p == (marks[i] & 0xFFFFFF);
            }
        EXPECT_EQ(ground, 0) << "button " << i;
        EXPECT_GT(mark, 4) << "button " << i;
    }
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

}  // namespace
