#pragma once
// Number model of the numeric edit: the value with its type, decimals and
// range, the shown text made from it, the editable form of that text, the key
// filter while editing and the parse on leaving. No window, no key event:
// TCustomNumEdit forwards to it, and the rules are tested on plain values.

#include <cstdint>
#include <string>

#include "SysUtils.h"

enum TNumericType { ntGeneral, ntCurrency, ntPercentage };

// The three masks of the plain-number type, each at most 25 characters.
struct TNumMasks {
    static constexpr size_t MaxMaskLength = 25;
    std::string PositiveMask = "#,##0";
    std::string NegativeMask;
    std::string ZeroMask;
};

// What the edit does with a typed character.
enum class TNumKeyVerdict {
    Rejected,
    Accepted,
    AcceptedGrow  // accepted, and MaxLength grows by one (a separator or minus)
};

// How the text typed into the edit reads on leaving it.
enum class TNumParseResult { Number, NotANumber };

class TNumEditModel {
public:
    uint16_t Decimals = 2;
    uint16_t Digits = 12;
    TNumericType NumericType = ntCurrency;
    bool UseRounding = true;
    long double Min = 0;
    long double Max = 0;
    bool Validate = false;
    long double Value = 0;
    TNumMasks Masks;

    // The shown text of Value: scaled by 100 for a percentage, rounded (ties
    // to even) or truncated to Decimals on its decimal digits, then written
    // by the type's format.
    std::string FormatText(const TFormatSettings& Settings) const;
    // Value reduced to Decimals decimals as FormatText shows it (a percentage
    // in its shown scale).
    long double ReducedValue() const;

    // The shown text reduced to what is edited: digits and both separators,
    // with one leading "-" when Value is negative.
    std::string StripForEdit(const std::string& Shown, const TFormatSettings& Settings) const;
    // The filter of typed characters, given the edit's text.
    static TNumKeyVerdict FilterKey(const std::string& Text, char32_t Key, const TFormatSettings& Settings);
    // The typed text on leaving: digits and the decimal separator, one leading
    // "-", at most 80 characters. A text left with no digit or separator reads
    // 0; an empty text, or one that does not convert, is NotANumber.
    static TNumParseResult ParseTyped(const std::string& Text, const TFormatSettings& Settings, long double& Number);
    // The typed number as stored: a percentage becomes a fraction.
    long double StoredValue(long double Typed) const;

    // Range check without the message: true when Validate is off or Min <= v <= Max.
    bool InRange(long double v) const;
    // "Value must be between <Min> and <Max>", at most 80 characters.
    std::string RangeMessage(const TFormatSettings& Settings) const;

    std::string GetUnformattedText(const std::string& Text) const;
    double AsRoundedFloat() const;
    int16_t AsSmallIntRounded() const;
    int32_t AsIntegerRounded() const;
    float AsSingleChecked() const;

private:
    long double RoundOrTruncate(long double v) const;
};

// The characters of Text that are in Chars, in order; a text beginning or
// ending with "-" gives "-" followed by them.
std::string StripChars(const std::string& Text, const std::string& Chars);
// Base raised to an integer exponent; exact for powers of ten within the
// extended type's precision.
long double PowerOf(long double Base, int Exponent);
