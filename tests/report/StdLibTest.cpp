#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "MsgBox.h"
#include "RP_Class.h"
#include "RP_Context.h"
#include "RP_Dict.h"
#include "RP_StdLib.h"
#include "RP_Vars.h"
#include "FakePageEngine.h"
#include "SysUtils.h"

namespace {

class StdLibTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings = USFormatSettings();
        rpRegisterFunctionLibrary<TrpStdFunctionLibrary>();
    }
    TrpVariables& Variables() { return context.Variables(); }
    std::string Text(const std::string& expr) { return VarToStr(context.Calc(expr)); }

    TrpReport report{nullptr};
    TrpContext& context = report.Context();
};

TEST_F(StdLibTest, TextAndNumberFunctions) {
    Variables().SetVariable("D", VarFromDateTime(EncodeDate(2023, 11, 7)));
    struct Row {
        const char* expr;
        const char* expected;
    };
    const Row rows[] = {
        {"NAMECASE('mIXED case')", "Mixed case"},
        {"NAMECASE('')", ""},
        {"POS('c', 'abc')", "3"},
        {"POS('z', 'abc')", "0"},
        {"POS('b', 'äb')", "2"},  // characters, not bytes
        {"LENGTH('')", "0"},
        {"LENGTH('äöü')", "3"},
        {"UPPERCASE('abc')", "ABC"},
        {"LOWERCASE('ABC')", "abc"},
        {"TRIM('  x  ')", "x"},
        {"MAXNUM(2, 3)", "3"},
        {"MINNUM(2, 3)", "2"},
        {"FORMATFLOAT('#,##0.00', 1234.5)", "1,234.50"},
        {"FORMATDATETIME('yyyy-mm-dd', [D])", "2023-11-07"},
        {"DAYOF([D])", "7"},
        {"MONTHOF([D])", "11"},
        {"YEAROF([D])", "2023"},
        {"FORMATTEXT('000-0000', '5551234')", "555-1234"},
        {"FORMATTEXT('(000) 000', '12')", "(12 )    "},
    };
    for (const Row& r : rows) EXPECT_EQ(Text(r.expr), r.expected) << r.expr;
}

TEST_F(StdLibTest, MaxNumAndMinNumGiveTheSecondOnATie) {
    Variables().SetVariable("A", Variant(2));
    Variables().SetVariable("B", Variant(2.0));
    EXPECT_EQ(VarType(context.Calc("MAXNUM([A], [B])")), varDouble);
    EXPECT_EQ(VarType(context.Calc("MINNUM([A], [B])")), varDouble);
}

TEST_F(StdLibTest, ConversionErrorsReachTheCaller) {
    EXPECT_THROW(context.Calc("DAYOF('not a date')"), Exception);
    EXPECT_THROW(context.Calc("MESSAGEBOX('a', 'b', 'x')"), Exception);
}

TEST_F(StdLibTest, DialogFunctionsGoThroughTheirHooks) {
    context.InputBox = [](const std::string& caption, const std::string& prompt, const std::string& def) {
        return caption + "|" + prompt + "|" + def;
    };
    EXPECT_EQ(Text("INPUT('Name?', 'Bob')"), "|Name?|Bob");
    auto old = SetMessageBoxHook([](const std::string& text, const std::string& caption, unsigned flags) {
        return static_cast<int>(flags) + static_cast<int>(text.size() + caption.size());
    });
    EXPECT_EQ(context.Calc("MESSAGEBOX('ab', 'c', 4)").AsInteger(), 7);
    SetMessageBoxHook(old);
}

// A band as the aggregates see it.
class FakeBand : public TrpAggregateBand {
public:
    FakeBand(std::string name, int type) : Name(std::move(name)), Type(type) {}
    std::string GetAggregateBandName() const override { return Name; }
    int GetAggregateBandType() const override { return Type; }
    TrpVariables* GetAggregates() override { return &List; }
    TrpAggregateBand* GetAccumulatingBand() const override { return Accumulating; }
    void SetAccumulatingBand(TrpAggregateBand* band) override { Accumulating = band; }
    int GetAggregateCount(const std::string&) const override { return Count; }
    bool KeysPerColumn() const override { return PerColumn; }

    std::string Name;
    int Type;
    TrpVariables List;
    TrpAggregateBand* Accumulating = nullptr;
    bool PerColumn = false;
    int Count = 0;
};

class AggregateTest : public StdLibTest {
protected:
    void SetUp() override {
        StdLibTest::SetUp();
        engine.OnDeclaring = [this] { return declaring; };
        engine.OnShowingBand = [this]() -> TrpAggregateBand* { return showing; };
        engine.OnPreparedBand = [this]() -> TrpAggregateBand* { return prepared; };
        engine.OnFindBand = [this](const std::string& name) -> TrpAggregateBand* {
            for (FakeBand* b : {&master, &footer, &detail})
                if (SameText(b->Name, name)) return b;
            return nullptr;
        };
        engine.OnFindDataBand = [this](int type) -> TrpAggregateBand* {
            for (FakeBand* b : {&master, &detail})
                if (b->Type == type) return b;
            return nullptr;
        };
        context.SetPageEngine(&engine);
    }
    // Declares the aggregates of the expression, as preparing the data band does.
    void Declare(const std::string& expr) {
        declaring = true;
        showing = &footer;
        prepared = &master;
        context.Resolver().Quiet = true;
        context.Calc(expr);
        context.Resolver().Quiet = false;
        declaring = false;
    }

    TFakePageEngine engine;
    FakeBand master{"MasterData1", rpbtMasterData};
    FakeBand detail{"DetailData1", rpbtDetailData};
    FakeBand footer{"Footer1", rpbtMasterFooter};
    bool declaring = false;
    TrpAggregateBand* showing = nullptr;
    TrpAggregateBand* prepared = nullptr;
};

TEST_F(AggregateTest, DeclaringAddsKeysWithTheirStartValues) {
    Declare("SUM([x])");
    Declare("MIN([x])");
    Declare("MAX([x])");
    Declare("COUNT(MasterData1)");
    ASSERT_EQ(master.List.Count(), 4);
    EXPECT_EQ(master.List.GetVariable(rpAggregateKey("Footer1", rpagSum, "[x]", "")).AsInteger(), 0);
    EXPECT_EQ(master.List.GetVariable(rpAggregateKey("Footer1", rpagMin, "[x]", "")).AsDouble(), 1e300);
    // MAX starts from the other end, so all-negative values are not lost to 0
    EXPECT_EQ(master.List.GetVariable(rpAggregateKey("Footer1", rpagMax, "[x]", "")).AsDouble(), -1e300);
    EXPECT_GE(master.List.IndexOf(rpAggregateKey("Footer1", rpagCount, "", "")), 0);
    EXPECT_EQ(footer.Accumulating, &master);
    EXPECT_EQ(detail.List.Count(), 0);
}

TEST_F(AggregateTest, OnlyTheBandBeingPreparedDeclares) {
    declaring = true;
    showing = &footer;
    prepared = &detail;  // a footer of the master band is not declared while the detail band prepares
    context.Calc("SUM([x])");
    EXPECT_EQ(master.List.Count(), 0);
    EXPECT_EQ(detail.List.Count(), 0);
    context.Calc("SUM([x], DetailData1)");
    EXPECT_EQ(detail.List.Count(), 1);
}

TEST_F(AggregateTest, PerColumnKeysGetTheZeroPrefix) {
    footer.PerColumn = true;
    Declare("SUM(1)");
    EXPECT_EQ(master.List.GetName(0), std::string("0\x01") + rpAggregateKey("Footer1", rpagSum, "1", ""));
}

TEST_F(AggregateTest, PrintingReadsTheAccumulatedValue) {
    Declare("SUM([x])");
    master.List.SetVariable(rpAggregateKey("Footer1", rpagSum, "[x]", ""), Variant(-12.5));
    showing = &footer;
    EXPECT_EQ(context.Calc("SUM([x])").AsDouble(), -12.5);
    EXPECT_TRUE(VarIsNull(context.Calc("AVG([y])")));  // never declared
}

// The code and expression fields of an aggregate key.
void SplitKey(const std::string& key, char& code, std::string& expression) {
    size_t codeAt = key.find('\x01') + 1;
    code = key[codeAt];
    size_t exprAt = codeAt + 2;
    expression = key.substr(exprAt, key.find('\x01', exprAt) - exprAt);
}

// Runs a data band over the values the way the band engine does: every
// entry is reset to its start value, then each record's value of the entry's
// expression is added to it.
void RunBand(TrpContext& context, FakeBand& band, const std::vector<double>& values) {
    TrpVariables& list = band.List;
    char code;
    std::string expression;
    for (int i = 0; i < list.Count(); ++i) {
        SplitKey(list.GetName(i), code, expression);
        list.SetValue(i, rpAggregateStartValue(code));
    }
    band.Count = 0;
    for (double x : values) {
        context.Variables().SetVariable("X", Variant(x));
        for (int i = 0; i < list.Count(); ++i) {
            SplitKey(list.GetName(i), code, expression);
            Variant entry = list.GetValue(i);
            rpAccumulateAggregate(code, entry, code == rpagCount ? Variant() : context.Calc(expression));
            list.SetValue(i, entry);
        }
        ++band.Count;
    }
}

TEST_F(AggregateTest, AggregatesOverBandsOfValues) {
    for (const char* expr : {"SUM([x])", "MIN([x])", "MAX([x])", "AVG([x])", "COUNT(MasterData1)"}) Declare(expr);
    const std::vector<std::vector<double>> groups = {
        {3, -1, 4.5}, {-5, -2, -9}, {7}, {}, {-0.25, -0.5},
    };
    for (const auto& values : groups) {
        RunBand(context, master, values);
        showing = &footer;
        double sum = 0, lo = 1e300, hi = -1e300;
        for (double v : values) {
            sum += v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        const std::string label = "group of " + std::to_string(values.size());
        EXPECT_DOUBLE_EQ(context.Calc("SUM([x])").AsDouble(), sum) << label;
        EXPECT_DOUBLE_EQ(context.Calc("MIN([x])").AsDouble(), lo) << label;
        // all-negative groups keep their largest value instead of a starting 0;
        // no records give 0, never the start value
        EXPECT_DOUBLE_EQ(context.Calc("MAX([x])").AsDouble(), values.empty() ? 0 : hi) << label;
        EXPECT_DOUBLE_EQ(context.Calc("AVG([x])").AsDouble(), values.empty() ? 0 : sum / values.size()) << label;
        EXPECT_EQ(context.Calc("COUNT(MasterData1)").AsInteger(), int(values.size())) << label;
    }
}

TEST_F(AggregateTest, AverageOverNoRecordsIsZeroNotADivision) {
    EXPECT_EQ(VarType(rpAggregateValue(rpagAvg, Variant(0), 0)), varInteger);
    EXPECT_EQ(rpAggregateValue(rpagAvg, Variant(0), 0).AsInteger(), 0);
    EXPECT_DOUBLE_EQ(rpAggregateValue(rpagAvg, Variant(7), 2).AsDouble(), 3.5);
    // the other codes show the entry as it stands, whatever the count
    EXPECT_EQ(rpAggregateValue(rpagSum, Variant(9), 0).AsInteger(), 9);
    EXPECT_DOUBLE_EQ(rpAggregateValue(rpagMin, Variant(1e300), 0).AsDouble(), 1e300);
}

TEST_F(AggregateTest, EmptyAndNullValuesCountAsZero) {
    struct Row {
        char code;
        Variant start;
        Variant value;
        double expected;
    };
    const Row rows[] = {
        {rpagSum, Variant(2), Variant(), 2},
        {rpagSum, Variant(2), Null(), 2},
        {rpagMax, rpAggregateStartValue(rpagMax), Null(), 0},
        {rpagMin, rpAggregateStartValue(rpagMin), Variant(), 0},
        {rpagCount, Variant(4), Variant("ignored"), 5},
        {rpagSum, Variant(1), Variant("2.5"), 3.5},
    };
    for (const Row& r : rows) {
        Variant entry = r.start;
        rpAccumulateAggregate(r.code, entry, r.value);
        EXPECT_DOUBLE_EQ(entry.AsDouble(), r.expected) << int(r.code);
    }
}

TEST_F(AggregateTest, SplitterFindsAggregateCallsInMemosAndScripts) {
    TStringList out, memo, script, errors;
    TrpVariables dictionary;
    dictionary.SetVariable("Total", Variant("SUM([Amount])"));
    TAggregateFunctionsSplitter splitter(&out, &dictionary);
    memo.Add("Sum: [SUM([x]) #N0.00] and [MAX(COUNT(MasterData1), 1)]");
    memo.Add("[Total] [plain]");
    splitter.SplitMemo(&memo);
    ASSERT_EQ(out.Count(), 4);
    EXPECT_EQ(out[0], "SUM([x])");
    EXPECT_EQ(out[1], "COUNT(MasterData1)");
    EXPECT_EQ(out[2], "MAX(COUNT(MasterData1), 1)");
    EXPECT_EQ(out[3], "SUM([Amount])");

    out.Clear();
    TStringList source;
    source.Add("begin t := AVG([x]) end");
    context.Interpreter().CompileScript(&source, &script, &errors);
    ASSERT_EQ(errors.Count(), 0);
    splitter.SplitScript(&script);
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out[0], "AVG([x])");
}

TEST_F(AggregateTest, SplitterExpandsVariablesOfALoadedDictionary) {
    // A loaded dictionary holds its variables' names with a leading blank.
    TrpDataDictionary dictionary(context);
    dictionary.Variables->SetVariable("Total", Variant("SUM([Amount]) / 2"));
    TMemoryStream stream;
    dictionary.SaveToStream(&stream);
    stream.SetPosition(0);
    dictionary.LoadFromStream(&stream);
    ASSERT_EQ(dictionary.Variables->GetName(0), " Total");

    TStringList out, memo, source, script, errors;
    TAggregateFunctionsSplitter splitter(&out, dictionary.Variables.get());
    memo.Add("[Total]");
    splitter.SplitMemo(&memo);
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out[0], "SUM([Amount])");

    out.Clear();
    source.Add("begin t := Total + 1 end");
    context.Interpreter().CompileScript(&source, &script, &errors);
    ASSERT_EQ(errors.Count(), 0);
    splitter.SplitScript(&script);
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out[0], "SUM([Amount])");
}

TEST_F(StdLibTest, ScriptAssignmentsReachReportVariablesAndObjects) {
    Variables().SetVariable("Existing", Variant(1));
    report.Dictionary->Variables->SetVariable(" InDictionary", Variant("1 + 1"));
    TFakePageEngine engine;
    TInterpretator& interp = context.Interpreter();
    // Outside a build the page engine's names go nowhere.
    interp.SetVariableValue("CurY", Variant(50));
    context.SetPageEngine(&engine);
    interp.SetVariableValue("Existing", Variant(5));
    interp.SetVariableValue("InDictionary", Variant(6));
    interp.SetVariableValue("CurY", Variant(100));
    interp.SetVariableValue("Progress", Variant("half"));
    interp.SetVariableValue("Fresh", Variant(7));
    context.SetPageEngine(nullptr);
    EXPECT_EQ(Variables().GetVariable("Existing").AsInteger(), 5);
    EXPECT_EQ(Variables().IndexOf("InDictionary"), -1);
    EXPECT_EQ(report.Dictionary->GetValue("InDictionary").AsInteger(), 6);
    EXPECT_EQ(Variables().GetVariable("Fresh").AsInteger(), 7);
    EXPECT_EQ(Variables().IndexOf("CurY"), -1);
    EXPECT_EQ(engine.Told, (std::vector<std::string>{"cury:100", "progress:half"}));
}

TEST(FormatMaskTextTest, MaskRows) {
    FormatSettings = USFormatSettings();
    struct Row {
        const char* mask;
        const char* value;
        const char* expected;
    };
    const Row rows[] = {
        {"000-0000;0; ", "5551234", "555-1234"}, {"000-0000;1;_", "555-1234", "555-1234"},
        {"000-0000;0;_", "55", "55_-____"},      {">LL<ll;0; ", "abCD", "ABcd"},
        {"\\(000\\);0; ", "123", "(123)"},       {"00/00;0; ", "1231", "12/31"},
    };
    for (const Row& r : rows) EXPECT_EQ(FormatMaskText(r.mask, r.value), r.expected) << r.mask;
}

}  // namespace
