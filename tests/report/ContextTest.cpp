// Each report evaluates through its own context: no shared state between reports.

#include "ReportTestViews.h"
#include "RP_Vars.h"

#include <set>

class ContextTest : public TemplateFixture {};

TEST_F(ContextTest, TwoReportsAnswerTheirOwnNamesWithoutRepointing) {
    TrpReport other(nullptr);
    report->OnGetValue = [](const std::string& name, Variant& v) {
        if (name == "Cell1") v = Variant("first");
    };
    other.OnGetValue = [](const std::string& name, Variant& v) {
        if (name == "Cell1") v = Variant("second");
    };
    TrpPage* page = report->Pages->Add();
    TTestView* mine = AddView(page, gtMemo, "Memo1");
    TTestView* theirs = AddView(other.Pages->Add(), gtMemo, "Memo1");
    mine->x = 5;
    theirs->x = 9;
    // Interleaved: each report's parser stays bound to its own resolver.
    EXPECT_EQ(VarToStr(Context().Calc("[Cell1]")), "first");
    EXPECT_EQ(VarToStr(other.Context().Calc("[Cell1]")), "second");
    EXPECT_EQ(Context().Calc("Memo1.Left").AsInteger(), 5);
    EXPECT_EQ(other.Context().Calc("Memo1.Left").AsInteger(), 9);
    Context().Variables().SetVariable("Only", 1);
    EXPECT_EQ(other.Context().Variables().IndexOf("Only"), -1);
    EXPECT_EQ(mine->Context(), &Context());
    EXPECT_EQ(theirs->Context(), &other.Context());
}

TEST_F(ContextTest, TemplateReaderRaisesAndShowsNothing) {
    TMemoryStream tooNew;
    WriteByteToStream(&tooNew, rpCurrentTemplateVersion + 1);
    tooNew.SetPosition(0);
    report->Pages->Add();
    EXPECT_THROW(report->LoadFromStream(&tooNew), ErpTemplateError);
    EXPECT_EQ(report->Pages->Count(), 1);  // the pages stay as they were

    TMemoryStream damaged;
    WriteByteToStream(&damaged, rpCurrentTemplateVersion);
    WriteWordToStream(&damaged, 0);
    damaged.SetPosition(0);
    try {
        report->LoadFromStream(&damaged);
        ADD_FAILURE() << "no error";
    } catch (const ErpTemplateError& e) {
        EXPECT_EQ(e.Message, "Unsupported RPF format");
    }
    EXPECT_EQ(report->Pages->Count(), 1);
    EXPECT_EQ(report->Pages->Pages(0)->Count(), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ContextTest, AViewScriptThatDoesNotCompileIsAnErrorNotSkipped) {
    TTestView* view = AddView(report->Pages->Add(), gtMemo, "Memo1");
    view->Script->SetText("if then");
    TMemoryStream out;
    EXPECT_THROW(view->WritePreparedObject(&out), ErpParserError);
}

TEST_F(ContextTest, ScratchValuesAreRestoredWhenExpansionFails) {
    TTestView* view = AddView(report->Pages->Add(), gtMemo, "Memo1");
    TTestView* before = AddView(report->Pages->Pages(0), gtMemo, "Memo2");
    Context().ActiveView = before;
    std::string text = "[NoSuchName]";
    EXPECT_THROW(rpExpandExpressions(Context(), view, text), ErpParserError);
    EXPECT_EQ(Context().ActiveView, before);
}

// Unnamed objects of an old template get the first free "<base>N". While the
// template loads each search goes on from the last one, so naming n objects
// asks about n names, not n squared (thousands of views took most of a minute).
TEST_F(ContextTest, NamingUnnamedObjectsWhileLoadingAsksAboutEachNameOnce) {
    TrpContext& context = report->Context();
    std::set<std::string> names = {"MEMO1", "MEMO3"};
    int asked = 0;
    auto taken = [&](const std::string& c) {
        ++asked;
        return names.count(UpperCase(c)) > 0;
    };
    auto next = [&](const std::string& base) {
        std::string n = context.FreeName(base, taken);
        names.insert(UpperCase(n));
        return n;
    };
    context.BuildMode = false;
    context.ResetNameSearch();
    EXPECT_EQ(next("Memo"), "Memo2");
    EXPECT_EQ(next("Memo"), "Memo4");
    EXPECT_EQ(next("Shape"), "Shape1");
    asked = 0;
    for (int i = 0; i < 4000; ++i) next("Memo");
    EXPECT_EQ(asked, 4000);
    EXPECT_TRUE(names.count("MEMO4004"));
    context.ResetNameSearch();
    names.erase("MEMO2");
    EXPECT_EQ(next("Memo"), "Memo2") << "a new search finds the first free number";
}
