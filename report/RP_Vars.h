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

class TrpContext;
class TrpView;

// Format word: category in byte 3, index in byte 2, decimals in byte 1 and
// the decimal separator character in byte 0.
enum TrpFormatCategory { fcText = 0, fcNumber = 1, fcDate = 2, fcTime = 3, fcBoolean = 4 };
constexpr int rpCustomFormatIndex = 4;

constexpr int32_t rpMakeFormat(int category, int index, int decimals, char separator) {
    return static_cast<int32_t>((static_cast<uint32_t>(category & 0x0F) << 24) |
                                (static_cast<uint32_t>(index & 0xFF) << 16) |
                                (static_cast<uint32_t>(decimals & 0xFF) << 8) | static_cast<uint8_t>(separator));
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

// The variable lookup and function dispatch of one report: the report's
// OnGetValue, its dictionary, the system variables (the page engine's while
// a build runs), its report variables and objects, the name as an
// expression; libraries, built-in procedures, then the report's OnUserFunction.
class TrpValueResolver : public TObject {
public:
    explicit TrpValueResolver(TrpContext& context) : FContext(context) {}

    Variant CurrentValue;  // the variable "VALUE"
    std::string RecursionGuard;
    bool Quiet = false;  // set while aggregates are prepared: no error, no formatting

    void GetVariableValue(const std::string& name, Variant& value);
    void GetReportVariable(const std::string& name, Variant& value);
    std::string GetFormattedValue(const std::string& expression);
    void DoUserFunction(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                        Variant& value);
    void DoBuiltinProcedure(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                            Variant& value);

private:
    TrpContext& FContext;
    [[noreturn]] void UndefinedSymbol(const std::string& name);
    std::vector<std::string> FDictionaryNames;  // dictionary variables being evaluated
};

TrpValueResolver& rpValueResolver();
