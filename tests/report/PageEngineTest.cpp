// The page engine where a band's output runs past its page: subreports
// inside subreports, cross-tab rows past the right edge, and the counters
// of bands played from a subreport's records.

#include <gtest/gtest.h>

#include "BandLayoutFixture.h"
#include "RP_DSet.h"

namespace {

class PageEngineTest : public BandLayoutFixture {
protected:
    // "text@y" of every object of the name on the page.
    static std::vector<std::string> Placed(const std::vector<Out>& page, const std::string& name) {
        std::vector<std::string> r;
        for (const Out& o : Named(page, name)) r.push_back(o.text + "@" + std::to_string(o.y));
        return r;
    }
    // The form owning the report holds the data sets bands name.
    TrpUserDataset* AddDataset(const std::string& name) {
        if (!form) {
            form = std::make_unique<TComponent>(nullptr);
            form->InsertComponent(&report);
        }
        auto* data = new TrpUserDataset(form.get());
        data->SetName(name);
        return data;
    }
    void TearDown() override {
        if (form) form->RemoveComponent(&report);
        BandLayoutFixture::TearDown();
    }
    std::unique_ptr<TComponent> form;
};

TEST_F(PageEngineTest, NestedSubReportHandsItsPageToTheOutermostPage) {
    const int top = page->TopEdge();
    const int limit = bottom - 20;  // above the page footer
    // Outer page: header, one record holding two subreports side by side, footer.
    AddBand(btPageHeader, 0, 30, "Head");
    AddMemo("HeadText", 0, 0, 100, 15, "head [PAGE#]");
    AddBand(btMasterData, 50, 40, "Outer", "1");
    AddMemo("OuterRow", 0, 50, 100, 15, "outer");
    AddSubReportView(page, "Middle", 0, 70, 1);
    AddSubReportView(page, "Beside", 400, 70, 3);
    AddBand(btPageFooter, 200, 20, "Foot");
    AddMemo("FootText", 0, 200, 100, 15, "foot [PAGE#]");
    // The middle page prints two records, each holding the inner page.
    TrpPage* middle = report.Pages->Add();
    AddBandView(middle, btMasterData, 0, 30, "Mid", "2");
    AddMemoView(middle, "MidRow", 0, 0, 100, 15, "mid [LINE#]");
    AddSubReportView(middle, "Inner", 0, 15, 2);
    // The inner page: more rows than fit for the first middle record, two for the second.
    const int fit = (limit - (top + 30 + 20 + 15)) / 15;
    TrpPage* inner = report.Pages->Add();
    AddBandView(inner, btMasterData, 0, 15, "In", "InnerRows");
    AddMemoView(inner, "InRow", 0, 0, 100, 15, "in [LINE#]");
    TrpUserDataset* rows = AddDataset("InnerRows");
    rows->OnCheckEOF = [&](TObject*, bool& eof) {
        TrpBand* mid = report.FindObject("Mid")->Parent;
        eof = rows->RecordNo >= (mid->DataSet->RecordNo == 0 ? fit + 3 : 2);
    };
    TrpPage* beside = report.Pages->Add();
    AddBandView(beside, btMasterData, 0, 15, "Side", "3");
    AddMemoView(beside, "SideRow", 0, 0, 100, 15, "side [LINE#]");

    ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
    auto pages = Output();
    ASSERT_EQ(pages.size(), 2u);
    // The first middle record's inner rows fill the first page...
    std::vector<std::string> firstRows;
    for (int i = 0; i < fit; ++i)
        firstRows.push_back("in " + std::to_string(i + 1) + "@" + std::to_string(top + 65 + 15 * i));
    EXPECT_EQ(Placed(pages[0], "InRow"), firstRows);
    EXPECT_EQ(Placed(pages[0], "MidRow"), (std::vector<std::string>{"mid 1@" + std::to_string(top + 50)}));
    // ... while the subreport beside the middle one prints there too, before the page ends.
    EXPECT_EQ(Placed(pages[0], "SideRow"),
              (std::vector<std::string>{"side 1@" + std::to_string(top + 50), "side 2@" + std::to_string(top + 65),
                                        "side 3@" + std::to_string(top + 80)}));
    // The rest goes on under the second page's header, then the second middle record.
    const int y2 = top + 30;
    EXPECT_EQ(Placed(pages[1], "InRow"),
              (std::vector<std::string>{"in " + std::to_string(fit + 1) + "@" + std::to_string(y2),
                                        "in " + std::to_string(fit + 2) + "@" + std::to_string(y2 + 15),
                                        "in " + std::to_string(fit + 3) + "@" + std::to_string(y2 + 30),
                                        "in 1@" + std::to_string(y2 + 60), "in 2@" + std::to_string(y2 + 75)}));
    EXPECT_EQ(Placed(pages[1], "MidRow"), (std::vector<std::string>{"mid 2@" + std::to_string(y2 + 45)}));
    EXPECT_TRUE(Named(pages[1], "SideRow").empty());
    EXPECT_TRUE(Named(pages[1], "OuterRow").empty());
    // Each page has its header and its footer once.
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::string n = std::to_string(p + 1);
        EXPECT_EQ(Placed(pages[p], "HeadText"), (std::vector<std::string>{"head " + n + "@" + std::to_string(top)}));
        EXPECT_EQ(Placed(pages[p], "FootText"), (std::vector<std::string>{"foot " + n + "@" + std::to_string(limit)}));
    }
}

TEST_F(PageEngineTest, ThreeLevelsOfSubReportsRunOverSeveralPagesRowByRow) {
    const int top = page->TopEdge();
    AddBand(btPageHeader, 0, 30, "Head");
    AddMemo("HeadText", 0, 0, 100, 15, "head [PAGE#]");
    AddBand(btMasterData, 50, 20, "Outer", "1");
    AddSubReportView(page, "Level1", 0, 50, 1);
    // Each level holds the next below a row of its own.
    for (int level = 1; level <= 2; ++level) {
        TrpPage* p = report.Pages->Add();
        const std::string n = std::to_string(level);
        AddBandView(p, btMasterData, 0, 15, "Band" + n, "1");
        AddMemoView(p, "Title" + n, 0, 0, 100, 15, "level " + n);
        AddSubReportView(p, "Level" + std::to_string(level + 1), 0, 15, level + 1);
    }
    // The innermost rows fill more than two pages.
    const int perPage = (bottom - top - 30) / 15;
    const int count = 2 * perPage + 5;
    TrpPage* innermost = report.Pages->Add();
    AddBandView(innermost, btMasterData, 0, 15, "Rows", std::to_string(count));
    AddMemoView(innermost, "Row", 0, 0, 100, 15, "[LINE#]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 3u);
    // Every row once and in order; rows go on under each page's header.
    std::vector<std::string> rows;
    for (size_t p = 0; p < pages.size(); ++p) {
        auto placed = Named(pages[p], "Row");
        ASSERT_FALSE(placed.empty()) << p;
        if (p > 0) {
            EXPECT_EQ(placed[0].y, top + 30) << p;
        }
        for (const Out& o : placed) {
            EXPECT_LE(o.y + o.dy, bottom) << p;
            rows.push_back(o.text);
        }
        EXPECT_EQ(Named(pages[p], "HeadText").size(), 1u) << p;
    }
    std::vector<std::string> expected;
    for (int i = 1; i <= count; ++i) expected.push_back(std::to_string(i));
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(Placed(pages[0], "Title2"), (std::vector<std::string>{"level 2@" + std::to_string(top + 45)}));
}

TEST_F(PageEngineTest, NestedSubReportChildBandWaitsForTheNextPage) {
    const int top = page->TopEdge();
    AddBand(btMasterData, 0, 40, "Outer", "1");
    AddSubReportView(page, "Middle", 0, 0, 1);
    TrpPage* middle = report.Pages->Add();
    AddBandView(middle, btMasterData, 0, 20, "Mid", "1")->ChildBand = "MidChild";
    AddSubReportView(middle, "Inner", 0, 0, 2);
    AddBandView(middle, btChild, 100, 20, "MidChild");
    AddMemoView(middle, "After", 0, 100, 100, 15, "after");
    // The inner rows end exactly at the page's bottom: the child has no room left.
    const int rows = (bottom - top) / 15;
    TrpPage* inner = report.Pages->Add();
    AddBandView(inner, btMasterData, 0, 15, "In", std::to_string(rows));
    AddMemoView(inner, "InRow", 0, 0, 100, 15, "[LINE#]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Named(pages[0], "InRow").size(), size_t(rows));
    EXPECT_TRUE(Named(pages[0], "After").empty());
    EXPECT_EQ(Placed(pages[1], "After"), (std::vector<std::string>{"after@" + std::to_string(top)}));
}

TEST_F(PageEngineTest, SubReportPageStartsNoPageOfItsOwn) {
    const int top = page->TopEdge();
    struct Row {
        const char* what;
        uint16_t dataFlags, groupFlags;
        const char* script;
        std::vector<std::vector<std::string>> rowsPerPage;
    };
    const std::string y0 = std::to_string(top), y1 = std::to_string(top + 15), y2 = std::to_string(top + 30);
    const Row rows[] = {
        {"new page after each record", flBandNewPageAfter, 0, "", {{"1@" + y0, "2@" + y1, "3@" + y2}}},
        {"new page after each group", 0, flBandNewPageAfter, "", {{"1@" + y0, "2@" + y1, "3@" + y2}}},
        // Asked for by a script, the page is the host's: the row waits and prints at its top.
        {"script asks for a page", 0, 0, "if [LINETHROUGH#] = 2 then NewPage", {{"1@" + y0}, {"2@" + y0, "3@" + y1}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        report.Clear();
        page = report.Pages->Add();
        AddBand(btMasterData, 0, 20, "Host", "1");
        AddSubReportView(page, "List", 0, 0, 1);
        TrpPage* list = report.Pages->Add();
        TrpBandView* group = AddBandView(list, btGroupHeader, 0, 0, "Group");
        group->FormatStr = "[Key]";  // each record a group of its own
        group->Flags |= r.groupFlags;
        TrpBandView* data = AddBandView(list, btMasterData, 20, 15, "Rows", "3");
        data->Flags |= r.dataFlags;
        data->Script->SetText(r.script);
        AddMemoView(list, "Row", 0, 20, 100, 15, "[LINETHROUGH#]");
        report.OnGetValue = [this](const std::string& name, Variant& v) {
            if (name == "Key") v = report.FindObject("Rows")->Parent->DataSet->RecordNo;
        };
        ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
        auto pages = Output();
        ASSERT_EQ(pages.size(), r.rowsPerPage.size());
        for (size_t p = 0; p < pages.size(); ++p) EXPECT_EQ(Placed(pages[p], "Row"), r.rowsPerPage[p]) << p;
    }
}

TEST_F(PageEngineTest, CrossTabRowPastTheRightEdgeStartsItsPageLikeAnyNewPage) {
    const int top = page->TopEdge(), left = page->LeftEdge(), right = page->RightEdge();
    AddBand(btOverlay, 0, 20, "Overlay");
    AddMemo("Watermark", 300, 0, 100, 15, "draft");
    AddBand(btPageHeader, 20, 30, "Head");
    AddMemo("HeadText", 0, 20, 100, 15, "head [PAGE#]");
    AddBand(btMasterData, 60, 20, "Rows", "2");
    AddMemo("Label", 0, 60, 80, 15, "row [LINE#]");
    AddBand(btPageFooter, 200, 20, "Foot");
    AddMemo("FootText", 0, 200, 100, 15, "foot [PAGE#]");
    // Columns 200 wide from x 100: as many fit as the page is wide, one more does not.
    const int fit = (right - 100) / 200;
    AddCross(btCrossData, "Cols", 100, 200, std::to_string(fit + 2));
    AddMemo("Cell", 100, 60, 40, 15, "[LINE#].[COLUMN#]");
    ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
    auto pages = Output();
    ASSERT_EQ(pages.size(), 2u);
    auto cells = [&](size_t p) {
        std::vector<std::string> r;
        for (const Out& o : Named(pages[p], "Cell"))
            r.push_back(o.text + "@" + std::to_string(o.x) + "," + std::to_string(o.y));
        return r;
    };
    const int row1 = top + 30, row2 = top + 50;
    std::vector<std::string> first, second;
    for (int row : {1, 2})
        for (int c = 1; c <= fit + 2; ++c) {
            const std::string text = std::to_string(row) + "." + std::to_string(c) + "@";
            const int y = row == 1 ? row1 : row2;
            if (c <= fit)
                first.push_back(text + std::to_string(100 + 200 * (c - 1)) + "," + std::to_string(y));
            else
                second.push_back(text + std::to_string(left + 200 * (c - fit - 1)) + "," + std::to_string(y));
        }
    EXPECT_EQ(cells(0), first);
    // The rest of each row keeps the row's y on the added page.
    EXPECT_EQ(cells(1), second);
    EXPECT_TRUE(Named(pages[1], "Label").empty());
    // The added page prints its overlay, header and footer once, as every new page does.
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::string n = std::to_string(p + 1);
        EXPECT_EQ(Placed(pages[p], "Watermark"), (std::vector<std::string>{"draft@0"}));
        EXPECT_EQ(Placed(pages[p], "HeadText"), (std::vector<std::string>{"head " + n + "@" + std::to_string(top)}));
        EXPECT_EQ(Placed(pages[p], "FootText"),
                  (std::vector<std::string>{"foot " + n + "@" + std::to_string(bottom - 20)}));
    }
}

TEST_F(PageEngineTest, CrossFooterPastTheRightEdgeGoesOnTheNextPage) {
    const int left = page->LeftEdge(), right = page->RightEdge();
    AddBand(btMasterData, 0, 20, "Rows", "1");
    const int fit = (right - 100) / 200;
    AddCross(btCrossData, "Cols", 100, 200, std::to_string(fit));
    AddMemo("Cell", 100, 0, 40, 15, "[COLUMN#]");
    AddCross(btCrossFooter, "Total", 100 + 200 * fit, 200);  // never fits beside the last column
    AddMemo("RowTotal", 100 + 200 * fit, 0, 50, 15, "[SUM([COLUMN#])]");
    ASSERT_TRUE(report.PrepareReport());
    auto pages = Output();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Named(pages[0], "Cell").size(), size_t(fit));
    ASSERT_EQ(Named(pages[1], "RowTotal").size(), 1u);
    EXPECT_EQ(Named(pages[1], "RowTotal")[0].x, left);
    EXPECT_EQ(Named(pages[1], "RowTotal")[0].text, std::to_string(fit * (fit + 1) / 2));
}

TEST_F(PageEngineTest, GroupCountersInASubReportReadAsWhenPrintedDirectly) {
    // The same grouped list, printed on its own page and played inside a subreport.
    auto build = [&](bool asSubReport) {
        report.Clear();
        page = report.Pages->Add();
        TrpPage* list = page;
        if (asSubReport) {
            AddBand(btMasterData, 0, 20, "Host", "1");
            AddSubReportView(page, "List", 0, 0, 1);
            list = report.Pages->Add();
        }
        TrpBandView* header = AddBandView(list, btGroupHeader, 0, 20, "Group");
        header->FormatStr = "[Key]";
        AddMemoView(list, "GroupTitle", 0, 0, 100, 16, "group [Key] [LINE#]/[LINETHROUGH#]");
        AddBandView(list, btMasterData, 40, 20, "Data", "7");
        AddMemoView(list, "Row", 0, 40, 100, 16, "row [LINE#]/[LINETHROUGH#] [CURRENT#]");
        AddBandView(list, btGroupFooter, 80, 20, "GroupFoot");
        AddMemoView(list, "GroupSum", 0, 80, 100, 16, "sum [SUM([LINE#])]");
        report.OnGetValue = [this](const std::string& name, Variant& v) {
            if (name != "Key") return;
            int record = report.FindObject("Data")->Parent->DataSet->RecordNo;
            v = Variant(record < 3 ? "A" : record < 5 ? "B" : "C");
        };
        EXPECT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
        std::vector<std::string> texts;
        auto pages = Output();
        for (const Out& o : pages.at(0)) texts.push_back(o.text);
        return texts;
    };
    const std::vector<std::string> direct = build(false);
    EXPECT_EQ(direct, (std::vector<std::string>{"group A 1/1", "row 1/1 1", "row 2/2 2", "row 3/3 3", "sum 6",
                                                "group B 2/2", "row 1/4 4", "row 2/5 5", "sum 3", "group C 3/3",
                                                "row 1/6 6", "row 2/7 7", "sum 3"}));
    EXPECT_EQ(build(true), direct);
}

}  // namespace
