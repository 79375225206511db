#include "RP_Pars.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "SysUtils.h"

namespace {

char At(const std::string& s, int pos) {  // 1-based; 0 outside the text
    return pos >= 1 && pos <= static_cast<int>(s.size()) ? s[pos - 1] : '\0';
}

bool IsIdentDelimiter(char c) {
    switch (c) {
    case '\r':
    case ' ':
    case '(':
    case ')':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '[': return true;
    default: return false;
    }
}

bool IsNumberStart(char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; }

bool IsBinary(char c) {
    switch (c) {
    case rpopGreaterEq:
    case rpopLessEq:
    case rpopNotEqual:
    case rpopOr:
    case rpopAnd:
    case rpopMod:
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>': return true;
    default: return false;
    }
}

// Operators written before their operand. They never reduce what stands to
// their left, so "2 * -3", "NOT NOT x" and "a AND NOT b" keep their arithmetic sense.
bool IsPrefix(char c) {
    switch (c) {
    case rpopInt:
    case rpopFrac:
    case rpopNegate:
    case rpopPlus:
    case rpopStr:
    case rpopNot:
    case rpopRound: return true;
    default: return false;
    }
}

bool IsOperator(char c) { return IsBinary(c) || IsPrefix(c); }

// Text of a single-quoted literal as written (with quotes) to its value.
std::string UnquoteLiteral(const std::string& quoted) {
    std::string inner = quoted.size() >= 1 ? quoted.substr(1) : std::string();
    if (quoted.size() >= 2 && inner.back() == '\'') inner.pop_back();
    std::string out;
    out.reserve(inner.size());
    for (size_t i = 0; i < inner.size(); ++i) {
        out += inner[i];
        if (inner[i] == '\'' && i + 1 < inner.size() && inner[i + 1] == '\'') ++i;
    }
    return out;
}

// Rounds to the nearest integer, halves to even.
long double RoundEven(long double x) { return std::nearbyint(x); }

Variant IntOp(const Variant& v) {
    long double x = v.AsDouble();
    long double n = RoundEven(x);
    return Variant(static_cast<double>(std::fabs(n - x) < 1e-10L ? n : std::trunc(x)));
}

Variant FracOp(const Variant& v) {
    long double x = v.AsDouble();
    long double n = RoundEven(x);
    if (std::fabs(n - x) < 1e-10L) x = n;
    return Variant(static_cast<double>(x - std::trunc(x)));
}

Variant RoundOp(const Variant& v) {
    return Variant(VarAsType(Variant(static_cast<double>(RoundEven(v.AsDouble()))), varInteger));
}

Variant Flag(bool b) { return Variant(b ? 1 : 0); }

}  // namespace

int OperatorPriority(char code) {
    switch (code) {
    case rpopGreaterEq:
    case rpopLessEq:
    case rpopNotEqual:
    case '<':
    case '=':
    case '>': return 3;
    case rpopOr:
    case rpopAnd:
    case '*':
    case '/':
    case rpopMod:
    case rpopNot: return 1;
    case '+':
    case '-':
    case rpopNegate:
    case rpopPlus: return 2;
    case '(': return 5;
    case ')': return 4;
    default: return 0;
    }
}

std::string ExtractBracketedVariable(const std::string& text, int& start, int& stop) {
    stop = start;
    int len = static_cast<int>(text.size());
    if (text.empty() || start > len || start < 1) return std::string();
    int nesting = 0;
    bool inDouble = false, inSingle = false;
    int i = start;
    for (; i <= len; ++i) {
        char c = text[i - 1];
        if (c == '"' && !inSingle)
            inDouble = !inDouble;
        else if (c == '\'' && !inDouble)
            inSingle = !inSingle;
        else if (!inDouble && !inSingle) {
            if (c == '[') {
                if (nesting == 0) start = i;
                ++nesting;
            } else if (c == ']') {
                --nesting;
            }
        }
        if (nesting == 0) break;
    }
    stop = std::min(i, len);
    if (stop - start - 1 <= 0) return std::string();
    return text.substr(start, stop - start - 1);
}

// ------------------------------------------------------------------ tokens

std::string TrpParser::ReadIdentifier(const std::string& text, int& pos) {
    int len = static_cast<int>(text.size());
    pos = std::clamp(pos, 1, len + 1);
    while (pos <= len && static_cast<unsigned char>(text[pos - 1]) <= 32) ++pos;
    int begin = pos;
    int quotes = 0;
    while (pos <= len) {
        char c = text[pos - 1];
        if (c == '"')
            ++quotes;
        else if (IsIdentDelimiter(c) && quotes % 2 == 0)
            break;
        ++pos;
    }
    return text.substr(begin - 1, pos - begin);
}

std::string TrpParser::ReadQuoted(const std::string& text, int& pos) {
    int len = static_cast<int>(text.size());
    if (pos < 1 || pos > len) return std::string();
    int begin = pos;
    ++pos;
    while (pos <= len) {
        if (text[pos - 1] == '\'') {
            if (pos < len && text[pos] == '\'') {
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        ++pos;
    }
    return text.substr(begin - 1, std::min(pos, len + 1) - begin);
}

void TrpParser::SplitArguments(const std::string& text, int& pos, std::string& arg1, std::string& arg2,
                               std::string& arg3) {
    arg1.clear();
    arg2.clear();
    arg3.clear();
    int len = static_cast<int>(text.size());
    int depth = 0, argNo = 0, argStart = pos + 1;
    bool inQuote = false;
    for (int i = pos; i <= len; ++i) {
        char c = text[i - 1];
        if (c == '\'') {
            inQuote = !inQuote;
            continue;
        }
        if (inQuote) continue;
        if (c == '(') {
            ++depth;
        } else if (c == ',' && depth == 1) {
            ++argNo;
            (argNo == 1 ? arg1 : arg2) = text.substr(argStart - 1, i - argStart);
            argStart = i + 1;
        } else if (c == ')') {
            if (--depth == 0) {
                std::string last = text.substr(argStart - 1, i - argStart);
                ++argNo;
                (argNo == 1 ? arg1 : argNo == 2 ? arg2 : arg3) = last;
                pos = i + 1;
                return;
            }
        }
    }
    throw Exception("");
}

// ------------------------------------------------------------ conversion

std::string TrpParser::ToPostfix(const std::string& source) {
    std::string text = source;
    std::string out, stack;  // stack.back() is the top
    bool operand = false;
    int len = static_cast<int>(text.size());

    auto pushOperator = [&](char op) {
        if (!IsPrefix(op)) {
            while (!stack.empty() && OperatorPriority(op) >= OperatorPriority(stack.back())) {
                out += stack.back();
                stack.pop_back();
            }
        }
        stack += op;
    };

    int i = 1;
    while (i <= len) {
        char c = text[i - 1];
        if (c == '\r' || c == ' ') {
            ++i;
            continue;
        }
        if (c == '(') {
            stack += '(';
            operand = false;
            ++i;
            continue;
        }
        if (c == ')') {
            size_t open = stack.rfind('(');
            if (open != std::string::npos) {
                for (size_t k = stack.size(); k > open + 1; --k) out += stack[k - 1];
                stack.erase(open);
            }
            ++i;
            continue;
        }
        if (c == ';') break;
        if (c == '*' || c == '+' || c == '-' || c == '/' || c == '<' || c == '=' || c == '>') {
            char next = At(text, i + 1);
            char op = c;
            if (c == '<' && next == '>') {
                op = rpopNotEqual;
                ++i;
            } else if (c == '>' && next == '=') {
                op = rpopGreaterEq;
                ++i;
            } else if (c == '<' && next == '=') {
                op = rpopLessEq;
                ++i;
            }
            if (!operand && op == '-')
                op = rpopNegate;
            else if (!operand && op == '+')
                op = rpopPlus;
            operand = false;
            pushOperator(op);
            ++i;
            continue;
        }

        // an operand
        operand = true;
        int start = i;
        std::string word;
        if (c == '%') {
            word = text.substr(i - 1, 2);
            i = std::min(i + 2, len + 1);
        }
        char first = At(text, i);
        if (first == '\'') {
            word += ReadQuoted(text, i);
        } else if (first == '[') {
            int stop = 0;
            std::string inner = ExtractBracketedVariable(text, i, stop);
            word += "[" + inner + "]";
            i = stop + 1;
        } else {
            std::string name = ReadIdentifier(text, i);
            // ";" ends the expression even right after a name or number
            size_t semi = std::string::npos;
            for (size_t k = 0, quotes = 0; k < name.size(); ++k) {
                if (name[k] == '"')
                    ++quotes;
                else if (name[k] == ';' && quotes % 2 == 0) {
                    semi = k;
                    break;
                }
            }
            if (semi != std::string::npos) {
                i -= static_cast<int>(name.size() - semi);
                name.erase(semi);
            }
            word += name;
            if (semi == std::string::npos && At(text, i) == '[') {
                int stop = 0;
                std::string inner = ExtractBracketedVariable(text, i, stop);
                word += "[" + inner + "]";
                i = stop + 1;
            }
        }
        if (i <= start) i = start + 1;  // always make progress

        if (!word.empty() && IsNumberStart(word[0])) {
            out += word + ' ';
            continue;
        }
        std::string upper = UpperCase(word);
        char keyword = upper == "INT"     ? rpopInt
                       : upper == "FRAC"  ? rpopFrac
                       : upper == "ROUND" ? rpopRound
                       : upper == "OR"    ? rpopOr
                       : upper == "AND"   ? rpopAnd
                       : upper == "NOT"   ? rpopNot
                       : upper == "STR"   ? rpopStr
                       : upper == "MOD"   ? rpopMod
                                          : 0;
        if (keyword) {
            operand = false;
            pushOperator(keyword);
            continue;
        }
        if (At(text, i) == '(') {
            std::string a1, a2, a3;
            SplitArguments(text, i, a1, a2, a3);
            out += text.substr(start - 1, i - start);
        } else {
            out += word + ' ';
        }
    }
    for (size_t k = stack.size(); k > 0; --k) out += stack[k - 1];
    return out;
}

// ------------------------------------------------------------ evaluation

Variant TrpParser::Calc(const std::string& text) { return EvalPostfix(ToPostfix(text)); }

Variant TrpParser::GetValue(const std::string& name) {
    Variant v = Null();
    if (OnGetValue) OnGetValue(name, v);
    return v;
}

Variant TrpParser::CallFunction(const std::string& name, const std::string& a1, const std::string& a2,
                                const std::string& a3) {
    if (name == "COPY") {
        int from = StrToInt(VarToStr(Calc(a2)));
        int count = StrToInt(VarToStr(Calc(a3)));
        return Variant(Copy(VarToStr(Calc(a1)), from, count));
    }
    if (name == "IF") {
        Variant cond = Variant(VarToStr(Calc(a1)));
        double x = cond.AsDouble();
        return std::trunc(x) != 0 ? Calc(a2) : Calc(a3);
    }
    if (name == "STRTODATE") return VarFromDateTime(StrToDate(VarToStr(Calc(a1))));
    if (name == "STRTOTIME") {
        std::string text = VarToStr(Calc(a1));
        TDateTime t = 0;
        if (!VarTryStrToTime(text, t)) throw EConvertError("'" + text + "' is not a valid time");
        return VarFromDateTime(t);
    }
    Variant v = Null();
    if (OnFunction) OnFunction(name, Variant(a1), Variant(a2), Variant(a3), v);
    return v;
}

Variant TrpParser::EvalPostfix(const std::string& postfix) {
    struct DepthGuard {
        int& depth;
        explicit DepthGuard(int& d) : depth(d) {
            if (++depth > rpMaxEvalDepth) {
                --depth;
                throw ErpParserError("Expression too complex");
            }
        }
        ~DepthGuard() { --depth; }
    } guard(FDepth);
    std::array<Variant, rpParserStackSize + 1> stack;  // slots 1..32
    stack[1] = Variant(0);
    int top = 0;

    auto push = [&](Variant v) {
        if (top >= rpParserStackSize) throw ErpParserError("Expression too complex");
        stack[++top] = std::move(v);
    };
    auto needOperands = [&](int n) {
        if (top < n) throw ErpParserError("Missing operand in expression");
    };

    int len = static_cast<int>(postfix.size());
    int i = 1;
    while (i <= len) {
        char c = postfix[i - 1];
        if (c == ' ' || c == rpopPlus) {
            if (c == rpopPlus) needOperands(1);
            ++i;
            continue;
        }
        if (IsOperator(c)) {
            if (IsBinary(c)) {
                needOperands(2);
                Variant& l = stack[top - 1];
                const Variant& r = stack[top];
                Variant res;
                switch (c) {
                case rpopGreaterEq: res = Flag(l >= r); break;
                case rpopLessEq: res = Flag(l <= r); break;
                case rpopNotEqual: res = Flag(l != r); break;
                case '<': res = Flag(l < r); break;
                case '=': res = Flag(l == r); break;
                case '>': res = Flag(l > r); break;
                case rpopOr: res = l.Or(r); break;
                case rpopAnd:
                case '*': res = l * r; break;
                case '/': res = r == Variant(0) ? Variant(0) : l / r; break;
                case rpopMod: res = l.Mod(r); break;
                case '+': res = l + r; break;
                case '-': res = l - r; break;
                }
                l = std::move(res);
                --top;
            } else {
                needOperands(1);
                Variant& v = stack[top];
                switch (c) {
                case rpopNot: v = Flag(v == Variant(0)); break;
                case rpopNegate: v = -v; break;
                case rpopInt: v = IntOp(v); break;
                case rpopFrac: v = FracOp(v); break;
                case rpopRound: v = RoundOp(v); break;
                case rpopStr: v = Variant(v.IsNull() ? std::string() : VarToStr(v)); break;
                }
            }
            ++i;
            continue;
        }
        if (c == '[') {
            int start = i, stop = 0;
            std::string name = ExtractBracketedVariable(postfix, start, stop);
            push(GetValue(name));
            i = stop + 1;
            continue;
        }
        if (c == '\'') {
            push(Variant(UnquoteLiteral(ReadQuoted(postfix, i))));
            continue;
        }
        int start = i;
        std::string name = ReadIdentifier(postfix, i);
        if (!name.empty() && IsNumberStart(name[0])) {
            std::string number = name;
            for (char& ch : number)
                if (ch == '.' || ch == ',') ch = FormatSettings.DecimalSeparator;
            push(Variant(static_cast<double>(StrToFloat(number))));
        } else if (SameText(name, "TRUE") || SameText(name, "FALSE")) {
            push(Variant(SameText(name, "TRUE")));
        } else if (At(postfix, i) == '[') {
            int stop = 0;
            std::string index = ExtractBracketedVariable(postfix, i, stop);
            i = stop + 1;
            push(Calc("GETARRAY(" + name + ", " + index + ")"));
        } else if (At(postfix, i) == '(') {
            std::string a1, a2, a3;
            SplitArguments(postfix, i, a1, a2, a3);
            push(CallFunction(UpperCase(name), a1, a2, a3));
        } else {
            push(GetValue(UpperCase(name)));
        }
        if (i <= start) i = start + 1;
    }
    return stack[1];
}

// ------------------------------------------------------------- variables

namespace {
int CompareNames(const std::string& a, const std::string& b) { return CompareText(a, b); }
}  // namespace

int TrpVariables::IndexOf(const std::string& name) const {
    if (FSorted) {
        auto it = std::lower_bound(FItems.begin(), FItems.end(), name, [](const Item& item, const std::string& n) {
            return CompareNames(item.Name, n) < 0;
        });
        if (it != FItems.end() && CompareNames(it->Name, name) == 0) return static_cast<int>(it - FItems.begin());
        return -1;
    }
    for (size_t k = 0; k < FItems.size(); ++k)
        if (CompareNames(FItems[k].Name, name) == 0) return static_cast<int>(k);
    return -1;
}

int TrpVariables::Insert(const std::string& name, const Variant& value) {
    if (!FSorted) {
        FItems.push_back({name, value});
        return Count() - 1;
    }
    auto it = std::lower_bound(FItems.begin(), FItems.end(), name,
                               [](const Item& item, const std::string& n) { return CompareNames(item.Name, n) < 0; });
    if (it != FItems.end() && CompareNames(it->Name, name) == 0) return static_cast<int>(it - FItems.begin());
    it = FItems.insert(it, {name, value});
    return static_cast<int>(it - FItems.begin());
}

Variant TrpVariables::GetVariable(const std::string& name) const {
    int i = IndexOf(name);
    return i < 0 ? Null() : FItems[i].Value;
}

void TrpVariables::SetVariable(const std::string& name, const Variant& value) {
    int i = IndexOf(name);
    if (i < 0)
        Insert(name, value);
    else
        FItems[i].Value = value;
}

std::string TrpVariables::GetName(int index) const {
    return index >= 0 && index < Count() ? FItems[index].Name : std::string();
}

void TrpVariables::SetName(int index, const std::string& name) {
    if (index < 0 || index >= Count()) return;
    if (!FSorted) {
        FItems[index].Name = name;
        return;
    }
    // a sorted list keeps its order: the entry moves to its new place; a
    // name another entry holds already is refused, so no value is lost
    int other = IndexOf(name);
    if (other >= 0 && other != index) return;
    Variant value = FItems[index].Value;
    FItems.erase(FItems.begin() + index);
    Insert(name, value);
}

Variant TrpVariables::GetValue(int index) const {
    return index >= 0 && index < Count() ? FItems[index].Value : Variant(0);
}

void TrpVariables::SetValue(int index, const Variant& value) {
    if (index >= 0 && index < Count()) FItems[index].Value = value;
}

void TrpVariables::Delete(int index) {
    if (index >= 0 && index < Count()) FItems.erase(FItems.begin() + index);
}

void TrpVariables::SetSorted(bool value) {
    if (value == FSorted) return;
    FSorted = value;
    if (!value) return;
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const Item& a, const Item& b) { return CompareNames(a.Name, b.Name) < 0; });
    // a sorted list holds each name once; later duplicates are dropped
    FItems.erase(std::unique(FItems.begin(), FItems.end(),
                             [](const Item& a, const Item& b) { return CompareNames(a.Name, b.Name) == 0; }),
                 FItems.end());
}

// -------------------------------------------------------------- splitter

TrpFunctionSplitter::TrpFunctionSplitter(TStrings* matchFuncs, TStrings* splitTo, TrpVariables* variables)
    : FMatchFuncs(matchFuncs), FSplitTo(splitTo), FParser(new TrpParser), FVariables(variables) {}

TrpFunctionSplitter::~TrpFunctionSplitter() { delete FParser; }

int TrpFunctionSplitter::VariableIndex(const std::string& name) const {
    if (!FVariables || name.empty()) return -1;
    int i = FVariables->IndexOf(" " + name);
    return i >= 0 ? i : FVariables->IndexOf(name);
}

void TrpFunctionSplitter::SplitVariable(int index) {
    std::string name = FVariables->GetName(index);
    for (const std::string& n : FExpanding)
        if (SameText(n, name)) return;
    FExpanding.push_back(name);
    try {
        Split(VarToStr(FVariables->GetValue(index)));
    } catch (...) {
        FExpanding.pop_back();
        throw;
    }
    FExpanding.pop_back();
}

void TrpFunctionSplitter::Split(const std::string& source) {
    std::string text = Trim(source);
    if (text.empty() || text[0] == '\'') return;
    int len = static_cast<int>(text.size());
    int i = 1;
    if (text[0] == '[') {
        while (i <= len) {
            int start = i, stop = 0;
            std::string inner = ExtractBracketedVariable(text, start, stop);
            if (!inner.empty()) {
                int index = VariableIndex(inner);
                if (index >= 0)
                    SplitVariable(index);
                else
                    Split(inner);
            }
            i = std::max(stop, i) + 1;
        }
        return;
    }
    while (i <= len) {
        int start = i;
        std::string name = TrpParser::ReadIdentifier(text, i);
        if (At(text, i) == '(') {
            std::string a1, a2, a3;
            TrpParser::SplitArguments(text, i, a1, a2, a3);
            Split(a1);
            Split(a2);
            Split(a3);
            if (FMatchFuncs && FMatchFuncs->IndexOf(name) >= 0 && FSplitTo)
                FSplitTo->Add(Trim(text.substr(start - 1, i - start)));
        } else if (VariableIndex(name) >= 0) {
            SplitVariable(VariableIndex(name));
        } else {
            char c = At(text, i);
            if (c == '\r' || c == ' ' || c == '*' || c == '+' || c == '-' || c == '/' || c == '<' || c == '=' ||
                c == '>')
                ++i;
            else if (name.empty())
                break;
        }
        if (i <= start) break;
    }
}
