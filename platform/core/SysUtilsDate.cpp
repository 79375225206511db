// Dates and times: encoding, decoding, the clock, FormatDateTime and StrToDate.

#include "SysUtils.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <sys/time.h>

namespace {

constexpr int kD1 = 365;
constexpr int kD4 = kD1 * 4 + 1;
constexpr int kD100 = kD4 * 25 - 1;
constexpr int kD400 = kD100 * 4 + 1;
constexpr int64_t kMSecsPerDay = 86400000;

// Days since 0001-01-01 (that day is 1) and milliseconds into the day. The
// integer part of a TDateTime is the day and the magnitude of its fraction the
// time, on either side of zero.
struct TimeStamp {
    int64_t Date = 0;
    int64_t Time = 0;
};

bool ToTimeStamp(TDateTime dt, TimeStamp& ts) {
    if (!std::isfinite(dt) || std::fabs(dt) > 1e8) return false;
    auto ms = static_cast<int64_t>(std::nearbyint(dt * MSecsPerDay));
    int64_t magnitude = ms < 0 ? -ms : ms;
    int64_t days = magnitude / kMSecsPerDay;
    ts.Time = magnitude % kMSecsPerDay;
    ts.Date = (ms < 0 ? -days : days) + DateDelta;
    return true;
}

void DecodeDays(int64_t t, int& year, int& month, int& day) {
    if (t <= 0) {
        year = month = day = 0;
        return;
    }
    --t;
    int64_t y = 1;
    y += (t / kD400) * 400;
    t %= kD400;
    int64_t i = t / kD100, d = t % kD100;
    if (i == 4) {
        --i;
        d += kD100;
    }
    y += i * 100;
    i = d / kD4;
    d %= kD4;
    y += i * 4;
    i = d / kD1;
    d %= kD1;
    if (i == 4) {
        --i;
        d += kD1;
    }
    y += i;
    const Word* table = MonthDays[IsLeapYear(static_cast<int>(y))];
    int m = 1;
    while (d >= table[m]) {
        d -= table[m];
        ++m;
    }
    year = static_cast<int>(y);
    month = m;
    day = static_cast<int>(d) + 1;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    return MonthDays[IsLeapYear(year)][month];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
    const Word* table = MonthDays[IsLeapYear(year)];
    if (day < 1 || day > table[month]) return false;
    int days = day;
    for (int m = 1; m < month; ++m) days += table[m];
    int y = year - 1;
    date = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + days - DateDelta);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
    TimeStamp ts;
    int y = 0, m = 0, d = 0;
    if (ToTimeStamp(date, ts)) DecodeDays(ts.Date, y, m, d);
    year = static_cast<Word>(y);
    month = static_cast<Word>(m);
    day = static_cast<Word>(d);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || msec < 0 || msec >= 1000)
        return false;
    time = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, minute, second, msec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeTime(TDateTime time, Word& hour, Word& minute, Word& second, Word& msec) {
    TimeStamp ts;
    if (!ToTimeStamp(time, ts)) ts.Time = 0;
    int64_t t = ts.Time;
    hour = static_cast<Word>(t / 3600000);
    minute = static_cast<Word>(t / 60000 % 60);
    second = static_cast<Word>(t / 1000 % 60);
    msec = static_cast<Word>(t % 1000);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    double day = std::trunc(date);
    double fraction = std::fabs(time - std::trunc(time));
    return day < 0 ? day - fraction : day + fraction;
}

int DayOfWeek(TDateTime date) {
    TimeStamp ts;
    if (!ToTimeStamp(date, ts)) return 0;
    int64_t r = ts.Date % 7;
    if (r < 0) r += 7;
    return static_cast<int>(r) + 1;
}

TDateTime Now() {
    timeval tv;
    gettimeofday(&tv, nullptr);
    time_t secs = tv.tv_sec;
    tm local;
    localtime_r(&secs, &local);
    TDateTime date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    TDateTime time =
        EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(tv.tv_usec / 1000));
    return date + time;
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
    TDateTime now = Now();
    return now - std::trunc(now);
}

// ---------------------------------------------------------------------------
// FormatDateTime

namespace {

// The format's text at Pos starts with Word, letters in any case.
bool FormatHas(const std::string& Format, size_t Pos, const char* Word) { return StartsText(Word, Format.substr(Pos)); }

std::string Padded(int value, int digits) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
    return s;
}

class DateFormatter {
public:
    DateFormatter(TDateTime dt, const TFormatSettings& fs) : fs_(fs) {
        TimeStamp ts;
        if (ToTimeStamp(dt, ts)) {
            DecodeDays(ts.Date, year_, month_, day_);
            hour_ = static_cast<int>(ts.Time / 3600000);
            minute_ = static_cast<int>(ts.Time / 60000 % 60);
            second_ = static_cast<int>(ts.Time / 1000 % 60);
            msec_ = static_cast<int>(ts.Time % 1000);
            int64_t r = ts.Date % 7;
            dow_ = static_cast<int>(r < 0 ? r + 7 : r);  // 0 = Sunday
        }
    }

    std::string Run(const std::string& format) {
        out_.clear();
        Append(format.empty() ? "C" : format, 0);
        return out_;
    }

private:
    const TFormatSettings& fs_;
    int year_ = 0, month_ = 0, day_ = 0, hour_ = 0, minute_ = 0, second_ = 0, msec_ = 0, dow_ = 0;
    std::string out_;

    // Count of a run of the same letter (either case) from `i`.
    static int RunLength(const std::string& f, size_t i) {
        char u = static_cast<char>(f[i] & ~0x20);
        int n = 0;
        while (i + n < f.size() && static_cast<char>(f[i + n] & ~0x20) == u) ++n;
        return n;
    }

    // Does an am/pm marker follow this hour before the next hour field?
    static bool TwelveHourClock(const std::string& f, size_t from) {
        char quote = 0;
        for (size_t p = from; p < f.size(); ++p) {
            char c = f[p];
            if (quote) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '\'' || c == '"') {
                quote = c;
                continue;
            }
            if (c == 'a' || c == 'A')
                return FormatHas(f, p, "AM/PM") || FormatHas(f, p, "A/P") || FormatHas(f, p, "AMPM");
            if (c == 'h' || c == 'H') return false;
        }
        return false;
    }

    std::string Name(const std::string* names, int index, int count) const {
        return index >= 0 && index < count ? names[index] : std::string();
    }

    // Nested formats (c, ddddd, t) expand once more, never deeper.
    void Append(const std::string& f, int level) {
        if (level >= 2) return;
        char lastToken = ' ';
        size_t i = 0;
        while (i < f.size()) {
            char starter = f[i];
            char token = starter >= 'a' && starter <= 'z' ? static_cast<char>(starter - 32) : starter;
            if (token >= 'A' && token <= 'Z') {
                if (token == 'M' && lastToken == 'H') token = 'N';
                lastToken = token;
            }
            switch (token) {
            case 'Y': {
                int n = RunLength(f, i);
                i += n;
                out_ += n <= 2 ? Padded(year_ % 100, 2) : Padded(year_, 4);
                break;
            }
            case 'M': {
                int n = RunLength(f, i);
                i += n;
                if (n <= 2)
                    out_ += Padded(month_, n);
                else if (n == 3)
                    out_ += Name(fs_.ShortMonthNames, month_ - 1, 12);
                else
                    out_ += Name(fs_.LongMonthNames, month_ - 1, 12);
                break;
            }
            case 'D': {
                int n = RunLength(f, i);
                i += n;
                switch (n) {
                case 1:
                case 2: out_ += Padded(day_, n); break;
                case 3: out_ += Name(fs_.ShortDayNames, dow_, 7); break;
                case 4: out_ += Name(fs_.LongDayNames, dow_, 7); break;
                case 5: Append(fs_.ShortDateFormat, level + 1); break;
                default: Append(fs_.LongDateFormat, level + 1); break;
                }
                break;
            }
            case 'H': {
                int n = std::min(RunLength(f, i), 2);
                i += RunLength(f, i);
                int h = hour_;
                if (TwelveHourClock(f, i)) {
                    if (h == 0)
                        h = 12;
                    else if (h > 12)
                        h -= 12;
                }
                out_ += Padded(h, n);
                break;
            }
            case 'N': {
                int n = RunLength(f, i);
                i += n;
                out_ += Padded(minute_, std::min(n, 2));
                break;
            }
            case 'S': {
                int n = RunLength(f, i);
                i += n;
                out_ += Padded(second_, std::min(n, 2));
                break;
            }
            case 'Z': {
                int n = RunLength(f, i);
                i += n;
                out_ += Padded(msec_, n <= 1 ? 1 : 3);
                break;
            }
            case 'T': {
                int n = RunLength(f, i);
                i += n;
                Append(n == 1 ? fs_.ShortTimeFormat : fs_.LongTimeFormat, level + 1);
                break;
            }
            case 'C': {
                i += RunLength(f, i);
                Append(fs_.ShortDateFormat, level + 1);
                if (hour_ || minute_ || second_) {
                    out_ += ' ';
                    Append(fs_.LongTimeFormat, level + 1);
                }
                break;
            }
            case 'A':
                if (FormatHas(f, i, "AM/PM")) {
                    out_.append(f, hour_ >= 12 ? i + 3 : i, 2);
                    i += 5;
                } else if (FormatHas(f, i, "A/P")) {
                    out_ += f[hour_ >= 12 ? i + 2 : i];
                    i += 3;
                } else if (FormatHas(f, i, "AMPM")) {
                    out_ += hour_ < 12 ? fs_.TimeAMString : fs_.TimePMString;
                    i += 4;
                } else if (FormatHas(f, i, "AAAA")) {
                    out_ += Name(fs_.LongDayNames, dow_, 7);
                    i += 4;
                } else if (FormatHas(f, i, "AAA")) {
                    out_ += Name(fs_.ShortDayNames, dow_, 7);
                    i += 3;
                } else {
                    out_ += starter;
                    ++i;
                }
                break;
            case '/':
                if (fs_.DateSeparator) out_ += fs_.DateSeparator;
                ++i;
                break;
            case ':':
                if (fs_.TimeSeparator) out_ += fs_.TimeSeparator;
                ++i;
                break;
            case '\'':
            case '"': {
                size_t end = f.find(starter, i + 1);
                if (end == std::string::npos) end = f.size();
                out_.append(f, i + 1, end - i - 1);
                i = end + 1;
                break;
            }
            default:
                out_ += starter;
                ++i;
                break;
            }
        }
    }
};

}  // namespace

std::string FormatDateTime(const std::string& format, TDateTime dateTime, const TFormatSettings& settings) {
    return DateFormatter(dateTime, settings).Run(format);
}

std::string FormatDateTime(const std::string& format, TDateTime dateTime) {
    return FormatDateTime(format, dateTime, FormatSettings);
}

std::string DateToStr(TDateTime date) { return FormatDateTime("ddddd", date); }
std::string TimeToStr(TDateTime time) { return FormatDateTime("tt", time); }
std::string DateTimeToStr(TDateTime dateTime) { return FormatDateTime("c", dateTime); }

// ---------------------------------------------------------------------------
// StrToDate

namespace {

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(const std::string& shortDateFormat) {
    for (char c : shortDateFormat) {
        switch (c & ~0x20) {
        case 'M': return DateOrder::MDY;
        case 'D': return DateOrder::DMY;
        case 'Y': return DateOrder::YMD;
        default: break;
        }
    }
    return DateOrder::MDY;
}

void SkipBlanks(const std::string& s, size_t& i) {
    while (i < s.size() && s[i] == ' ') ++i;
}

bool ScanNumber(const std::string& s, size_t& i, int& value, int& digits) {
    SkipBlanks(s, i);
    value = 0;
    digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 4) {
        value = value * 10 + (s[i++] - '0');
        ++digits;
    }
    return digits > 0 && !(i < s.size() && s[i] >= '0' && s[i] <= '9');
}

bool ScanSeparator(const std::string& s, size_t& i, char separator) {
    SkipBlanks(s, i);
    if (i < s.size() && s[i] == separator) {
        ++i;
        return true;
    }
    return false;
}

// The literal texts of a short date format around its three fields: before
// the first, after each one. "/" stands for the date separator; blanks are
// dropped since the scanner skips them anyway.
struct DateLiterals {
    std::string Text[4];
};

DateLiterals LiteralsOf(const std::string& format, char separator) {
    DateLiterals r;
    int fields = 0;  // field runs begun so far: the slot a literal goes to
    char field = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char lower = static_cast<char>(c | 0x20);
        if (lower == 'd' || lower == 'm' || lower == 'y') {
            if (field != lower && fields < 3) ++fields;
            field = lower;
            continue;
        }
        field = 0;
        std::string& text = r.Text[fields];
        if (c == '\'' || c == '"') {
            const size_t end = format.find(c, i + 1);
            const size_t stop = end == std::string::npos ? format.size() : end;
            for (size_t k = i + 1; k < stop; ++k)
                if (format[k] != ' ') text += format[k];
            i = stop;
        } else if (c == '/') {
            if (separator) text += separator;
        } else if (c != ' ') {
            text += c;
        }
    }
    return r;
}

bool ScanLiteral(const std::string& s, size_t& i, const std::string& literal) {
    if (literal.empty()) return false;
    SkipBlanks(s, i);
    if (s.compare(i, literal.size(), literal) != 0) return false;
    i += literal.size();
    return true;
}

// Between two numbers: the date separator or one of the format's own texts.
bool ScanDateBreak(const std::string& s, size_t& i, char separator, std::initializer_list<const std::string*> texts) {
    if (ScanSeparator(s, i, separator)) return true;
    for (const std::string* t : texts)
        if (ScanLiteral(s, i, *t)) return true;
    return false;
}

}  // namespace

bool TryStrToDate(const std::string& s, TDateTime& date, const TFormatSettings& settings) {
    const DateLiterals lit = LiteralsOf(settings.ShortDateFormat, settings.DateSeparator);
    const char sep = settings.DateSeparator;
    size_t i = 0;
    int n[3] = {0, 0, 0}, len[3] = {0, 0, 0};
    ScanLiteral(s, i, lit.Text[0]);
    if (!ScanNumber(s, i, n[0], len[0]) || !ScanDateBreak(s, i, sep, {&lit.Text[1], &lit.Text[2]}) ||
        !ScanNumber(s, i, n[1], len[1]))
        return false;
    int count = 2;
    const size_t afterTwo = i;
    if (ScanDateBreak(s, i, sep, {&lit.Text[2], &lit.Text[3]})) {
        if (ScanNumber(s, i, n[2], len[2])) {
            count = 3;
            // A trailing separator or the format's closing text ("7.6.2003.", "2003年6月7日").
            if (!ScanSeparator(s, i, sep)) ScanLiteral(s, i, lit.Text[3]);
        } else {
            // "6月7日": a two-field date closed by the format's text.
            i = afterTwo;
            const std::string separatorText(1, sep);
            bool closed = false;
            for (const std::string* t : {&lit.Text[3], &lit.Text[2]})
                if (!closed && *t != separatorText) closed = ScanLiteral(s, i, *t);
            if (!closed) return false;
        }
    }
    SkipBlanks(s, i);
    if (i != s.size()) return false;

    Word thisYear, thisMonth, thisDay;
    DecodeDate(Date(), thisYear, thisMonth, thisDay);
    DateOrder order = OrderOf(settings.ShortDateFormat);
    if (count == 3 && len[0] > 2) order = DateOrder::YMD;  // "2000/1/31" reads in any locale
    int y, m, d, yearDigits;
    if (count == 2) {
        y = thisYear;
        yearDigits = 4;
        if (order == DateOrder::DMY) {
            d = n[0];
            m = n[1];
        } else {
            m = n[0];
            d = n[1];
        }
    } else {
        switch (order) {
        case DateOrder::MDY:
            m = n[0];
            d = n[1];
            y = n[2];
            yearDigits = len[2];
            break;
        case DateOrder::DMY:
            d = n[0];
            m = n[1];
            y = n[2];
            yearDigits = len[2];
            break;
        default:
            y = n[0];
            m = n[1];
            d = n[2];
            yearDigits = len[0];
            break;
        }
    }
    if (yearDigits <= 2) {
        int window = settings.TwoDigitYearCenturyWindow;
        int pivot = thisYear - window;
        y += pivot / 100 * 100;
        if (window > 0 && y < pivot) y += 100;
    }
    return TryEncodeDate(y, m, d, date);
}

bool TryStrToDate(const std::string& s, TDateTime& date) { return TryStrToDate(s, date, FormatSettings); }

TDateTime StrToDate(const std::string& s, const TFormatSettings& settings) {
    TDateTime d;
    if (!TryStrToDate(s, d, settings)) throw EConvertError("'" + s + "' is not a valid date");
    return d;
}

TDateTime StrToDate(const std::string& s) { return StrToDate(s, FormatSettings); }

TDateTime StrToDateDef(const std::string& s, TDateTime defaultValue) {
    TDateTime d;
    return TryStrToDate(s, d) ? d : defaultValue;
}
