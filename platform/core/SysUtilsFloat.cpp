// Floating-point to text and back: FloatToDecimal, FloatToStrF, FormatFloat,
// CurrToStr and StrToFloat.

#include "SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

constexpr int kMinPrecision = 2;
constexpr int kMaxPrecision = 18;   // digits an extended value carries
constexpr int kCurrPrecision = 19;  // digits a currency value carries
constexpr int kCurrDecimals = 4;
constexpr int kUnlimitedDecimals = 9999;

// The first `significant` digits of |value| (> 0), as printf rounds them, with
// Exponent set so that value = 0.Digits * 10^Exponent. printf's expansion is
// exact, so only its last digit is rounded.
TFloatRec ExpandDigits(long double value, int significant) {
    char buf[512];
    const long double magnitude = std::fabs(value);
    const double asDouble = static_cast<double>(magnitude);
    if (static_cast<long double>(asDouble) == magnitude) {
        // A stored value: the double's exact expansion, rounded the same way,
        // many times faster than printf's extended-precision path.
        auto res = std::to_chars(buf, buf + sizeof buf - 1, asDouble, std::chars_format::scientific, significant - 1);
        *res.ptr = '\0';
    } else {
        std::snprintf(buf, sizeof buf, "%.*Le", significant - 1, magnitude);
    }
    TFloatRec rec;
    rec.Negative = value < 0;
    const char* p = buf;
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9') rec.Digits += *p;  // skips a locale's decimal point
    int exponent = (*p == 'e' || *p == 'E') ? std::atoi(p + 1) : 0;
    rec.Exponent = exponent + 1;
    return rec;
}

// Is the rounding at `keep` digits undecidable from these digits alone (the
// tail reads as an exact half, or one unit below)?
bool TailAmbiguous(const std::string& digits, int keep) {
    if (keep < 0 || keep >= static_cast<int>(digits.size())) return false;
    char first = digits[keep];
    if (first != '5' && first != '4') return false;
    char rest = first == '5' ? '0' : '9';
    for (size_t i = keep + 1; i < digits.size(); ++i)
        if (digits[i] != rest) return false;
    return true;
}

void MakeZero(TFloatRec& rec) {
    rec.Digits.clear();
    rec.Exponent = 0;
    rec.Negative = false;
}

// Cuts the digits to `keep`, rounding half away from zero on the digit after,
// and strips trailing zeros.
void RoundAt(TFloatRec& rec, int keep) {
    if (keep < 0) {
        MakeZero(rec);
        return;
    }
    if (keep < static_cast<int>(rec.Digits.size())) {
        bool up = rec.Digits[keep] >= '5';
        rec.Digits.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && rec.Digits[i] == '9') rec.Digits[i--] = '0';
            if (i >= 0) {
                ++rec.Digits[i];
            } else {  // all nines: the carry adds a digit in front
                rec.Digits = "1";
                ++rec.Exponent;
            }
        }
    }
    while (!rec.Digits.empty() && rec.Digits.back() == '0') rec.Digits.pop_back();
    if (rec.Digits.empty()) MakeZero(rec);
}

int KeepCount(const TFloatRec& rec, int precision, int decimals) {
    long keep = std::min<long>(precision, static_cast<long>(rec.Exponent) + decimals);
    return static_cast<int>(std::max<long>(keep, -1));
}

std::string ExponentText(int exponent, int minDigits, bool plusSign) {
    std::string s = "E";
    if (exponent < 0)
        s += '-';
    else if (plusSign)
        s += '+';
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < minDigits) s.append(minDigits - digits.size(), '0');
    return s + digits;
}

char DigitAt(const TFloatRec& rec, int index) {
    return index >= 0 && index < static_cast<int>(rec.Digits.size()) ? rec.Digits[index] : '0';
}

// Integer part of a fixed-point rendering, grouped when `thousands` is set.
std::string IntegerPart(const TFloatRec& rec, char thousands) {
    if (rec.Exponent <= 0) return "0";
    std::string s;
    for (int i = 0; i < rec.Exponent; ++i) {
        s += DigitAt(rec, i);
        int left = rec.Exponent - 1 - i;
        if (thousands && left > 0 && left % 3 == 0) s += thousands;
    }
    return s;
}

std::string FractionPart(const TFloatRec& rec, int digits, char decimalSeparator) {
    if (digits <= 0) return "";
    std::string s(1, decimalSeparator);
    for (int i = 0; i < digits; ++i) s += DigitAt(rec, rec.Exponent + i);
    return s;
}

std::string FormatGeneral(const TFloatRec& rec, int precision, int expDigits, const TFormatSettings& fs) {
    if (rec.Digits.empty()) return "0";
    std::string s = rec.Negative ? "-" : "";
    int e = rec.Exponent;
    int n = static_cast<int>(rec.Digits.size());
    if (e > precision || e < -3) {
        s += rec.Digits[0];
        if (n > 1) {
            s += fs.DecimalSeparator;
            s.append(rec.Digits, 1, std::string::npos);
        }
        return s + ExponentText(e - 1, expDigits, false);
    }
    if (e <= 0) {
        s += '0';
        s += fs.DecimalSeparator;
        s.append(-e, '0');
        return s + rec.Digits;
    }
    for (int i = 0; i < e; ++i) s += DigitAt(rec, i);
    if (n > e) {
        s += fs.DecimalSeparator;
        s.append(rec.Digits, e, std::string::npos);
    }
    return s;
}

std::string FormatExponent(const TFloatRec& rec, int precision, int expDigits, const TFormatSettings& fs) {
    std::string s = rec.Negative ? "-" : "";
    s += DigitAt(rec, 0);
    if (precision > 1) {
        s += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i) s += DigitAt(rec, i);
    }
    int exponent = rec.Digits.empty() ? 0 : rec.Exponent - 1;
    return s + ExponentText(exponent, expDigits, true);
}

std::string CurrencyPattern(const std::string& number, bool negative, const TFormatSettings& fs) {
    const std::string& c = fs.CurrencyString;
    const std::string& n = number;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 1: return n + c;
        case 2: return c + " " + n;
        case 3: return n + " " + c;
        default: return c + n;
        }
    }
    switch (fs.NegCurrFormat) {
    case 1: return "-" + c + n;
    case 2: return c + "-" + n;
    case 3: return c + n + "-";
    case 4: return "(" + n + c + ")";
    case 5: return "-" + n + c;
    case 6: return n + "-" + c;
    case 7: return n + c + "-";
    case 8: return "-" + n + " " + c;
    case 9: return "-" + c + " " + n;
    case 10: return n + " " + c + "-";
    case 11: return c + " " + n + "-";
    case 12: return c + " -" + n;
    case 13: return n + "- " + c;
    case 14: return "(" + c + " " + n + ")";
    case 15: return "(" + n + " " + c + ")";
    default: return "(" + c + n + ")";
    }
}

std::string SpecialText(const TFloatRec& rec) {
    if (rec.Digits == "NAN") return "NAN";
    return rec.Negative ? "-INF" : "INF";
}

// FloatToText over an already decimal number.
std::string FormatRec(const TFloatRec& rec, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
    if (rec.Special) return SpecialText(rec);
    if (format != ffExponent && rec.Exponent > precision) format = ffGeneral;
    switch (format) {
    case ffGeneral: return FormatGeneral(rec, precision, std::clamp(digits, 0, 4), fs);
    case ffExponent: return FormatExponent(rec, precision, std::clamp(digits, 0, 4), fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        char thousands = format == ffFixed ? '\0' : fs.ThousandSeparator;
        std::string number = IntegerPart(rec, thousands) + FractionPart(rec, digits, fs.DecimalSeparator);
        if (format == ffCurrency) return CurrencyPattern(number, rec.Negative, fs);
        return rec.Negative ? "-" + number : number;
    }
    }
    return {};
}

TFloatRec RoundRec(TFloatRec rec, int precision, int decimals) {
    if (!rec.Special && !rec.Digits.empty()) RoundAt(rec, KeepCount(rec, precision, decimals));
    return rec;
}

// A value rounded to the four decimals of a currency value.
TFloatRec CurrencyRec(long double value) { return FloatToDecimal(value, kCurrPrecision, kCurrDecimals); }

}  // namespace

TFloatRec FloatToDecimal(long double value, int precision, int decimals) {
    TFloatRec rec;
    if (std::isnan(value)) {
        rec.Special = true;
        rec.Digits = "NAN";
        return rec;
    }
    if (std::isinf(value)) {
        rec.Special = true;
        rec.Digits = "INF";
        rec.Negative = value < 0;
        return rec;
    }
    if (value == 0) return rec;
    precision = std::clamp(precision, 1, 25);
    rec = ExpandDigits(value, 30);
    int keep = KeepCount(rec, precision, decimals);
    if (TailAmbiguous(rec.Digits, keep)) {
        // So close to a half that printf's own rounding may have decided it:
        // look at enough digits to see the exact tail.
        rec = ExpandDigits(value, 120);
        keep = KeepCount(rec, precision, decimals);
    }
    RoundAt(rec, keep);
    return rec;
}

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings) {
    precision = std::clamp(precision, kMinPrecision, kMaxPrecision);
    if (format >= ffFixed) digits = std::clamp(digits, 0, kMaxPrecision);
    int decimals = format >= ffFixed ? digits : kUnlimitedDecimals;
    return FormatRec(FloatToDecimal(value, precision, decimals), format, precision, digits, settings);
}

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(value, format, precision, digits, FormatSettings);
}

std::string FloatToStr(long double value, const TFormatSettings& settings) {
    return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

std::string FloatToStr(long double value) { return FloatToStr(value, FormatSettings); }

std::string CurrToStrF(long double value, TFloatFormat format, int digits, const TFormatSettings& settings) {
    if (format >= ffFixed) digits = std::clamp(digits, 0, kMaxPrecision);
    int decimals = format >= ffFixed ? digits : kUnlimitedDecimals;
    TFloatRec rec = RoundRec(CurrencyRec(value), kCurrPrecision, decimals);
    return FormatRec(rec, format, kCurrPrecision, digits, settings);
}

std::string CurrToStrF(long double value, TFloatFormat format, int digits) {
    return CurrToStrF(value, format, digits, FormatSettings);
}

std::string CurrToStr(long double value, const TFormatSettings& settings) {
    return CurrToStrF(value, ffGeneral, 0, settings);
}

std::string CurrToStr(long double value) { return CurrToStr(value, FormatSettings); }

// ---------------------------------------------------------------------------
// FormatFloat

namespace {

// Splits a format into its sections at ';' outside quotes.
std::vector<std::string> SplitSections(const std::string& format) {
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

struct SectionLayout {
    int DigitCount = 0;     // '0' and '#' placeholders
    int DecimalIndex = -1;  // placeholders before the decimal point
    int FirstZero = 0;      // first '0' placeholder, limited to DecimalIndex
    int LastZero = 0;       // one past the last '0' placeholder, at least DecimalIndex
    bool Thousands = false;
    bool Scientific = false;
};

SectionLayout ScanSection(const std::string& section) {
    SectionLayout l;
    l.FirstZero = 32767;
    for (size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        switch (c) {
        case '#': ++l.DigitCount; break;
        case '0':
            if (l.DigitCount < l.FirstZero) l.FirstZero = l.DigitCount;
            ++l.DigitCount;
            l.LastZero = l.DigitCount;
            break;
        case '.':
            if (l.DecimalIndex < 0) l.DecimalIndex = l.DigitCount;
            break;
        case ',': l.Thousands = true; break;
        case 'E':
        case 'e':
            if (i + 1 < section.size() && (section[i + 1] == '+' || section[i + 1] == '-')) {
                l.Scientific = true;
                ++i;
                while (i + 1 < section.size() && section[i + 1] == '0') ++i;
            }
            break;
        case '\'':
        case '"': {
            size_t end = section.find(c, i + 1);
            i = end == std::string::npos ? section.size() : end;
            break;
        }
        default: break;
        }
    }
    if (l.DecimalIndex < 0) l.DecimalIndex = l.DigitCount;
    l.FirstZero = std::min(l.FirstZero, l.DecimalIndex);
    l.LastZero = std::max(l.LastZero, l.DecimalIndex);
    return l;
}

TFloatRec SectionRec(long double value, const SectionLayout& l) {
    if (l.Scientific) return FloatToDecimal(value, std::clamp(l.DigitCount, 1, kMaxPrecision), kUnlimitedDecimals);
    return FloatToDecimal(value, kMaxPrecision, l.DigitCount - l.DecimalIndex);
}

std::string ApplySection(const std::string& section, const SectionLayout& l, const TFloatRec& rec, bool minus,
                         const TFormatSettings& fs) {
    // The digits to show left and right of the decimal point.
    std::string intDigits, fracDigits;
    int exponent = 0;
    int maxFrac = l.DigitCount - l.DecimalIndex;
    int minFrac = l.LastZero - l.DecimalIndex;
    int minInt = l.DecimalIndex - l.FirstZero;
    if (l.Scientific) {
        exponent = rec.Digits.empty() ? 0 : rec.Exponent - l.DecimalIndex;
        for (int i = 0; i < l.DecimalIndex; ++i) intDigits += DigitAt(rec, i);
        intDigits.erase(0, intDigits.find_first_not_of('0'));
        for (int i = 0; i < maxFrac; ++i) fracDigits += DigitAt(rec, l.DecimalIndex + i);
    } else {
        for (int i = 0; i < rec.Exponent; ++i) intDigits += DigitAt(rec, i);
        for (int i = 0; i < maxFrac; ++i) fracDigits += DigitAt(rec, rec.Exponent + i);
    }
    if (static_cast<int>(intDigits.size()) < minInt) intDigits.insert(0, minInt - intDigits.size(), '0');
    while (static_cast<int>(fracDigits.size()) > minFrac && fracDigits.back() == '0') fracDigits.pop_back();

    std::string out = minus ? "-" : "";
    const int n = static_cast<int>(intDigits.size());
    auto putIntDigit = [&](int place) {  // place counts from the decimal point, 1 = units
        out += intDigits[n - place];
        if (l.Thousands && place > 1 && (place - 1) % 3 == 0) out += fs.ThousandSeparator;
    };
    auto putAllIntDigitsFrom = [&](int place) {
        for (int q = n; q >= place && q >= 1; --q) putIntDigit(q);
    };

    int placeholder = 0;
    bool decimalSeen = false;
    for (size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        switch (c) {
        case '#':
        case '0':
            if (placeholder < l.DecimalIndex) {
                int place = l.DecimalIndex - placeholder;
                if (placeholder == 0)
                    putAllIntDigitsFrom(place);  // digits beyond the format go first
                else if (place <= n)
                    putIntDigit(place);
            } else {
                int j = placeholder - l.DecimalIndex;
                if (j < static_cast<int>(fracDigits.size())) out += fracDigits[j];
            }
            ++placeholder;
            break;
        case '.':
            if (!decimalSeen) {
                decimalSeen = true;
                if (l.DecimalIndex == 0) putAllIntDigitsFrom(1);
                if (!fracDigits.empty()) out += fs.DecimalSeparator;
            }
            break;
        case ',': break;
        case 'E':
        case 'e':
            if (i + 1 < section.size() && (section[i + 1] == '+' || section[i + 1] == '-')) {
                bool plus = section[i + 1] == '+';
                ++i;
                int zeros = 0;
                while (i + 1 < section.size() && section[i + 1] == '0') {
                    ++i;
                    ++zeros;
                }
                std::string e = ExponentText(exponent, std::min(zeros, 4), plus);
                e[0] = c;
                out += e;
            } else {
                out += c;
            }
            break;
        case '\'':
        case '"': {
            size_t end = section.find(c, i + 1);
            if (end == std::string::npos) end = section.size();
            out.append(section, i + 1, end - i - 1);
            i = end;
            break;
        }
        default: out += c; break;
        }
    }
    return out;
}

}  // namespace

std::string FormatFloat(const std::string& format, long double value, const TFormatSettings& settings) {
    std::vector<std::string> sections = SplitSections(format);
    if (sections[0].empty() || std::isnan(value) || std::isinf(value))
        return FloatToStrF(value, ffGeneral, 15, 0, settings);

    // A missing or empty section falls back to the first one.
    auto sectionFor = [&](size_t index) -> size_t {
        return index < sections.size() && !sections[index].empty() ? index : 0;
    };
    size_t wanted = value > 0 ? 0 : value < 0 ? 1 : 2;
    size_t used = sectionFor(wanted);
    SectionLayout layout = ScanSection(sections[used]);
    TFloatRec rec = SectionRec(value, layout);
    if (rec.Digits.empty() && wanted != 2) {
        // Rounded to nothing: shown as zero, never as a negative zero.
        wanted = 2;
        used = sectionFor(2);
        layout = ScanSection(sections[used]);
        rec = TFloatRec{};
    }
    if (!layout.Scientific && rec.Exponent > kMaxPrecision) return FloatToStrF(value, ffGeneral, 15, 0, settings);
    bool minus = rec.Negative && used == 0;
    return ApplySection(sections[used], layout, rec, minus, settings);
}

std::string FormatFloat(const std::string& format, long double value) {
    return FormatFloat(format, value, FormatSettings);
}

// ---------------------------------------------------------------------------
// StrToFloat

namespace {

locale_t CLocale() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

bool IsBlank(char c) { return c == ' '; }

// Reads "[sign] digits [sep digits] [E [sign] digits]" with blanks around.
bool ParseFloat(const std::string& s, long double& out, const TFormatSettings& fs) {
    size_t i = 0, n = s.size();
    while (i < n && IsBlank(s[i])) ++i;
    std::string text;  // the number rewritten for the C library
    if (i < n && (s[i] == '+' || s[i] == '-')) text += s[i++];
    int digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        text += s[i++];
        ++digits;
    }
    if (i < n && s[i] == fs.DecimalSeparator) {
        text += '.';
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            text += s[i++];
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) text += s[i++];
        int expDigits = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            text += s[i++];
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    while (i < n && IsBlank(s[i])) ++i;
    if (i != n) return false;
    long double v = strtold_l(text.c_str(), nullptr, CLocale());
    if (std::isinf(v) || std::isnan(v)) return false;
    out = v;
    return true;
}

[[noreturn]] void InvalidFloat(const std::string& s) {
    throw EConvertError("'" + s + "' is not a valid floating point value");
}

}  // namespace

bool TryStrToFloat(const std::string& s, long double& value, const TFormatSettings& settings) {
    return ParseFloat(s, value, settings);
}

bool TryStrToFloat(const std::string& s, double& value, const TFormatSettings& settings) {
    long double v;
    if (!ParseFloat(s, v, settings)) return false;
    double d = static_cast<double>(v);
    if (std::isinf(d)) return false;
    value = d;
    return true;
}

bool TryStrToFloat(const std::string& s, long double& value) { return TryStrToFloat(s, value, FormatSettings); }
bool TryStrToFloat(const std::string& s, double& value) { return TryStrToFloat(s, value, FormatSettings); }

long double StrToFloat(const std::string& s, const TFormatSettings& settings) {
    long double v;
    if (!ParseFloat(s, v, settings)) InvalidFloat(s);
    return v;
}

long double StrToFloat(const std::string& s) { return StrToFloat(s, FormatSettings); }

long double StrToFloatDef(const std::string& s, long double defaultValue) {
    long double v;
    return ParseFloat(s, v, FormatSettings) ? v : defaultValue;
}
