#include "entintl.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

#include "SysUtils.h"
#include "entmsgs.h"

namespace {
int TodayPart(int which) {
    int d, m, y;
    StDateToDMY(CurrentDate(), d, m, y);
    return which == 0 ? y : m;
}
}  // namespace

int DefaultYear = TodayPart(0);
int DefaultMonth = TodayPart(1);

namespace {

struct TRun {
    int Pos = -1;  // first position, -1 when the mask has none
    int Len = 0;
    bool Upper = false;
    bool Found() const { return Pos >= 0; }
};

// The first run of the letter in either case; its case is the case of its
// first character (lower pads numbers with zeros, upper with blanks).
TRun FindRun(const std::string& mask, char letter) {
    TRun r;
    const char lo = LoCase(letter);
    for (size_t i = 0; i < mask.size(); ++i) {
        if (LoCase(mask[i]) == lo) {
            r.Pos = static_cast<int>(i);
            r.Upper = mask[i] != lo;
            size_t j = i;
            while (j < mask.size() && LoCase(mask[j]) == lo) ++j;
            r.Len = static_cast<int>(j - i);
            return r;
        }
    }
    return r;
}

// The first run of exactly this character.
TRun FindExactRun(const std::string& mask, char ch) {
    TRun r;
    auto i = mask.find(ch);
    if (i == std::string::npos) return r;
    auto j = mask.find_first_not_of(ch, i);
    if (j == std::string::npos) j = mask.size();
    r.Pos = static_cast<int>(i);
    r.Len = static_cast<int>(j - i);
    r.Upper = LoCase(ch) != ch;  // an ASCII capital
    return r;
}

// Marks positions that "pack" may drop.
struct TOutput {
    std::string Text;
    std::vector<bool> Removable;
};

void WriteNumber(TOutput& out, const TRun& run, int value) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) > run.Len) digits = digits.substr(digits.size() - run.Len);
    const int pad = run.Len - static_cast<int>(digits.size());
    for (int i = 0; i < run.Len; ++i) {
        const int p = run.Pos + i;
        if (i < pad) {
            out.Text[p] = run.Upper ? ' ' : '0';
            out.Removable[p] = run.Upper;
        } else {
            out.Text[p] = digits[i - pad];
        }
    }
}

void WriteName(TOutput& out, const TRun& run, std::string name) {
    if (run.Upper) name = UpperCase(name);
    for (int i = 0; i < run.Len; ++i) {
        const int p = run.Pos + i;
        if (i < static_cast<int>(name.size())) {
            out.Text[p] = name[i];
        } else {
            out.Text[p] = ' ';
            out.Removable[p] = true;
        }
    }
}

void Blank(TOutput& out, const TRun& run) {
    for (int i = 0; i < run.Len; ++i) out.Text[run.Pos + i] = ' ';
}

// The picture's "/" and ":" become the separators given.
void PutSeparators(TOutput& out, const std::string& picture, char dateChar, char timeChar) {
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i] == '/')
            out.Text[i] = dateChar;
        else if (picture[i] == ':')
            out.Text[i] = timeChar;
    }
}

std::string Packed(const TOutput& out, bool pack) {
    if (!pack) return out.Text;
    std::string s;
    for (size_t i = 0; i < out.Text.size(); ++i)
        if (!out.Removable[i]) s += out.Text[i];
    return s;
}

// Characters of the text at the run's positions, blanks skipped.
std::string Collect(const std::string& text, const TRun& run) {
    std::string s;
    for (int i = 0; i < run.Len; ++i)
        if (text[run.Pos + i] != ' ') s += text[run.Pos + i];
    return s;
}

bool ParseNumber(const std::string& s, int& value) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

// Field value read from a run: absent -> absentValue; empty -> blank marker;
// unparsable -> -1.
constexpr int BlankField = -2;

int ReadField(const std::string& text, const TRun& run, int absentValue) {
    if (!run.Found()) return absentValue;
    std::string s = Collect(text, run);
    if (s.empty()) return BlankField;
    int v;
    return ParseNumber(s, v) ? v : -1;
}

// The entry fields hold Windows-1252 text, one byte per position, so every
// setting is read in that form: a no-break space or a euro sign is one
// character there as it is on the screen.
std::string Key(const TEntIntlProfile& p, const char* name) {
    auto it = p.Intl.find(name);
    return it == p.Intl.end() ? std::string() : TextToAnsi(it->second);
}

void ReadChar(const TEntIntlProfile& p, const char* name, char& dest) {
    std::string v = Key(p, name);
    if (!v.empty()) dest = v[0];
}

void ReadString(const TEntIntlProfile& p, const char* name, std::string& dest, size_t capacity) {
    std::string v = Key(p, name);
    if (v.empty()) return;
    if (v.size() > capacity) v.resize(capacity);
    dest = v;
}

template <typename T>
void ReadNumber(const TEntIntlProfile& p, const char* name, T& dest) {
    std::string v = Key(p, name);
    int n;
    if (ParseNumber(v, n)) dest = static_cast<T>(n);
}

// Replaces the first run of at least three `from` by as many `to`.
void ReplaceLongRun(std::string& mask, char from, char to) {
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != from) continue;
        size_t j = i;
        while (j < mask.size() && mask[j] == from) ++j;
        if (j - i >= 3) {
            std::fill(mask.begin() + i, mask.begin() + j, to);
            return;
        }
        i = j;
    }
}

}  // namespace

TEntIntlProfile USIntlProfile() { return TEntIntlProfile{}; }

TEntIntlSup::TEntIntlSup() : TEntIntlSup(USIntlProfile()) {}

TEntIntlSup::TEntIntlSup(const TEntIntlProfile& profile) { Load(profile); }

void TEntIntlSup::Load(const TEntIntlProfile& p) {
    *this = TEntIntlSup(TDefaults{});
    ReadChar(p, "sDecimal", DecimalChar);
    ReadChar(p, "sThousand", CommaChar);
    if (CommaChar == DecimalChar) {
        DecimalChar = '.';
        CommaChar = ',';
    }
    ReadNumber(p, "iCurrDigits", CurrencyDigits);
    ReadNumber(p, "iNegCurr", NegCurrencyFormat);
    ReadChar(p, "sList", ListChar);
    ReadString(p, "sCountry", CountryName, 255);
    ReadString(p, "sCurrency", CurrencyLt, 5);
    CurrencyRt = CurrencyLt;
    ReadNumber(p, "iCurrency", CurrencyPosition);
    if (CurrencyPosition == 2) CurrencyLt += ' ';
    if (CurrencyPosition == 3) CurrencyRt = ' ' + CurrencyRt;
    std::string tlzero = Key(p, "iTLZero");
    int n;
    if (ParseNumber(tlzero, n)) TLZero = n != 0;
    // exactly "M" (of AM/PM): a format ending in minutes ("H:mm") is a 24-hour one
    TwelveHour = !p.LongTimeFormat.empty() && p.LongTimeFormat.back() == 'M';
    ReadChar(p, "sTime", TimeChar);
    ReadChar(p, "sDate", DateChar);
    ReadString(p, "s1159", AMString, 5);
    ReadString(p, "s2359", PMString, 5);

    if (!p.RegistryShortDate.empty())
        ShortDate = TextToAnsi(p.RegistryShortDate).substr(0, 29);
    else
        ReadString(p, "sShortDate", ShortDate, 29);
    std::replace(ShortDate.begin(), ShortDate.end(), DateChar, '/');
    ReadString(p, "sLongDate", LongDate, 39);

    // Quoted texts of the long date go into the three literal slots; each of
    // their characters becomes the slot's letter so the layout keeps its width.
    static const char slotLetters[3] = {'f', 'g', 'h'};
    for (int slot = 0; slot < 3; ++slot) {
        auto open = LongDate.find('\'');
        if (open == std::string::npos) break;
        LongDate.erase(open, 1);
        auto close = LongDate.find('\'', open);
        size_t end = close == std::string::npos ? LongDate.size() : close;
        size_t take = std::min<size_t>(end - open, 5);
        Literals[slot] = LongDate.substr(open, take);
        std::fill(LongDate.begin() + open, LongDate.begin() + open + take, slotLetters[slot]);
        size_t dropTo = close == std::string::npos ? LongDate.size() : close + 1;
        LongDate.erase(open + take, dropTo - (open + take));
    }
    ReplaceLongRun(LongDate, 'd', 'w');
    ReplaceLongRun(ShortDate, 'M', 'n');
    ReplaceLongRun(LongDate, 'M', 'n');
    for (size_t i = 0; i + 1 < LongDate.size(); ++i)
        if ((LongDate[i] == ',' || LongDate[i] == '.') && LongDate[i + 1] != ' ') LongDate.insert(i + 1, " ");

    auto letter = [](int id, char& dest) {
        std::string s = LookupMessageText(id);
        if (s.size() == 1) dest = s[0];
    };
    letter(SEntTrueChar, TrueChar);
    letter(SEntFalseChar, FalseChar);
    letter(SEntYesChar, YesChar);
    letter(SEntNoChar, NoChar);

    for (int i = 0; i < 12; ++i) LongMonthNames[i] = TextToAnsi(p.LongMonthNames[i]);
    for (int i = 0; i < 7; ++i) LongDayNames[i] = TextToAnsi(p.LongDayNames[i]);
}

std::string TEntIntlSup::InternationalTime(bool showSeconds) const {
    std::string mask = "hh:mm:ss";
    if (!TLZero) mask[0] = 'H';
    if (!showSeconds) mask.resize(5);
    if (TwelveHour) mask += ' ' + std::string(std::max(AMString.size(), PMString.size()), 't');
    return mask;
}

std::string TEntIntlSup::InternationalDate(bool fourDigitYear) const {
    std::string mask = ShortDate;
    for (char letter : {'d', 'm'}) {
        TRun run = FindExactRun(mask, letter);
        bool lower = run.Found();
        if (!lower) run = FindExactRun(mask, UpCase(letter));
        if (!run.Found()) continue;
        if (run.Len == 1) {
            // one letter: two places, blank-padded
            mask.replace(run.Pos, 1, std::string(2, UpCase(letter)));
        } else if (run.Len == 2 && !lower) {
            mask.replace(run.Pos, 2, std::string(2, letter));
        }
    }
    TRun year = FindRun(mask, 'y');
    if (year.Found()) mask.replace(year.Pos, year.Len, std::string(fourDigitYear ? 4 : 2, 'y'));
    return mask;
}

std::string TEntIntlSup::DateToDateString(const std::string& picture, TStDate julian, bool pack) const {
    TOutput out{picture, std::vector<bool>(picture.size(), false)};
    const bool bad = julian < MinDate || julian > MaxDate;
    if (bad) {
        for (char& c : out.Text)
            if (std::string("mndywMNDYW").find(c) != std::string::npos) c = ' ';
    } else {
        int day, month, year;
        StDateToDMY(julian, day, month, year);
        if (TRun r = FindRun(picture, 'm'); r.Found()) WriteNumber(out, r, month);
        if (TRun r = FindRun(picture, 'd'); r.Found()) WriteNumber(out, r, day);
        if (TRun r = FindRun(picture, 'y'); r.Found()) WriteNumber(out, r, year);
        if (TRun r = FindRun(picture, 'n'); r.Found()) WriteName(out, r, LongMonthNames[month - 1]);
        if (TRun r = FindRun(picture, 'w'); r.Found()) WriteName(out, r, LongDayNames[DayOfWeek(julian)]);
    }
    static const char slotLetters[3] = {'f', 'g', 'h'};
    for (int slot = 0; slot < 3; ++slot) {
        if (Literals[slot].empty()) continue;
        TRun r = FindExactRun(picture, slotLetters[slot]);
        for (int i = 0; r.Found() && i < r.Len; ++i)
            out.Text[r.Pos + i] = i < static_cast<int>(Literals[slot].size()) ? Literals[slot][i] : ' ';
    }
    PutSeparators(out, picture, DateChar, TimeChar);
    return Packed(out, pack);
}

std::string TEntIntlSup::TimeToTimeString(const std::string& picture, TStTime t, bool pack) const {
    TOutput out{picture, std::vector<bool>(picture.size(), false)};
    const bool bad = t < 0 || t >= SecondsInDay;
    TRun hr = FindRun(picture, 'h'), mr = FindRun(picture, 'm'), sr = FindRun(picture, 's');
    TRun tr = FindRun(picture, 't');
    if (bad) {
        for (const TRun& r : {hr, mr, sr})
            if (r.Found()) Blank(out, r);
    } else {
        uint8_t h, m, s;
        StTimeToHMS(t, h, m, s);
        int hours = h;
        if (tr.Found() && !AMString.empty() && !PMString.empty()) {
            if (hours == 0)
                hours = 12;
            else if (hours > 12)
                hours -= 12;
        }
        if (hr.Found()) WriteNumber(out, hr, hours);
        if (mr.Found()) WriteNumber(out, mr, m);
        if (sr.Found()) WriteNumber(out, sr, s);
    }
    if (tr.Found()) {
        std::string suffix;
        if (!bad && !(AMString.empty() && PMString.empty())) {
            uint8_t h, m, s;
            StTimeToHMS(t, h, m, s);
            suffix = h < 12 ? AMString : PMString;
        }
        for (int i = 0; i < tr.Len; ++i) out.Text[tr.Pos + i] = i < static_cast<int>(suffix.size()) ? suffix[i] : ' ';
        if (suffix.empty()) {
            // a blank suffix goes with the blank before it
            for (int i = 0; i < tr.Len; ++i) out.Removable[tr.Pos + i] = true;
            if (tr.Pos > 0 && out.Text[tr.Pos - 1] == ' ') out.Removable[tr.Pos - 1] = true;
        }
    }
    PutSeparators(out, picture, DateChar, TimeChar);
    return Packed(out, pack);
}

int TEntIntlSup::MonthStringToMonth(const std::string& s, int width) const {
    const std::string text = TrimRightSpaces(UpperCase(s));
    if (text.empty()) return 0;
    for (int i = 0; i < 12; ++i) {
        const std::string name = TrimRightSpaces(UpperCase(LongMonthNames[i].substr(0, std::max(width, 0))));
        if (!name.empty() && name == text) return i + 1;
    }
    return 0;
}

bool TEntIntlSup::DateStringToDMY(const std::string& picture, const std::string& s, int& day, int& month, int& year,
                                  int epoch) const {
    if (picture.size() != s.size()) return false;
    day = ReadField(s, FindRun(picture, 'd'), 1);
    TRun nr = FindRun(picture, 'n');
    if (nr.Found()) {
        std::string name = Collect(s, nr);
        if (name.empty())
            month = BlankField;
        else {
            int m = MonthStringToMonth(s.substr(nr.Pos, nr.Len), nr.Len);
            month = m == 0 ? -1 : m;
        }
    } else {
        month = ReadField(s, FindRun(picture, 'm'), DefaultMonth);
    }
    year = ReadField(s, FindRun(picture, 'y'), DefaultYear);
    return ValidDate(day, month, year, epoch);
}

TStDate TEntIntlSup::DateStringToDate(const std::string& picture, const std::string& s, int epoch) const {
    int d, m, y;
    if (!DateStringToDMY(picture, s, d, m, y, epoch)) return BadDate;
    return DMYtoStDate(d, m, y, epoch);
}

bool TEntIntlSup::TimeStringToHMS(const std::string& picture, const std::string& s, int& hours, int& minutes,
                                  int& seconds) const {
    if (picture.size() != s.size()) return false;
    hours = ReadField(s, FindRun(picture, 'h'), 0);
    minutes = ReadField(s, FindRun(picture, 'm'), 0);
    seconds = ReadField(s, FindRun(picture, 's'), 0);
    if (hours < 0 || minutes < 0 || seconds < 0) return false;
    TRun tr = FindRun(picture, 't');
    if (tr.Found() && !AMString.empty() && !PMString.empty()) {
        const std::string text = TrimRightSpaces(UpperCase(s.substr(tr.Pos, tr.Len)));
        if (text.empty() || hours == 0 || hours > 12) return false;
        auto cut = [&](const std::string& suffix) { return UpperCase(suffix.substr(0, tr.Len)); };
        if (text == cut(PMString)) {
            if (hours < 12) hours += 12;
        } else if (text == cut(AMString)) {
            if (hours == 12) hours = 0;
        } else {
            return false;
        }
    }
    return ValidTime(hours, minutes, seconds);
}

TStTime TEntIntlSup::TimeStringToTime(const std::string& picture, const std::string& s) const {
    int h, m, sec;
    if (!TimeStringToHMS(picture, s, h, m, sec)) return BadTime;
    return HMStoStTime(h, m, sec);
}

bool TEntIntlSup::DateStringIsBlank(const std::string& picture, const std::string& s) const {
    for (size_t i = 0; i < picture.size() && i < s.size(); ++i)
        if (std::string("mndywMNDYW").find(picture[i]) != std::string::npos && s[i] != ' ') return false;
    return true;
}

namespace {
std::unique_ptr<TEntIntlSup>& IntlHolder() {
    static std::unique_ptr<TEntIntlSup> holder;
    return holder;
}
}  // namespace

TEntIntlSup* EntIntlSup() {
    auto& h = IntlHolder();
    if (!h) h = std::make_unique<TEntIntlSup>(PlatformIntlProfile());
    return h.get();
}

void LoadEntIntlSup(const TEntIntlProfile& profile) { EntIntlSup()->Load(profile); }

// ---- date arithmetic ----

int ResolveEpoch(int year, int epoch) {
    if (year >= 100) return year;
    const int century = 100 * (epoch / 100);
    int result = century + year;
    if (year < epoch % 100) result += 100;
    return result;
}

int DaysInMonth(int month, int year, int epoch) {
    year = ResolveEpoch(year, epoch);
    if (year < MinYear || year > MaxYear || month < 1 || month > 12) return 0;
    switch (month) {
    case 2: return IsLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    default: return 31;
    }
}

bool ValidDate(int day, int month, int year, int epoch) { return day >= 1 && day <= DaysInMonth(month, year, epoch); }

TStDate DMYtoStDate(int day, int month, int year, int epoch) {
    year = ResolveEpoch(year, epoch);
    if (!ValidDate(day, month, year, epoch)) return BadDate;
    if (year == MinYear && month < 3) return month == 1 ? day - 1 : day + 30;
    int m, y;
    if (month > 2) {
        m = month - 3;
        y = year;
    } else {
        m = month + 9;
        y = year - 1;
    }
    const int d = y - MinYear;
    return (d / 100) * 146097 / 4 + (d % 100) * 1461 / 4 + (153 * m + 2) / 5 + day + 59;
}

void StDateToDMY(TStDate julian, int& day, int& month, int& year) {
    if (julian < MinDate || julian > MaxDate) {
        day = month = year = 0;
        return;
    }
    if (julian <= 59) {
        year = MinYear;
        if (julian > 30) {
            month = 2;
            day = julian - 30;
        } else {
            month = 1;
            day = julian + 1;
        }
        return;
    }
    int t = 4 * (julian - 59) - 1;
    year = 100 * (t / 146097);
    int j = (t % 146097) / 4;
    year += (4 * j + 3) / 1461;
    j = ((4 * j + 3) % 1461 + 4) / 4;
    int m = (5 * j - 3) / 153;
    day = ((5 * j - 3) % 153 + 5) / 5;
    if (m >= 10) {
        month = m - 9;
        ++year;
    } else {
        month = m + 3;
    }
    year += MinYear;
}

TStDate IncDateTrunc(TStDate julian, int months, int years) {
    int day, month, year;
    StDateToDMY(julian, day, month, year);
    int excess = 0;
    if (day >= 28) {
        excess = day - 28;
        day = 28;
    }
    year += years + months / 12;
    month += months % 12;
    if (month < 1) {
        month += 12;
        --year;
    } else if (month > 12) {
        month -= 12;
        ++year;
    }
    TStDate result = DMYtoStDate(day, month, year, 0);
    if (result == BadDate) return BadDate;
    const int days = DaysInMonth(month, year, 0);
    return days >= 28 + excess ? result + excess : result + (days - 28);
}

int DayOfWeek(TStDate julian) {
    if (julian < 0) return 7;
    return (julian + 6) % 7;
}

int DayOfWeekDMY(int day, int month, int year, int epoch) { return DayOfWeek(DMYtoStDate(day, month, year, epoch)); }

void StTimeToHMS(TStTime t, uint8_t& hours, uint8_t& minutes, uint8_t& seconds) {
    if (t < 0) t = 0;
    hours = static_cast<uint8_t>(t / 3600 % 256);
    t %= 3600;
    minutes = static_cast<uint8_t>(t / 60);
    seconds = static_cast<uint8_t>(t % 60);
}

TStTime HMStoStTime(int hours, int minutes, int seconds) {
    return ((hours % 24) * 3600 + minutes * 60 + seconds) % SecondsInDay;
}

bool ValidTime(int hours, int minutes, int seconds) {
    return hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 60;
}

TStTime IncTime(TStTime t, int hours, int minutes, int seconds) {
    return (t + HMStoStTime(hours, minutes, seconds)) % SecondsInDay;
}

TStTime DecTime(TStTime t, int hours, int minutes, int seconds) {
    TStTime r = t - HMStoStTime(hours % 24, minutes, seconds);
    return r < 0 ? r + SecondsInDay : r;
}

TStDate CurrentDate() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return DMYtoStDate(tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900, 0);
}

TStTime CurrentTime() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return HMStoStTime(tm.tm_hour, tm.tm_min, tm.tm_sec);
}

TStDate DateTimeToStDate(TDateTime dt) {
    if (!std::isfinite(dt)) return BadDate;
    static const TStDate base = DMYtoStDate(30, 12, 1899, 0);
    const double days = std::trunc(dt) + base;
    if (days < MinDate || days > MaxDate) return BadDate;
    return static_cast<TStDate>(days);
}

TStTime DateTimeToStTime(TDateTime dt) {
    if (!std::isfinite(dt)) return BadTime;
    const double frac = std::fabs(dt - std::trunc(dt));
    return static_cast<TStTime>(std::llround(frac * SecondsInDay) % SecondsInDay);
}

int DefaultEpoch() {
    int d, m, y;
    StDateToDMY(CurrentDate(), d, m, y);
    return y / 100 * 100;
}
