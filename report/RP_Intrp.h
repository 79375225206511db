#pragma once
// The report script language: a script (memo lines of begin/end, if, while,
// repeat, for, goto and assignments) compiles into lines whose expressions
// are already in the parser's postfix form, and the compiled lines run on
// the interpreter's parser. Subclasses supply variables and functions.
//
// Compiled line, by its first byte:
//   1, target low, target high, postfix   jump to target when the value is 0
//   2, target low, target high            jump
//   3, postfix                            evaluate for its effect; "EXIT(0)" ends the run
//   otherwise: name, blank, postfix       assignment

#include <memory>
#include <string>

#include "Classes.h"
#include "RP_Pars.h"

enum : char { rpslCondJump = 1, rpslJump = 2, rpslCall = 3 };

constexpr int rpMaxScriptText = 32000;  // bytes of script text
constexpr int rpMaxScriptLabels = 101;
constexpr int rpMaxScriptLine = 65535;  // highest jump target a line can hold

class TrpInterpretator : public TObject {
public:
    TrpInterpretator();
    ~TrpInterpretator() override;

    std::unique_ptr<TrpParser> Parser;

    virtual void GetVariableValue(const std::string& name, Variant& value) {}
    virtual void SetVariableValue(const std::string& name, const Variant& value) {}
    virtual void CallFunction(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                              Variant& value) {}

    // Script and Errors are cleared and filled; a non-empty Errors means the
    // compilation failed (lines compiled before the error stay in Script).
    virtual void CompileScript(TStrings* memo, TStrings* script, TStrings* errors);
    virtual void RunScript(TStrings* script);

    // Runs a function splitter over the expression of every compiled line.
    void CollectFunctions(TStrings* script, TStrings* matchFuncs, TStrings* splitTo, TrpVariables* variables);
};

// Target of a jump line (bytes 2 and 3).
int rpScriptLineTarget(const std::string& line);
