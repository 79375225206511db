// The band engine on small templates: positions of every band on every page,
// headers and footers, columns, aggregates, the report's build steps and the
// faults it must not have (endless page builds, lost templates).

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "GuiTestApp.h"
#include "MsgBox.h"
#include "RP_DSet.h"
#include "RP_Dict.h"
#include "RP_Engine.h"
#include "RP_Vars.h"
#include "BandLayoutFixture.h"
#include "SysUtils.h"

namespace {

class BandLayoutTest : public BandLayoutFixture {};

TEST_F(BandLayoutTest, ManualBuildPrintsTitleAtTheTopAndFooterAtTheBottom) {
    AddBand(btReportTitle, 0, 40, "Title");
    AddMemo("Heading", 10, 5, 200, 20, "Loan comparison");
    AddBand(btPageFooter, 900, 30, "Footer");
    AddMemo("PageNo", 10, 905, 100, 20, "Page [PAGE#]");
    // The application's handler shows title and footer through the page.
    report.OnManualBuild = [](TrpPage* p) {
        p->ShowBandByType(btReportTitle);
        p->ShowBandByType(btPageFooter);
    };
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 2u);
    EXPECT_EQ(pages[0][0].name, "Heading");
    EXPECT_EQ(pages[0][0].y, FirstPage()->TopEdge() + 5);
    EXPECT_EQ(pages[0][1].name, "PageNo");
    EXPECT_EQ(pages[0][1].y, bottom - 30 + 5);
    EXPECT_EQ(pages[0][1].text, "Page 1");
    // Without the handler's calls a manual build prints nothing by itself.
    report.OnManualBuild = [](TrpPage*) {};
    ASSERT_TRUE(report.PrepareReport());
    EXPECT_TRUE(Output()[0].empty());
}

TEST_F(BandLayoutTest, ListReportFlowsOverPagesWithHeadersAndFooters) {
    AddBand(btReportTitle, 0, 40, "Title");
    AddMemo("Heading", 10, 5, 200, 20, "Schedule");
    AddBand(btPageHeader, 50, 20, "Header");
    AddMemo("Columns", 10, 52, 200, 16, "Month");
    AddBand(btMasterData, 80, 20, "Data", "100");
    AddMemo("Row", 10, 82, 200, 16, "[LINE#]");
    AddBand(btPageFooter, 900, 30, "Footer");
    AddMemo("PageNo", 10, 905, 100, 20, "Page [PAGE#]");
    std::vector<int> begun;
    report.OnBeginPage = [&](int n) { begun.push_back(n); };
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 3u);
    const int footerY = bottom - 30;
    // Page 1: title, header, rows from y 60 while a row's bottom stays above the footer.
    EXPECT_EQ(Named(pages[0], "Heading")[0].y, 5);
    EXPECT_EQ(Named(pages[0], "Columns")[0].y, 42);
    auto rows1 = Named(pages[0], "Row");
    ASSERT_EQ(int(rows1.size()), (footerY - 60) / 20);
    for (size_t i = 0; i < rows1.size(); ++i) {
        EXPECT_EQ(rows1[i].y, 60 + 20 * int(i) + 2);
        EXPECT_EQ(rows1[i].text, std::to_string(i + 1));
    }
    // Later pages: the header at the top, no title.
    EXPECT_TRUE(Named(pages[1], "Heading").empty());
    EXPECT_EQ(Named(pages[1], "Columns")[0].y, 2);
    auto rows2 = Named(pages[1], "Row");
    ASSERT_EQ(int(rows2.size()), (footerY - 20) / 20);
    EXPECT_EQ(rows2[0].y, 20 + 2);
    EXPECT_EQ(rows2[0].text, std::to_string(rows1.size() + 1));
    auto rows3 = Named(pages[2], "Row");
    EXPECT_EQ(rows1.size() + rows2.size() + rows3.size(), 100u);
    EXPECT_EQ(rows3.back().text, "100");
    // The footer on every page at the bottom edge less its height.
    for (size_t p = 0; p < pages.size(); ++p) {
        auto footer = Named(pages[p], "PageNo");
        ASSERT_EQ(footer.size(), 1u) << p;
        EXPECT_EQ(footer[0].y, footerY + 5);
        EXPECT_EQ(footer[0].text, "Page " + std::to_string(p + 1));
    }
    EXPECT_EQ(begun, (std::vector<int>{1, 2, 3}));
}

TEST_F(BandLayoutTest, FooterFirstAndLastPageRules) {
    AddBand(btMasterData, 0, 300, "Data", "7");
    AddMemo("Row", 0, 0, 100, 20, "[LINE#]");
    AddBand(btPageFooter, 900, 30, "Footer");
    AddMemo("PageNo", 0, 900, 100, 20, "[PAGE#]");
    struct Row {
        uint16_t flags;
        std::vector<std::string> pagesWithFooter;
    };
    const Row rows[] = {
        {flBandOnFirstPage | flBandOnLastPage, {"1", "2", "3"}},
        {flBandOnLastPage, {"2", "3"}},
        {flBandOnFirstPage, {"1", "2"}},
        {0, {"2"}},
    };
    for (const Row& r : rows) {
        // Each build reloads the template: the footer is found anew.
        auto* footer = dynamic_cast<TrpBandView*>(report.FindObject("Footer"));
        ASSERT_NE(footer, nullptr);
        footer->Flags = r.flags;
        ASSERT_TRUE(report.PrepareReport());
        auto pages = Output();
        ASSERT_EQ(pages.size(), 3u);
        std::vector<std::string> seen;
        for (auto& p : pages)
            for (const Out& o : Named(p, "PageNo")) seen.push_back(o.text);
        EXPECT_EQ(seen, r.pagesWithFooter) << r.flags;
    }
}

TEST_F(BandLayoutTest, AggregatesPerReportAndPerPage) {
    AddBand(btMasterData, 0, 100, "Data", "10");
    AddMemo("Row", 0, 0, 100, 20, "[LINE#]");
    AddBand(btReportSummary, 200, 100, "Summary");
    AddMemo("Sum", 0, 200, 100, 16, "[SUM([LINE#])]");
    AddMemo("Max", 0, 220, 100, 16, "[MAX([LINE#] - 20)]");
    AddMemo("Min", 0, 240, 100, 16, "[MIN([LINE#])]");
    AddMemo("Avg", 0, 260, 100, 16, "[AVG([LINE#])]");
    AddMemo("Count", 0, 280, 100, 16, "[COUNT(Data)]");
    AddBand(btPageFooter, 900, 30, "Footer");
    AddMemo("PageSum", 0, 900, 100, 20, "[SUM([LINE#])]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(boxes.size(), 0u) << boxes[0];
    ASSERT_GE(pages.size(), 2u);
    const auto& last = pages.back();
    EXPECT_EQ(Named(last, "Sum")[0].text, "55");
    EXPECT_EQ(Named(last, "Max")[0].text, "-10");  // all negative: their true maximum
    EXPECT_EQ(Named(last, "Min")[0].text, "1");
    EXPECT_EQ(Named(last, "Avg")[0].text, "5.5");
    EXPECT_EQ(Named(last, "Count")[0].text, "10");
    // Page footers sum the rows of their own page.
    int total = 0;
    for (auto& p : pages) {
        int rows = 0;
        for (const Out& o : Named(p, "Row")) rows += std::stoi(o.text);
        ASSERT_EQ(Named(p, "PageSum").size(), 1u);
        EXPECT_EQ(Named(p, "PageSum")[0].text, std::to_string(rows));
        total += rows;
    }
    EXPECT_EQ(total, 55);
}

TEST_F(BandLayoutTest, AggregatesOverNoRecords) {
    TrpBandView* data = AddBand(btMasterData, 0, 20, "Data", "");
    (void)data;
    AddBand(btReportSummary, 100, 100, "Summary");
    AddMemo("Max", 0, 100, 100, 16, "[MAX([LINE#])]");
    AddMemo("Min", 0, 120, 100, 16, "[MIN([LINE#])]");
    AddMemo("Avg", 0, 140, 100, 16, "[AVG([LINE#])]");
    AddMemo("Sum", 0, 160, 100, 16, "[SUM([LINE#])]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 1u);  // printed though empty: PrintIfEmpty
    EXPECT_EQ(Named(pages[0], "Max")[0].text, "0");
    EXPECT_EQ(Named(pages[0], "Avg")[0].text, "0");
    EXPECT_EQ(Named(pages[0], "Sum")[0].text, "0");
    EXPECT_EQ(FloatToStr(StrToFloat(Named(pages[0], "Min")[0].text)), FloatToStr(1e300));

    report.PrintIfEmpty = false;
    ASSERT_TRUE(report.PrepareReport());
    EXPECT_EQ(report.EMFPages->Count(), 0);
}

TEST_F(BandLayoutTest, TemplateIsRestoredAfterEveryBuild) {
    AddBand(btReportTitle, 0, 40, "Title");
    TrpMemoView* memo = AddMemo("Total", 0, 0, 200, 20, "Total [X]");
    memo->Script->SetText("begin Total.Left := 99; Rate := 5 end");
    AddMemo("RateShown", 0, 20, 100, 16, "[Rate]");
    report.Dictionary->Variables->SetVariable(" Rate", Variant("1"));
    report.Context().Variables().SetVariable("X", 42);
    report.OnBeforePrint = [](TStringList*, TrpView* v) { v->Tag = "changed"; };
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    EXPECT_EQ(Named(pages[0], "Total")[0].text, "Total 42");
    EXPECT_EQ(Named(pages[0], "Total")[0].x, 99);
    EXPECT_EQ(Named(pages[0], "RateShown")[0].text, "5");  // the script's value holds for this build
    // The template as the application left it: text, position, tag, dictionary.
    auto* after = dynamic_cast<TrpMemoView*>(report.FindObject("Total"));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->Memo->GetText(), "Total [X]\r\n");
    EXPECT_EQ(after->x, 0);
    EXPECT_EQ(after->Tag, "");
    EXPECT_EQ(VarToStr(report.Dictionary->Variables->GetVariable(" Rate")), "1");
    // An exception escaping the build still restores the template and the state.
    report.OnBeginBand = [](TrpBand*) { throw Exception("from the application"); };
    EXPECT_THROW(report.PrepareReport(), Exception);
    after = dynamic_cast<TrpMemoView*>(report.FindObject("Total"));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->x, 0);
    EXPECT_EQ(report.Context().PageEngine(), nullptr);
    EXPECT_EQ(report.Context().ActiveBand, nullptr);
}

TEST_F(BandLayoutTest, CalculationErrorShowsItsMessageAndLeavesNoPages) {
    AddBand(btReportTitle, 0, 40, "Title");
    AddMemo("Bad", 0, 0, 200, 20, "[NoSuchName]");
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_EQ(report.EMFPages->Count(), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Error: An error occured during calculating"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("Undefined symbol"), std::string::npos);
    // No pages: the preview is not asked to open.
    int shown = 0;
    report.Windows.ShowPreview = [&](TrpReport*, const std::string&) { ++shown; };
    report.ShowPreparedReport();
    EXPECT_EQ(shown, 0);
}

TEST_F(BandLayoutTest, TwoPassesKnowTheTotalPages) {
    AddBand(btMasterData, 0, 400, "Data", "5");
    AddMemo("Row", 0, 0, 100, 20, "[PAGE#] of [TOTALPAGES]");
    report.TwoPass = 0xFFFF;
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(Named(pages[2], "Row")[0].text, "3 of 3");
    report.TwoPass = 0;
    ASSERT_TRUE(report.PrepareReport());
    EXPECT_EQ(Named(Output()[0], "Row")[0].text, "1 of 0");
}

TEST_F(BandLayoutTest, BandsThatCannotFitPrintClippedInsteadOfEndlessPages) {
    // Taller than any page, with a header that repeats on every page.
    AddBand(btPageHeader, 0, 50, "Header");
    AddMemo("Head", 0, 0, 100, 20, "Head");
    AddBand(btMasterData, 100, 5000, "Tall", "3");
    AddMemo("Row", 0, 100, 100, 20, "[LINE#]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 3u);
    for (size_t p = 0; p < pages.size(); ++p) {
        ASSERT_EQ(Named(pages[p], "Row").size(), 1u);
        EXPECT_EQ(Named(pages[p], "Row")[0].y, 50);  // right under the header
    }
}

TEST_F(BandLayoutTest, ChildBandCycleIsIgnored) {
    TrpBandView* a = AddBand(btReportTitle, 0, 20, "A");
    AddMemo("InA", 0, 0, 100, 16, "a");
    TrpBandView* b = AddBand(btChild, 100, 20, "B");
    AddMemo("InB", 0, 100, 100, 16, "b");
    a->ChildBand = "B";
    b->ChildBand = "A";
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(Named(pages[0], "InA").size(), 1u);
    ASSERT_EQ(Named(pages[0], "InB").size(), 1u);
    EXPECT_EQ(Named(pages[0], "InB")[0].y, 20);  // right after its parent
}

TEST_F(BandLayoutTest, RecordsAcrossBandColumns) {
    TrpBandView* data = AddBand(btMasterData, 0, 20, "Data", "4");
    data->Columns = 3;
    data->ColumnWidth = 100;
    data->ColumnGap = 10;
    AddMemo("Cell", 0, 0, 100, 16, "[LINE#]");
    ASSERT_TRUE(report.PrepareReport());
    auto cells = Named(Output()[0], "Cell");
    ASSERT_EQ(cells.size(), 4u);
    const int x0 = FirstPage()->LeftEdge();
    EXPECT_EQ(cells[0].x, x0);
    EXPECT_EQ(cells[1].x, x0 + 110);
    EXPECT_EQ(cells[2].x, x0 + 220);
    EXPECT_EQ(cells[3].x, x0);
    EXPECT_EQ(cells[1].y, cells[0].y);
    EXPECT_EQ(cells[3].y, cells[0].y + 20);
}

TEST_F(BandLayoutTest, PageColumnsContinueAtTheColumnTop) {
    page->Columns = 2;
    page->ColumnGap = 20;
    AddBand(btColumnHeader, 0, 30, "ColHead");
    AddMemo("Head", 0, 0, 100, 20, "Head");
    AddBand(btMasterData, 50, 300, "Data", "7");
    AddMemo("Row", 0, 50, 100, 20, "[LINE#]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 2u);
    auto rows = Named(pages[0], "Row");
    ASSERT_EQ(rows.size(), 6u);  // three per column
    const int width = (FirstPage()->RightEdge() - FirstPage()->LeftEdge() - 20) / 2;
    EXPECT_EQ(rows[3].x, rows[0].x + width + 20);
    EXPECT_EQ(rows[3].y, rows[0].y);
    EXPECT_EQ(Named(pages[0], "Head").size(), 2u);
    EXPECT_EQ(Named(pages[1], "Row").size(), 1u);
}

TEST_F(BandLayoutTest, StretchedBandGrowsToItsMemo) {
    TrpBandView* data = AddBand(btMasterData, 0, 20, "Data", "2");
    data->Flags |= flStretched;
    TrpMemoView* memo = AddMemo("Text", 0, 0, 60, 20, "");
    report.OnGetValue = [](const std::string& name, Variant& v) {
        if (name == "Long") v = Variant("one two three four five six seven eight nine ten");
    };
    memo->Memo->SetText("[Long]");
    AddMemo("After", 80, 0, 60, 20, "x");
    const int gapy = memo->gapy, step = memo->LineStep();
    ASSERT_TRUE(report.PrepareReport());
    auto texts = Named(Output()[0], "Text");
    ASSERT_EQ(texts.size(), 2u);
    // The second record starts below the first one's grown height.
    int height = texts[1].y - texts[0].y;
    EXPECT_GT(height, 20);
    EXPECT_EQ(height, texts[0].dy);
    EXPECT_EQ((height - 2 * gapy) % step, 0);
}

}  // namespace

namespace {

TEST_F(BandLayoutTest, SubReportPrintsItsPageInsideTheBand) {
    AddBand(btMasterData, 0, 40, "Outer", "2");
    AddMemo("OuterRow", 0, 0, 100, 16, "outer [LINE#]");
    AddSubReportView(page, "Sub", 50, 20, 1);
    TrpPage* inner = report.Pages->Add();
    AddBandView(inner, btMasterData, 0, 15, "Inner", "3");
    AddMemoView(inner, "InnerRow", 0, 0, 100, 15, "inner [LINE#]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 1u);  // the inner page prints only inside the subreport
    std::vector<std::string> order;
    for (const Out& o : pages[0]) order.push_back(o.text + "@" + std::to_string(o.y));
    // Each outer record, then the inner page's three rows from the subreport's top;
    // the next outer record starts below the lowest of them.
    EXPECT_EQ(order, (std::vector<std::string>{"outer 1@0", "inner 1@20", "inner 2@35", "inner 3@50", "outer 2@65",
                                               "inner 1@85", "inner 2@100", "inner 3@115"}));
    EXPECT_EQ(Named(pages[0], "InnerRow")[0].x, FirstPage()->LeftEdge() + 50);
}

TEST_F(BandLayoutTest, SubReportsOfOneBandRunSideBySideOverPages) {
    const int top = page->TopEdge();
    const int fit = (bottom - top - 20) / 15;  // inner rows that fit below the outer row
    AddBand(btMasterData, 0, 40, "Outer", "2");
    AddMemo("OuterRow", 0, 0, 100, 15, "outer [LINE#]");
    for (int i = 0; i < 2; ++i) {
        AddSubReportView(page, "Sub" + std::to_string(i), 300 * i, 20, i + 1);
        TrpPage* inner = report.Pages->Add();
        AddBandView(inner, btMasterData, 0, 15, "Rows" + std::to_string(i), std::to_string(fit + 3 - 2 * i));
        AddMemoView(inner, "Row" + std::to_string(i), 0, 0, 100, 15, "[LINE#]");
    }
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_GE(pages.size(), 2u);
    auto rows = [&](int p, const char* name) {
        std::vector<std::string> r;
        for (const Out& o : Named(pages[size_t(p)], name)) r.push_back(o.text + "@" + std::to_string(o.y));
        return r;
    };
    // Both start under the outer row on the first page and fill it together.
    std::vector<std::string> firstPage;
    for (int i = 0; i < fit; ++i) firstPage.push_back(std::to_string(i + 1) + "@" + std::to_string(top + 20 + 15 * i));
    EXPECT_EQ(rows(0, "Row0"), firstPage);
    EXPECT_EQ(rows(0, "Row1"), firstPage);
    // Both go on at the top of the next page; the next outer row follows the longer one.
    const std::string next = std::to_string(fit + 1) + "@" + std::to_string(top);
    auto second0 = rows(1, "Row0"), second1 = rows(1, "Row1");
    ASSERT_GE(second0.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(second0.begin(), second0.begin() + 3),
              (std::vector<std::string>{next, std::to_string(fit + 2) + "@" + std::to_string(top + 15),
                                        std::to_string(fit + 3) + "@" + std::to_string(top + 30)}));
    ASSERT_GE(second1.size(), 1u);
    EXPECT_EQ(second1[0], next);
    EXPECT_EQ(rows(1, "OuterRow"), (std::vector<std::string>{"outer 2@" + std::to_string(top + 45)}));
}

TEST_F(BandLayoutTest, SubReportRowWhoseChildMovesOnPrintsOnce) {
    const int top = page->TopEdge();
    // The subreport starts where a row still fits at the page's end but its child does not.
    const int subY = (bottom - top - 20) % 30 >= 15 ? 20 : 35;
    const int records = (bottom - top - subY) / 30 + 3;
    AddBand(btMasterData, 0, 60, "Outer", "1");
    AddSubReportView(page, "Sub", 0, subY, 1);
    TrpPage* inner = report.Pages->Add();
    AddBandView(inner, btMasterData, 0, 15, "Rows", std::to_string(records))->ChildBand = "Child";
    AddMemoView(inner, "Row", 0, 0, 100, 15, "[LINE#]");
    AddBandView(inner, btChild, 100, 15, "Child");
    AddMemoView(inner, "Under", 0, 100, 100, 15, "under");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 2u);
    std::vector<std::string> rows;
    int unders = 0;
    for (const auto& p : pages) {
        for (const Out& o : Named(p, "Row")) rows.push_back(o.text);
        unders += int(Named(p, "Under").size());
    }
    std::vector<std::string> expected;
    for (int i = 1; i <= records; ++i) expected.push_back(std::to_string(i));
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(unders, records);
    // The child that did not fit opens the second page.
    ASSERT_FALSE(pages[1].empty());
    EXPECT_EQ(pages[1][0].name, "Under");
    EXPECT_EQ(pages[1][0].y, top);
}

TEST_F(BandLayoutTest, SubReportsThatCannotPrintPrintNothing) {
    AddBand(btReportTitle, 0, 40, "Title");
    AddMemo("Heading", 0, 0, 100, 16, "title");
    struct Row {
        const char* what;
        int subPage;
    };
    const Row rows[] = {{"out of range", 7}, {"negative", -1}, {"its own page", 0}};
    for (const Row& r : rows) {
        report.Clear();
        page = report.Pages->Add();
        AddBand(btReportTitle, 0, 40, "Title");
        AddMemo("Heading", 0, 0, 100, 16, "title");
        AddSubReportView(page, "Sub", 0, 20, r.subPage);
        ASSERT_TRUE(report.PrepareReport()) << r.what;
        auto pages = Output();
        ASSERT_EQ(pages.size(), 1u) << r.what;
        EXPECT_EQ(pages[0].size(), 1u) << r.what;
    }
    // Two pages showing each other: neither prints the other inside itself.
    report.Clear();
    TrpPage* first = report.Pages->Add();
    TrpPage* second = report.Pages->Add();
    for (auto [p, target] : {std::pair{first, 1}, std::pair{second, 0}}) {
        page = p;
        AddBand(btReportTitle, 0, 40, "Title");
        AddSubReportView(p, "Sub" + std::to_string(target), 0, 20, target);
    }
    EXPECT_TRUE(report.PrepareReport());
}

TEST_F(BandLayoutTest, LineTakesTheShapeOfItsRectangle) {
    struct Row {
        int dx, dy;
        uint16_t side;
        int keptDx, keptDy;
    };
    const Row rows[] = {{5, 5, frbLeft, 0, 5}, {40, 3, frbTop, 40, 0}, {2, 30, frbLeft, 0, 30}};
    for (const Row& r : rows) {
        TrpLineView line;
        line.dx = r.dx;
        line.dy = r.dy;
        TCanvas canvas;
        line.Draw(&canvas);
        EXPECT_EQ(line.FrameTyp, r.side) << r.dx << "x" << r.dy;
        EXPECT_EQ(line.dx, r.keptDx);
        EXPECT_EQ(line.dy, r.keptDy);
        EXPECT_EQ(line.CalcHeight(), r.keptDy);
    }
}

}  // namespace

namespace {

// A member report of one title band holding one memo.
std::unique_ptr<TrpReport> Member(const std::string& text, int height, bool printToPrevPage) {
    auto report = std::make_unique<TrpReport>(nullptr);
    TrpPage* page = report->Pages->Add();
    page->PrintToPrevPage = printToPrevPage ? 0xFFFF : 0;
    AddBandView(page, btReportTitle, 0, height, "Title");
    AddMemoView(page, "Text", 0, 0, 200, 16, text);
    return report;
}

TEST_F(BandLayoutTest, CompositeChainsMembersIntoOneOutput) {
    auto first = Member("first [PAGE#]", 100, false);
    auto second = Member("second [PAGE#]", 100, true);  // continues on the first's page
    auto third = Member("third [PAGE#]", 100, false);   // starts a page of its own
    TrpCompositeReport composite(nullptr);
    composite.Reports = {first.get(), second.get(), third.get()};
    int firstDocs = 0;
    first->OnBeginDoc = [&] { ++firstDocs; };
    first->OnEndDoc = [&] { ++firstDocs; };
    ASSERT_TRUE(composite.PrepareReport());
    ASSERT_EQ(composite.EMFPages->Count(), 2);
    EXPECT_EQ(first->EMFPages->Count(), 0);  // members write into the composite's pages
    std::vector<std::string> page1, page2;
    composite.EMFPages->LoadPageObjects(0);
    for (TrpView* v : composite.EMFPages->Page(0).Page->Objects)
        page1.push_back(Trim(v->Memo->GetText()) + "@" + std::to_string(v->y));
    composite.EMFPages->LoadPageObjects(1);
    for (TrpView* v : composite.EMFPages->Page(1).Page->Objects) page2.push_back(Trim(v->Memo->GetText()));
    EXPECT_EQ(page1, (std::vector<std::string>{"first 1@0", "second 1@100"}));
    EXPECT_EQ(page2, (std::vector<std::string>{"third 2"}));
    EXPECT_EQ(firstDocs, 2);
    // Every member's template is as it was.
    EXPECT_EQ(first->FindObject("Text")->Memo->GetText(), "first [PAGE#]\r\n");
}

}  // namespace

namespace {

TEST_F(BandLayoutTest, BreakedBandSplitsItsMemoOverPages) {
    TrpBandView* band = AddBand(btReportTitle, 0, 20, "Long");
    band->Flags |= flStretched | flBandBreaked;
    TrpMemoView* memo = AddMemo("Text", 0, 0, 200, 20, "[Lines]");
    std::string text;
    for (int i = 1; i <= 150; ++i) text += "line " + std::to_string(i) + "\r\n";
    report.OnGetValue = [text](const std::string& name, Variant& v) {
        if (name == "Lines") v = Variant(text);
    };
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_GE(pages.size(), 3u);
    // Every line once, in order, each slice no taller than the room it had.
    std::vector<std::string> lines;
    for (auto& p : pages)
        for (const Out& o : Named(p, "Text")) {
            EXPECT_LE(o.y + o.dy, bottom);
            TStringList parts;
            parts.SetText(o.text);
            for (int i = 0; i < parts.Count(); ++i) {
                std::string l = parts.Get(i);
                l.erase(std::remove(l.begin(), l.end(), '\x01'), l.end());
                if (!l.empty()) lines.push_back(l);
            }
        }
    ASSERT_EQ(lines.size(), 150u);
    EXPECT_EQ(lines.front(), "line 1");
    EXPECT_EQ(lines.back(), "line 150");
    (void)memo;
}

TEST_F(BandLayoutTest, GroupHeadersAndFootersFollowTheCondition) {
    TrpBandView* header = AddBand(btGroupHeader, 0, 20, "Group");
    header->FormatStr = "[Key]";
    AddMemo("GroupTitle", 0, 0, 100, 16, "group [Key]");
    AddBand(btMasterData, 40, 20, "Data", "6");
    AddMemo("Row", 0, 40, 100, 16, "row [LINE#]");
    AddBand(btGroupFooter, 80, 20, "GroupFoot");
    AddMemo("GroupSum", 0, 80, 100, 16, "sum [SUM([LINE#])]");
    // Records 1-3 have key A, 4-6 key B: the data source's current record decides.
    report.OnGetValue = [this](const std::string& name, Variant& v) {
        if (name != "Key") return;
        TrpBand* band = report.FindObject("Data")->Parent;
        v = Variant(band->DataSet->RecordNo < 3 ? "A" : "B");
    };
    ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
    auto pages = Output();
    std::vector<std::string> texts;
    for (const Out& o : pages[0]) texts.push_back(o.text);
    // Line numbers start again in each group; each footer sums its own group.
    EXPECT_EQ(texts, (std::vector<std::string>{"group A", "row 1", "row 2", "row 3", "sum 6", "group B", "row 1",
                                               "row 2", "row 3", "sum 6"}));
}

TEST_F(BandLayoutTest, HiddenDataBandPrintsItsChildOnlyWhenAskedAndAggregatesFlaggedEntries) {
    TrpBandView* data = AddBand(btMasterData, 0, 20, "Data", "3");
    data->SetVisible(false);
    data->ChildBand = "Child";
    AddMemo("Row", 0, 0, 100, 16, "row");
    AddBand(btChild, 40, 20, "Child");
    AddMemo("InChild", 0, 40, 100, 16, "child");
    AddBand(btReportSummary, 100, 40, "Summary");
    AddMemo("Counted", 0, 100, 100, 16, "[COUNT(Data, 1)]");
    AddMemo("Skipped", 0, 120, 100, 16, "[COUNT(Data)]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    EXPECT_TRUE(Named(pages[0], "Row").empty());
    EXPECT_TRUE(Named(pages[0], "InChild").empty());
    EXPECT_EQ(Named(pages[0], "Counted")[0].text, "3");
    EXPECT_EQ(Named(pages[0], "Skipped")[0].text, "0");
    auto* view = dynamic_cast<TrpBandView*>(report.FindObject("Data"));
    view->Flags |= flBandPrintChildIfInvisible;
    ASSERT_TRUE(report.PrepareReport());
    EXPECT_EQ(Named(Output()[0], "InChild").size(), 3u);
}

}  // namespace

namespace {

TEST_F(BandLayoutTest, CrossTabPrintsACellPerCrossRecordBesideEachRow) {
    AddBand(btMasterData, 0, 20, "Rows", "2");
    AddMemo("Label", 0, 2, 80, 16, "row [LINE#]");
    AddCross(btCrossData, "Cols", 100, 50, "3");
    AddMemo("Cell", 105, 2, 40, 16, "[LINE#].[COLUMN#]");
    std::vector<int> columns;
    report.OnPrintColumn = [&](int column, int& width) {
        columns.push_back(column);
        if (column == 2) width = 70;  // the application may widen a column
    };
    int begun = 0;
    report.OnBeginColumn = [&](TrpBand*) { ++begun; };
    ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
    auto pages = Output();
    auto cells = Named(pages[0], "Cell");
    ASSERT_EQ(cells.size(), 6u);
    std::vector<std::string> texts;
    for (const Out& c : cells) texts.push_back(c.text + "@" + std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(texts, (std::vector<std::string>{"1.1@105,2", "1.2@155,2", "1.3@225,2", "2.1@105,22", "2.2@155,22",
                                               "2.3@225,22"}));
    EXPECT_EQ(Named(pages[0], "Label").size(), 2u);
    EXPECT_EQ(begun, 2);
    EXPECT_EQ(columns, (std::vector<int>{1, 2, 3, 1, 2, 3}));
}

}  // namespace

namespace {

TEST_F(BandLayoutTest, CrossTabTotalsPerColumnAndPerRow) {
    AddBand(btMasterData, 0, 20, "Rows", "3");
    AddMemo("Label", 0, 2, 80, 16, "row [LINE#]");
    AddCross(btCrossData, "Cols", 100, 50, "3");
    AddMemo("Cell", 105, 2, 40, 16, "[[LINE#] * 10 + [COLUMN#]]");
    AddCross(btCrossFooter, "RowTotals", 300, 60);
    AddMemo("RowSum", 305, 2, 50, 16, "[SUM([LINE#] * 10 + [COLUMN#])]");
    AddBand(btMasterFooter, 40, 60, "Totals");
    AddMemo("GrandRows", 0, 42, 80, 16, "[SUM([LINE#])]");  // not a cell: over all records
    AddMemo("ColSum", 105, 42, 40, 16, "[SUM([LINE#] * 10 + [COLUMN#])]");
    AddMemo("ColAvg", 105, 60, 40, 16, "[AVG([COLUMN#] * 100 + [LINE#])]");
    AddMemo("ColMin", 105, 78, 40, 16, "[MIN([LINE#] * 10 + [COLUMN#])]");
    ASSERT_TRUE(report.PrepareReport());
    ASSERT_TRUE(boxes.empty()) << boxes[0];
    auto pages = Output();
    ASSERT_EQ(pages.size(), 1u);
    auto placed = [&](const char* name) {
        std::vector<std::string> r;
        for (const Out& o : Named(pages[0], name))
            r.push_back(o.text + "@" + std::to_string(o.x) + "," + std::to_string(o.y));
        return r;
    };
    // Each row's total follows its last cell and counts that row only.
    EXPECT_EQ(placed("RowSum"), (std::vector<std::string>{"36@255,2", "66@255,22", "96@255,42"}));
    // Each column's totals sit under that column and count its own three cells.
    EXPECT_EQ(placed("ColSum"), (std::vector<std::string>{"63@105,62", "66@155,62", "69@205,62"}));
    EXPECT_EQ(placed("ColAvg"), (std::vector<std::string>{"102@105,80", "202@155,80", "302@205,80"}));
    EXPECT_EQ(placed("ColMin"), (std::vector<std::string>{"11@105,98", "12@155,98", "13@205,98"}));
    EXPECT_EQ(placed("GrandRows"), (std::vector<std::string>{"6@0,62"}));
}

TEST_F(BandLayoutTest, MasterFooterGetsACellPerColumnAfterItsCrossRecordsRanOut) {
    // The cross records come from the form; they run out before the footer prints.
    TComponent form(nullptr);
    form.InsertComponent(&report);
    struct Release {
        TComponent& form;
        TrpReport& report;
        ~Release() { form.RemoveComponent(&report); }
    } release{form, report};
    auto* colsData = new TrpUserDataset(&form);
    colsData->SetName("ColsData");
    int columns = 3;
    colsData->OnCheckEOF = [&](TObject*, bool& eof) { eof = colsData->RecordNo >= columns; };
    report.OnBeginBand = [&](TrpBand* band) {
        if (band->Typ == btMasterFooter) columns = 0;
    };
    AddBand(btMasterData, 0, 20, "Rows", "3");
    AddCross(btCrossData, "Cols", 100, 50, "ColsData");
    AddMemo("Cell", 105, 2, 40, 16, "[COLUMN#]");
    AddBand(btMasterFooter, 40, 20, "Totals");
    AddMemo("ColSum", 105, 42, 40, 16, "[SUM([LINE#] * 10 + [COLUMN#])]");
    ASSERT_TRUE(report.PrepareReport());
    ASSERT_TRUE(boxes.empty()) << boxes[0];
    auto pages = Output();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(Named(pages[0], "Cell").size(), 9u);
    std::vector<std::string> sums;
    for (const Out& o : Named(pages[0], "ColSum")) sums.push_back(o.text + "@" + std::to_string(o.x));
    EXPECT_EQ(sums, (std::vector<std::string>{"63@105", "66@155", "69@205"}));
}

TEST_F(BandLayoutTest, StretchedCrossRowTakesItsTallestColumn) {
    // Rows whose cells hold as many lines as a table gives their column.
    auto secondRowY = [&](std::vector<int> linesPerColumn) {
        report.Clear();
        page = report.Pages->Add();
        TrpBandView* rows = AddBand(btMasterData, 0, 20, "Rows", "2");
        rows->Flags |= flStretched;
        AddMemo("Label", 0, 0, 80, 16, "row [LINE#]");
        AddCross(btCrossData, "Cols", 100, 50, "3");
        AddMemo("Cell", 100, 0, 50, 16, "x");
        int column = 0;
        report.OnPrintColumn = [&](int c, int&) { column = c; };
        report.OnBeforePrint = [&](TStringList* memo, TrpView* view) {
            if (view->Name != "Cell") return;
            memo->Clear();
            for (int i = 0; i < linesPerColumn[size_t(column - 1)]; ++i) memo->Add("line");
        };
        EXPECT_TRUE(report.PrepareReport());
        auto labels = Named(Output()[0], "Label");
        EXPECT_EQ(labels.size(), 2u);
        return labels.size() == 2 ? labels[1].y - labels[0].y : -1;
    };
    const int oneLine = secondRowY({1, 1, 1});
    const int fourLines = secondRowY({4, 4, 4});
    EXPECT_GT(fourLines, oneLine);
    // The tallest column decides, wherever it stands.
    EXPECT_EQ(secondRowY({1, 4, 2}), fourLines);
    EXPECT_EQ(secondRowY({4, 1, 1}), fourLines);
    EXPECT_EQ(secondRowY({1, 1, 4}), fourLines);
}

TEST_F(BandLayoutTest, DialogPageScriptMayCancelTheBuild) {
    AddBand(btReportTitle, 0, 40, "Title");
    AddMemo("Heading", 0, 0, 100, 16, "title");
    TrpPage* dialog = report.Pages->Add();
    dialog->PageType = ptDialog;
    struct Row {
        const char* script;
        bool built;
    };
    const Row rows[] = {{"ModalResult := mrOk", true}, {"ModalResult := mrCancel", false}};
    for (const Row& r : rows) {
        report.Pages->Pages(1)->Script->SetText(r.script);
        EXPECT_EQ(report.PrepareReport(), r.built) << r.script;
        EXPECT_EQ(report.EMFPages->Count(), r.built ? 1 : 0) << r.script;
        EXPECT_TRUE(boxes.empty());
    }
}

}  // namespace

namespace {

TEST_F(BandLayoutTest, HeaderTallerThanThePagePrintsClippedOnEachPage) {
    AddBand(btPageHeader, 0, 2000, "Header");
    AddMemo("Head", 0, 0, 100, 16, "head");
    AddBand(btMasterData, 2100, 20, "Data", "3");
    AddMemo("Row", 0, 2100, 100, 16, "[LINE#]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 3u);  // one row under each header, no page without end
    for (size_t p = 0; p < pages.size(); ++p) {
        ASSERT_EQ(Named(pages[p], "Row").size(), 1u) << p;
        EXPECT_EQ(Named(pages[p], "Row")[0].text, std::to_string(p + 1));
        EXPECT_EQ(Named(pages[p], "Head").size(), 1u);
    }
}

TEST_F(BandLayoutTest, SplitBandWithAnObjectTallerThanAPagePrintsItClipped) {
    TrpBandView* band = AddBand(btReportTitle, 0, 3000, "Tall");
    band->Flags |= flBandBreaked;
    auto* picture = new TrpPictureView;
    picture->Name = "Big";
    picture->y = 10;
    picture->dx = 100;
    picture->dy = 2500;
    page->AddObject(picture);
    AddMemo("After", 0, 2600, 100, 16, "after");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_GE(pages.size(), 2u);
    int big = 0, after = 0;
    for (auto& p : pages) {
        big += int(Named(p, "Big").size());
        after += int(Named(p, "After").size());
    }
    EXPECT_EQ(big, 1);
    EXPECT_EQ(after, 1);
}

}  // namespace
