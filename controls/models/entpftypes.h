#pragma once
// Data types, options and error codes of the picture fields, shared by the
// window-free field model, its editor and the controls built on them.

#include <cstdint>
#include <string>

#include "Types.h"

enum TPictureDataType : uint8_t {
    pftString,
    pftChar,
    pftBoolean,
    pftYesNo,
    pftLongInt,
    pftWord,
    pftInteger,
    pftByte,
    pftShortInt,
    pftReal,
    pftExtended,
    pftDouble,
    pftSingle,
    pftComp,
    pftDate,
    pftTime,
    pftDateTime
};
constexpr int PictureDataTypeCount = 17;

enum TEntEntryFieldOption {
    efoArrowIncDec,
    efoCaretToEnd,
    efoForceInsert,
    efoForceOvertype,
    efoInputRequired,
    efoPasswordMode,
    efoReadOnly,
    efoRightAlign,
    efoRightJustify,
    efoSoftValidation,
    efoStripLiterals,
    efoTrimBlanks
};
using TEntEntryFieldOptions = Set<TEntEntryFieldOption>;

enum TZeroDisplay : uint8_t { zdShow, zdHide, zdHideUntilModified };

// Codes of LastError and of the validation; from efeUserFirst up the
// application's own.
enum : uint16_t {
    efeNone = 0,
    efeRangeError = 256,
    efeInvalidEntry = 257,
    efeRequired = 258,
    efeInvalidDate = 259,
    efeInvalidTime = 260,
    efeBlanksInField = 261,
    efePartialEntry = 262,
    efeUserFirst = 32768,
};

inline bool IsIntegerType(TPictureDataType t) { return t >= pftLongInt && t <= pftShortInt; }
// Types carried as a float between text and value (pftComp only while shown).
inline bool IsFloatType(TPictureDataType t) { return (t >= pftReal && t <= pftComp) || t == pftDateTime; }
inline bool IsNumericType(TPictureDataType t) { return IsIntegerType(t) || IsFloatType(t); }
inline bool IsCharType(TPictureDataType t) { return t >= pftChar && t <= pftYesNo; }
inline bool IsDateTimeType(TPictureDataType t) { return t >= pftDate && t <= pftDateTime; }

// The text the error report shows for a code: the message table's text for
// 256..262, the controller's ErrorText for the application's own codes,
// "Entry Error" for any other code.
std::string ErrorCodeText(uint16_t code, const std::string& controllerErrorText);
