// The memo view: wrapping and measuring with the bundled fonts, drawing
// positions, output into prepared pages.

#include <gtest/gtest.h>

#include <algorithm>

#include "GuiTestApp.h"
#include "RP_Class.h"
#include "RP_Pars.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

// Records every text output with its position.
class TextCanvas : public TCanvas {
public:
    struct Out {
        int x, y;
        std::string text;
        int breakExtra;
    };
    std::vector<Out> outs;
    void ExtTextOut(int X, int Y, unsigned, const TRect*, const std::string& Text, const std::vector<int>*) override {
        outs.push_back({X, Y, Text, 0});
    }
};

class MemoViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
        page = report.Pages->Add();
        memo = new TrpMemoView;
        memo->Name = "Memo1";
        memo->x = 10;
        memo->y = 20;
        memo->dx = 120;
        memo->dy = 40;
        page->AddObject(memo);
    }
    std::vector<std::string> Wrap(const std::string& text, int* height = nullptr) {
        memo->SMemo->SetText(text);
        int h = 0;
        auto lines = memo->WrapLines(h);
        if (height) *height = h;
        return lines;
    }
    int Width(const std::string& text) {
        TCanvas* c = rpGlobals().ScratchBitmap()->GetCanvas();
        c->SetFont(memo->Font.get());
        c->GetFont()->SetHeight(-memo->FontPixelHeight());
        return c->TextWidth(text);
    }
    static std::string Strip(std::string s) {
        s.erase(std::remove(s.begin(), s.end(), rpParagraphMark), s.end());
        return s;
    }

    TrpReport report{nullptr};
    TrpPage* page = nullptr;
    TrpMemoView* memo = nullptr;
};

TEST_F(MemoViewTest, WrappedLinesFitAndAreAsLongAsTheyCanBe) {
    const std::string text = "Amortization schedules show how each payment splits into interest and principal";
    // Widths at which every word fits a line.
    for (int width : {100, 150, 250}) {
        SCOPED_TRACE(width);
        memo->dx = width;
        int maxWidth = width - 2 * memo->gapx;
        auto lines = Wrap(text);
        ASSERT_GE(lines.size(), 2u);
        std::string joined;
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string line = Strip(lines[i]);
            EXPECT_LE(Width(line), maxWidth) << line;
            // The next word would not have fitted on this line.
            if (i + 1 < lines.size()) {
                std::string next = Strip(lines[i + 1]);
                std::string firstWord = next.substr(0, next.find(' '));
                EXPECT_GT(Width(line + " " + firstWord), maxWidth) << line;
            }
            joined += (i ? " " : "") + line;
        }
        EXPECT_EQ(joined, text);
        EXPECT_EQ(lines.back().back(), rpParagraphMark);  // only the paragraph's last line
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.find(rpParagraphMark) != std::string::npos; }),
                  1);
    }
}

TEST_F(MemoViewTest, LongWordBreaksAtTheLastCharacterThatFits) {
    memo->dx = 40;
    auto lines = Wrap("Supercalifragilistic");
    ASSERT_GE(lines.size(), 2u);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(Width(lines[i]), 40 - 2 * memo->gapx);
        EXPECT_GT(Width(lines[i] + Strip(lines[i + 1]).substr(0, 1)), 40 - 2 * memo->gapx);
    }
}

TEST_F(MemoViewTest, EveryLineHoldsACharacterEvenWhenNothingFits) {
    // Narrower than any glyph: wrapping still ends, one character a line.
    memo->dx = 2 * memo->gapx;
    auto lines = Wrap("WMW");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Strip(lines[0]), "W");
    EXPECT_EQ(Strip(lines[2]), "W");
}

TEST_F(MemoViewTest, ARunOfLineBreaksBreaksOnce) {
    memo->dx = 400;
    // One line holding breaks, as an OnBeforePrint handler may set it.
    memo->SMemo->Clear();
    memo->SMemo->Add("first\r\n\r\nsecond\r\n");
    int h = 0;
    auto lines = memo->WrapLines(h);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string("first") + rpParagraphMark);
    EXPECT_EQ(lines[1], std::string("second") + rpParagraphMark);
    EXPECT_EQ(h, 2 * memo->LineStep() + 2 * memo->gapy);
}

TEST_F(MemoViewTest, HeightsFromTheLineStep) {
    memo->Memo->SetText("[Empty]");
    report.OnGetValue = [](const std::string& name, Variant& v) {
        if (name == "Empty") v = Variant(std::string());
    };
    // An empty value still takes one line.
    EXPECT_EQ(memo->CalcHeight(), memo->LineStep() + 2 * memo->gapy);
    EXPECT_EQ(memo->FontPixelHeight(), 13);  // Arial 10 at 96 dpi
    EXPECT_EQ(memo->LineStep(), 15);
    EXPECT_EQ(memo->MinHeight(), 2 + 2 * memo->gapy + 15);
    memo->dy = 40;  // 40 - 2 - 2 = 36 = 2 * 15 + 6
    EXPECT_EQ(memo->RemainHeight(), 6 + 2 + 2);
}

TEST_F(MemoViewTest, LineStepOfZeroOrLessCountsAsOne) {
    memo->LineSpacing = -50;
    EXPECT_EQ(memo->LineStep(), 1);
    memo->dy = 10;
    EXPECT_GE(memo->RemainHeight(), 0);
    TextCanvas canvas;
    memo->Memo->SetText("a\r\nb");
    memo->Draw(&canvas);  // ends: the lines advance by one pixel
    ASSERT_EQ(canvas.outs.size(), 2u);
    EXPECT_EQ(canvas.outs[1].y, canvas.outs[0].y + 1);
}

TEST_F(MemoViewTest, HorizontalAlignmentPlacesEachLine) {
    memo->dx = 200;
    memo->FrameTyp = 0;
    const std::string text = "Total";
    int w = Width(text);
    struct Row {
        int32_t alignment;
        int expectedX;
    };
    // The draw rectangle of an unframed memo is (x, y, x + dx + 1, y + dy + 1).
    int W = memo->dx + 1;
    const Row rows[] = {
        {rptaLeft, 10 + 2},
        {rptaRight, 10 + W - 1 - 2 - w},
        {rptaCenter, 10 + 2 + (W - 4 - w) / 2},
    };
    for (const Row& r : rows) {
        TextCanvas canvas;
        memo->Alignment = r.alignment;
        memo->Memo->SetText(text);
        memo->Draw(&canvas);
        ASSERT_EQ(canvas.outs.size(), 1u);
        EXPECT_EQ(canvas.outs[0].x, r.expectedX) << r.alignment;
        EXPECT_EQ(canvas.outs[0].y, 20 + memo->gapy);
        EXPECT_EQ(canvas.outs[0].text, text);
    }
}

TEST_F(MemoViewTest, VerticalPositionOfTheTextBlock) {
    memo->dy = 100;
    memo->Memo->SetText("x");
    int textHeight = memo->LineStep() + 2 * memo->gapy;
    int H = memo->dy + 1;
    struct Row {
        int32_t alignment;
        int top;
    };
    const Row rows[] = {{0, 20}, {rptaMiddle, 20 + (H - textHeight) / 2}, {rptaBottom, 20 + H - textHeight - 1}};
    for (const Row& r : rows) {
        TextCanvas canvas;
        memo->Alignment = r.alignment;
        memo->Draw(&canvas);
        ASSERT_EQ(canvas.outs.size(), 1u);
        EXPECT_EQ(canvas.outs[0].y, r.top + memo->gapy) << r.alignment;
    }
}

TEST_F(MemoViewTest, SuppressedRepeatsMeasureNothingAndWriteNothing) {
    memo->Flags |= flSuppress;
    memo->Memo->SetText("Same");
    TMemoryStream first, second;
    EXPECT_GT(memo->CalcHeight(), 0);
    memo->WritePreparedObject(&first);
    EXPECT_GT(first.GetSize(), 0);
    EXPECT_EQ(memo->CalcHeight(), 0);
    memo->WritePreparedObject(&second);
    EXPECT_EQ(second.GetSize(), 0);
}

TEST_F(MemoViewTest, PreparedPageKeepsTheEvaluatedText) {
    memo->Memo->SetText("Total [X]");
    report.Context().Variables().SetVariable("X", 42);
    report.EMFPages->Add(page);
    memo->WritePreparedObject(report.EMFPages->Page(0).Stream.get());
    EXPECT_EQ(memo->Memo->GetText(), "Total [X]\r\n");  // the template keeps its text
    report.EMFPages->LoadPageObjects(0);
    TrpPage* prepared = report.EMFPages->Page(0).Page.get();
    ASSERT_EQ(prepared->Count(), 1);
    auto* copy = dynamic_cast<TrpMemoView*>(prepared->Objects[0]);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Memo->GetText(), "Total 42\r\n");
    EXPECT_EQ(copy->Font->GetName(), "Arial");
    EXPECT_EQ(copy->x, memo->x);
}

TEST_F(MemoViewTest, ValuesWithLineBreaksExpandIntoLines) {
    report.Context().Variables().SetVariable("Two", Variant("a\r\n\r\nb"));
    memo->Memo->SetText("[Two]\r\nend");
    memo->ExpandVariables();
    ASSERT_EQ(memo->SMemo->Count(), 4);
    EXPECT_EQ(memo->SMemo->Get(1), "");  // the value's empty line stays
    EXPECT_EQ(memo->SMemo->Get(3), "end");
    memo->Flags |= flTextOnly;
    memo->ExpandVariables();
    EXPECT_EQ(memo->SMemo->Get(0), "[Two]");
}

TEST(Hyphenation, BreakPointsOfCyrillicWords) {
    // Vowel then vowel, or consonant + vowel after a vowel.
    EXPECT_EQ(rpHyphenationPoints("молоко"), (std::vector<int>{2, 4}));
    EXPECT_EQ(rpHyphenationPoints("дом"), std::vector<int>{});
    EXPECT_EQ(rpHyphenationPoints("word"), std::vector<int>{});  // no Cyrillic vowels
}

}  // namespace

namespace {

TEST_F(MemoViewTest, AutoWidthTakesTheTextWidthAndRightAlignedKeepsItsRightEdge) {
    report.Context().BuildMode = true;  // as when prepared pages are drawn
    memo->Flags |= flAutoWidth;
    memo->Memo->SetText("Total");
    const int expected = rpRound(Width("Total") + memo->FrameWidth + 2 * memo->gapx + 1);
    TextCanvas canvas;
    memo->Draw(&canvas);
    EXPECT_EQ(memo->dx, expected);
    EXPECT_EQ(memo->x, 10);
    memo->dx = 200;
    memo->Alignment = rptaRight;
    memo->Draw(&canvas);
    EXPECT_EQ(memo->dx, expected);
    EXPECT_EQ(memo->x + memo->dx, 10 + 200);
    report.Context().BuildMode = false;
}

TEST_F(MemoViewTest, RotatedLinesAdvanceAcrossAndReadUpwards) {
    memo->Alignment = rptaVertical;
    memo->dx = 60;
    memo->dy = 200;
    memo->Memo->SetText("up\r\nwards");
    TextCanvas canvas;
    memo->Draw(&canvas);
    ASSERT_EQ(canvas.outs.size(), 2u);
    // Left alignment of turned text starts at the bottom; lines step to the right.
    EXPECT_EQ(canvas.outs[0].y, 20 + memo->dy + 1 - memo->gapy);
    EXPECT_EQ(canvas.outs[0].x, 10 + memo->gapx);
    EXPECT_EQ(canvas.outs[1].x, 10 + memo->gapx + memo->LineStep());
}

}  // namespace
