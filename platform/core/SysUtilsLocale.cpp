// Regional settings: US defaults, and the user's locale read through the C
// library's locale data.

#include "SysUtils.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

TFormatSettings USFormatSettings() {
    TFormatSettings fs;
    fs.CurrencyString = "$";
    fs.CurrencyFormat = 0;
    fs.NegCurrFormat = 0;
    fs.ThousandSeparator = ',';
    fs.DecimalSeparator = '.';
    fs.CurrencyDecimals = 2;
    fs.DateSeparator = '/';
    fs.TimeSeparator = ':';
    fs.ShortDateFormat = "M/d/yyyy";
    fs.LongDateFormat = "dddd, MMMM d, yyyy";
    fs.ShortTimeFormat = "h:mm AMPM";
    fs.LongTimeFormat = "h:mm:ss AMPM";
    fs.TimeAMString = "AM";
    fs.TimePMString = "PM";
    static const char* const shortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const longMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December"};
    static const char* const shortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const longDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 12; ++i) {
        fs.ShortMonthNames[i] = shortMonths[i];
        fs.LongMonthNames[i] = longMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        fs.ShortDayNames[i] = shortDays[i];
        fs.LongDayNames[i] = longDays[i];
    }
    fs.ListSeparator = ',';
    fs.TwoDigitYearCenturyWindow = 50;
    return fs;
}

namespace {

// The locale name a category takes from the environment, as setlocale(cat, "")
// would resolve it.
std::string LocaleNameFor(const char* categoryVariable) {
    for (const char* var : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return v;
    }
    return "C";
}

// Locale texts in an 8-bit or multi-byte codeset, re-encoded as UTF-8 by that
// codeset; a byte the codeset does not know leaves the text to the
// Windows-1252 reading.
std::string DecodeCodeset(const std::string& bytes, const std::string& codeset) {
    if (bytes.empty()) return bytes;
    iconv_t cd = iconv_open("UTF-8", codeset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return TextFromBytes(bytes);
    std::string in = bytes, out(bytes.size() * 4 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t left = in.size(), room = out.size();
    const size_t rc = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || left != 0) return TextFromBytes(bytes);
    out.resize(out.size() - room);
    return out;
}

bool IsPlainCLocale(const std::string& name) { return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0; }

// A locale object for one category, or null when the C locale applies (or
// the named locale is not installed): the US settings stay then.
class CategoryLocale {
public:
    CategoryLocale(int mask, const char* variable) {
        std::string name = LocaleNameFor(variable);
        // The texts are in the codeset of the category's own locale, which
        // lives in its character-type part.
        if (!IsPlainCLocale(name)) loc_ = newlocale(mask | LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
        if (loc_) {
            codeset_ = nl_langinfo_l(CODESET, loc_);
            utf8_ = codeset_ == "UTF-8" || codeset_ == "utf8";
        }
    }
    ~CategoryLocale() {
        if (loc_) freelocale(loc_);
    }
    CategoryLocale(const CategoryLocale&) = delete;
    CategoryLocale& operator=(const CategoryLocale&) = delete;

    explicit operator bool() const { return loc_ != nullptr; }

    std::string Text(nl_item item) const {
        const char* s = nl_langinfo_l(item, loc_);
        std::string r = s ? s : "";
        return utf8_ ? r : DecodeCodeset(r, codeset_);
    }

    // Numeric items of LC_MONETARY are single bytes; CHAR_MAX means unset.
    int Byte(nl_item item) const {
        const char* s = nl_langinfo_l(item, loc_);
        if (!s) return CHAR_MAX;
        return static_cast<signed char>(s[0]);
    }

private:
    locale_t loc_ = static_cast<locale_t>(nullptr);
    std::string codeset_;
    bool utf8_ = true;
};

// One byte for a separator; a multi-byte one (a no-break space) becomes a space.
char SeparatorChar(const std::string& s, char fallback) {
    if (s.empty()) return fallback;
    if (static_cast<unsigned char>(s[0]) < 0x80) return s.size() == 1 ? s[0] : fallback;
    return ' ';
}

uint8_t NegativeCurrencyFormat(bool symbolFirst, bool space, int signPosition) {
    switch (signPosition) {
    case 0: return symbolFirst ? (space ? 14 : 0) : (space ? 15 : 4);
    case 2: return symbolFirst ? (space ? 11 : 3) : (space ? 10 : 7);
    case 3: return symbolFirst ? (space ? 9 : 1) : (space ? 13 : 6);
    case 4: return symbolFirst ? (space ? 12 : 2) : (space ? 10 : 7);
    default: return symbolFirst ? (space ? 9 : 1) : (space ? 8 : 5);
    }
}

struct ConvertedFormat {
    std::string Pattern;
    char Separator = 0;
};

// A strftime date or time format in this system's pattern letters; the first
// punctuation between fields becomes the separator ("/" or ":" in the pattern).
ConvertedFormat ConvertStrftime(const std::string& f, char separatorToken, const CategoryLocale& time) {
    ConvertedFormat r;
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (c != '%') {
            bool punctuation = c != ' ' && !(c >= '0' && c <= '9') && static_cast<unsigned char>(c) < 0x80 &&
                               !((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
            if (punctuation && (r.Separator == 0 || c == r.Separator)) {
                r.Separator = c;
                r.Pattern += separatorToken;
            } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') {
                r.Pattern += '"';
                r.Pattern += c;
                r.Pattern += '"';
            } else {
                r.Pattern += c;
            }
            continue;
        }
        if (++i >= f.size()) break;
        while (i < f.size() && std::string_view("-_0^#EO").find(f[i]) != std::string_view::npos) ++i;
        if (i >= f.size()) break;
        switch (f[i]) {
        case 'd': r.Pattern += "dd"; break;
        case 'e': r.Pattern += "d"; break;
        case 'm': r.Pattern += "MM"; break;
        case 'y':  // two-digit years are read back ambiguously; show all four
        case 'Y': r.Pattern += "yyyy"; break;
        case 'b':
        case 'h': r.Pattern += "MMM"; break;
        case 'B': r.Pattern += "MMMM"; break;
        case 'a': r.Pattern += "ddd"; break;
        case 'A': r.Pattern += "dddd"; break;
        case 'H':
        case 'k': r.Pattern += "hh"; break;
        case 'I':
        case 'l': r.Pattern += "h"; break;
        case 'M': r.Pattern += "nn"; break;
        case 'S': r.Pattern += "ss"; break;
        case 'p':
        case 'P': r.Pattern += "AMPM"; break;
        case 'D':
            r.Pattern += "MM/dd/yyyy";
            if (!r.Separator) r.Separator = '/';
            break;
        case 'F':
            r.Pattern += "yyyy/MM/dd";
            if (!r.Separator) r.Separator = '-';
            break;
        case 'T':
            r.Pattern += "hh:nn:ss";
            if (!r.Separator) r.Separator = ':';
            break;
        case 'R':
            r.Pattern += "hh:nn";
            if (!r.Separator) r.Separator = ':';
            break;
        case 'r': {
            ConvertedFormat ampm = ConvertStrftime(time.Text(T_FMT_AMPM), separatorToken, time);
            r.Pattern += ampm.Pattern;
            if (!r.Separator) r.Separator = ampm.Separator;
            break;
        }
        case '%': r.Pattern += '%'; break;
        default: break;
        }
    }
    return r;
}

// The short time format: the long one without its seconds.
std::string WithoutSeconds(std::string pattern) {
    size_t at = pattern.find(":ss");
    if (at != std::string::npos) pattern.erase(at, 3);
    return pattern;
}

}  // namespace

TFormatSettings FormatSettingsFromLocale() {
    TFormatSettings fs = USFormatSettings();

    if (CategoryLocale numeric(LC_NUMERIC_MASK, "LC_NUMERIC"); numeric) {
        fs.DecimalSeparator = SeparatorChar(numeric.Text(RADIXCHAR), '.');
        char fallback = fs.DecimalSeparator == ',' ? '.' : ',';
        fs.ThousandSeparator = SeparatorChar(numeric.Text(THOUSEP), fallback);
        if (fs.ThousandSeparator == fs.DecimalSeparator) fs.ThousandSeparator = fallback;
        fs.ListSeparator = fs.DecimalSeparator == ',' ? ';' : ',';
    }

    if (CategoryLocale money(LC_MONETARY_MASK, "LC_MONETARY"); money) {
        std::string symbol = money.Text(CURRENCY_SYMBOL);
        if (!symbol.empty()) fs.CurrencyString = symbol;
        int digits = money.Byte(FRAC_DIGITS);
        if (digits >= 0 && digits <= 18) fs.CurrencyDecimals = static_cast<uint8_t>(digits);
        int pPrecedes = money.Byte(P_CS_PRECEDES), pSpace = money.Byte(P_SEP_BY_SPACE);
        if (pPrecedes != CHAR_MAX && pSpace != CHAR_MAX)
            fs.CurrencyFormat = static_cast<uint8_t>((pPrecedes ? 0 : 1) + (pSpace ? 2 : 0));
        int nPrecedes = money.Byte(N_CS_PRECEDES), nSpace = money.Byte(N_SEP_BY_SPACE), nSign = money.Byte(N_SIGN_POSN);
        if (nPrecedes != CHAR_MAX && nSpace != CHAR_MAX && nSign != CHAR_MAX)
            fs.NegCurrFormat = NegativeCurrencyFormat(nPrecedes != 0, nSpace != 0, nSign);
    }

    if (CategoryLocale time(LC_TIME_MASK, "LC_TIME"); time) {
        for (int i = 0; i < 12; ++i) {
            fs.ShortMonthNames[i] = time.Text(ABMON_1 + i);
            fs.LongMonthNames[i] = time.Text(MON_1 + i);
        }
        for (int i = 0; i < 7; ++i) {
            fs.ShortDayNames[i] = time.Text(ABDAY_1 + i);
            fs.LongDayNames[i] = time.Text(DAY_1 + i);
        }
        ConvertedFormat date = ConvertStrftime(time.Text(D_FMT), '/', time);
        if (!date.Pattern.empty()) {
            fs.ShortDateFormat = date.Pattern;
            if (date.Separator) fs.DateSeparator = date.Separator;
            bool dayFirst = date.Pattern.find('d') < date.Pattern.find('M');
            if (dayFirst) fs.LongDateFormat = "dddd, d MMMM yyyy";
        }
        ConvertedFormat clock = ConvertStrftime(time.Text(T_FMT), ':', time);
        if (!clock.Pattern.empty()) {
            fs.LongTimeFormat = clock.Pattern;
            fs.ShortTimeFormat = WithoutSeconds(clock.Pattern);
            if (clock.Separator) fs.TimeSeparator = clock.Separator;
        }
        fs.TimeAMString = time.Text(AM_STR);
        fs.TimePMString = time.Text(PM_STR);
    }
    return fs;
}

TFormatSettings FormatSettings = FormatSettingsFromLocale();

void LoadFormatSettingsFromLocale() { FormatSettings = FormatSettingsFromLocale(); }
