#include "RP_Intrp.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "SysUtils.h"

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_' || c == '.'; }

std::string TargetBytes(int target) {
    std::string s(2, '\0');
    s[0] = static_cast<char>(target & 0xFF);
    s[1] = static_cast<char>((target >> 8) & 0xFF);
    return s;
}

// One compilation: a recursive descent over the script text. Words are read
// blank-delimited, as the language's keywords are; expressions are checked
// character by character and stored as the text they were written as.
class TScriptCompiler {
public:
    TScriptCompiler(TStrings* memo, TStrings* script, TStrings* errors)
        : FMemo(memo), FScript(script), FErrors(errors) {}

    void Compile() {
        for (int i = 0; i < FMemo->Count(); ++i) {
            std::string line = FMemo->Get(i);
            std::replace(line.begin(), line.end(), '\t', ' ');
            FBuf += line;
            FBuf += '\r';
        }
        if (static_cast<int>(FBuf.size()) > rpMaxScriptText) {
            FLastPos = rpMaxScriptText;
            AddError("Script is too long");
            return;
        }
        DoTopLevel();
        if (FError) return;
        ResolveGotos();
        if (FError) return;
        if (FScript->Count() > rpMaxScriptLine + 1) {
            FLastPos = static_cast<int>(FBuf.size());
            AddError("Script is too long");
            return;
        }
        ToPostfix();
    }

private:
    struct Label {
        std::string Text;  // digits and colon
        int Line;
    };
    struct Goto {
        int Line;
        std::string Label;
        int Pos;
    };

    char Ch(int pos) const { return pos >= 0 && pos < static_cast<int>(FBuf.size()) ? FBuf[pos] : '\0'; }
    int Len() const { return static_cast<int>(FBuf.size()); }

    // Skips blanks and the comments between words.
    void SkipSpace() {
        for (;;) {
            while (FCur < Len() && static_cast<unsigned char>(FBuf[FCur]) <= ' ') ++FCur;
            int end = CommentEnd(FCur);
            if (end < 0) return;
            CutComment(FCur, end);
        }
    }

    // End of a comment starting at pos, or -1 when none starts there.
    int CommentEnd(int pos) const {
        if (Ch(pos) == '{') {
            size_t close = FBuf.find('}', pos);
            return close == std::string::npos ? Len() : static_cast<int>(close) + 1;
        }
        if (Ch(pos) == '/' && Ch(pos + 1) == '/') {
            size_t eol = FBuf.find('\r', pos);
            return eol == std::string::npos ? Len() : static_cast<int>(eol);
        }
        return -1;
    }

    void CutComment(int from, int to) {
        FCuts.push_back({from, to - from});
        FBuf.erase(from, to - from);
    }

    // Comments are cut out of the text as they are met, so later positions
    // are corrected by the recorded cuts when an error is reported.
    std::string GetToken() {
        for (;;) {
            SkipSpace();
            int start = FCur;
            bool cut = false, inQuote = false;
            while (FCur < Len() && static_cast<unsigned char>(FBuf[FCur]) > ' ') {
                // a comment sign inside a quoted literal is text
                if (FBuf[FCur] == '\'') inQuote = !inQuote;
                int commentEnd = inQuote ? -1 : CommentEnd(FCur);
                if (commentEnd >= 0) {
                    CutComment(FCur, commentEnd);
                    FCur = start;
                    cut = true;
                    break;
                }
                ++FCur;
            }
            if (cut) continue;
            std::string word = UpperCase(FBuf.substr(start, FCur - start));
            return word.empty() ? std::string(" ") : word;
        }
    }

    // Gives back all of a word read by GetToken but its first `keep` characters.
    void UngetToken(const std::string& word, int keep) {
        if (word == " ") return;
        FCur -= static_cast<int>(word.size()) - keep;
    }

    bool StartsWithWord(const std::string& word, const char* keyword) const {
        size_t n = std::char_traits<char>::length(keyword);
        return word.compare(0, n, keyword) == 0 && (word.size() == n || !IsIdentChar(word[n]));
    }

    void AddError(const std::string& message) {
        if (FError) return;
        FError = true;
        int pos = FLastPos;
        while (pos < Len() && static_cast<unsigned char>(FBuf[pos]) <= ' ') ++pos;
        int original = pos;
        for (const auto& [at, length] : FCuts)
            if (pos >= at) original += length;
        int lineStart = 0, line = 0;
        for (int i = 0; i < FMemo->Count(); ++i) {
            int next = lineStart + static_cast<int>(FMemo->Get(i).size()) + 1;
            if (original < next || i == FMemo->Count() - 1) {
                line = i;
                break;
            }
            lineStart = next;
        }
        FErrors->Add("Line " + std::to_string(line + 1) + "/" + std::to_string(original - lineStart + 1) + ": " +
                     message);
    }

    int Emit(const std::string& line, int exprPos) {
        FScript->Add(line);
        FLinePos.push_back(exprPos);
        return FScript->Count() - 1;
    }

    void SetTarget(int line, int target) {
        std::string s = FScript->Get(line);
        s.replace(1, 2, TargetBytes(target));
        FScript->Put(line, s);
    }

    std::string Text(int from, int to) const { return Trim(FBuf.substr(from, std::max(0, to - from))); }

    // ------------------------------------------------------------ statements

    // Nesting deeper than this is refused rather than exhausting the machine stack.
    static constexpr int MaxNesting = 200;

    struct NestingGuard {
        TScriptCompiler& c;
        explicit NestingGuard(TScriptCompiler& compiler) : c(compiler) {
            if (++c.FNesting > MaxNesting) {
                c.FLastPos = c.FCur;
                c.AddError("Script is nested too deeply");
            }
        }
        ~NestingGuard() { --c.FNesting; }
    };

    void DoStatement() {
        NestingGuard nesting(*this);
        if (FError) return;
        for (;;) {
            int start = FCur;
            FLastPos = FCur;
            std::string word = GetToken();
            if (word == "BEGIN") return DoBegin();
            if (word == "IF") return DoIf();
            if (word == "REPEAT") return DoRepeat();
            if (word == "WHILE") return DoWhile();
            if (word == "FOR") return DoFor();
            if (word == "GOTO") return DoGoto();
            FCur = start;
            // an empty statement: the word belongs to the enclosing one
            if (word == " " || word[0] == ';' || StartsWithWord(word, "END") || StartsWithWord(word, "UNTIL") ||
                word == "ELSE")
                return;
            if (DoLabel()) continue;
            FCur = start;
            std::string name;
            if (ReadVariable(name)) return DoAssignmentOrCall(start, name);
            FCur = start;
            DoExpression();
            if (FError) return;
            Emit(std::string(1, rpslCall) + Text(start, FCur), start);
            return;
        }
    }

    // The script is a list of statements separated by ";" up to the end of
    // the text, so that a script written without `begin` ... `end` runs every
    // statement it holds; a word left over is an error, never silently dropped.
    void DoTopLevel() {
        for (;;) {
            DoStatement();
            if (FError) return;
            FLastPos = FCur;
            std::string word = GetToken();
            if (word == " ") return;
            if (word[0] != ';') return AddError("Need \";\" or \"end\" here");
            UngetToken(word, 1);
        }
    }

    // Statements separated by ";" up to the closing word, which is consumed
    // (what is glued to it is given back).
    void DoStatementList(const char* closer, const char* expected) {
        for (;;) {
            DoStatement();
            if (FError) return;
            FLastPos = FCur;
            std::string word = GetToken();
            if (word[0] == ';') {
                UngetToken(word, 1);
                continue;
            }
            if (StartsWithWord(word, closer)) {
                UngetToken(word, static_cast<int>(std::char_traits<char>::length(closer)));
                return;
            }
            return AddError(expected);
        }
    }

    // Reads the next word, which must be the keyword.
    bool ExpectWord(const char* keyword, const char* expected) {
        FLastPos = FCur;
        if (GetToken() == keyword) return true;
        AddError(expected);
        return false;
    }

    // The word read after an assignment's target must begin with ":=";
    // returns where the expression starts, or -1.
    int AssignedExpressionStart(const std::string& word) {
        if (word.compare(0, 2, ":=") != 0) {
            AddError("Need \":=\" here");
            return -1;
        }
        UngetToken(word, 2);
        return FCur;
    }

    // `expression keyword statement` behind a conditional jump whose target
    // the caller sets; the jump's line, or -1 after an error.
    int DoGuardedStatement(const char* keyword, const char* expected) {
        int exprStart = FCur;
        DoExpression();
        if (FError) return -1;
        int jump = Emit(std::string(1, rpslCondJump) + "  " + Text(exprStart, FCur), exprStart);
        if (!ExpectWord(keyword, expected)) return -1;
        DoStatement();
        return FError ? -1 : jump;
    }

    void DoBegin() { DoStatementList("END", "Need \";\" or \"end\" here"); }

    void DoIf() {
        int jump = DoGuardedStatement("THEN", "Need \"then\" here");
        if (jump < 0) return;
        int afterThen = FCur;
        if (GetToken() == "ELSE") {
            int skip = Emit(std::string(1, rpslJump) + "  ", afterThen);
            SetTarget(jump, FScript->Count());
            DoStatement();
            if (FError) return;
            SetTarget(skip, FScript->Count());
        } else {
            FCur = afterThen;
            SetTarget(jump, FScript->Count());
        }
    }

    void DoWhile() {
        int jump = DoGuardedStatement("DO", "Need \"do\" here");
        if (jump < 0) return;
        Emit(std::string(1, rpslJump) + TargetBytes(jump), FCur);
        SetTarget(jump, FScript->Count());
    }

    void DoRepeat() {
        int top = FScript->Count();
        DoStatementList("UNTIL", "Need \";\" or \"until\" here");
        if (FError) return;
        int exprStart = FCur;
        DoExpression();
        if (FError) return;
        Emit(std::string(1, rpslCondJump) + TargetBytes(top) + Text(exprStart, FCur), exprStart);
    }

    void DoFor() {
        int start = FCur;
        std::string name;
        FLastPos = FCur;
        if (!ReadVariable(name)) return AddError("Need \":=\" here");
        std::string var = Text(start, FCur);
        FLastPos = FCur;
        int exprStart = AssignedExpressionStart(GetToken());
        if (exprStart < 0) return;
        DoExpression();
        if (FError) return;
        Emit(var + " " + Text(exprStart, FCur), exprStart);
        if (!ExpectWord("TO", "Need \"to\" here")) return;
        exprStart = FCur;
        DoExpression();
        if (FError) return;
        int test = Emit(std::string(1, rpslCondJump) + "  " + var + "<=" + Text(exprStart, FCur), exprStart);
        if (!ExpectWord("DO", "Need \"do\" here")) return;
        DoStatement();
        if (FError) return;
        Emit(var + " " + var + "+1", start);
        Emit(std::string(1, rpslJump) + TargetBytes(test), start);
        SetTarget(test, FScript->Count());
    }

    void DoGoto() {
        SkipSpace();
        FLastPos = FCur;
        int start = FCur;
        while (FCur < Len() && IsDigit(FBuf[FCur])) ++FCur;
        if (FCur == start) return AddError("\"goto\" label must be a number");
        std::string label = FBuf.substr(start, FCur - start);
        int line = Emit(std::string(1, rpslJump) + label, start);
        FGotos.push_back({line, label, start});
    }

    // A number followed by ":" in front of a statement.
    bool DoLabel() {
        SkipSpace();
        int start = FCur;
        int p = FCur;
        while (p < Len() && IsDigit(FBuf[p])) ++p;
        if (p == start || Ch(p) != ':' || Ch(p + 1) == '=') return false;
        if (static_cast<int>(FLabels.size()) >= rpMaxScriptLabels) {
            FLastPos = start;
            AddError("Too many labels");
            return false;
        }
        FLabels.push_back({FBuf.substr(start, p - start + 1), FScript->Count()});
        FCur = p + 1;
        return true;
    }

    void DoAssignmentOrCall(int start, const std::string& name) {
        std::string target = Text(start, FCur);
        FLastPos = FCur;
        std::string word = GetToken();
        if (word == " " || word[0] == ';' || StartsWithWord(word, "END") || StartsWithWord(word, "ELSE") ||
            StartsWithWord(word, "UNTIL")) {
            FCur = FLastPos;
            Emit(std::string(1, rpslCall) + target + "(0)", start);
            return;
        }
        int exprStart = AssignedExpressionStart(word);
        if (exprStart < 0) return;
        DoExpression();
        if (FError) return;
        std::string expr = Text(exprStart, FCur);
        size_t bracket = target.find('[');
        if (bracket != std::string::npos) {
            size_t close = target.rfind(']');
            std::string index =
                target.substr(bracket + 1, close == std::string::npos ? std::string::npos : close - bracket - 1);
            Emit(std::string(1, rpslCall) + "SETARRAY(" + target.substr(0, bracket) + ", " + index + ", " + expr + ")",
                 exprStart);
        } else {
            Emit(target + " " + expr, exprStart);
        }
    }

    // ----------------------------------------------------------- expressions

    // A variable: a letter, then letters, digits, "." and "_", optionally
    // [index]; a name directly followed by "(" is a call, not a variable.
    bool ReadVariable(std::string& name) {
        SkipSpace();
        int start = FCur;
        if (!IsLetter(Ch(FCur)) && Ch(FCur) != '_') return false;
        while (FCur < Len() && IsIdentChar(FBuf[FCur])) ++FCur;
        if (Ch(FCur) == '(') return false;
        name = FBuf.substr(start, FCur - start);
        if (Ch(FCur) == '[') {
            ++FCur;
            DoEnclosedExpression(']', "Need \"]\" here");
        }
        return true;
    }

    // An expression and the character that closes it.
    void DoEnclosedExpression(char closer, const char* expected) {
        DoExpression();
        if (FError) return;
        SkipSpace();
        FLastPos = FCur;
        if (Ch(FCur) != closer) return AddError(expected);
        ++FCur;
    }

    bool AtWord(const char* keyword) const {
        int n = static_cast<int>(std::char_traits<char>::length(keyword));
        if (FCur + n > Len()) return false;
        for (int i = 0; i < n; ++i)
            if (UpCase(FBuf[FCur + i]) != keyword[i]) return false;
        return !IsIdentChar(Ch(FCur + n));
    }

    void DoExpression() {
        NestingGuard nesting(*this);
        if (FError) return;
        DoSimpleExpression();
        if (FError) return;
        SkipSpace();
        char c = Ch(FCur), d = Ch(FCur + 1);
        if ((c == '>' && d == '=') || (c == '<' && (d == '=' || d == '>')))
            FCur += 2;
        else if (c == '>' || c == '<' || c == '=')
            FCur += 1;
        else
            return;
        DoSimpleExpression();
    }

    void DoSimpleExpression() {
        DoTerm();
        while (!FError) {
            SkipSpace();
            if (Ch(FCur) == '+' || Ch(FCur) == '-')
                ++FCur;
            else if (AtWord("OR"))
                FCur += 2;
            else
                return;
            DoTerm();
        }
    }

    void DoTerm() {
        DoFactor();
        while (!FError) {
            SkipSpace();
            if (Ch(FCur) == '*' || Ch(FCur) == '/')
                ++FCur;
            else if (AtWord("AND"))
                FCur += 3;
            else if (AtWord("MOD"))
                FCur += 3;
            else
                return;
            DoFactor();
        }
    }

    void DoFactor() {
        SkipSpace();
        FLastPos = FCur;
        char c = Ch(FCur);
        if (c == '(') {
            ++FCur;
            DoEnclosedExpression(')', "Need \")\" here");
        } else if (c == '[') {
            int depth = 0;
            bool inSingle = false, inDouble = false;
            do {
                char b = FBuf[FCur];
                if (b == '"' && !inSingle)
                    inDouble = !inDouble;
                else if (b == '\'' && !inDouble)
                    inSingle = !inSingle;
                else if (!inSingle && !inDouble)
                    depth += b == '[' ? 1 : b == ']' ? -1 : 0;
                ++FCur;
            } while (depth > 0 && FCur < Len());
            if (depth > 0) return AddError("Need \"]\" here");
        } else if (c == '+' || c == '-') {
            ++FCur;
            NestingGuard nesting(*this);
            if (!FError) DoFactor();
        } else if (AtWord("NOT")) {
            FCur += 3;
            NestingGuard nesting(*this);
            if (!FError) DoFactor();
        } else if (IsLetter(c) || c == '_') {
            while (FCur < Len() && IsIdentChar(FBuf[FCur])) ++FCur;
            if (Ch(FCur) == '(') {
                ++FCur;
                SkipSpace();
                if (Ch(FCur) == ')') {
                    ++FCur;
                    return;
                }
                for (;;) {
                    DoExpression();
                    if (FError) return;
                    SkipSpace();
                    FLastPos = FCur;
                    if (Ch(FCur) == ',') {
                        ++FCur;
                        continue;
                    }
                    if (Ch(FCur) == ')') {
                        ++FCur;
                        return;
                    }
                    return AddError("Need \",\" or \")\" here");
                }
            } else if (Ch(FCur) == '[') {
                ++FCur;
                DoEnclosedExpression(']', "Need \"]\" here");
            }
        } else if (IsDigit(c)) {
            while (IsDigit(Ch(FCur))) ++FCur;
            if (Ch(FCur) == '.' && IsDigit(Ch(FCur + 1))) {
                ++FCur;
                while (IsDigit(Ch(FCur))) ++FCur;
            }
        } else if (c == '\'') {
            ++FCur;
            for (;;) {
                if (FCur >= Len()) return AddError("Need \"'\" here");
                if (FBuf[FCur] == '\'') {
                    if (Ch(FCur + 1) == '\'') {
                        FCur += 2;
                        continue;
                    }
                    ++FCur;
                    break;
                }
                ++FCur;
            }
        } else {
            AddError("Need an expression here");
        }
    }

    // ------------------------------------------------------------ finishing

    void ResolveGotos() {
        for (const Goto& g : FGotos) {
            auto it =
                std::find_if(FLabels.begin(), FLabels.end(), [&](const Label& l) { return l.Text == g.Label + ":"; });
            if (it == FLabels.end()) {
                FLastPos = g.Pos;
                AddError("Label \"" + g.Label + "\" is not defined");
                return;
            }
            FScript->Put(g.Line, std::string(1, rpslJump) + TargetBytes(it->Line));
        }
    }

    void ToPostfix() {
        TrpParser parser;
        for (int i = 0; i < FScript->Count(); ++i) {
            std::string line = FScript->Get(i);
            if (line.empty() || line[0] == rpslJump) continue;
            size_t head = line[0] == rpslCondJump ? 3 : line[0] == rpslCall ? 1 : line.find(' ');
            if (head == std::string::npos) continue;
            if (line[0] != rpslCondJump && line[0] != rpslCall) ++head;  // the blank after the name
            try {
                FScript->Put(i, line.substr(0, head) + parser.ToPostfix(line.substr(std::min(head, line.size()))));
            } catch (const Exception&) {
                FLastPos = FLinePos[i];
                AddError("Need \")\" here");
                return;
            }
        }
    }

    TStrings* FMemo;
    TStrings* FScript;
    TStrings* FErrors;
    std::string FBuf;
    int FCur = 0;
    int FLastPos = 0;
    int FNesting = 0;
    bool FError = false;
    std::vector<std::pair<int, int>> FCuts;  // position, length
    std::vector<Label> FLabels;
    std::vector<Goto> FGotos;
    std::vector<int> FLinePos;  // text position of each compiled line
};

}  // namespace

int rpScriptLineTarget(const std::string& line) {
    if (line.size() < 3) return -1;
    return static_cast<unsigned char>(line[1]) | (static_cast<unsigned char>(line[2]) << 8);
}

TrpInterpretator::TrpInterpretator() : Parser(std::make_unique<TrpParser>()) {
    Parser->OnGetValue = [this](const std::string& name, Variant& value) { GetVariableValue(name, value); };
    Parser->OnFunction = [this](const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                                Variant& value) { CallFunction(name, p1, p2, p3, value); };
}

TrpInterpretator::~TrpInterpretator() = default;

void TrpInterpretator::CompileScript(TStrings* memo, TStrings* script, TStrings* errors) {
    script->Clear();
    errors->Clear();
    TScriptCompiler(memo, script, errors).Compile();
}

void TrpInterpretator::RunScript(TStrings* script) {
    int count = script->Count();
    int i = 0;
    while (i < count) {
        std::string line = script->Get(i);
        if (line.empty()) {
            ++i;
            continue;
        }
        switch (line[0]) {
        case rpslCondJump: {
            int target = rpScriptLineTarget(line);
            if (target < 0) throw ErpParserError("Damaged script line " + std::to_string(i));
            Variant v = Parser->EvalPostfix(line.substr(3));
            i = v == Variant(0) ? target : i + 1;
            break;
        }
        case rpslJump: {
            int target = rpScriptLineTarget(line);
            if (target < 0) throw ErpParserError("Damaged script line " + std::to_string(i));
            i = target;
            break;
        }
        case rpslCall:
            if (UpperCase(line.substr(1)) == "EXIT(0)") return;
            Parser->EvalPostfix(line.substr(1));
            ++i;
            break;
        default: {
            size_t blank = line.find(' ');
            std::string name = line.substr(0, blank);
            Variant v = blank == std::string::npos ? Variant(0) : Parser->EvalPostfix(line.substr(blank + 1));
            SetVariableValue(name, v);
            ++i;
        }
        }
    }
}

void TrpInterpretator::CollectFunctions(TStrings* script, TStrings* matchFuncs, TStrings* splitTo,
                                        TrpVariables* variables) {
    TrpFunctionSplitter splitter(matchFuncs, splitTo, variables);
    for (int i = 0; i < script->Count(); ++i) {
        std::string line = script->Get(i);
        if (line.empty() || line[0] == rpslJump) continue;
        if (line[0] == rpslCondJump)
            splitter.Split(line.size() > 3 ? line.substr(3) : std::string());
        else if (line[0] == rpslCall)
            splitter.Split(line.substr(1));
        else {
            size_t blank = line.find(' ');
            if (blank != std::string::npos) splitter.Split(line.substr(blank + 1));
        }
    }
}
