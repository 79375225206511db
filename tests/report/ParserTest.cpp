#include <gtest/gtest.h>

#include <map>

#include "RP_Pars.h"
#include "SysUtils.h"

namespace {

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings = USFormatSettings();
        parser.OnGetValue = [this](const std::string& name, Variant& value) {
            asked.push_back(name);
            auto it = values.find(name);
            if (it != values.end()) value = it->second;
        };
        parser.OnFunction = [this](const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                                   Variant& val) {
            calls.push_back(name + "|" + VarToStr(p1) + "|" + VarToStr(p2) + "|" + VarToStr(p3));
            val = Variant(name);
        };
    }
    double Num(const std::string& text) { return parser.Calc(text).AsDouble(); }

    TrpParser parser;
    std::map<std::string, Variant> values;
    std::vector<std::string> asked, calls;
};

TEST_F(ParserTest, PriorityAndAssociation) {
    values = {{"A", Variant(1)}, {"B", Variant(2)}};
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {"", 0},
        {"1 + 2 * 3", 7},
        {"2 - 3 - 4", -5},
        {"(1 + 2) * 3", 9},
        {"-2 * 3", -6},
        {"7 MOD 3", 1},
        {"10 / 0", 0},
        {"10 / 4", 2.5},
        {"3 >= 3", 1},
        {"3 <> 3", 0},
        {"2 <= 1", 0},
        {"1 < 2", 1},
        {"(a = 1) AND (b = 2)", 1},
        {"(a = 1) AND (b = 3)", 0},
        {"a = 1 AND b = 2", 0},  // (a = (1 AND b)) = 2: comparisons bind loosest
        {"1 OR 2", 3},
        {"NOT 0", 1},
        {"NOT 5", 0},
        {"INT(2.9999999999999)", 3},
        {"INT(-2.5)", -2},
        {"FRAC(3.00000000001)", 0},
        {"FRAC(2.25)", 0.25},
        {"ROUND(2.5)", 2},
        {"ROUND(3.5)", 4},
        {"1,5 + 1.5", 3},
        {"x + 1; anything at all", 1},
    };
    values["X"] = Variant(0);
    for (const Row& r : rows) EXPECT_DOUBLE_EQ(Num(r.text), r.expected) << r.text;
}

TEST_F(ParserTest, UnaryOperatorsAfterOperatorsKeepArithmeticSense) {
    values = {{"A", Variant(1)}, {"B", Variant(0)}, {"X", Variant(7)}};
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {"2 * -3", -6},     {"2 * -3 * 4", -24}, {"6 / -2", -3},   {"2 * +3", 6},    {"1 = -1", 0},
        {"-1 = -1", 1},     {"3 > -2", 1},       {"NOT NOT x", 1}, {"NOT NOT 0", 0}, {"a AND NOT b", 1},
        {"a AND NOT a", 0}, {"-(2 + 3)", -5},    {"- -4", 4},      {"INT -2.5", -2},
    };
    for (const Row& r : rows) EXPECT_DOUBLE_EQ(Num(r.text), r.expected) << r.text;
}

TEST_F(ParserTest, MissingOperandsRaiseInsteadOfTouchingOutsideTheStack) {
    for (const char* text : {"1 +", "*", "AND 1", "NOT", "-", "1 2 * *"})
        EXPECT_THROW(parser.Calc(text), ErpParserError) << text;
    // postfix handed in directly, e.g. from a damaged compiled script
    EXPECT_THROW(parser.EvalPostfix("+"), ErpParserError);
    EXPECT_THROW(parser.EvalPostfix("1 \x0c\x0c\x05"), ErpParserError);
}

TEST_F(ParserTest, StackHoldsThirtyTwoValues) {
    std::string fits, overflows;
    for (int i = 0; i < 32; ++i) fits += "1 ";
    overflows = fits + "1 ";
    EXPECT_EQ(parser.EvalPostfix(fits).AsInteger(), 1);
    EXPECT_THROW(parser.EvalPostfix(overflows), ErpParserError);
    // deeply nested right-hand operands need more than 32 slots
    std::string deep = "1";
    for (int i = 0; i < 40; ++i) deep = "1 + (" + deep + ")";
    EXPECT_THROW(parser.Calc(deep), ErpParserError);
}

TEST(OperatorPriorityTest, PriorityTable) {
    struct Row {
        char code;
        int priority;
    };
    const Row rows[] = {
        {rpopGreaterEq, 3}, {rpopLessEq, 3}, {rpopNotEqual, 3},
        {'<', 3},           {'=', 3},        {'>', 3},
        {rpopOr, 1},        {rpopAnd, 1},    {'*', 1},
        {'/', 1},           {rpopMod, 1},    {rpopNot, 1},
        {'+', 2},           {'-', 2},        {rpopNegate, 2},
        {rpopPlus, 2},      {rpopInt, 0},    {rpopFrac, 0},
        {rpopRound, 0},     {rpopStr, 0},    {8, 0},
        {'x', 0},           {'(', 5},        {')', 4},
    };
    for (const Row& r : rows) EXPECT_EQ(OperatorPriority(r.code), r.priority) << int(r.code);
}

TEST_F(ParserTest, PostfixForm) {
    EXPECT_EQ(parser.ToPostfix("a + b * 2"), "a b 2 *+");
    EXPECT_EQ(parser.ToPostfix("-2 * 3"), "2 3 *\x09");
    EXPECT_EQ(parser.ToPostfix("x >= 1"), "x 1 \x01");
    EXPECT_EQ(parser.ToPostfix("COPY('a,b', 1, 2) + [Cell 1]"), "COPY('a,b', 1, 2)[Cell 1] +");
    EXPECT_EQ(parser.ToPostfix("a MOD b"), "a b \x0d");
    EXPECT_EQ(parser.ToPostfix("(1"), "1 (");
}

TEST_F(ParserTest, LiteralsAndNames) {
    EXPECT_EQ(VarToStr(parser.Calc("'It''s'")), "It's");
    EXPECT_EQ(VarType(parser.Calc("true")), varBoolean);
    EXPECT_TRUE(parser.Calc("TRUE").AsBoolean());
    EXPECT_EQ(VarToStr(parser.Calc("STR 2.5")), "2.5");
    EXPECT_EQ(VarToStr(parser.Calc("STR [nothing]")), "");  // an unanswered name is Null

    values = {{"Cell1", Variant("raw")}, {"CELL1", Variant("upper")}};
    EXPECT_EQ(VarToStr(parser.Calc("[Cell1]")), "raw");
    EXPECT_EQ(VarToStr(parser.Calc("cell1")), "upper");
    EXPECT_EQ(asked, (std::vector<std::string>{"nothing", "Cell1", "CELL1"}));
    EXPECT_THROW(parser.Calc("1.2.3"), EConvertError);
}

TEST_F(ParserTest, BuiltInCalls) {
    EXPECT_EQ(VarToStr(parser.Calc("COPY('abcdef', 2, 3)")), "bcd");
    EXPECT_EQ(VarToStr(parser.Calc("IF(1 > 2, 'a', 'b')")), "b");
    EXPECT_EQ(VarToStr(parser.Calc("IF(TRUE, 'yes', 'no')")), "yes");
    // only the chosen branch is evaluated
    parser.Calc("IF(1, 'a', SIDEEFFECT(1))");
    EXPECT_TRUE(calls.empty());
    EXPECT_THROW(parser.Calc("IF('abc', 1, 2)"), Exception);
    Variant d = parser.Calc("STRTODATE('2/29/2024')");
    EXPECT_EQ(VarType(d), varDate);
    EXPECT_DOUBLE_EQ(d.AsDouble(), EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(parser.Calc("STRTOTIME('6:30')").AsDouble(), EncodeTime(6, 30, 0, 0));
    EXPECT_THROW(parser.Calc("STRTODATE('no date')"), EConvertError);
}

TEST_F(ParserTest, OtherCallsGoToTheFunctionEventWithTheirTexts) {
    EXPECT_EQ(VarToStr(parser.Calc("myfunc(1 + 2, 'x,y', (3))")), "MYFUNC");
    EXPECT_EQ(calls.back(), "MYFUNC|1 + 2| 'x,y'| (3)");
    parser.Calc("arr[2 + 1]");
    EXPECT_EQ(calls.back(), "GETARRAY|arr| 2 + 1|");
    EXPECT_THROW(parser.Calc("f(1, 2"), Exception);
}

TEST_F(ParserTest, ExtractBracketedVariable) {
    struct Row {
        const char* text;
        int start;
        const char* inner;
        int newStart;
        int stop;
    };
    const Row rows[] = {
        {"[a]", 1, "a", 1, 3},         {"x[a[b]c]y", 2, "a[b]c", 2, 8},
        {"['[x]']", 1, "'[x]'", 1, 7}, {"[\"]\"]", 1, "\"]\"", 1, 5},
        {"abc", 1, "", 1, 1},          {"", 1, "", 1, 1},
        {"[open", 1, "ope", 1, 5},
    };
    for (const Row& r : rows) {
        int start = r.start, stop = 0;
        EXPECT_EQ(ExtractBracketedVariable(r.text, start, stop), r.inner) << r.text;
        EXPECT_EQ(start, r.newStart) << r.text;
        EXPECT_EQ(stop, r.stop) << r.text;
    }
}

TEST(TrpVariablesTest, SortedListByName) {
    TrpVariables v;
    v.SetSorted(true);
    v.SetVariable("b", Variant(2));
    v.SetVariable("A", Variant(1));
    v.SetVariable("B", Variant(3));  // same name, other case: replaces
    ASSERT_EQ(v.Count(), 2);
    EXPECT_EQ(v.GetName(0), "A");
    EXPECT_EQ(v.GetValue(1).AsInteger(), 3);
    EXPECT_TRUE(VarIsNull(v.GetVariable("missing")));
    EXPECT_EQ(v.GetValue(5).AsInteger(), 0);
    EXPECT_EQ(v.GetName(-1), "");
    v.SetValue(9, Variant(1));  // harmless
    v.SetName(0, "b");          // taken: refused
    EXPECT_EQ(v.GetName(0), "A");
    v.SetName(0, "z");
    EXPECT_EQ(v.GetName(1), "z");
    v.Delete(v.IndexOf("Z"));
    EXPECT_EQ(v.Count(), 1);
}

TEST(TrpFunctionSplitterTest, InnerCallsFirstAndVariablesExpanded) {
    TStringList match, out;
    match.Add("SUM");
    match.Add("MAX");
    TrpVariables vars;
    vars.SetVariable("Total", Variant("SUM([Amount])"));
    TrpFunctionSplitter splitter(&match, &out, &vars);

    splitter.Split("MAX(SUM(x), 2) + other(SUM(y))");
    ASSERT_EQ(out.Count(), 3);
    EXPECT_EQ(out[0], "SUM(x)");
    EXPECT_EQ(out[1], "MAX(SUM(x), 2)");
    EXPECT_EQ(out[2], "SUM(y)");

    out.Clear();
    splitter.Split("[Total] [sum(z)]");
    ASSERT_EQ(out.Count(), 2);
    EXPECT_EQ(out[0], "SUM([Amount])");
    EXPECT_EQ(out[1], "sum(z)");

    out.Clear();
    splitter.Split("'SUM(x)'");
    EXPECT_EQ(out.Count(), 0);
}

}  // namespace

namespace {

// Random texts from the language's own characters never crash the parser:
// they either give a value or raise an exception.
TEST(ParserFuzzTest, RandomExpressionsFailCleanly) {
    FormatSettings = USFormatSettings();
    const std::string alphabet = "0123456789.,abxyNOTANDMODINTFRACROUNDSTRIF()[]'\";%*/+-<>= \r\t\x01\x05\x09\x0c\x0d";
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    TrpParser parser;
    parser.OnGetValue = [](const std::string&, Variant& v) { v = Variant(1); };
    parser.OnFunction = [](const std::string&, const Variant&, const Variant&, const Variant&, Variant& v) {
        v = Variant(2);
    };
    int completed = 0;
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        int len = 1 + next() % 24;
        for (int k = 0; k < len; ++k) text += alphabet[next() % alphabet.size()];
        try {
            parser.Calc(text);
            ++completed;
        } catch (const Exception&) {}
        try {
            parser.EvalPostfix(text);  // a damaged postfix string
        } catch (const Exception&) {}
    }
    EXPECT_GT(completed, 0);
}

}  // namespace

namespace {

TEST(ParserDepthTest, NestedCallsAndSelfExpandingVariablesEnd) {
    TrpParser parser;
    std::string expr = "1";
    for (int i = 0; i < 1000; ++i) expr = "IF(1, " + expr + ", 0)";
    EXPECT_THROW(parser.Calc(expr), ErpParserError);
    EXPECT_EQ(parser.Calc("IF(1, IF(1, 5, 0), 0)").AsDouble(), 5);

    TStringList match, out;
    match.Add("SUM");
    TrpVariables vars;
    vars.SetVariable("Loop", Variant("SUM(x) + Loop"));
    TrpFunctionSplitter splitter(&match, &out, &vars);
    splitter.Split("[Loop]");
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out[0], "SUM(x)");
}

}  // namespace
