// The program's start-up order and the splash window.

#include "MainWindowFixture.h"

#include "RP_Class.h"
#include "RP_DSet.h"
#include "WebFileInfo.h"
#include "entmru.h"
#include "entstate.h"
#include "splash.h"
#include "About.h"

#include <QImage>

namespace {

TEST_F(MainWindowTest, StartUpShowsTheSplashThenMakesTheMainWindowTheMainForm) {
    TForm* previousMain = Application->MainForm();
    Application->SetMainForm(nullptr);
    Form = StartProgram();
    ASSERT_NE(SplashScreen, nullptr);
    EXPECT_TRUE(SplashScreen->GetVisible());
    EXPECT_TRUE(SplashScreen->Timer1->GetEnabled());
    EXPECT_EQ(SplashScreen->Timer1->GetInterval(), 5000u);
    EXPECT_EQ(SplashScreen->GetFormStyle(), fsStayOnTop);
    EXPECT_EQ(SplashScreen->GetClientWidth(), 205);
    EXPECT_EQ(SplashScreen->GetClientHeight(), 267);
    EXPECT_EQ(Application->GetTitle(), "Quorvane\xC2\xAE - Varnholt, 3.0.01");
    EXPECT_EQ(Application->MainForm(), Form);
    EXPECT_EQ(frmMain, Form);
    // The main window's creation replaced the development help file.
    EXPECT_EQ(Application->HelpFile, Form->ProgramDir + "lumfig.hlp");

    // The timer closes the splash, which frees itself once its messages are handled.
    SplashScreen->Timer1Timer(SplashScreen->Timer1);
    EXPECT_FALSE(SplashScreen && SplashScreen->Timer1->GetEnabled());
    for (int i = 0; i < 5 && SplashScreen; ++i) Application->ProcessMessages();
    EXPECT_EQ(SplashScreen, nullptr);
    Application->SetMainForm(previousMain);
}

// The image a window places shows a drawing: more than one colour over its
// whole size (a blank white image would be a missing picture).
void ExpectDrawnPicture(TForm* window) {
    auto* image = dynamic_cast<TImage*>(window->FindComponent("Image1"));
    ASSERT_NE(image, nullptr);
    const QImage shown = image->GetPicture()->GetBitmap()->ToImage();
    ASSERT_EQ(shown.size(), QSize(image->GetWidth(), image->GetHeight()));
    int white = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) white += shown.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_GT(white, 0);
    EXPECT_LT(white, shown.width() * shown.height() * 3 / 4);
}

TEST_F(MainWindowTest, SplashAndAboutWindowsShowTheProgramsPicture) {
    TSplashScreen splash(nullptr);
    ExpectDrawnPicture(&splash);
    TAboutBox about(nullptr);
    ExpectDrawnPicture(&about);
}

TEST_F(MainWindowTest, NonVisualComponentsOfTheWindow) {
    Create();
    auto* mru = C<TEntMenuMRU>("mnuFileReopenMRU");
    EXPECT_EQ(mru->GetMaxItems(), 9);
    EXPECT_EQ(mru->GetMenuItem(), C<TMenuItem>("mnuFileReopen"));
    auto* state = C<TEntComponentState>("EntComponentState1");
    EXPECT_EQ(GetPropText(state, "Section"), "MRU");
    EXPECT_EQ(GetPropText(Form, "FileStoreMRU.IniFileName"), "ZEMR.INI");
    EXPECT_EQ(C<TWebFileInfo>("WebFileInfo")->CurrentVersion, "3.0.01");
    EXPECT_EQ(GetPropText(Form, "dlgSave.FileName"), "untitled.qvd");
    EXPECT_EQ(GetPropText(Form, "dlgOpen.Filter"), "Varnholt File (*.qvd)|*.qvd");
    for (const char* name : {"rpLoanComparisons", "rpUnderwriting", "rpAmortMonthly", "rpDepreciation"})
        EXPECT_NE(C<TrpReport>(name), nullptr);
    EXPECT_EQ(C<TrpReport>("rpLSC")->Dataset, C<TrpUserDataset>("rpLSCDataset"));
}

}  // namespace
