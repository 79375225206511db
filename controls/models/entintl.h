#pragma once
// International settings of the entry controls and their date arithmetic.
// Dates are day numbers counted from 1 January 1600 (valid through
// 31 December 3999, -1 a bad date); times are seconds since midnight
// (-1 a bad time). One process-wide TEntIntlSup reads the regional settings
// once and builds the date and time picture masks from them.

#include <cstdint>
#include <map>
#include <string>

#include "SysUtils.h"
#include "Types.h"

using TStDate = int32_t;
using TStTime = int32_t;

constexpr TStDate BadDate = -1;
constexpr TStTime BadTime = -1;
constexpr TStDate MinDate = 0;       // 1 January 1600
constexpr TStDate MaxDate = 876581;  // 31 December 3999
constexpr int MinYear = 1600;
constexpr int MaxYear = 3999;
constexpr int SecondsInDay = 86400;

// Where the settings come from: the keys of the "intl" section of the user's
// profile ("sCurrency", "sDecimal", ...), the short date picture of the user's
// registry (empty when absent), the runtime's long time format and the
// system's long month and day names. Tests and the platform fill one of these;
// nothing here reads the machine.
struct TEntIntlProfile {
    std::map<std::string, std::string> Intl;
    std::string RegistryShortDate;
    std::string LongTimeFormat = "h:mm:ss AMPM";
    std::string LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
    std::string LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

// US settings: every key missing, so every default applies.
TEntIntlProfile USIntlProfile();
// The platform's current regional settings in profile form.
TEntIntlProfile PlatformIntlProfile();

class TEntIntlSup {
public:
    TEntIntlSup();
    explicit TEntIntlSup(const TEntIntlProfile& profile);

    // Reads every setting afresh from the profile (defaults for missing keys).
    void Load(const TEntIntlProfile& profile);

    std::string CurrencyLtStr() const { return CurrencyLt; }
    std::string CurrencyRtStr() const { return CurrencyRt; }

    // The short date mask with a two- or four-digit year.
    std::string InternationalDate(bool fourDigitYear) const;
    std::string InternationalTime(bool showSeconds) const;
    std::string InternationalLongDate() const { return LongDate; }

    std::string DateToDateString(const std::string& picture, TStDate julian, bool pack) const;
    std::string TimeToTimeString(const std::string& picture, TStTime t, bool pack) const;
    TStDate DateStringToDate(const std::string& picture, const std::string& s, int epoch) const;
    bool DateStringToDMY(const std::string& picture, const std::string& s, int& day, int& month, int& year,
                         int epoch) const;
    TStTime TimeStringToTime(const std::string& picture, const std::string& s) const;
    bool TimeStringToHMS(const std::string& picture, const std::string& s, int& hours, int& minutes,
                         int& seconds) const;
    bool DateStringIsBlank(const std::string& picture, const std::string& s) const;
    // 1..12 for a month name matched over its first width characters, else 0.
    int MonthStringToMonth(const std::string& s, int width) const;

    std::string CurrencyLt = "$";  // left-hand currency string
    std::string CurrencyRt = "$";  // right-hand currency string
    char DecimalChar = '.';
    char CommaChar = ',';  // thousands separator, 0 = none
    uint8_t CurrencyDigits = 2;
    char ListChar = ',';
    std::string CountryName;
    uint8_t CurrencyPosition = 0;
    uint8_t NegCurrencyFormat = 0;
    bool TLZero = false;  // leading zero in hours
    bool TwelveHour = true;
    char TimeChar = ':';
    char DateChar = '/';
    std::string AMString = "AM";
    std::string PMString = "PM";
    std::string ShortDate = "MM/dd/yy";
    std::string LongDate = "dddd, MMMM dd, yyyy";
    std::string Literals[3];  // quoted texts of the long date, slots f, g, h
    char TrueChar = 'T';
    char FalseChar = 'F';
    char YesChar = 'Y';
    char NoChar = 'N';
    std::string LongMonthNames[12];
    std::string LongDayNames[7];

private:
    struct TDefaults {};
    explicit TEntIntlSup(TDefaults) {}
};

// The process-wide object, read from the platform's settings on first use.
TEntIntlSup* EntIntlSup();
// Re-reads the process-wide object from the given profile (start-up, tests).
void LoadEntIntlSup(const TEntIntlProfile& profile);

// Set to the current year and month when the program starts; used for the
// parts a date mask lacks.
extern int DefaultYear;
extern int DefaultMonth;

// IsLeapYear is the platform's (SysUtils.h): within 1600..3999 its rule and
// the one of the day numbers agree.
int ResolveEpoch(int year, int epoch);
int DaysInMonth(int month, int year, int epoch);
bool ValidDate(int day, int month, int year, int epoch);
TStDate DMYtoStDate(int day, int month, int year, int epoch);
void StDateToDMY(TStDate julian, int& day, int& month, int& year);
TStDate IncDateTrunc(TStDate julian, int months, int years);
// 0 Sunday .. 6 Saturday; 7 for a bad date.
int DayOfWeek(TStDate julian);
int DayOfWeekDMY(int day, int month, int year, int epoch);

void StTimeToHMS(TStTime t, uint8_t& hours, uint8_t& minutes, uint8_t& seconds);
TStTime HMStoStTime(int hours, int minutes, int seconds);
bool ValidTime(int hours, int minutes, int seconds);
TStTime IncTime(TStTime t, int hours, int minutes, int seconds);
TStTime DecTime(TStTime t, int hours, int minutes, int seconds);
TStDate CurrentDate();
TStTime CurrentTime();
TStDate DateTimeToStDate(TDateTime dt);
TStTime DateTimeToStTime(TDateTime dt);
// The current year rounded down to a multiple of 100.
int DefaultEpoch();
