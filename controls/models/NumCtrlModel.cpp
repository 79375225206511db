#include "NumCtrlModel.h"

#include <cmath>

namespace {

// Significant digits of a stored double: every value shows the digits it was
// given, not the binary expansion's tail (2.3 is 2.3, not 2.2999...).
constexpr int kValueDigits = 15;
constexpr int kUnlimitedDecimals = 9999;
constexpr size_t kMaxTypedLength = 80;
constexpr size_t kMaxMessageLength = 80;

const TFormatSettings& PlainSettings() {
    static const TFormatSettings s = USFormatSettings();
    return s;
}

// Adds one unit in the last place of a digit string; may grow it by a digit.
std::string IncrementDigits(std::string digits) {
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0; --i) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return digits;
        }
    }
    return "1" + digits;
}

}  // namespace

std::string StripChars(const std::string& Text, const std::string& Chars) {
    std::string kept;
    for (char c : Text)
        if (Chars.find(c) != std::string::npos) kept += c;
    if (!Text.empty() && (Text.front() == '-' || Text.back() == '-')) return "-" + kept;
    return kept;
}

long double PowerOf(long double Base, int Exponent) {
    long double r = 1;
    long double b = Base;
    for (unsigned n = static_cast<unsigned>(Exponent < 0 ? -static_cast<long long>(Exponent) : Exponent); n; n >>= 1) {
        if (n & 1) r *= b;
        b *= b;
    }
    return Exponent < 0 ? fp::Div(1.0L, r) : r;
}

long double TNumEditModel::RoundOrTruncate(long double v) const {
    // Work on the value's decimal digits: a binary product with a power of ten
    // can fall a hair below the decimal value and lose a digit to truncation.
    const TFloatRec rec = FloatToDecimal(v, kValueDigits, kUnlimitedDecimals);
    if (rec.Special || rec.Digits.empty()) return rec.Special ? v : 0;
    const int keep = rec.Exponent + Decimals;  // digits at or above the last decimal
    const int count = static_cast<int>(rec.Digits.size());
    if (keep >= count) return v;
    std::string kept = keep > 0 ? rec.Digits.substr(0, keep) : std::string();
    if (UseRounding && keep >= 0) {
        const std::string tail = rec.Digits.substr(keep);  // no trailing zeros
        const bool above = tail[0] > '5' || (tail[0] == '5' && tail.size() > 1);
        const bool tie = tail == "5";
        const bool lastOdd = !kept.empty() && ((kept.back() - '0') % 2 == 1);
        if (above || (tie && lastOdd)) kept = IncrementDigits(kept.empty() ? "0" : kept);
    }
    if (kept.empty() || kept.find_first_not_of('0') == std::string::npos) return 0;
    const std::string text = (rec.Negative ? "-" : "") + kept + "E-" + std::to_string(Decimals);
    return StrToFloat(text, PlainSettings());
}

long double TNumEditModel::ReducedValue() const {
    long double v = NumericType == ntPercentage ? Value * 100 : Value;
    return RoundOrTruncate(v);
}

std::string TNumEditModel::FormatText(const TFormatSettings& Settings) const {
    const long double v = ReducedValue();
    switch (NumericType) {
    case ntGeneral:
        return FormatFloat(Masks.PositiveMask + ";" + Masks.NegativeMask + ";" + Masks.ZeroMask, v, Settings);
    case ntCurrency: return FloatToStrF(v, ffCurrency, Digits, Decimals, Settings);
    case ntPercentage: return FloatToStrF(v, ffFixed, Digits, Decimals, Settings) + "%";
    }
    return {};
}

std::string TNumEditModel::StripForEdit(const std::string& Shown, const TFormatSettings& Settings) const {
    std::string s =
        StripChars(Shown, std::string("0123456789") + Settings.DecimalSeparator + Settings.ThousandSeparator);
    if (!s.empty() && s[0] == '-') s.erase(0, 1);
    return Value < 0 ? "-" + s : s;
}

TNumKeyVerdict TNumEditModel::FilterKey(const std::string& Text, char32_t Key, const TFormatSettings& Settings) {
    if (Key == static_cast<unsigned char>(Settings.DecimalSeparator))
        return Text.find(Settings.DecimalSeparator) == std::string::npos ? TNumKeyVerdict::AcceptedGrow
                                                                         : TNumKeyVerdict::Rejected;
    if (Key == '-')
        return Text.find('-') == std::string::npos ? TNumKeyVerdict::AcceptedGrow : TNumKeyVerdict::Rejected;
    if (Key == 8 || Key == 13 || (Key >= '0' && Key <= '9') ||
        Key == static_cast<unsigned char>(Settings.ThousandSeparator))
        return TNumKeyVerdict::Accepted;
    return TNumKeyVerdict::Rejected;
}

TNumParseResult TNumEditModel::ParseTyped(const std::string& Text, const TFormatSettings& Settings,
                                          long double& Number) {
    if (Text.empty()) return TNumParseResult::NotANumber;
    std::string s = StripChars(Text, std::string("0123456789") + Settings.DecimalSeparator);
    if (s.size() > kMaxTypedLength) s.resize(kMaxTypedLength);
    if (s.empty()) {
        Number = 0;
        return TNumParseResult::Number;
    }
    long double v;
    if (!TryStrToFloat(s, v, Settings)) return TNumParseResult::NotANumber;
    Number = v;
    return TNumParseResult::Number;
}

long double TNumEditModel::StoredValue(long double Typed) const {
    return NumericType == ntPercentage ? Typed / 100 : Typed;
}

bool TNumEditModel::InRange(long double v) const { return !Validate || (Min <= v && v <= Max); }

std::string TNumEditModel::RangeMessage(const TFormatSettings& Settings) const {
    std::string msg = "Value must be between " + FloatToStr(Min, Settings) + " and " + FloatToStr(Max, Settings);
    if (msg.size() > kMaxMessageLength) msg.resize(kMaxMessageLength);
    return msg;
}

std::string TNumEditModel::GetUnformattedText(const std::string& Text) const {
    std::string s;
    for (char c : Text)
        if (c == ',' || c == '.' || (c >= '0' && c <= '9')) s += c;
    return Value < 0 ? "-" + s : s;
}

double TNumEditModel::AsRoundedFloat() const {
    if (Value > -1.7e308L && Value < 1.7e308L) return static_cast<double>(std::nearbyint(Value));
    return 0;
}

int16_t TNumEditModel::AsSmallIntRounded() const {
    if (Value > -32768 && Value < 32767)
        return static_cast<int16_t>(UseRounding ? std::nearbyint(Value) : std::trunc(Value));
    return 0;
}

int32_t TNumEditModel::AsIntegerRounded() const {
    if (Value > -2147483647.0L && Value < 2147483647.0L)
        return static_cast<int32_t>(UseRounding ? std::nearbyint(Value) : std::trunc(Value));
    return 0;
}

float TNumEditModel::AsSingleChecked() const {
    if (Value > -1.7e38L && Value < 1.7e38L) return static_cast<float>(Value);
    return 0;
}
