// Printing prepared pages: page lists, the order pages reach the printer,
// the printer layer's geometry, and real prints to PDF checked with poppler.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "GuiTestApp.h"
#include "PrintTestSupport.h"
#include "Printers.h"
#include "RP_Class.h"
#include "RP_Prntr.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

class PageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        page = report.Pages->Add();
    }
    void Pages(int n) {
        report.EMFPages->Clear();
        for (int i = 0; i < n; ++i) report.EMFPages->Add(page);
    }
    TrpReport report{nullptr};
    TrpPage* page = nullptr;
};

TEST_F(PageListTest, ListsParseIntoPageNumbers) {
    struct Row {
        int pages;
        const char* text;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {12, "", {}},
        {12, "1, 3 ,5-7", {1, 3, 5, 6, 7}},
        {12, "4-", {4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {12, "6-4", {}},
        {12, "2,2", {2, 2}},
        {5, "3-3,5", {3, 5}},
        // Ranges and numbers beyond the report's pages list only pages it has.
        {3, "1-999999999", {1, 2, 3}},
        {3, "0-2,7", {1, 2}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        Pages(r.pages);
        EXPECT_EQ(report.ParsePageNumbers(r.text), r.expected);
    }
}

TEST_F(PageListTest, PieceThatIsNoNumberRaisesConvertError) {
    Pages(3);
    for (const char* text : {"a", "1,b", "1-x", "1--3"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(report.ParsePageNumbers(text), EConvertError);
    }
}

TEST_F(PageListTest, OrderFollowsCollationCopiesAndParity) {
    Pages(6);
    struct Row {
        const char* list;
        int copies;
        bool collate;
        int which;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {"", 1, false, pwAll, {0, 1, 2, 3, 4, 5}},
        {"", 1, false, pwOdd, {0, 2, 4}},
        {"", 1, false, pwEven, {1, 3, 5}},
        {"2-5", 1, false, pwOdd, {2, 4}},
        // Collated copies repeat the listed pages in order; uncollated ones are the printer's.
        {"1,3", 3, true, pwAll, {0, 2, 0, 2, 0, 2}},
        {"1,3", 3, false, pwAll, {0, 2}},
        {"1,3", 0, true, pwAll, {0, 2}},
        {"6-4", 1, false, pwAll, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.list) + " copies " + std::to_string(r.copies));
        EXPECT_EQ(report.PrintOrder(r.list, r.copies, r.collate, r.which), r.expected);
    }
}

TEST_F(PageListTest, HugeRangeOnSmallReportListsItsPagesAtOnce) {
    Pages(3);
    EXPECT_EQ(report.PrintOrder("1-999999999", 1, false, pwAll), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(report.PrintOrder("2147483647", 1, false, pwAll), std::vector<int>{});
}

// ------------------------------------------------------------ printer layer

TEST(PrinterLayerTest, VirtualPrinterGeometry) {
    TrpPrinter p;
    p.SetPrinter(nullptr);
    ASSERT_TRUE(p.IsVirtual());
    EXPECT_EQ(p.Printers, std::vector<std::string>{"Virtual printer"});
    EXPECT_EQ(p.PaperCount(), 67);
    p.SetPrinterInfo(9, 0, 0, 0xFFFF, 0, true);
    EXPECT_EQ(p.PaperWidth, 2100);
    EXPECT_EQ(p.PaperHeight, 2970);
    TrpPrinterGeometry g;
    p.FillGeometry(g);
    EXPECT_EQ(g.PageWidth, 758);
    EXPECT_EQ(g.PageHeight, 1071);
    EXPECT_EQ(g.PageOffsetX, 18);
    EXPECT_EQ(g.PageOffsetY, 18);
    EXPECT_EQ(g.PagePrintableWidth, 722);
    EXPECT_EQ(g.PagePrintableHeight, 1035);
    p.SetPrinterInfo(9, 0, 0, 0xFFFF, 1, false);
    EXPECT_EQ(p.PaperWidth, 2970);
    EXPECT_EQ(p.PaperHeight, 2100);
    p.SetPrinterInfo(1, 0, 0, 0xFFFF, 0, false);
    p.FillGeometry(g);
    EXPECT_EQ(g.PageWidth, 779);
    EXPECT_EQ(g.PageHeight, 1008);
}

TEST(PrinterLayerTest, PaperEquality) {
    TrpPrinter p;
    p.SetPrinter(nullptr);
    p.SetPrinterInfo(256, 2000, 1000, 3, 0, true);
    EXPECT_EQ(p.PaperWidth, 2000);  // a size of its own stays as given
    EXPECT_TRUE(p.IsEqual(256, 2001, 999, 7, 0));
    EXPECT_FALSE(p.IsEqual(256, 2002, 1000, 3, 0));
    EXPECT_FALSE(p.IsEqual(256, 2000, 1000, 3, 1));
    p.SetPrinterInfo(9, 0, 0, 3, 0, true);
    EXPECT_TRUE(p.IsEqual(9, 0, 0, 3, 0));
    EXPECT_TRUE(p.IsEqual(9, 0, 0, 0xFFFF, 0));
    EXPECT_TRUE(p.IsEqual(9, 0, 0, -1, 0));
    EXPECT_FALSE(p.IsEqual(9, 0, 0, 2, 0));
    EXPECT_FALSE(p.IsEqual(1, 0, 0, 3, 0));
}

TEST(PrinterLayerTest, SystemPrintersComeFirstAndPdfPrinterHasRealGeometry) {
    PrinterStateGuard restore;
    TrpPrinter p;
    p.SetPrinter(Printer());
    ASSERT_GE(p.VirtualPrinterIndex, 1);
    EXPECT_EQ(p.Printers.back(), "Virtual printer");
    EXPECT_EQ(p.Printers[size_t(p.VirtualPrinterIndex - 1)], "Print to PDF");
    p.SetPrinterIndex(p.VirtualPrinterIndex - 1);
    p.SetPrinterInfo(1, 0, 0, 0xFFFF, 0, true);
    EXPECT_EQ(p.PaperSize, 1);
    EXPECT_EQ(p.PaperWidth, 2159);
    EXPECT_EQ(p.PaperHeight, 2794);
    // The paper list is the printer's own and as long as it says.
    EXPECT_EQ(p.PaperIds.size(), p.PaperNames.size());
    EXPECT_GT(p.PaperCount(), 20);
    TrpPrinterGeometry g;
    p.FillGeometry(g);
    EXPECT_EQ(g.DeviceWidth, 5100);  // 8.5 in at 600 pixels per inch
    EXPECT_EQ(g.PageWidth, 779);
    EXPECT_EQ(g.PageOffsetX, 0);
    EXPECT_EQ(g.PagePrintableWidth, 779);
    // The paper read back is the device's, rounded to its pixels.
    p.SetPrinterInfo(9, 0, 0, 0xFFFF, 1, false);
    EXPECT_EQ(p.PaperSize, 9);
    EXPECT_NEAR(p.PaperWidth, 2970, 1);
    EXPECT_NEAR(p.PaperHeight, 2100, 1);
    // Selecting the printer already selected leaves everything as it is.
    p.PaperWidth = 1;
    p.SetPrinterIndex(p.PrinterIndex);
    EXPECT_EQ(p.PaperWidth, 1);
}

// ------------------------------------------------------------ printing

class PdfPrintTest : public PrintFixture {};

TEST_F(PdfPrintTest, PrintsEveryPageWithItsText) {
    Build(3, 2);
    PrintToPdf("", 1, false, pwAll);
    EXPECT_EQ(PdfPageCount(), 3);
    EXPECT_EQ(PdfPageSizes(), std::vector<std::string>(3, "612 x 792"));
    std::string text = PdfText();
    for (const char* row : {"Row 0", "Row 1", "Row 4", "Row 5"}) EXPECT_NE(text.find(row), std::string::npos) << row;
    EXPECT_LT(text.find("Row 1"), text.find("Row 2"));
    EXPECT_EQ(Printer()->Title, "Untitled");
    EXPECT_FALSE(Printer()->Printing());
}

TEST_F(PdfPrintTest, ListedPagesOddEvenAndCollatedCopies) {
    Build(5, 1);
    struct Row {
        const char* list;
        int copies;
        bool collate;
        int which;
        std::vector<std::string> rows;
    };
    const Row rows[] = {
        {"2,4-", 1, false, pwAll, {"Row 1", "Row 3", "Row 4"}},
        {"", 1, false, pwOdd, {"Row 0", "Row 2", "Row 4"}},
        {"1-4", 1, false, pwEven, {"Row 1", "Row 3"}},
        {"1,2", 2, true, pwAll, {"Row 0", "Row 1", "Row 0", "Row 1"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.list);
        PrintToPdf(r.list, r.copies, r.collate, r.which);
        EXPECT_EQ(PdfPageTexts(), r.rows);
    }
}

TEST_F(PdfPrintTest, PrinterGetsCopiesOnlyWhenNotCollating) {
    Build(2, 1);
    PrintToPdf("", 3, false, pwAll);
    EXPECT_EQ(Printer()->GetDevMode().Copies, 3);
    EXPECT_EQ(PdfPageCount(), 2);
    PrintToPdf("", 3, true, pwAll);
    EXPECT_EQ(Printer()->GetDevMode().Copies, 1);
    EXPECT_EQ(PdfPageCount(), 6);
}

TEST_F(PdfPrintTest, PaperChangeMidReportKeepsEveryPageInTheFile) {
    TrpPage* a4 = report.Pages->Add();
    a4->ApplyPaperSettings(9, 2100, 2970, 1, 0xFFFF);
    Build(1, 1);
    AddPage(a4, "Wide");
    AddPage(page, "Last");
    PrintToPdf("", 1, false, pwAll);
    EXPECT_EQ(PdfPageSizes(), (std::vector<std::string>{"612 x 792", "842 x 595", "612 x 792"}));
    EXPECT_EQ(PdfPageTexts(), (std::vector<std::string>{"Row 0", "Wide", "Last"}));
}

TEST_F(PdfPrintTest, FailedPrintPassesItsErrorOnAndEndsTheDocument) {
    Build(2, 1);
    Printer()->FileName = "/nonexistent-folder/out.pdf";
    report.ShowProgress = false;
    EXPECT_THROW(report.PrintPreparedReport("", 1, false, pwAll), EPrinter);
    EXPECT_FALSE(Printer()->Printing());
    // The next job prints as usual.
    PrintToPdf("", 1, false, pwAll);
    EXPECT_EQ(PdfPageCount(), 2);
}

TEST_F(PdfPrintTest, StoppedJobAbortsAfterTheCurrentPage) {
    Build(4, 1);
    report.OnProgress = [&](int n) {
        if (n == 2) report.Stopped = true;
    };
    Printer()->FileName = pdf;
    report.PrintPreparedReport("", 1, false, pwAll);
    Printer()->FileName.clear();
    EXPECT_TRUE(Printer()->Aborted());
    EXPECT_FALSE(Printer()->Printing());
}

TEST_F(PdfPrintTest, VirtualPrinterCannotPrint) {
    Build(1, 1);
    TrpPrinter& layer = rpPrinter();
    layer.SetPrinterIndex(layer.VirtualPrinterIndex);
    report.ShowProgress = false;
    EXPECT_THROW(report.PrintPreparedReport("", 1, false, pwAll), EPrinter);
}

}  // namespace
