#include "RP_Vars.h"

#include <algorithm>

#include "RP_Class.h"
#include "RP_Context.h"
#include "RP_Dict.h"
#include "RP_Globals.h"
#include "RP_StdLib.h"
#include "SysUtils.h"

namespace {

bool IsSystemVariable(const std::string& name) {
    static const char* const names[] = {"VALUE",        "PAGE#",   "DATE",     "TIME",       "LINE#",
                                        "LINETHROUGH#", "COLUMN#", "CURRENT#", "TOTALPAGES", "CALCWIDTH"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool IsPageVariable(const std::string& name) {
    return name == "CURY" || name == "FREESPACE" || name == "FINALPASS" || name == "PAGEHEIGHT" || name == "PAGEWIDTH";
}

std::string TableEntry(const std::vector<std::string>& table, int index) {
    if (index < 0 || index >= static_cast<int>(table.size())) throw EConvertError("No such format");
    return table[index];
}

std::string FormatNumber(const Variant& value, int32_t format, const std::string& formatStr) {
    TFormatSettings settings = FormatSettings;
    // the format word carries its own decimal separator; 0 means none was given
    if (rpFormatSeparator(format) != '\0') settings.DecimalSeparator = rpFormatSeparator(format);
    long double x = value.AsDouble();
    int d = rpFormatDecimals(format);
    switch (rpFormatIndex(format)) {
    case 0: return FormatFloat("##0." + std::string(d, '#'), x, settings);
    case 1: return FloatToStrF(x, ffFixed, 15, d, settings);
    case 2: return FormatFloat("#,##0." + std::string(d, '#'), x, settings);
    case 3: return FloatToStrF(x, ffNumber, 15, d, settings);
    case rpCustomFormatIndex: return FormatFloat(formatStr, x, settings);
    default: throw EConvertError("No such format");
    }
}

std::string FormatBoolean(const Variant& value, int32_t format, const std::string& formatStr) {
    std::string pattern = rpFormatIndex(format) == rpCustomFormatIndex
                              ? formatStr
                              : TableEntry(rpGlobals().BooleanFormats, rpFormatIndex(format));
    size_t semi = pattern.find(';');
    std::string off = pattern.substr(0, semi);
    std::string on = semi == std::string::npos ? std::string() : pattern.substr(semi + 1, 255);
    return value.AsInt64() == 0 ? off : on;
}

}  // namespace

std::string rpFormatValue(const Variant& value, int32_t format, const std::string& formatStr) {
    if (value.IsEmpty() || value.IsNull()) return std::string();
    if (value.IsString() && Trim(value.RawString()).empty()) return std::string();
    try {
        int index = rpFormatIndex(format);
        switch (rpFormatCategory(format)) {
        case fcNumber: return FormatNumber(value, format, formatStr);
        case fcDate:
            if (index == rpCustomFormatIndex) return FormatDateTime(formatStr, VarToDateTime(value));
            if (index == 3) return FormatDateTime(FormatSettings.LongDateFormat, VarToDateTime(value));
            return FormatDateTime(TableEntry(rpGlobals().DateFormats, index), VarToDateTime(value));
        case fcTime:
            return FormatDateTime(index == rpCustomFormatIndex ? formatStr : TableEntry(rpGlobals().TimeFormats, index),
                                  VarToDateTime(value));
        case fcBoolean: return FormatBoolean(value, format, formatStr);
        default: return VarToStr(value);
        }
    } catch (const Exception&) {
        return VarToStr(value);
    }
}

std::string rpApplyInlineFormat(const std::string& text, int32_t& format, std::string& formatStr) {
    size_t at = text.find(" #");
    if (at == std::string::npos) return text;
    std::string expression = text.substr(0, at);
    std::string f = text.substr(at + 2);
    if (f.empty()) return expression;
    char first = f[0];
    if ((first >= '0' && first <= '9') || first == 'N' || first == 'n') {
        if (first >= '0' && first <= '9') f = "N" + f;
        bool digitSecond = f.size() > 1 && f[1] >= '0' && f[1] <= '9';
        int index = digitSecond ? 1 : 0;
        char separator = '\0';
        int decimals = 0;
        for (size_t k = f.size() - 1; k >= 1; --k) {
            if (f[k] == ',' || f[k] == '-' || f[k] == '.') {
                separator = f[k];
                f[k] = '.';
                if (digitSecond) {
                    size_t e = k + 1;
                    while (e < f.size() && f[e] >= '0' && f[e] <= '9') ++e;
                    if (e > k + 1) decimals = std::min(255, StrToInt(f.substr(k + 1, std::min<size_t>(e - k - 1, 3))));
                }
                break;
            }
        }
        if (!digitSecond) {
            formatStr = f.substr(1);
            index = rpCustomFormatIndex;
        }
        format = rpMakeFormat(fcNumber, index, decimals, separator);
    } else if (first == 'D' || first == 'd' || first == 'T' || first == 't') {
        format = rpMakeFormat(fcDate, rpCustomFormatIndex, 0, '\0');
        formatStr = f.substr(1);
    } else if (first == 'B' || first == 'b') {
        format = rpMakeFormat(fcBoolean, rpCustomFormatIndex, 0, '\0');
        formatStr = f.substr(1);
    }
    return expression;
}

std::string rpCalcErrorText(const std::string& reportName, TrpView* view, const std::string& message) {
    std::string text = LoadEngineString(rpsCalcError);
    if (view && view->Memo)
        for (int i = 0; i < view->Memo->Count(); ++i) text += "\r" + view->Memo->Get(i);
    text += "\r\r" + LoadEngineString(rpsReportLabel) + " " + reportName + "\r";
    if (view) text += LoadEngineString(rpsObjectLabel) + " " + view->Name + "\r";
    text += "\r" + message;
    return text;
}

// ---------------------------------------------------------------- resolver

void TrpValueResolver::UndefinedSymbol(const std::string& name) {
    throw ErpParserError(LoadEngineString(rpsUndefinedSymbol) + " \"" + name + "\"");
}

void TrpValueResolver::GetVariableValue(const std::string& name, Variant& value) {
    value = Variant();
    TrpReport* report = FContext.Report;
    if (report && report->OnGetValue) report->OnGetValue(name, value);
    if (!value.IsEmpty()) return;
    value = Variant(0);
    TrpDataDictionary* dictionary = report ? report->Dictionary.get() : nullptr;
    if (dictionary) {
        // A dictionary variable whose expression leads back to itself would
        // recurse without end: the repeat is an undefined symbol.
        bool repeat = std::any_of(FDictionaryNames.begin(), FDictionaryNames.end(),
                                  [&](const std::string& n) { return SameText(n, name); });
        if (repeat) {
            if (Quiet) return;
            UndefinedSymbol(name);
        }
        FDictionaryNames.push_back(name);
        bool found = false;
        try {
            if (dictionary->IsVariable(name)) {
                value = dictionary->GetValue(name);
                found = true;
            }
        } catch (...) {
            FDictionaryNames.pop_back();
            throw;
        }
        FDictionaryNames.pop_back();
        if (found) return;
        value = Variant(0);
    }

    if (IsSystemVariable(name)) {
        if (name == "VALUE") {
            value = CurrentValue;
            return;
        }
        TrpPageEngineLink* engine = FContext.PageEngine();
        if (engine && engine->GetSystemValue(name, value)) return;
        if (name == "DATE")
            value = VarFromDateTime(FContext.ReportDate);
        else if (name == "TIME")
            value = VarFromDateTime(FContext.ReportTime);
        else if (name == "TOTALPAGES")
            value = Variant(FContext.TotalPagesCount);
        else if (name == "CALCWIDTH")
            value = Variant(FContext.ActiveView ? FContext.ActiveView->dx : 0);
        return;
    }

    TrpVariables& vars = FContext.Variables();
    int i = vars.IndexOf(name);
    if (i >= 0) {
        value = vars.GetValue(i);
        return;
    }
    value = Variant();
    GetReportVariable(name, value);
    if (!value.IsEmpty()) return;
    if (name != RecursionGuard) {
        RecursionGuard = name;
        try {
            value = FContext.Parser().Calc(name);
        } catch (...) {
            RecursionGuard.clear();
            throw;
        }
        RecursionGuard.clear();
        return;
    }
    if (!Quiet) UndefinedSymbol(name);
}

void TrpValueResolver::GetReportVariable(const std::string& name, Variant& value) {
    if (IsPageVariable(name)) {
        if (TrpPageEngineLink* engine = FContext.PageEngine()) engine->GetPageValue(name, value);
        return;
    }
    std::string propName;
    TrpObject* object = rpGetObjectByPath(FContext, name, propName);
    if (object && !propName.empty() && object->HasProperty(propName)) {
        value = object->GetPropertyValue(UpperCase(propName));
        return;
    }
    Variant constant;
    if (rpFindNamedConstant(name, constant)) value = constant;
}

std::string TrpValueResolver::GetFormattedValue(const std::string& text) {
    RecursionGuard.clear();
    TrpView* view = FContext.ActiveView;
    int32_t format = view ? view->Format : rpMakeFormat(fcText, 0, 2, FormatSettings.DecimalSeparator);
    std::string formatStr = view ? view->FormatStr : std::string();
    std::string expression = rpApplyInlineFormat(text, format, formatStr);
    CurrentValue = Variant(0);
    GetVariableValue(expression, CurrentValue);
    Variant shown = CurrentValue;
    if (view && (view->Flags & flHideZeros) && !shown.IsString() && !shown.IsNull() && shown == Variant(0))
        shown = Variant(std::string());
    if (Quiet) return std::string();
    return rpFormatValue(shown, format, formatStr);
}

void TrpValueResolver::DoUserFunction(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                                      Variant& value) {
    value = Null();
    if (rpCallLibraryFunction(FContext, name, p1, p2, p3, value)) return;
    DoBuiltinProcedure(name, p1, p2, p3, value);
    TrpReport* report = FContext.Report;
    if (report && report->OnUserFunction) report->OnUserFunction(name, p1, p2, p3, value);
}

void TrpValueResolver::DoBuiltinProcedure(const std::string& name, const Variant& p1, const Variant& p2,
                                          const Variant& p3, Variant& value) {
    TrpParser& parser = FContext.Parser();
    if (name == "STOPREPORT" || name == "NEWPAGE" || name == "NEWCOLUMN" || name == "SHOWBAND") {
        if (TrpPageEngineLink* engine = FContext.PageEngine())
            engine->DoReportProcedure(name, name == "SHOWBAND" ? Variant(Trim(VarToStr(p1))) : p1);
        return;
    }
    if (name == "INC" || name == "DEC") {
        std::string var = Trim(VarToStr(p1));
        Variant v = parser.Calc(var) + Variant(name == "INC" ? 1 : -1);
        FContext.Interpreter().SetVariableValue(var, v);
        return;
    }
    if (name != "SETARRAY" && name != "GETARRAY") {
        // "Object.Method(...)" in a script: a method of a report object
        // ("MEMO5.HIDE", "MEMO.ADD" of the active view), arguments as texts.
        if (name.find('.') == std::string::npos) return;
        std::string method;
        if (TrpObject* object = rpGetObjectByPath(FContext, name, method))
            value = object->CallMethod(UpperCase(method), p1, p2, p3);
        return;
    }
    std::string array = Trim(VarToStr(p1));
    Variant index = parser.Calc(VarToStr(p2));
    if (array.find('.') != std::string::npos) {
        std::string propName;
        TrpObject* object = rpGetObjectByPath(FContext, array, propName);
        if (!object) return;
        if (name == "SETARRAY")
            object->CallMethod("SETINDEXPROPERTY", Variant(UpperCase(propName)), index, parser.Calc(VarToStr(p3)));
        else
            value = object->CallMethod("GETINDEXPROPERTY", Variant(UpperCase(propName)), index, Variant());
        return;
    }
    std::string key = "Arr_" + array + "_" + VarToStr(index);
    if (name == "SETARRAY")
        FContext.Variables().SetVariable(key, parser.Calc(VarToStr(p3)));
    else
        value = FContext.Variables().GetVariable(key);
}
