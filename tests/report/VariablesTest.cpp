#include <gtest/gtest.h>

#include "RP_Class.h"
#include "FakePageEngine.h"
#include "RP_Dict.h"
#include "RP_Vars.h"
#include "SysUtils.h"

namespace {

class TestView : public TrpView {
public:
    void Draw(TCanvas*) override {}
};

class VariablesTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = USFormatSettings(); }
    TrpVariables& Variables() { return context.Variables(); }
    void SetDictionary(const std::string& name, const std::string& expression) {
        report.Dictionary->Variables->SetVariable(" " + name, Variant(expression));
    }
    Variant Get(const std::string& name) {
        Variant v;
        resolver.GetVariableValue(name, v);
        return v;
    }
    // The message of the parser error that Get raises; empty when it raises none.
    std::string GetError(const std::string& name) {
        try {
            Get(name);
        } catch (const ErpParserError& e) {
            return e.Message;
        }
        return "";
    }
    TrpReport report{nullptr};
    TrpContext& context = report.Context();
    TrpValueResolver& resolver = context.Resolver();
};

TEST_F(VariablesTest, FormatValueByCategory) {
    TDateTime d = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    struct Row {
        Variant value;
        int32_t format;
        const char* formatStr;
        const char* expected;
    };
    const Row rows[] = {
        {Variant(3.5), rpMakeFormat(fcNumber, 0, 2, '.'), "", "3.5"},
        {Variant(3.5), rpMakeFormat(fcNumber, 1, 2, '.'), "", "3.50"},
        {Variant(3.5), rpMakeFormat(fcNumber, 1, 2, ','), "", "3,50"},
        {Variant(1234567.891), rpMakeFormat(fcNumber, 2, 2, '.'), "", "1,234,567.89"},
        {Variant(1234.5), rpMakeFormat(fcNumber, 3, 1, '.'), "", "1,234.5"},
        {Variant(1234.5), rpMakeFormat(fcNumber, 4, 0, '.'), "#,##0.00", "1,234.50"},
        {Variant("2.5"), rpMakeFormat(fcNumber, 1, 1, '.'), "", "2.5"},
        {Variant("abc"), rpMakeFormat(fcNumber, 1, 1, '.'), "", "abc"},  // fails: plain text
        {VarFromDateTime(d), rpMakeFormat(fcDate, 0, 0, 0), "", "03.05.24"},
        {VarFromDateTime(d), rpMakeFormat(fcDate, 2, 0, 0), "", "5 Mar 2024"},
        {VarFromDateTime(d), rpMakeFormat(fcDate, 3, 0, 0), "", "Tuesday, March 5, 2024"},
        {VarFromDateTime(d), rpMakeFormat(fcDate, 4, 0, 0), "yyyy-mm-dd", "2024-03-05"},
        {VarFromDateTime(d), rpMakeFormat(fcTime, 0, 0, 0), "", "14:07:09"},
        {VarFromDateTime(d), rpMakeFormat(fcTime, 3, 0, 0), "", "14:07"},
        {Variant(0), rpMakeFormat(fcBoolean, 1, 0, 0), "", "No"},
        {Variant(1), rpMakeFormat(fcBoolean, 1, 0, 0), "", "Yes"},
        {Variant(true), rpMakeFormat(fcBoolean, 3, 0, 0), "", "True"},
        {Variant(0), rpMakeFormat(fcBoolean, 4, 0, 0), "off;on", "off"},
        {Variant(12), rpMakeFormat(fcText, 0, 2, '.'), "", "12"},
        {Variant("  "), rpMakeFormat(fcText, 0, 2, '.'), "", ""},
        {Null(), rpMakeFormat(fcNumber, 1, 2, '.'), "", ""},
        {Variant(), rpMakeFormat(fcText, 0, 0, 0), "", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(rpFormatValue(r.value, r.format, r.formatStr), r.expected) << r.expected;
    EXPECT_EQ(FormatSettings.DecimalSeparator, '.');  // the format's separator never leaks out
}

TEST_F(VariablesTest, InlineFormats) {
    struct Row {
        const char* text;
        const char* expr;
        int category, index, decimals;
        char sep;
        const char* fmt;
    };
    const Row rows[] = {
        {"[x] #2.2", "[x]", fcNumber, 1, 2, '.', ""}, {"x #N#,##0.00", "x", fcNumber, 4, 0, '.', "#,##0.00"},
        {"x #N0,0", "x", fcNumber, 1, 0, ',', ""},    {"x #Dd mmm yyyy", "x", fcDate, 4, 0, 0, "d mmm yyyy"},
        {"x #tHH:nn", "x", fcDate, 4, 0, 0, "HH:nn"}, {"x #BNo;Yes", "x", fcBoolean, 4, 0, 0, "No;Yes"},
        {"x #Q", "x", fcText, 0, 2, '.', ""},         {"plain", "plain", fcText, 0, 2, '.', ""},
    };
    for (const Row& r : rows) {
        int32_t format = rpMakeFormat(fcText, 0, 2, '.');
        std::string fmt;
        EXPECT_EQ(rpApplyInlineFormat(r.text, format, fmt), r.expr) << r.text;
        EXPECT_EQ(rpFormatCategory(format), r.category) << r.text;
        EXPECT_EQ(rpFormatIndex(format), r.index) << r.text;
        EXPECT_EQ(rpFormatDecimals(format), r.decimals) << r.text;
        EXPECT_EQ(rpFormatSeparator(format), r.sep) << r.text;
        EXPECT_EQ(fmt, r.fmt) << r.text;
    }
}

TEST_F(VariablesTest, LookupOrder) {
    SetDictionary("Shared", "'dictionary'");
    SetDictionary("Dict", "'dictionary'");
    report.OnGetValue = [](const std::string& name, Variant& value) {
        if (name == "Shared") value = Variant("application");
    };
    EXPECT_EQ(VarToStr(Get("Shared")), "application");  // the application wins
    EXPECT_EQ(VarToStr(Get("Dict")), "dictionary");     // unassigned lets the lookup go on
    resolver.CurrentValue = Variant(42);
    EXPECT_EQ(Get("VALUE").AsInteger(), 42);
    context.TotalPagesCount = 4;
    EXPECT_EQ(Get("TOTALPAGES").AsInteger(), 4);
    TFakePageEngine engine;
    engine.OnSystemValue = [](const std::string& name, Variant& value) {
        if (name != "PAGE#") return false;
        value = Variant(3);
        return true;
    };
    EXPECT_EQ(Get("PAGE#").AsInteger(), 0);  // outside a build
    context.SetPageEngine(&engine);
    EXPECT_EQ(Get("PAGE#").AsInteger(), 3);
    Variables().SetVariable("Total", Variant(7));
    EXPECT_EQ(Get("TOTAL").AsInteger(), 7);
    EXPECT_EQ(Get("clRed").AsInteger(), 0xFF);  // named constant
    EXPECT_EQ(Get("1 + 2").AsDouble(), 3);      // the name as an expression
    EXPECT_EQ(VarToStr(context.Calc("[Shared] + '!'")), "application!");
}

TEST_F(VariablesTest, EarlierSourcesShadowLaterOnes) {
    // A dictionary variable named like a system variable wins over it.
    SetDictionary("DATE", "'from dictionary'");
    EXPECT_EQ(VarToStr(Get("DATE")), "from dictionary");
    EXPECT_EQ(VarType(Get("TIME")), varDate);
    // A report variable wins over the named constant of the same name.
    EXPECT_EQ(Get("clRed").AsInteger(), 0xFF);
    Variables().SetVariable("clRed", Variant(5));
    EXPECT_EQ(Get("clRed").AsInteger(), 5);
    // An application answer of Null is an answer: the lookup stops there.
    report.OnGetValue = [](const std::string& name, Variant& value) {
        if (name == "clRed") value = Null();
    };
    EXPECT_TRUE(VarIsNull(Get("clRed")));
}

TEST_F(VariablesTest, UndefinedSymbol) {
    EXPECT_EQ(GetError("Nothing"), "Undefined symbol \"NOTHING\"");
    resolver.Quiet = true;
    EXPECT_NO_THROW(Get("Nothing"));
    EXPECT_EQ(resolver.GetFormattedValue("Nothing"), "");
}

TEST_F(VariablesTest, SelfReferringDictionaryVariableStopsAtTheRepeat) {
    SetDictionary("A", "[B] + 1");
    SetDictionary("B", "[A]");
    EXPECT_EQ(GetError("A"), "Undefined symbol \"A\"");
    // the guard is released: an unrelated lookup works afterwards
    Variables().SetVariable("Z", Variant(1));
    EXPECT_EQ(Get("Z").AsInteger(), 1);
}

TEST_F(VariablesTest, FormattedValueUsesTheViewFormatAndHidesZeros) {
    TestView view;
    view.Format = rpMakeFormat(fcNumber, 1, 2, ',');
    context.ActiveView = &view;
    Variables().SetVariable("N", Variant(3.5));
    Variables().SetVariable("Zero", Variant(0));
    Variables().SetVariable("ZeroText", Variant("0"));
    EXPECT_EQ(resolver.GetFormattedValue("N"), "3,50");
    EXPECT_EQ(resolver.GetFormattedValue("N #2.1"), "3.5");
    EXPECT_EQ(resolver.GetFormattedValue("Zero"), "0,00");
    view.Flags |= flHideZeros;
    EXPECT_EQ(resolver.GetFormattedValue("Zero"), "");
    view.Format = rpMakeFormat(fcText, 0, 2, '.');
    EXPECT_EQ(resolver.GetFormattedValue("Zero"), "");
    EXPECT_EQ(resolver.GetFormattedValue("ZeroText"), "0");
    EXPECT_EQ(resolver.CurrentValue.AsInteger(), 0);  // VALUE keeps the unformatted value
}

TEST_F(VariablesTest, BuiltinProcedures) {
    std::vector<std::string> userCalls;
    TFakePageEngine engine;
    context.SetPageEngine(&engine);
    report.OnUserFunction = [&](const std::string& name, const Variant&, const Variant&, const Variant&, Variant&) {
        userCalls.push_back(name);
    };
    context.Calc("SHOWBAND( Band1 )");
    context.Calc("STOPREPORT(0)");
    EXPECT_EQ(engine.Told, (std::vector<std::string>{"SHOWBAND:Band1", "STOPREPORT:0"}));
    EXPECT_EQ(userCalls, (std::vector<std::string>{"SHOWBAND", "STOPREPORT"}));

    context.Calc("SETARRAY(Arr, 1 + 1, 'two')");
    EXPECT_EQ(VarToStr(Variables().GetVariable("Arr_Arr_2")), "two");
    EXPECT_EQ(VarToStr(context.Calc("Arr[2]")), "two");

    Variables().SetVariable("Counter", Variant(5));
    context.Calc("INC(Counter)");
    context.Calc("INC(Counter)");
    context.Calc("DEC(Counter)");
    EXPECT_EQ(Variables().GetVariable("Counter").AsInteger(), 6);
}

TEST_F(VariablesTest, CalcErrorText) {
    TestView view;
    view.Name = "Memo1";
    view.Memo->Add("[x]");
    EXPECT_EQ(rpCalcErrorText("Report1", &view, "Undefined symbol \"X\""),
              "An error occured during calculating\r[x]\r\rReport: Report1\rObject: Memo1\r\rUndefined symbol \"X\"");
    EXPECT_EQ(rpCalcErrorText("Report1", nullptr, "m"), "An error occured during calculating\r\rReport: Report1\r\rm");
}

}  // namespace
