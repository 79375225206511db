// The preview window, the print dialog, the progress window and the speed
// buttons, offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <fstream>
#include <sstream>

#include "PrintTestSupport.h"
#include "RP_PrDlg.h"
#include "RP_Prv.h"
#include "RP_SpeedBtn.h"
#include "TestHooks.h"
#include "grBtns.h"

namespace {

std::string SourceForm(const std::string& name) {
    std::ifstream in(std::string(VARNHOLT_SOURCE_DIR) + "/resources/" + name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class PreviewTest : public PrintFixture {
protected:
    void SetUp() override {
        PrintFixture::SetUp();
        rpFormSource() = SourceForm;
        rpLastScale = 1.0;
        rpLastScaleMode = smFixed;
    }
    // The preview holding the report's pages on a surface `width` pixels wide.
    void Open(int width = 800, int height = 600) {
        preview = std::make_unique<TrpPreviewForm>(nullptr, SourceForm("forms/rpPreview.txt"));
        preview->SetWindowState(wsNormal);
        preview->SetBounds(0, 0, 900, 700);
        int dw = preview->GetWidth() - preview->PaintBox->GetWidth();
        int dh = preview->GetHeight() - preview->PaintBox->GetHeight();
        preview->SetBounds(0, 0, width + dw, height + dh);
        ASSERT_EQ(preview->PaintBox->GetWidth(), width);
        preview->Connect(&report);
        preview->SetButtons();
        preview->InitPreview(true);
    }
    void Zoom(int tag) {
        for (int i = 0; i < preview->ProcMenu->Items()->Count(); ++i)
            if (preview->ProcMenu->Items()->Items(i)->Tag == tag)
                preview->ZoomItemClick(preview->ProcMenu->Items()->Items(i));
    }
    void Key(Word key, TShiftState shift = {}) { preview->FormKeyDown(preview.get(), key, shift); }
    std::unique_ptr<TrpPreviewForm> preview;
};

TEST_F(PreviewTest, ZoomModesScaleAndCaption) {
    SelectPrinter("Print to PDF");
    rpPrinter().SetPrinterIndex(rpPrinter().VirtualPrinterIndex);
    page->ApplyPaperSettings(1, 2159, 2794, 0, 0xFFFF);
    Build(3, 1);
    ASSERT_EQ(report.EMFPages->Page(0).Geometry.Pgw, 779);
    Open(800, 600);
    Zoom(1);  // page width
    EXPECT_DOUBLE_EQ(preview->Scale, 780.0 / 779.0);
    EXPECT_EQ(preview->ZoomBtn->GetCaption(), "100%");
    EXPECT_TRUE(preview->N1->GetChecked());
    EXPECT_EQ(preview->Columns, 1);
    Zoom(2);  // whole page
    EXPECT_DOUBLE_EQ(preview->Scale, 580.0 / 1008.0);
    EXPECT_EQ(preview->ZoomBtn->GetCaption(), "58%");
    Zoom(3);  // two pages, even where two do not fit
    EXPECT_DOUBLE_EQ(preview->Scale, 770.0 / 1558.0);
    EXPECT_EQ(preview->Columns, 2);
    Zoom(50);
    EXPECT_DOUBLE_EQ(preview->Scale, 0.5);
    EXPECT_EQ(preview->ZoomBtn->GetCaption(), "50%");
    // Pages of 390 pixels with 10 around each: two need 810.
    EXPECT_EQ(preview->Columns, 1);
    Open(810, 600);
    Zoom(50);
    EXPECT_EQ(preview->Columns, 2);
    EXPECT_EQ(preview->EMFPages->Page(1).R.Left, 10 + 390 + 10);
    EXPECT_EQ(preview->EMFPages->Page(2).R.Top, 10 + 504 + 10);
    // The zoom carries over to the next preview.
    EXPECT_EQ(rpLastScale, 0.5);
    EXPECT_EQ(rpLastScaleMode, smFixed);
}

TEST_F(PreviewTest, OneColumnCentresNarrowPagesAndScrollRangeFollowsTheRightEdge) {
    rpPrinter().SetPrinterIndex(rpPrinter().VirtualPrinterIndex);
    page->ApplyPaperSettings(1, 2159, 2794, 0, 0xFFFF);
    Build(2, 1);
    Open(800, 600);
    Zoom(100);
    // 779 + 20 does not fit twice: one column, centred.
    EXPECT_EQ(preview->Columns, 1);
    EXPECT_EQ(preview->EMFPages->Page(0).R.Left, (800 - 779) / 2);
    EXPECT_FALSE(preview->HScrollBar->GetEnabled());
    Open(700, 600);  // a page wider than the surface starts at 10 and scrolls
    Zoom(100);
    EXPECT_EQ(preview->EMFPages->Page(0).R.Left, 10);
    EXPECT_EQ(preview->HScrollBar->GetMax(), 10 + 779 - 700 + 10);
    EXPECT_TRUE(preview->HScrollBar->GetEnabled());
}

TEST_F(PreviewTest, NavigationKeysAndStatusLine) {
    Build(12, 1);
    Open();
    Zoom(50);
    EXPECT_EQ(preview->Label1->GetCaption(), "Page 1/12");
    preview->PgDownClick(nullptr);
    preview->PgDownClick(nullptr);
    EXPECT_EQ(preview->CurPage, 3);
    EXPECT_EQ(preview->Label1->GetCaption(), "Page 3/12");
    Key(VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(preview->Label1->GetCaption(), "Page 12/12");
    preview->PgDownClick(nullptr);
    EXPECT_EQ(preview->CurPage, 12);
    Key(VK_PRIOR, TShiftState{ssCtrl});
    EXPECT_EQ(preview->CurPage, 11);
    Key(VK_HOME, TShiftState{ssCtrl});
    EXPECT_EQ(preview->VScrollBar->GetPosition(), 0);
    EXPECT_EQ(preview->CurPage, 1);
    // Scrolling makes the page under the top line current.
    int top = preview->EMFPages->Page(4).R.Top;
    preview->VScrollBar->SetPosition(top);
    EXPECT_EQ(preview->CurPage, 5);
    Word down = VK_DOWN;
    preview->FormKeyDown(preview.get(), down, {});
    EXPECT_EQ(down, 0);  // handled keys are consumed
    EXPECT_EQ(preview->VScrollBar->GetPosition(), top + 10);
    Word other = 'X';
    preview->FormKeyDown(preview.get(), other, {});
    EXPECT_EQ(other, 'X');
    preview->FormKeyDown(preview.get(), other, TShiftState{ssCtrl});
    EXPECT_EQ(other, 0);
}

TEST_F(PreviewTest, FindWalksTextRecordsThenPages) {
    AddPage(page, std::vector<std::string>{"alpha one", "beta", "Alpha two"});
    AddPage(page, "nothing here");
    AddPage(page, "last ALPHA");
    Open();
    preview->FindText = "ALPHA";
    preview->CaseSensitive = false;
    preview->FindPage = preview->FindPos = 0;
    std::vector<std::pair<int, int>> hits;  // page, record top
    for (int i = 0; i < 4; ++i) {
        preview->FindInText();
        if (!preview->Found) break;
        hits.push_back({preview->CurPage, preview->FoundRect.Top});
    }
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].first, 1);
    EXPECT_EQ(hits[1].first, 1);
    EXPECT_LT(hits[0].second, hits[1].second);
    EXPECT_EQ(hits[2].first, 3);
    EXPECT_FALSE(preview->Found);
    // Case-sensitive search finds only the exact text.
    preview->FindText = "Alpha";
    preview->CaseSensitive = true;
    preview->FindPage = preview->FindPos = 0;
    preview->FindInText();
    ASSERT_TRUE(preview->Found);
    EXPECT_EQ(preview->FoundRect.Top, hits[1].second);
}

TEST_F(PreviewTest, FailedOpenLeavesThePreviewWholeAndSaysSoOnce) {
    Build(3, 1);
    Open();
    std::string bad = dir + "/bad.rpp";
    std::ofstream(bad) << "not a prepared report";
    auto previous = SetFileDialogHook([&](TOpenDialog& d) {
        d.FileName = bad;
        return true;
    });
    MessageBoxRecorder boxes;
    preview->LoadBtnClick(nullptr);
    SetFileDialogHook(previous);
    EXPECT_EQ(boxes.Texts.size(), 1u);
    EXPECT_EQ(preview->PageCount(), 3);
    EXPECT_EQ(preview->Label1->GetCaption(), "Page 1/3");
    EXPECT_EQ(report.EMFPages->Count(), 0);  // the preview still holds the pages
    EXPECT_TRUE(report.Rebuildable);
}

TEST_F(PreviewTest, SaveAndOpenRoundTripAndFilePagesAreNotRebuilt) {
    Build(2, 1);
    Open();
    std::string file = dir + "/report";
    auto previous = SetFileDialogHook([&](TOpenDialog& d) {
        d.FileName = file;
        return true;
    });
    MessageBoxRecorder boxes;
    preview->SaveBtnClick(nullptr);
    EXPECT_EQ(preview->PageCount(), 2);
    file += ".rpp";
    AddPage(page, "extra");  // lands in the report's empty list; the open replaces it
    preview->LoadBtnClick(nullptr);
    SetFileDialogHook(previous);
    EXPECT_TRUE(boxes.Texts.empty());
    EXPECT_EQ(preview->PageCount(), 2);
    EXPECT_FALSE(report.Rebuildable);
    // Page setup keeps pages read from a file as they are.
    auto setup = SetPageSetupHook([](TPageSetupChoice&) { return true; });
    SelectPrinter("Print to PDF");
    int built = 0;
    report.OnBeginDoc = [&] { ++built; };
    preview->PageSetupBtnClick(nullptr);
    SetPageSetupHook(setup);
    EXPECT_EQ(built, 0);
    EXPECT_EQ(preview->PageCount(), 2);
}

// Page set-up shows the first page's margins in hundredths of a millimetre;
// on OK every report page takes the chosen margins, paper and orientation and
// the report is built again on them.
TEST_F(PreviewTest, PageSetupGivesThePagesItsMarginsAndPaper) {
    page->LeftMargin = 36;  // page pixels
    page->TopMargin = 18;
    Build(1, 1);
    Open();
    TPageSetupChoice shown;
    auto previous = SetPageSetupHook([&](TPageSetupChoice& choice) {
        shown = choice;
        choice.DevMode.PaperSize = DMPAPER_A4;
        choice.DevMode.Orientation = DMORIENT_LANDSCAPE;
        choice.Margins = TRect{1500, 1000, 2000, 500};
        return true;
    });
    int built = 0;
    report.OnBeginDoc = [&] { ++built; };
    preview->PageSetupBtnClick(nullptr);
    SetPageSetupHook(previous);
    EXPECT_EQ(shown.Margins, (TRect{1000, 500, 0, 0}));
    EXPECT_EQ(built, 1);
    ASSERT_EQ(report.Pages->Count(), 1);
    TrpPage* set = report.Pages->Pages(0);
    EXPECT_EQ(set->LeftMargin, 54);
    EXPECT_EQ(set->TopMargin, 36);
    EXPECT_EQ(set->RightMargin, 72);
    EXPECT_EQ(set->BottomMargin, 18);
    EXPECT_EQ(set->Size, DMPAPER_A4);
    EXPECT_EQ(set->Orientation, 1);
    ASSERT_GE(preview->PageCount(), 1);
    EXPECT_EQ(preview->EMFPages->Page(0).PaperSize, DMPAPER_A4);
    EXPECT_GT(preview->EMFPages->Page(0).Geometry.Pgw, preview->EMFPages->Page(0).Geometry.Pgh);
    EXPECT_EQ(preview->EMFPages->Page(0).Margins, (TRect{54, 36, 72, 18}));
}

TEST_F(PreviewTest, PrintedPreviewLooksLikeThePdf) {
    // A person's check in numbers: the preview at 100% draws the text where the PDF has it.
    Build(1, 3);
    PrintToPdf("", 1, false, pwAll);
    ASSERT_EQ(PdfPageTexts(), (std::vector<std::string>{"Row 0\nRow 1\nRow 2"}));
    Open(900, 1100);
    Zoom(100);
    TBitmap shot;
    shot.SetSize(900, 1100);
    preview->PaintAllowed = true;
    TCanvas* c = shot.GetCanvas();
    TRect r = preview->EMFPages->Page(0).R;
    c->GetBrush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 900, 1100});
    preview->EMFPages->Page(0).Visible = true;
    preview->EMFPages->Draw(0, c, r);
    int dark = 0;
    for (int y = r.Top + 40; y < r.Top + 40 + 24 * 3; ++y)
        for (int x = r.Left + 60; x < r.Left + 200; ++x)
            if ((int(c->GetPixel(x, y)) & 0xFF) < 128) ++dark;
    EXPECT_GT(dark, 50);
}

// Scrolling moves the painted pages and paints the uncovered strip with the
// new offsets, so the surface shows what a full paint shows.
TEST_F(PreviewTest, ScrolledSurfaceShowsWhatAFullPaintShows) {
    Build(3, 30);
    Open(500, 400);
    Zoom(150);
    static_cast<TForm*>(preview.get())->Show();
    QWidget* surface = preview->PaintBox->Widget();
    auto shown = [&] {
        QCoreApplication::processEvents();
        QWidget* top = surface->window();
        QPoint at = surface->mapTo(top, QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(top->winId(), at.x(), at.y(), surface->width(), surface->height())
            .toImage();
    };
    QImage before = shown();
    ASSERT_FALSE(before.isNull());
    struct Row {
        int dx, dy;
    };
    const Row rows[] = {{0, 37}, {0, 10}, {23, 0}, {-7, -31}, {0, 300}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.dx) + "," + std::to_string(r.dy));
        preview->HScrollBar->SetPosition(preview->HScrollBar->GetPosition() + r.dx);
        preview->VScrollBar->SetPosition(preview->VScrollBar->GetPosition() + r.dy);
        QImage scrolled = shown();
        EXPECT_NE(scrolled, before);
        preview->PaintBox->Invalidate();
        QImage full = shown();
        EXPECT_EQ(scrolled, full);
        before = full;
    }
}

// Arrow keys and the wheel over the pages reach the shown preview's handlers
// (the wheel would otherwise end in the scroll box under the pages).
TEST_F(PreviewTest, ArrowKeysAndWheelScrollTheShownPreview) {
    Build(3, 1);
    Open(500, 400);
    static_cast<TForm*>(preview.get())->Show();
    QTest::keyClick(preview->PaintBox->Widget(), Qt::Key_Down);
    QTest::keyClick(preview->PaintBox->Widget(), Qt::Key_Down);
    EXPECT_EQ(preview->VScrollBar->GetPosition(), 20);
    QWidget* surface = preview->PaintBox->Widget();
    auto wheel = [&](int delta) {
        QPointF at(50, 50);
        QWheelEvent event(at, surface->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface, &event);
    };
    wheel(-120);
    EXPECT_EQ(preview->VScrollBar->GetPosition(), 30);
    wheel(120);
    wheel(120);
    EXPECT_EQ(preview->VScrollBar->GetPosition(), 10);
}

// The help button's cursor: the next click asks for the pop-up help of the
// control's tag instead of reaching the control.
TEST_F(PreviewTest, HelpButtonAsksForTheClickedControlsTopic) {
    Build(2, 1);
    Open(500, 400);
    static_cast<TForm*>(preview.get())->Show();
    std::vector<std::pair<unsigned, intptr_t>> asked;
    THelpService previous = SetHelpService([&](const std::string&, unsigned cmd, intptr_t data) {
        asked.push_back({cmd, data});
        return true;
    });
    struct RestoreHelp {
        THelpService service;
        ~RestoreHelp() { SetHelpService(service); }
    } restoreHelp{previous};
    preview->HelpBtnClick(nullptr);
    EXPECT_EQ(Screen->GetCursor(), crHelp);
    QTest::mouseClick(preview->PaintBox->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    EXPECT_FALSE(preview->PaintBox->Down) << "the click started no drag";
    preview->HelpBtnClick(nullptr);
    QTest::mouseClick(preview->BPanel->Widget(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(preview->Label1->GetLeft() + 2, preview->Label1->GetTop() + 2));
    EXPECT_EQ(asked, (std::vector<std::pair<unsigned, intptr_t>>{{HELP_CONTEXTPOPUP, 207}, {HELP_CONTEXTPOPUP, 206}}));
}

// ------------------------------------------------------------ dialogs

TEST_F(PreviewTest, PrintDialogChecksCopiesAndPagesOnOk) {
    TrpPrintForm dialog(nullptr, SourceForm("forms/rpPrint.txt"));
    EXPECT_EQ(dialog.GetCaption(), "Print");
    EXPECT_EQ(dialog.CB2->GetItems()->Count(), 3);
    EXPECT_EQ(dialog.CB1->GetItems()->Count(), rpPrinter().VirtualPrinterIndex);
    MessageBoxRecorder boxes;
    struct Row {
        const char* copies;
        bool pages;
        const char* list;
        bool ok;
    };
    const Row rows[] = {
        {"1", false, "", true},    {"3", true, "1,3-5", true}, {"0", false, "", false},   {"x", false, "", false},
        {"2.5", false, "", false}, {"2", true, "1,a", false},  {"2", false, "1,a", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.copies) + " / " + r.list);
        dialog.E1->SetText(r.copies);
        dialog.E2->SetText(r.list);
        (r.pages ? dialog.RB3 : dialog.RB1)->SetChecked(true);
        dialog.SetModalResult(mrOk);
        bool canClose = true;
        size_t before = boxes.Texts.size();
        dialog.FormCloseQuery(&dialog, canClose);
        EXPECT_EQ(canClose, r.ok);
        EXPECT_EQ(boxes.Texts.size(), before + (r.ok ? 0 : 1));
    }
    // Cancel is never held back.
    dialog.E1->SetText("x");
    dialog.SetModalResult(mrCancel);
    bool canClose = true;
    dialog.FormCloseQuery(&dialog, canClose);
    EXPECT_TRUE(canClose);
}

TEST_F(PreviewTest, CopiesArrowsStopAtOneAndCancelRestoresThePrinter) {
    SelectPrinter("Print to PDF");
    const int pdfIndex = rpPrinter().PrinterIndex;
    TrpPrintForm dialog(nullptr, SourceForm("forms/rpPrint.txt"));
    dialog.E1->SetText("1");
    dialog.CopiesDown(nullptr);
    EXPECT_EQ(dialog.E1->GetText(), "1");
    dialog.CopiesUp(nullptr);
    dialog.CopiesUp(nullptr);
    EXPECT_EQ(dialog.E1->GetText(), "3");
    dialog.E1->SetText("many");
    EXPECT_THROW(dialog.CopiesUp(nullptr), EConvertError);
    EXPECT_EQ(dialog.OldIndex, pdfIndex);
    rpPrinter().SetPrinterIndex(rpPrinter().VirtualPrinterIndex);  // as if another was chosen
    dialog.SetModalResult(mrCancel);
    dialog.FormDeactivate(nullptr);
    EXPECT_EQ(rpPrinter().PrinterIndex, pdfIndex);
}

// The collate picture follows the check box: two sets of pages 1-2-3 when
// collated, pages 1-1, 2-2, 3-3 when not; the pictures' silver lets the face through.
TEST_F(PreviewTest, CollatePictureFollowsTheCheckBox) {
    TrpPrintForm dialog(nullptr, SourceForm("forms/rpPrint.txt"));
    auto paint = [&] {
        QImage image(dialog.PB1->GetWidth(), dialog.PB1->GetHeight(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        dialog.PB1->PaintTo(painter);
        return image;
    };
    auto at = [](const QImage& image, int x, int y) { return QColorToColor(image.pixelColor(x, y)); };
    const TColor face = ColorToRGB(clBtnFace);
    ASSERT_TRUE(dialog.CollateCB->GetChecked());
    QImage collated = paint();
    // The first set's back page has its corner at (2, 6) of the picture, placed 8 to the right.
    EXPECT_EQ(at(collated, 10, 6), clBlack);
    EXPECT_EQ(at(collated, 2, 11), face);
    EXPECT_EQ(at(collated, 0, 0), face);
    dialog.Label3Click(nullptr);
    EXPECT_FALSE(dialog.CollateCB->GetChecked());
    QImage separate = paint();
    // The first pair's back page has its corner at (2, 3), placed 8 down.
    EXPECT_EQ(at(separate, 2, 11), clBlack);
    EXPECT_EQ(at(separate, 10, 6), face);
    EXPECT_EQ(at(separate, 91, 52), face);
}

// Each printer of the list shows the printer icon, whose olive lets the item's colour through.
TEST_F(PreviewTest, PrinterListShowsTheIconBeforeEachName) {
    TrpPrintForm dialog(nullptr, SourceForm("forms/rpPrint.txt"));
    ASSERT_EQ(dialog.CB1->GetStyle(), csOwnerDrawFixed);
    ASSERT_GE(dialog.CB1->GetItemIndex(), 0);
    QImage image = dialog.CB1->Widget()->grab().toImage();
    int light = 0, olive = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            TColor c = QColorToColor(image.pixelColor(x, y));
            light += c == TColor(0x00A000);  // the icon's ready light
            olive += c == clOlive;
        }
    EXPECT_EQ(light, 2);
    EXPECT_EQ(olive, 0);
}

TEST_F(PreviewTest, FailedJobClosesTheProgressWindowAndPassesItsErrorOn) {
    TrpProgressForm progress(nullptr, SourceForm("forms/rpProgress.txt"));
    progress.OnWork = [](TObject*) { throw EPrinter("paper jam"); };
    try {
        progress.ShowAndRun(&report);
        FAIL() << "no error";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message, "paper jam");
    }
    EXPECT_FALSE(progress.GetVisible());
    EXPECT_EQ(progress.Button1->GetCaption(), "Cancel");
    // A job that finishes ends the window with OK.
    progress.OnWork = [&](TObject*) { progress.SetModalResult(mrOk); };
    EXPECT_EQ(progress.ShowAndRun(&report), mrOk);
}

// The engine's windows installed for one test; the hooks every report
// starts with come back as they were, whatever the test's end.
class InstalledWindows {
public:
    InstalledWindows()
        : FHooks(rpDefaultWindowHooks()), FInputBox(rpDefaultInputBox()), FPrinterLink(rpPrinterLinkFactory()) {
        rpInstallWindows();
    }
    ~InstalledWindows() {
        rpDefaultWindowHooks() = FHooks;
        rpDefaultInputBox() = FInputBox;
        rpPrinterLinkFactory() = FPrinterLink;
    }
    InstalledWindows(const InstalledWindows&) = delete;
    InstalledWindows& operator=(const InstalledWindows&) = delete;

private:
    TrpWindowHooks FHooks;
    TrpInputBoxHook FInputBox;
    TrpPrinterLinkFactory FPrinterLink;
};

TEST_F(PreviewTest, PrintThroughTheProgressWindow) {
    InstalledWindows installed;
    report.Windows = rpDefaultWindowHooks();  // the report was made before the windows were installed
    Build(3, 1);
    Printer()->FileName = pdf;
    report.ShowProgress = true;
    report.PrintPreparedReport("2-", 1, false, pwAll);
    Printer()->FileName.clear();
    EXPECT_EQ(PdfPageTexts(), (std::vector<std::string>{"Row 1", "Row 2"}));
}

TEST_F(PreviewTest, InstalledInputBoxAsksThePersonAndKeepsTheDefaultOnCancel) {
    InstalledWindows installed;
    std::string asked;
    bool answer = true;
    auto previous = SetInputQueryHook([&](const std::string&, const std::string& prompt, std::string& value) {
        asked = prompt + "=" + value;
        if (answer) value = "42";
        return answer;
    });
    TrpReport fresh(nullptr);
    EXPECT_EQ(VarToStr(fresh.Context().Calc("INPUT('Rate?', '7')")), "42");
    EXPECT_EQ(asked, "Rate?=7");
    answer = false;
    EXPECT_EQ(VarToStr(fresh.Context().Calc("INPUT('Rate?', '7')")), "7");
    SetInputQueryHook(previous);
}

// ------------------------------------------------------------ speed buttons

TEST(SpeedButtonTest, GlyphStripsGroupsAndGreyInactiveGlyph) {
    EnsureGuiApp();
    TForm form(nullptr);
    auto* a = new TrpSpeedButton(&form);
    auto* b = new TrpSpeedButton(&form);
    a->SetParent(&form);
    b->SetParent(&form);
    TBitmap strip;
    strip.SetSize(64, 16);
    a->SetGlyph(&strip);
    EXPECT_EQ(a->GetNumGlyphs(), 4);
    strip.SetSize(80, 16);
    a->SetGlyph(&strip);
    EXPECT_EQ(a->GetNumGlyphs(), 1);
    a->SetMargin(-5);
    EXPECT_EQ(a->GetMargin(), -1);
    a->SetDown(true);
    EXPECT_FALSE(a->GetDown());  // no group
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->GetDown());
    EXPECT_TRUE(b->GetDown());
    b->SetDown(false);
    EXPECT_TRUE(b->GetDown());  // a group needs AllowAllUp to be left empty
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp);
    b->SetDown(false);
    EXPECT_FALSE(b->GetDown());

    TButtonGlyph glyph;
    TBitmap red;
    red.SetSize(16, 16);
    red.GetCanvas()->GetBrush()->SetColor(TColor(0x008080));
    red.GetCanvas()->FillRect(TRect{0, 0, 16, 16});
    red.GetCanvas()->GetBrush()->SetColor(clRed);
    red.GetCanvas()->FillRect(TRect{4, 4, 12, 12});
    glyph.SetGlyph(&red);
    TBitmap* inactive = glyph.StateImage(rbsInactive);
    TBitmap* up = glyph.StateImage(rbsUp);
    const int level = 77 * 255 / 256;
    EXPECT_EQ(int(inactive->GetCanvas()->GetPixel(8, 8)) & 0xFFFFFF, level | level << 8 | level << 16);
    EXPECT_EQ(int(up->GetCanvas()->GetPixel(8, 8)) & 0xFFFFFF, 0x0000FF);
    // Images of one size share one list; it goes with the last of them.
    TButtonGlyph other;
    other.SetGlyph(&red);
    other.StateImage(rbsUp);
    EXPECT_EQ(rpGlyphCache().ListCount(), 1);
    glyph.Invalidate();
    other.Invalidate();
    EXPECT_EQ(rpGlyphCache().ListCount(), 0);
}

}  // namespace
