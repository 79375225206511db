#pragma once
// Text, number, date and file-name services with the class library's rules.
// Every money text, grid cell, report field and file line of the system is
// produced here, so the formats follow those rules to the character.

#include "Exceptions.h"
#include "Types.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------
// Regional settings

struct TFormatSettings {
    std::string CurrencyString;
    uint8_t CurrencyFormat = 0;  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    uint8_t NegCurrFormat = 0;   // 0 "($1)" .. 15 "(1 $)"
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    uint8_t CurrencyDecimals = 2;
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat, LongDateFormat, ShortTimeFormat, LongTimeFormat;
    std::string TimeAMString, TimePMString;
    std::string ShortMonthNames[12], LongMonthNames[12];
    std::string ShortDayNames[7], LongDayNames[7];  // index 0 = Sunday
    char ListSeparator = ',';
    // Two-digit years read by StrToDate land within this many years before
    // the current year and the rest of the century after it.
    int TwoDigitYearCenturyWindow = 50;

    bool operator==(const TFormatSettings&) const = default;
};

// The settings every formatting function uses unless given its own. Loaded
// from the user's locale at start; tests pin it with USFormatSettings().
extern TFormatSettings FormatSettings;

TFormatSettings USFormatSettings();
// Reads the locale named by LC_ALL / LC_NUMERIC / LC_MONETARY / LC_TIME / LANG;
// the C and POSIX locales give the US settings.
TFormatSettings FormatSettingsFromLocale();
void LoadFormatSettingsFromLocale();

// ---------------------------------------------------------------------------
// Integers

std::string IntToStr(int64_t value);
// Negative values are shown in two's complement of the argument's width.
std::string IntToHex(int value, int digits);
std::string IntToHex(int64_t value, int digits);
std::string IntToHex(uint32_t value, int digits);
std::string IntToHex(uint64_t value, int digits);
int StrToInt(const std::string& s);  // decimal or "$" / "0x" hex
int StrToIntDef(const std::string& s, int defaultValue);
bool TryStrToInt(const std::string& s, int& value);
int64_t StrToInt64(const std::string& s);
int64_t StrToInt64Def(const std::string& s, int64_t defaultValue);
bool TryStrToInt64(const std::string& s, int64_t& value);

// ---------------------------------------------------------------------------
// Floating point

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// A number as decimal digits: value = 0.Digits * 10^Exponent. Digits holds no
// trailing zeros and is empty for zero (then Exponent is 0 and Negative false).
struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    bool Special = false;  // NaN or infinity; Digits then "NAN" or "INF"
    std::string Digits;
};

// Rounds half away from zero on the exact decimal value of `value` to at most
// `precision` significant digits and at most `decimals` digits after the point.
TFloatRec FloatToDecimal(long double value, int precision, int decimals);

std::string FloatToStr(long double value);
std::string FloatToStr(long double value, const TFormatSettings& settings);
std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);
std::string FormatFloat(const std::string& format, long double value);
std::string FormatFloat(const std::string& format, long double value, const TFormatSettings& settings);

// Currency values carry four decimals; these round to them first.
std::string CurrToStr(long double value);
std::string CurrToStr(long double value, const TFormatSettings& settings);
std::string CurrToStrF(long double value, TFloatFormat format, int digits);
std::string CurrToStrF(long double value, TFloatFormat format, int digits, const TFormatSettings& settings);

// Blanks around the number are allowed; the decimal separator is the
// settings' one; no thousands separators; an exponent may follow.
long double StrToFloat(const std::string& s);
long double StrToFloat(const std::string& s, const TFormatSettings& settings);
long double StrToFloatDef(const std::string& s, long double defaultValue);
bool TryStrToFloat(const std::string& s, long double& value);
bool TryStrToFloat(const std::string& s, double& value);
bool TryStrToFloat(const std::string& s, long double& value, const TFormatSettings& settings);
bool TryStrToFloat(const std::string& s, double& value, const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Format

// One argument of Format, as the class library's open array of constants.
class TVarRec {
public:
    enum Kind { vkInteger, vkInt64, vkFloat, vkString };
    TVarRec(int v) : kind_(vkInteger), int_(v) {}
    TVarRec(unsigned v) : kind_(vkInt64), int_(v) {}
    TVarRec(long v) : kind_(vkInt64), int_(v) {}
    TVarRec(unsigned long v) : kind_(vkInt64), int_(static_cast<int64_t>(v)) {}
    TVarRec(long long v) : kind_(vkInt64), int_(v) {}
    TVarRec(unsigned long long v) : kind_(vkInt64), int_(static_cast<int64_t>(v)) {}
    TVarRec(short v) : kind_(vkInteger), int_(v) {}
    TVarRec(unsigned short v) : kind_(vkInteger), int_(v) {}
    TVarRec(float v) : kind_(vkFloat), float_(v) {}
    TVarRec(double v) : kind_(vkFloat), float_(v) {}
    TVarRec(long double v) : kind_(vkFloat), float_(v) {}
    TVarRec(char c) : kind_(vkString), str_(1, c) {}
    TVarRec(const char* s) : kind_(vkString), str_(s ? s : "") {}
    TVarRec(std::string s) : kind_(vkString), str_(std::move(s)) {}
    TVarRec(std::string_view s) : kind_(vkString), str_(s) {}
    TVarRec(bool) = delete;  // no format takes a Boolean

    Kind GetKind() const { return kind_; }
    int64_t AsInteger() const { return int_; }
    long double AsFloat() const { return float_; }
    const std::string& AsString() const { return str_; }

private:
    Kind kind_;
    int64_t int_ = 0;
    long double float_ = 0;
    std::string str_;
};

// "%" [index ":"] ["-"] [width] ["." precision] type, with index, width and
// precision given as digits or "*". Raises EConvertError on a bad format or an
// argument of the wrong kind.
std::string Format(const std::string& format, std::initializer_list<TVarRec> args);
std::string Format(const std::string& format, const std::vector<TVarRec>& args);
std::string Format(const std::string& format, const std::vector<TVarRec>& args, const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Strings (byte-based positions, 1-based as the class library counts)

// The case rule of names, keys, extensions and keywords is ASCII: only 'a'..'z'
// and 'A'..'Z' change, so bytes of UTF-8 sequences never do and the current
// locale plays no part. The Ansi functions are for text the user reads.
std::string Trim(const std::string& s);  // strips characters <= ' '
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string TrimSpaces(const std::string& s);  // strips ' ' only
std::string TrimRightSpaces(const std::string& s);
char UpCase(char c);  // ASCII letters only
char LoCase(char c);
std::string UpperCase(const std::string& s);  // ASCII letters only
std::string LowerCase(const std::string& s);
std::string AnsiUpperCase(const std::string& s);  // also accented Latin, Greek, Cyrillic
std::string AnsiLowerCase(const std::string& s);
int CompareStr(const std::string& a, const std::string& b);
int CompareText(const std::string& a, const std::string& b);  // ASCII case ignored
bool SameText(const std::string& a, const std::string& b);
bool StartsText(const std::string& SubText, const std::string& Text);  // ASCII case ignored
int AnsiCompareStr(const std::string& a, const std::string& b);
int AnsiCompareText(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = Set<TReplaceFlag>;
std::string StringReplace(const std::string& s, const std::string& oldPattern, const std::string& newPattern,
                          TReplaceFlags flags);

int Pos(const std::string& sub, const std::string& s);  // 0 when absent
std::string Copy(const std::string& s, int index, int count);
std::string StringOfChar(char c, int count);
std::string QuotedStr(const std::string& s);
std::string AnsiQuotedStr(const std::string& s, char quote);
std::string AnsiDequotedStr(const std::string& s, char quote);
int LastDelimiter(const std::string& delimiters, const std::string& s);

// Valid UTF-8 is kept; anything else is read as Windows-1252.
std::string TextFromBytes(const std::string& bytes);
bool IsValidUtf8(std::string_view s);
// Windows-1252 bytes of UTF-8 text; false when the text is not valid UTF-8
// or holds a character the code page cannot.
bool TryTextToAnsi(const std::string& utf8, std::string& bytes);
// Windows-1252 bytes of a text for code that works one byte per character:
// a character the code page lacks becomes "?", a byte that is not UTF-8 is
// taken as Windows-1252 already.
std::string TextToAnsi(const std::string& utf8);
// The UTF-8 form of Windows-1252 bytes (always read as that code page).
std::string AnsiToText(const std::string& bytes);
// The UTF-8 form of one code point (U+0000..U+10FFFF).
std::string CodePointToUtf8(char32_t cp);

// ---------------------------------------------------------------------------
// File names and files. Both "/" and "\" separate folders on input.

std::string ExtractFilePath(const std::string& fileName);  // with trailing delimiter
std::string ExtractFileDir(const std::string& fileName);   // without it
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName);  // with the dot
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);
std::string ExpandFileName(const std::string& fileName);
// The name as this system's file calls take it ("\" turned into "/").
std::string NativeFileName(const std::string& fileName);

bool FileExists(const std::string& fileName);  // a file, not a folder
bool DirectoryExists(const std::string& dirName);
bool DeleteFile(const std::string& fileName);
// Fails, as the class library does, when newName exists already.
bool RenameFile(const std::string& oldName, const std::string& newName);
// Renames over an existing target in one step (for safe saves).
bool ReplaceFile(const std::string& sourceName, const std::string& targetName);
bool CreateDir(const std::string& dirName);
bool RemoveDir(const std::string& dirName);
bool ForceDirectories(const std::string& dirName);

// ---------------------------------------------------------------------------
// Dates and times: TDateTime counts days since 1899-12-30; its fraction is
// always the time of day, also for dates before then (-1.25 is 1899-12-29 6:00).

constexpr double MSecsPerDay = 86400000.0;
constexpr int DateDelta = 693594;  // days from 0001-01-01 to 1899-12-31

// MonthDays[IsLeapYear(year)][month], months 1..12.
inline constexpr Word MonthDays[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};
bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

TDateTime EncodeDate(int year, int month, int day);  // EConvertError when invalid
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
void DecodeTime(TDateTime time, Word& hour, Word& minute, Word& second, Word& msec);
// A date plus a time of day, honouring the sign rule for dates before 1899-12-30.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
int DayOfWeek(TDateTime date);  // 1 = Sunday

TDateTime Now();
TDateTime Date();
TDateTime Time();

std::string FormatDateTime(const std::string& format, TDateTime dateTime);
std::string FormatDateTime(const std::string& format, TDateTime dateTime, const TFormatSettings& settings);
std::string DateToStr(TDateTime date);
std::string TimeToStr(TDateTime time);
std::string DateTimeToStr(TDateTime dateTime);
// Numbers in the order of ShortDateFormat, separated by DateSeparator; a
// missing year is the current one.
TDateTime StrToDate(const std::string& s);
TDateTime StrToDate(const std::string& s, const TFormatSettings& settings);
bool TryStrToDate(const std::string& s, TDateTime& date);
bool TryStrToDate(const std::string& s, TDateTime& date, const TFormatSettings& settings);
TDateTime StrToDateDef(const std::string& s, TDateTime defaultValue);
