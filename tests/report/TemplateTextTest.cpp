// Report templates read from their text sources: what each line makes, the
// faults named with their line, and the template's way through the stream.

#include <gtest/gtest.h>

#include "GuiTestApp.h"
#include "RP_TemplateText.h"
#include "RP_View.h"

namespace {

const char* const kSource =
    "# a small report\n"
    "report rpSmall\n"
    "page Form\n"
    "\n"
    "band ReportTitle1 title 53 100\n"
    "memo lblTitle 40 60 696 30 16 bold \"Title\"\n"
    "memo lblNote 32 90 300 40 8 right top wrap \"first line\" \"second line\"\n"
    "line Line1 32 132 712\r\n"
    "band MasterData1 master 200 18 rpSmallDataset\n"
    "memo Cell1 46 200 50 18 8 center \"[Cell1]\"\n";

TEST(TemplateTextTest, LinesMakeTheirObjects) {
    EnsureGuiApp();
    TrpReport report(nullptr);
    EXPECT_EQ(rpReadTemplateText(report, kSource), "rpSmall");
    ASSERT_EQ(report.Pages->Count(), 1);
    TrpPage* page = report.Pages->Pages(0);
    EXPECT_EQ(page->Name, "Form");
    EXPECT_EQ(page->Width, 2159);
    EXPECT_EQ(page->Height, 2794);
    ASSERT_EQ(page->Count(), 6);

    auto* title = dynamic_cast<TrpMemoView*>(page->FindObject("lbltitle"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ((std::array{title->x, title->y, title->dx, title->dy}), (std::array{40, 60, 696, 30}));
    EXPECT_EQ(title->Font->GetSize(), 16);
    EXPECT_TRUE(title->Font->GetStyle().Contains(fsBold));
    EXPECT_EQ(title->Alignment, rptaLeft | rptaMiddle);
    EXPECT_FALSE(title->Flags & flWordWrap);

    auto* note = dynamic_cast<TrpMemoView*>(page->FindObject("lblNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Memo->GetText(), "first line\r\nsecond line\r\n");
    EXPECT_EQ(note->Alignment, rptaRight);
    EXPECT_TRUE(note->Flags & flWordWrap);
    EXPECT_EQ(note->Font->GetSize(), 8);

    auto* line = dynamic_cast<TrpLineView*>(page->FindObject("Line1"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->dx, 712);
    EXPECT_EQ(line->dy, 0);

    auto* data = dynamic_cast<TrpBandView*>(page->FindObject("MasterData1"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->BandType(), 5);
    EXPECT_EQ(data->FormatStr, "rpSmallDataset");
    EXPECT_EQ(dynamic_cast<TrpMemoView*>(page->FindObject("Cell1"))->Alignment, rptaCenter | rptaMiddle);
}

TEST(TemplateTextTest, TemplateSurvivesTheEnginesStream) {
    EnsureGuiApp();
    TrpReport report(nullptr);
    rpReadTemplateText(report, kSource);
    TMemoryStream stream;
    report.SaveToStream(&stream);
    stream.SetPosition(0);
    TrpReport loaded(nullptr);
    loaded.LoadFromStream(&stream);
    ASSERT_EQ(loaded.Pages->Count(), 1);
    auto* note = dynamic_cast<TrpMemoView*>(loaded.FindObject("lblNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Memo->GetText(), "first line\r\nsecond line\r\n");
    EXPECT_EQ(note->Font->GetName(), "Arial");
    EXPECT_EQ(note->Alignment, rptaRight);
    EXPECT_EQ(loaded.Pages->Pages(0)->Count(), 6);
}

TEST(TemplateTextTest, FaultsNameTheirLine) {
    EnsureGuiApp();
    const struct {
        const char* Text;
        const char* Message;
    } rows[] = {
        {"report r\npage Form\nmemo m 1 2 x 4\n", "line 3: \"x\" is not a number"},
        {"report r\npage Form\nbox b 1 2 3 4\n", "line 3: unknown object kind \"box\""},
        {"report r\npage Form\nmemo m 1 2 3 4 italic\n", "line 3: unknown memo option \"italic\""},
        {"report r\npage Form\nmemo m 1 2 3 4 \"open\n", "line 3: unterminated text"},
        {"report r\npage Form\nband b side 1 2\n", "line 3: unknown band type \"side\""},
        {"report r\npage Form\nline a 1 2 3\nline A 1 2 3\n", "line 4: a second object named A"},
        {"report r\nmemo m 1 2 3 4\n", "line 2: an object before the \"page\" line"},
        {"page Form\n", "no \"report\" line"},
    };
    for (const auto& r : rows) {
        TrpReport report(nullptr);
        try {
            rpReadTemplateText(report, r.Text);
            ADD_FAILURE() << r.Text;
        } catch (const ErpTemplateError& e) {
            EXPECT_NE(e.Message.find(r.Message), std::string::npos) << e.Message;
        }
    }
}

}  // namespace
