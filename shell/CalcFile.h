#pragma once
// The calculator file ("*.qvd"): every calculator's values, one per line in a
// fixed order, an empty line, then the rows of the monthly amortization grid.
// Lines end in CR LF; the last grid row has none. The file has no header: a
// line's meaning is its position.
//
// Each value line names the main window's component (or settings value) it
// belongs to. A component the window does not hold is written as zero (or an
// empty text) and read without being stored, so the positions never move.
//
// Reading is two steps: ParseCalculatorFile converts every line and refuses
// the whole file at the first bad one; ApplyCalculatorFile then stores the
// values. Nothing is stored from a file that does not convert.

#include <array>
#include <string>
#include <vector>

#include "SysUtils.h"

class TComponent;
class TfrmMain;

enum class TFileValueKind {
    SettingInteger,  // a value of the window that the settings file also holds
    SettingFloat,
    Float,         // picture field, as float
    Integer,       // picture field, as integer
    NumEditValue,  // TNumEdit's Value
    FnpFloat,      // TFnpNumericEdit, as float
    FnpInteger,    // TFnpNumericEdit, as integer
    ComboText,     // the combo box's text, unchanged
    ItemIndex,     // the radio group's ItemIndex
};

struct TFileLine {
    const char* Name;
    TFileValueKind Kind;
};

constexpr int CalcFileValueCount = 284;
// The index of the first grid row; the line before it is empty.
constexpr int CalcFileGridStart = CalcFileValueCount + 1;

const std::array<TFileLine, CalcFileValueCount>& CalcFileLines();

// One value line converted: Number for the numeric kinds, Text for combo texts.
struct TFileValue {
    long double Number = 0;
    std::string Text;
};

struct TCalcFileContents {
    std::vector<TFileValue> Values;                    // CalcFileValueCount of them
    std::vector<std::array<std::string, 8>> GridRows;  // cells of grdAmortization's data rows
};

// A line that does not convert; the message names the line and its text.
class ECalcFileError : public Exception {
public:
    using Exception::Exception;
};

// The file's text (UTF-8; the caller encodes it) from the window's values and grid.
std::string CalculatorFileText(TfrmMain& Main);
// The text of the monthly grid's data rows in file form, each row preceded by CR LF.
std::string AmortizationGridFileText(TComponent* Root);

// Converts every line with the settings' decimal separator; ECalcFileError at
// the first line that does not convert.
TCalcFileContents ParseCalculatorFile(const std::string& Text, const TFormatSettings& Settings);
// Splits one grid line into its eight cells ("1 Jan 2000 $1.00 ..." keeps "Jan 2000" together).
// Money written with blanks inside ("99 942,47 €") is kept whole when the line reads as six
// amounts with the given decimal separator.
std::array<std::string, 8> SplitGridLine(std::string Line, char DecimalSeparator = '.');

// Stores the values in their fields and settings values, in file order, and
// fills grdAmortization with the rows.
void ApplyCalculatorFile(TfrmMain& Main, const TCalcFileContents& Contents);
