#include "RP_StdLib.h"

#include <vector>

#include "MsgBox.h"
#include "RP_Class.h"
#include "RP_Context.h"
#include "RP_Dict.h"
#include "RP_Vars.h"
#include "SysUtils.h"

namespace {

enum {
    fnAvg,
    fnCount,
    fnDayOf,
    fnFormatDateTime,
    fnFormatFloat,
    fnFormatText,
    fnInput,
    fnLength,
    fnLowerCase,
    fnMax,
    fnMaxNum,
    fnMessageBox,
    fnMin,
    fnMinNum,
    fnMonthOf,
    fnNameCase,
    fnPos,
    fnSum,
    fnTrim,
    fnUpperCase,
    fnYearOf,
};

const char* const FunctionNames[] = {
    "AVG",       "COUNT", "DAYOF",  "FORMATDATETIME", "FORMATFLOAT", "FORMATTEXT", "INPUT",   "LENGTH",
    "LOWERCASE", "MAX",   "MAXNUM", "MESSAGEBOX",     "MIN",         "MINNUM",     "MONTHOF", "NAMECASE",
    "POS",       "SUM",   "TRIM",   "UPPERCASE",      "YEAROF",
};

// Code points of a UTF-8 text, each as its bytes.
std::vector<std::string> Characters(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + n > s.size()) n = 1;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

int CharacterCount(const std::string& s) { return static_cast<int>(Characters(s).size()); }

Variant Eval(TrpContext& context, const Variant& arg) { return context.Calc(VarToStr(arg)); }
std::string EvalText(TrpContext& context, const Variant& arg) { return VarToStr(Eval(context, arg)); }

int DatePart(TrpContext& context, const Variant& arg, const char* format) {
    return StrToInt(FormatDateTime(format, VarToDateTime(Eval(context, arg))));
}

// The showing band's data band for an aggregate without a band name.
int MatchingDataBandType(int showingType) {
    switch (showingType) {
    case rpbtReportSummary:
    case rpbtPageFooter:
    case rpbtMasterFooter:
    case rpbtGroupFooter: return rpbtMasterData;
    case rpbtDetailFooter: return rpbtDetailData;
    case rpbtSubDetailFooter: return rpbtSubDetailData;
    case rpbtCrossFooter: return rpbtCrossData;
    default: return -1;
    }
}

}  // namespace

std::string rpAggregateKey(const std::string& bandName, char code, const std::string& expression,
                           const std::string& flags) {
    const char end = '\x01';
    return bandName + end + std::string(1, code) + end + expression + end + flags + end;
}

Variant rpAggregateStartValue(char code) {
    if (code == rpagMin) return Variant(rpAggregateMinStart);
    if (code == rpagMax) return Variant(rpAggregateMaxStart);
    return Variant(0);
}

void rpAccumulateAggregate(char code, Variant& entry, const Variant& value) {
    const Variant v = value.IsEmpty() || value.IsNull() ? Variant(0) : value;
    switch (code) {
    case rpagSum:
    case rpagAvg: entry = entry + v; break;
    case rpagMin:
        if (v < entry) entry = v;
        break;
    case rpagMax:
        if (v > entry) entry = v;
        break;
    case rpagCount: entry = entry + Variant(1); break;
    default: break;
    }
}

Variant rpAggregateValue(char code, const Variant& entry, int count) {
    // MAX and AVG over no records are 0, not the start value or a division
    // by zero; MIN keeps its start value.
    if (code == rpagMax) return count <= 0 ? Variant(0) : entry;
    if (code != rpagAvg) return entry;
    if (count <= 0) return Variant(0);
    return entry / Variant(count);
}

std::string FormatMaskText(const std::string& editMask, const std::string& value) {
    // "mask;save literals;blank": the last two fields come from the end
    std::string mask = editMask;
    char blank = ' ';
    bool saveLiterals = true;
    size_t last = mask.rfind(';');
    if (last != std::string::npos) {
        blank = last + 1 < mask.size() ? mask[last + 1] : ' ';
        mask.erase(last);
        size_t prev = mask.rfind(';');
        if (prev != std::string::npos) {
            saveLiterals = prev + 1 < mask.size() && mask[prev + 1] != '0';
            mask.erase(prev);
        }
    }
    std::vector<std::string> chars = Characters(value);
    size_t vi = 0;
    enum { asIs, upper, lower } caseMode = asIs;
    std::string out;
    for (size_t i = 0; i < mask.size(); ++i) {
        char m = mask[i];
        if (m == '!') continue;
        if (m == '>') {
            if (i + 1 < mask.size() && mask[i + 1] == '<') {
                caseMode = asIs;
                ++i;
            } else
                caseMode = upper;
            continue;
        }
        if (m == '<') {
            caseMode = lower;
            continue;
        }
        bool placeholder =
            m == 'L' || m == 'l' || m == 'A' || m == 'a' || m == 'C' || m == 'c' || m == '0' || m == '9' || m == '#';
        if (placeholder) {
            if (vi < chars.size()) {
                std::string ch = chars[vi++];
                out += caseMode == upper ? AnsiUpperCase(ch) : caseMode == lower ? AnsiLowerCase(ch) : ch;
            } else {
                out += blank;
            }
            continue;
        }
        std::string literal;
        if (m == '\\' && i + 1 < mask.size())
            literal = mask[++i];
        else if (m == ':')
            literal = FormatSettings.TimeSeparator;
        else if (m == '/')
            literal = FormatSettings.DateSeparator;
        else
            literal = m;
        out += literal;
        if (saveLiterals && vi < chars.size()) ++vi;  // the value holds the literal too
    }
    return out;
}

// ----------------------------------------------------------------- library

TrpStdFunctionLibrary::TrpStdFunctionLibrary() {
    for (const char* name : FunctionNames) List->Add(name);
    // the description texts (engine strings 55349..55416) are not in the string table
    for (const char* name : FunctionNames) AddFunctionDesc(name, std::string(), std::string());
}

void TrpStdFunctionLibrary::DoFunction(TrpContext& context, int index, const Variant& p1, const Variant& p2,
                                       const Variant& p3, Variant& val) {
    switch (index) {
    case fnAvg: return Aggregate(context, rpagAvg, VarToStr(p1), VarToStr(p2), VarToStr(p3), val);
    case fnCount: return Aggregate(context, rpagCount, std::string(), VarToStr(p1), VarToStr(p2), val);
    case fnMax: return Aggregate(context, rpagMax, VarToStr(p1), VarToStr(p2), VarToStr(p3), val);
    case fnMin: return Aggregate(context, rpagMin, VarToStr(p1), VarToStr(p2), VarToStr(p3), val);
    case fnSum: return Aggregate(context, rpagSum, VarToStr(p1), VarToStr(p2), VarToStr(p3), val);
    case fnDayOf: val = Variant(DatePart(context, p1, "d")); return;
    case fnMonthOf: val = Variant(DatePart(context, p1, "m")); return;
    case fnYearOf: val = Variant(DatePart(context, p1, "yyyy")); return;
    case fnFormatDateTime:
        val = Variant(FormatDateTime(EvalText(context, p1), VarToDateTime(Eval(context, p2))));
        return;
    case fnFormatFloat: val = Variant(FormatFloat(EvalText(context, p1), Eval(context, p2).AsDouble())); return;
    case fnFormatText: val = Variant(FormatMaskText(EvalText(context, p1) + ";0; ", EvalText(context, p2))); return;
    case fnInput: {
        std::string prompt = EvalText(context, p1), def = EvalText(context, p2);
        val = Variant(context.InputBox ? context.InputBox(std::string(), prompt, def) : def);
        return;
    }
    case fnMessageBox: {
        std::string text = EvalText(context, p1), caption = EvalText(context, p2);
        val = Variant(MessageBox(text, caption, static_cast<unsigned>(Eval(context, p3).AsInteger())));
        return;
    }
    case fnLength: val = Variant(CharacterCount(EvalText(context, p1))); return;
    case fnLowerCase: val = Variant(AnsiLowerCase(EvalText(context, p1))); return;
    case fnUpperCase: val = Variant(AnsiUpperCase(EvalText(context, p1))); return;
    case fnNameCase: {
        std::vector<std::string> chars = Characters(AnsiLowerCase(EvalText(context, p1)));
        std::string out;
        for (size_t i = 0; i < chars.size(); ++i) out += i == 0 ? AnsiUpperCase(chars[i]) : chars[i];
        val = Variant(out);
        return;
    }
    case fnTrim: val = Variant(Trim(EvalText(context, p1))); return;
    case fnPos: {
        std::string part = EvalText(context, p1), text = EvalText(context, p2);
        int bytePos = Pos(part, text);
        val = Variant(bytePos == 0 ? 0 : CharacterCount(text.substr(0, bytePos - 1)) + 1);
        return;
    }
    case fnMaxNum: {
        Variant a = Eval(context, p1), b = Eval(context, p2);
        val = a > b ? a : b;
        return;
    }
    case fnMinNum: {
        Variant a = Eval(context, p1), b = Eval(context, p2);
        val = a < b ? a : b;
        return;
    }
    default: return;
    }
}

void TrpStdFunctionLibrary::Aggregate(TrpContext& context, char code, const std::string& expression,
                                      const std::string& bandArg, const std::string& flags, Variant& val) {
    // Outside a build there is no band to aggregate over.
    TrpPageEngineLink* engine = context.PageEngine();
    TrpAggregateBand* showing = engine ? engine->ShowingBand() : nullptr;
    if (!showing) return;
    if (engine->Declaring()) {
        std::string bandName = Trim(bandArg);
        TrpAggregateBand* accumulating = nullptr;
        if (!bandName.empty()) {
            accumulating = engine->FindBand(bandName);
        } else {
            int type = MatchingDataBandType(showing->GetAggregateBandType());
            if (type >= 0) accumulating = engine->FindDataBand(type);
        }
        TrpAggregateBand* prepared = engine->PreparedBand();
        if (!accumulating || !prepared ||
            !SameText(accumulating->GetAggregateBandName(), prepared->GetAggregateBandName()))
            return;
        std::string key = rpAggregateKey(showing->GetAggregateBandName(), code, expression, flags);
        if (showing->GetAggregateBandType() != rpbtCrossFooter && showing->KeysPerColumn())
            key = std::string("0") + '\x01' + key;
        if (TrpVariables* list = accumulating->GetAggregates()) list->SetVariable(key, rpAggregateStartValue(code));
        showing->SetAccumulatingBand(accumulating);
        return;
    }
    TrpAggregateBand* accumulating = showing->GetAccumulatingBand();
    if (!accumulating || !accumulating->GetAggregates()) return;
    std::string bandName = showing->GetAggregateBandType() == rpbtCrossData
                               ? std::to_string(showing->CurrentColumn()) + '\x01' + showing->CrossedBandName()
                               : showing->GetAggregateBandName();
    TrpVariables* values = accumulating->GetAggregates();
    int index = values->IndexOf(rpAggregateKey(bandName, code, expression, flags));
    val =
        index < 0 ? Null() : rpAggregateValue(code, values->GetValue(index), accumulating->GetAggregateCount(bandName));
}

// ----------------------------------------------------------------- splitter

namespace {
TStringList* AggregateNames() {
    auto* list = new TStringList;
    for (const char* name : {"AVG", "COUNT", "MAX", "MIN", "SUM"}) list->Add(name);
    return list;
}
}  // namespace

TAggregateFunctionsSplitter::TAggregateFunctionsSplitter(TStrings* splitTo, TrpVariables* dictionaryVariables)
    : TrpFunctionSplitter(nullptr, splitTo, dictionaryVariables), FMatchList(AggregateNames()) {
    FMatchFuncs = FMatchList.get();
}

TAggregateFunctionsSplitter::~TAggregateFunctionsSplitter() = default;

void TAggregateFunctionsSplitter::SplitMemo(TStrings* memo) {
    for (int i = 0; i < memo->Count(); ++i) {
        std::string line = memo->Get(i);
        int len = static_cast<int>(line.size());
        int pos = 1;
        while (pos <= len) {
            size_t open = line.find('[', pos - 1);
            if (open == std::string::npos) break;
            int start = static_cast<int>(open) + 1, stop = 0;
            std::string inner = ExtractBracketedVariable(line, start, stop);
            Split("[" + inner + "]");
            pos = std::max(stop, start) + 1;
        }
    }
}

void TAggregateFunctionsSplitter::SplitScript(TStrings* script) {
    if (!script || script->Count() == 0) return;
    TrpInterpretator collector;
    collector.CollectFunctions(script, FMatchFuncs, FSplitTo, FVariables);
}

// -------------------------------------------------------------- interpreter

void TInterpretator::GetVariableValue(const std::string& name, Variant& value) {
    FContext.Resolver().GetVariableValue(name, value);
}

void TInterpretator::CallFunction(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                                  Variant& value) {
    FContext.Resolver().DoUserFunction(name, p1, p2, p3, value);
}

void TInterpretator::SetVariableValue(const std::string& name, const Variant& value) {
    TrpVariables& vars = FContext.Variables();
    int i = vars.IndexOf(name);
    if (i >= 0) {
        vars.SetValue(i, value);
        return;
    }
    // A dictionary variable takes the value for this build: the template,
    // dictionary included, is reloaded when the build ends.
    TrpReport* report = FContext.Report;
    if (report && report->Dictionary) {
        TrpVariables* dictionary = report->Dictionary->Variables.get();
        int d = dictionary->IndexOf(" " + name);
        if (d >= 0) {
            dictionary->SetValue(d, value);
            return;
        }
    }
    TrpPageEngineLink* engine = FContext.PageEngine();
    if (SameText(name, "MODALRESULT")) {
        if (engine) engine->SetModalResult(value.AsInteger());
        return;
    }
    if (SameText(name, "CURY")) {
        if (engine) engine->SetCurY(value.AsInteger());
        return;
    }
    if (SameText(name, "PROGRESS")) {
        if (engine) engine->ShowProgress(VarToStr(value));
        return;
    }
    if (name.find('.') != std::string::npos) {
        std::string propName;
        TrpObject* object = rpGetObjectByPath(FContext, name, propName);
        if (object && !propName.empty() && object->HasProperty(propName)) {
            object->SetPropertyValue(UpperCase(propName), value);
            return;
        }
    }
    vars.SetVariable(name, value);
}
