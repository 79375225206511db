#pragma once
// Name resolution and value formatting of the report being built: the lookup
// order of a name (application event, dictionary, system variables, report
// variables and object properties, the name as an expression), the format
// word and inline " #" formats, and the dispatch of function calls.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "RP_Pars.h"

class TrpView;

// Format word: category in byte 3, index in byte 2, decimals in byte 1 and
// the decimal separator character in byte 0.
enum TrpFormatCategory { fcText = 0, fcNumber = 1, fcDate = 2, fcTime = 3, fcBoolean = 4 };
constexpr int rpCustomFormatIndex = 4;

constexpr int32_t rpMakeFormat(int category, int index, int decimals, char separator) {
    return static_cast<int32_t>((static_cast<uint32_t>(category & 0x0F) << 24) |
                                (static_cast<uint32_t>(index & 0xFF) << 16) |
                                (static_cast<uint32_t>(decimals & 0xFF) << 8) |
                                static_cast<uint8_t>(separator));
}
constexpr int rpFormatCategory(int32_t f) { return (static_cast<uint32_t>(f) >> 24) & 0x0F; }
constexpr int rpFormatIndex(int32_t f) { return (static_cast<uint32_t>(f) >> 16) & 0xFF; }
constexpr int rpFormatDecimals(int32_t f) { return (static_cast<uint32_t>(f) >> 8) & 0xFF; }
constexpr char rpFormatSeparator(int32_t f) { return static_cast<char>(f & 0xFF); }

// Text of a value in a format word; unassigned, null and blank text give "".
// A value the format cannot take is written as plain text.
std::string rpFormatValue(const Variant& value, int32_t format, const std::string& formatStr);

// Splits "expression #format" and applies the inline format to the format
// word and text; returns the expression part (the whole text without " #").
std::string rpApplyInlineFormat(const std::string& text, int32_t& format, std::string& formatStr);

// "An error occured during calculating", the active view's lines, the report
// and object names and the message, as the build reports a calculation error.
std::string rpCalcErrorText(const std::string& reportName, TrpView* view, const std::string& message);

// What the resolver asks of the parts built on top of it. A hook that is not
// set counts as "nothing there".
struct TrpValueHooks {
    // The active report's OnGetValue (the application's answer comes first).
    TGetValueEvent OnGetValue;
    // A data-dictionary variable; true when the dictionary has the name.
    // Unset: the active report's dictionary.
    std::function<bool(const std::string& name, Variant& value)> GetDictionaryValue;
    // System variables the page engine knows ("PAGE#", "LINE#", "LINETHROUGH#",
    // "COLUMN#", "CURRENT#", "CALCWIDTH" of a memo); false leaves the default.
    std::function<bool(const std::string& name, Variant& value)> GetSystemValue;
    // "CURY", "FREESPACE", "FINALPASS", "PAGEHEIGHT", "PAGEWIDTH".
    std::function<bool(const std::string& name, Variant& value)> GetPageValue;
    // "STOPREPORT", "NEWPAGE", "NEWCOLUMN", "SHOWBAND" (p1 band name).
    std::function<void(const std::string& name, const Variant& p1)> DoReportProcedure;
    // The active report's OnUserFunction.
    TFunctionEvent OnUserFunction;
};

// One per process: the engine-wide values of the evaluation in progress.
class TrpValueResolver : public TObject {
public:
    TrpValueHooks Hooks;
    Variant CurrentValue;        // the variable "VALUE"
    std::string RecursionGuard;
    bool Quiet = false;          // set while aggregates are prepared: no error, no formatting

    void GetVariableValue(const std::string& name, Variant& value);
    void GetReportVariable(const std::string& name, Variant& value);
    std::string GetFormattedValue(const std::string& expression);
    void DoUserFunction(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                        Variant& value);
    void DoBuiltinProcedure(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                            Variant& value);

    // Routes the global parser's events and the template objects' engine
    // link (Calc, FormattedValue) here, as preparing a report does.
    void Install();

private:
    [[noreturn]] void UndefinedSymbol(const std::string& name);
    std::vector<std::string> FDictionaryNames;  // dictionary variables being evaluated
};

TrpValueResolver& rpValueResolver();
