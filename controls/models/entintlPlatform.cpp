// The platform's regional settings in the profile form that TEntIntlSup reads.
#include "entintl.h"

#include "SysUtils.h"

namespace {

// The runtime's date formats use "m" for the month and may quote literals
// with '"'; the profile form uses "M" and "'".
std::string ProfileDatePicture(const std::string& fmt, char separator) {
    std::string s;
    for (char c : fmt) {
        if (c == 'm')
            s += 'M';
        else if (c == '"')
            s += '\'';
        else if (c == '/' && separator != 0)
            s += separator;
        else
            s += c;
    }
    return s;
}

}  // namespace

TEntIntlProfile PlatformIntlProfile() {
    const TFormatSettings& f = FormatSettings;
    TEntIntlProfile p;
    auto ch = [](char c) { return c ? std::string(1, c) : std::string(); };
    p.Intl["sCurrency"] = f.CurrencyString;
    p.Intl["sDecimal"] = ch(f.DecimalSeparator);
    p.Intl["sThousand"] = ch(f.ThousandSeparator);
    p.Intl["iCurrDigits"] = std::to_string(f.CurrencyDecimals);
    p.Intl["sList"] = ch(f.ListSeparator);
    p.Intl["iCurrency"] = std::to_string(f.CurrencyFormat);
    p.Intl["iNegCurr"] = std::to_string(f.NegCurrFormat);
    p.Intl["iTLZero"] = f.LongTimeFormat.rfind("hh", 0) == 0 ? "1" : "0";
    p.Intl["sTime"] = ch(f.TimeSeparator);
    p.Intl["sDate"] = ch(f.DateSeparator);
    p.Intl["s1159"] = f.TimeAMString;
    p.Intl["s2359"] = f.TimePMString;
    p.Intl["sShortDate"] = ProfileDatePicture(f.ShortDateFormat, f.DateSeparator);
    p.Intl["sLongDate"] = ProfileDatePicture(f.LongDateFormat, f.DateSeparator);
    p.LongTimeFormat = f.LongTimeFormat;
    for (int i = 0; i < 12; ++i) p.LongMonthNames[i] = f.LongMonthNames[i];
    for (int i = 0; i < 7; ++i) p.LongDayNames[i] = f.LongDayNames[i];
    return p;
}
