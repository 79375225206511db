#include <gtest/gtest.h>

#include <map>

#include "RP_Intrp.h"
#include "SysUtils.h"

namespace {

// An interpreter whose variables live in a map and whose only function
// records its calls.
class TestInterpretator : public TrpInterpretator {
public:
    std::map<std::string, Variant> Vars;  // upper-case names
    std::vector<std::string> Calls;

    void GetVariableValue(const std::string& name, Variant& value) override {
        auto it = Vars.find(UpperCase(name));
        value = it == Vars.end() ? Variant(0) : it->second;
    }
    void SetVariableValue(const std::string& name, const Variant& value) override { Vars[UpperCase(name)] = value; }
    void CallFunction(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                      Variant& value) override {
        Calls.push_back(name + "(" + VarToStr(p1) + "|" + VarToStr(p2) + "|" + VarToStr(p3) + ")");
        value = Variant(0);
    }
};

class InterpreterTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = USFormatSettings(); }

    // Compiles the lines; returns the errors.
    std::vector<std::string> Compile(const std::vector<std::string>& lines) {
        memo.Clear();
        for (const auto& l : lines) memo.Add(l);
        interp.CompileScript(&memo, &script, &errors);
        std::vector<std::string> out;
        for (int i = 0; i < errors.Count(); ++i) out.push_back(errors[i]);
        return out;
    }
    void Run(const std::vector<std::string>& lines) {
        ASSERT_EQ(Compile(lines), std::vector<std::string>{});
        interp.RunScript(&script);
    }
    double Var(const std::string& name) { return interp.Vars[name].AsDouble(); }

    TestInterpretator interp;
    TStringList memo, script, errors;
};

TEST_F(InterpreterTest, EmptyScriptCompilesToNothing) {
    EXPECT_EQ(Compile({}), std::vector<std::string>{});
    EXPECT_EQ(script.Count(), 0);
    EXPECT_EQ(Compile({"", "   "}), std::vector<std::string>{});
    EXPECT_EQ(script.Count(), 0);
}

TEST_F(InterpreterTest, StoredLineForms) {
    ASSERT_EQ(Compile({"begin x := 1 end"}), std::vector<std::string>{});
    ASSERT_EQ(script.Count(), 1);
    EXPECT_EQ(script[0], "x " + TrpParser().ToPostfix("1"));

    ASSERT_EQ(Compile({"begin", "  if a > 1 then x := 1 else x := 2", "end"}), std::vector<std::string>{});
    ASSERT_EQ(script.Count(), 4);
    EXPECT_EQ(script[0][0], rpslCondJump);
    EXPECT_EQ(rpScriptLineTarget(script[0]), 3);  // the else assignment
    EXPECT_EQ(script[0].substr(3), TrpParser().ToPostfix("a > 1"));
    EXPECT_EQ(script[1], "x 1 ");
    EXPECT_EQ(script[2][0], rpslJump);
    EXPECT_EQ(rpScriptLineTarget(script[2]), 4);  // after the else branch
    EXPECT_EQ(script[3], "x 2 ");

    ASSERT_EQ(Compile({"begin arr[i + 1] := 5; exit; ShowBand(1, 'a') end"}), std::vector<std::string>{});
    ASSERT_EQ(script.Count(), 3);
    EXPECT_EQ(script[0], "\x03SETARRAY(arr, i + 1, 5)");
    EXPECT_EQ(script[1],
              "\x03"
              "exit(0)");
    EXPECT_EQ(script[2], "\x03ShowBand(1, 'a')");
}

TEST_F(InterpreterTest, LoopsRunAsPascalDoes) {
    Run({"begin", "  n := 0;", "  for i := 1 to 3 do n := n + i;", "end"});
    EXPECT_EQ(Var("N"), 6);
    EXPECT_EQ(Var("I"), 4);

    Run({"begin k := 0; while k < 5 do k := k + 2 end"});
    EXPECT_EQ(Var("K"), 6);

    Run({"begin r := 10; repeat r := r - 3; c := c + 1 until r < 0 end"});
    EXPECT_EQ(Var("R"), -2);
    EXPECT_EQ(Var("C"), 4);

    Run({"begin", "  s := 0;", "  for i := 1 to 10 do", "  begin", "    if i mod 2 = 0 then s := s + i", "  end",
         "end"});
    EXPECT_EQ(Var("S"), 30);
}

TEST_F(InterpreterTest, GotoAndExit) {
    Run({"begin", "  x := 1;", "  goto 20;", "  x := 2;", "  20: y := 3;", "  exit;", "  y := 4", "end"});
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(Var("Y"), 3);

    // a backward goto builds a loop
    Run({"begin t := 0; 5: t := t + 1; if t < 3 then goto 5 end"});
    EXPECT_EQ(Var("T"), 3);
}

TEST_F(InterpreterTest, ControlFlowRows) {
    struct Row {
        std::vector<std::string> lines;
        const char* var;
        double expected;
    };
    const Row rows[] = {
        // exit inside a loop ends the whole run at once
        {{"begin n := 0; for i := 1 to 10 do begin if i = 3 then exit; n := i end end"}, "N", 2},
        // else belongs to the nearest if
        {{"begin r := 0; if 1 then if 0 then r := 1 else r := 2 end"}, "R", 2},
        {{"begin r := 0; if 0 then if 1 then r := 1 else r := 2 end"}, "R", 0},
        // a false condition skips the body entirely
        {{"begin w := 0; while w > 5 do w := 99 end"}, "W", 0},
        {{"begin f := 7; for j := 5 to 1 do f := 0 end"}, "F", 7},
        // repeat runs its body once before testing
        {{"begin u := 0; repeat u := u + 1 until 1 end"}, "U", 1},
        // nested loops
        {{"begin t := 0; for a := 1 to 3 do for b := 1 to a do t := t + 1 end"}, "T", 6},
        // goto out of a loop
        {{"begin g := 0; while 1 do begin g := g + 1; if g >= 4 then goto 9 end; 9: g := g * 10 end"}, "G", 40},
    };
    for (const Row& r : rows) {
        interp.Vars.clear();
        Run(r.lines);
        EXPECT_EQ(Var(r.var), r.expected) << r.lines[0];
    }
}

TEST_F(InterpreterTest, StatementsWithoutBeginEndAllRun) {
    Run({"x := 1;", "y := x + 1; z := y * 10"});
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(Var("Y"), 2);
    EXPECT_EQ(Var("Z"), 20);
    Run({"a := 1; if a = 1 then b := 2; c := 3;"});
    EXPECT_EQ(Var("B"), 2);
    EXPECT_EQ(Var("C"), 3);
    // a word left after the last statement is reported, not dropped
    EXPECT_EQ(Compile({"x := 1 y := 2"}), std::vector<std::string>{"Line 1/8: Need \";\" or \"end\" here"});
    EXPECT_EQ(Compile({"begin x := 1 end; y := 2 end"}),
              std::vector<std::string>{"Line 1/26: Need \";\" or \"end\" here"});
}

TEST_F(InterpreterTest, ProcedureCallsAndFunctions) {
    Run({"begin NewPage; Inc(x); Report('a', 1 + 2) end"});
    ASSERT_EQ(interp.Calls.size(), 3u);
    EXPECT_EQ(interp.Calls[0], "NEWPAGE(0||)");
    EXPECT_EQ(interp.Calls[1], "INC(x||)");
    EXPECT_EQ(interp.Calls[2], "REPORT('a'| 1 + 2|)");
}

TEST_F(InterpreterTest, CompileErrorsAreWordedAndPlaced) {
    struct Row {
        std::vector<std::string> lines;
        std::string error;
    };
    const Row rows[] = {
        {{"begin x := 1 y := 2 end"}, "Line 1/14: Need \";\" or \"end\" here"},
        {{"begin if x > 1 x := 1 end"}, "Line 1/16: Need \"then\" here"},
        {{"begin while x < 1 x := 1 end"}, "Line 1/19: Need \"do\" here"},
        {{"begin for i := 1 do x := 1 end"}, "Line 1/18: Need \"to\" here"},
        {{"begin for i := 1 to 3 x := 1 end"}, "Line 1/23: Need \"do\" here"},
        {{"begin repeat x := 1 x := 2 until x end"}, "Line 1/21: Need \";\" or \"until\" here"},
        {{"begin goto abc end"}, "Line 1/12: \"goto\" label must be a number"},
        {{"begin", "  x = 1", "end"}, "Line 2/5: Need \":=\" here"},
        {{"begin x := (1 + 2 end"}, "Line 1/19: Need \")\" here"},
        {{"begin x := f(1; 2) end"}, "Line 1/15: Need \",\" or \")\" here"},
        {{"begin x := a[1 end"}, "Line 1/16: Need \"]\" here"},
    };
    for (const Row& r : rows) {
        std::vector<std::string> errs = Compile(r.lines);
        ASSERT_EQ(errs.size(), 1u) << r.lines[0];
        EXPECT_EQ(errs[0], r.error) << r.lines[0];
    }
}

TEST_F(InterpreterTest, CommentsAreCutWithoutShiftingColumns) {
    EXPECT_EQ(Compile({"begin x := 1 y := 2 end"}), std::vector<std::string>{"Line 1/14: Need \";\" or \"end\" here"});
    EXPECT_EQ(Compile({"begin x {note} := 1 y := 2 end"}),
              std::vector<std::string>{"Line 1/21: Need \";\" or \"end\" here"});
    EXPECT_EQ(Compile({"begin // a comment", "  x := 1 y := 2", "end"}),
              std::vector<std::string>{"Line 2/10: Need \";\" or \"end\" here"});
    // comment signs inside quoted text are text
    Run({"begin s := 'http://a{b}' end"});
    EXPECT_EQ(VarToStr(interp.Vars["S"]), "http://a{b}");
}

TEST_F(InterpreterTest, UndefinedGotoLabelIsACompileError) {
    EXPECT_EQ(Compile({"begin goto 7 end"}), std::vector<std::string>{"Line 1/12: Label \"7\" is not defined"});
}

TEST_F(InterpreterTest, TooManyLabelsIsACompileError) {
    std::vector<std::string> lines{"begin"};
    for (int i = 0; i <= rpMaxScriptLabels; ++i) lines.push_back(std::to_string(i) + ": x := 1;");
    lines.push_back("end");
    std::vector<std::string> errs = Compile(lines);
    ASSERT_EQ(errs.size(), 1u);
    EXPECT_NE(errs[0].find("Too many labels"), std::string::npos);
}

TEST_F(InterpreterTest, OverlongScriptIsACompileError) {
    std::vector<std::string> lines{"begin"};
    while (lines.size() < 4000) lines.push_back("  x := x + 1;");
    lines.push_back("end");
    std::vector<std::string> errs = Compile(lines);
    ASSERT_EQ(errs.size(), 1u);
    EXPECT_NE(errs[0].find("Script is too long"), std::string::npos);
    EXPECT_EQ(script.Count(), 0);
}

TEST_F(InterpreterTest, CollectFunctionsReadsEveryExpression) {
    ASSERT_EQ(Compile({"begin if SUM(a) > 1 then x := MAX(b); COUNT(c); goto 1; 1: end"}), std::vector<std::string>{});
    TStringList match, out;
    for (const char* n : {"SUM", "MAX", "COUNT"}) match.Add(n);
    interp.CollectFunctions(&script, &match, &out, nullptr);
    ASSERT_EQ(out.Count(), 3);
    EXPECT_EQ(out[0], "SUM(a)");
    EXPECT_EQ(out[1], "MAX(b)");
    EXPECT_EQ(out[2], "COUNT(c)");
}

}  // namespace

namespace {

TEST_F(InterpreterTest, DeepNestingIsRefusedNotOverflowed) {
    std::string expr(5000, '(');
    expr += "1" + std::string(5000, ')');
    std::vector<std::string> errs = Compile({"begin x := " + expr + " end"});
    ASSERT_EQ(errs.size(), 1u);
    EXPECT_NE(errs[0].find("Script is nested too deeply"), std::string::npos);
    std::string blocks;
    for (int i = 0; i < 3000; ++i) blocks += "begin ";
    errs = Compile({blocks});
    ASSERT_EQ(errs.size(), 1u);
    EXPECT_NE(errs[0].find("Script is nested too deeply"), std::string::npos);
}

}  // namespace

namespace {

// Random scripts from the language's words: compiling always ends, raises
// nothing, and a script that compiles without errors holds only jumps that
// land inside it.
TEST(InterpreterFuzzTest, RandomScriptsCompileCleanly) {
    FormatSettings = USFormatSettings();
    const char* const words[] = {
        "begin", "end",  "end;", ";",  "if", "then", "else",    "while", "do",      "repeat", "until", "for",
        "to",    "goto", "1",    "2:", "1:", "x",    ":=",      "x :=",  "y[1] :=", "(",      ")",     "'a'",
        "'",     "{c}",  "{",    "}",  "//", "\r",   "[Cell1]", "[",     "]",       "+",      "*",     "-",
        "not",   "and",  "mod",  "<>", ">=", "=",    "f(1,",    "exit",  "3.5",
    };
    uint32_t seed = 2024;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    TrpInterpretator interp;
    TStringList memo, script, errors;
    int clean = 0;
    for (int n = 0; n < 2000; ++n) {
        memo.Clear();
        std::string line;
        int count = 1 + next() % 20;
        for (int k = 0; k < count; ++k) {
            std::string w = words[next() % std::size(words)];
            if (w == "\r") {
                memo.Add(line);
                line.clear();
            } else {
                line += w + (next() % 4 ? " " : "");
            }
        }
        memo.Add(line);
        ASSERT_NO_THROW(interp.CompileScript(&memo, &script, &errors)) << memo.GetText();
        if (errors.Count() > 0) continue;
        ++clean;
        for (int i = 0; i < script.Count(); ++i) {
            std::string l = script[i];
            if (!l.empty() && (l[0] == rpslJump || l[0] == rpslCondJump)) {
                int target = rpScriptLineTarget(l);
                EXPECT_GE(target, 0) << memo.GetText();
                EXPECT_LE(target, script.Count()) << memo.GetText();
            }
        }
    }
    EXPECT_GT(clean, 0);
}

}  // namespace
