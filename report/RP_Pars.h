#pragma once
// The report expression language: infix text is converted once into a compact
// postfix string, which is then evaluated many times on a fixed stack of
// variant values. Names and calls the parser does not know go to its events.

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Variants.h"

// Raised for expressions the evaluator cannot complete (a missing operand, a
// stack overflow) and by the report for undefined symbols.
class ErpParserError : public Exception {
public:
    using Exception::Exception;
};

using TGetValueEvent = std::function<void(const std::string& Name, Variant& Value)>;
// p1..p3 carry the argument texts (String variants, empty when missing).
using TFunctionEvent =
    std::function<void(const std::string& Name, const Variant& p1, const Variant& p2, const Variant& p3, Variant& Val)>;

// Operator characters of the postfix form.
enum : char {
    rpopGreaterEq = 1,
    rpopLessEq = 2,
    rpopNotEqual = 3,
    rpopOr = 4,
    rpopAnd = 5,
    rpopInt = 6,
    rpopFrac = 7,
    rpopNegate = 9,
    rpopPlus = 10,
    rpopStr = 11,
    rpopNot = 12,
    rpopMod = 13,
    rpopRound = 14,
};

constexpr int rpParserStackSize = 32;

// Priority of an operator character (smaller binds tighter); 0 for others.
int OperatorPriority(char code);

// The text strictly inside the bracketed part that opens at Start (1-based);
// Start moves to its "[" and Stop to where the scan stopped.
std::string ExtractBracketedVariable(const std::string& text, int& start, int& stop);

class TrpParser : public TObject {
public:
    TGetValueEvent OnGetValue;
    TFunctionEvent OnFunction;

    Variant Calc(const std::string& text);
    std::string ToPostfix(const std::string& text);
    Variant EvalPostfix(const std::string& postfix);

    // Token readers (positions 1-based), shared with the function splitter.
    static std::string ReadIdentifier(const std::string& text, int& pos);
    static std::string ReadQuoted(const std::string& text, int& pos);
    // Pos stands on the "(" of a call; raises Exception("") when the text
    // ends before the parentheses balance.
    static void SplitArguments(const std::string& text, int& pos, std::string& arg1, std::string& arg2,
                               std::string& arg3);

private:
    Variant CallFunction(const std::string& name, const std::string& a1, const std::string& a2, const std::string& a3);
    Variant GetValue(const std::string& name);
    int FDepth = 0;  // evaluations in progress (calls evaluate their arguments)
};

// Evaluations nested deeper than this raise ErpParserError instead of
// exhausting the machine stack.
constexpr int rpMaxEvalDepth = 200;

// A named list of values. Names compare without regard to case; a sorted
// list keeps its names in order and ignores duplicates.
class TrpVariables : public TObject {
public:
    Variant GetVariable(const std::string& name) const;               // Null when absent
    void SetVariable(const std::string& name, const Variant& value);  // adds when absent
    int Count() const { return static_cast<int>(FItems.size()); }
    std::string GetName(int index) const;
    void SetName(int index, const std::string& name);
    Variant GetValue(int index) const;  // Integer 0 out of range
    void SetValue(int index, const Variant& value);
    int IndexOf(const std::string& name) const;
    void Delete(int index);
    void Clear() { FItems.clear(); }
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool value);

private:
    struct Item {
        std::string Name;
        Variant Value;
    };
    int Insert(const std::string& name, const Variant& value);
    std::vector<Item> FItems;
    bool FSorted = false;
};

// Collects the full text of every call of the matched functions inside an
// expression, inner calls before the calls that contain them.
class TrpFunctionSplitter : public TObject {
public:
    TrpFunctionSplitter(TStrings* matchFuncs, TStrings* splitTo, TrpVariables* variables);
    ~TrpFunctionSplitter() override;
    void Split(const std::string& text);

protected:
    TStrings* FMatchFuncs;     // not owned
    TStrings* FSplitTo;        // not owned
    TrpParser* FParser;        // owned
    TrpVariables* FVariables;  // not owned

private:
    // The entry a name refers to, or -1. A data dictionary holds its
    // variables' names with a leading blank, so that form is tried first.
    int VariableIndex(const std::string& name) const;
    void SplitVariable(int index);
    std::vector<std::string> FExpanding;  // variables being expanded, so a self-reference ends
};
