#include "entpfmodel.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

#include "Classes.h"
#include "SysUtils.h"
#include "entintl.h"
#include "entmsgs.h"

namespace {

// Bytes of an integer cell, 0 for the types whose cells hold no integer.
int IntCellBytes(TPictureDataType t) {
    switch (t) {
    case pftLongInt:
    case pftDate:
    case pftTime:
    case pftDateTime: return 4;
    case pftWord:
    case pftInteger: return 2;
    case pftByte:
    case pftShortInt: return 1;
    default: return 0;
    }
}

bool IsSignedInt(TPictureDataType t) { return t != pftWord && t != pftByte; }

struct TIntLimits {
    int64_t Lo, Hi;
};
TIntLimits IntLimits(TPictureDataType t) {
    switch (t) {
    case pftLongInt: return {INT32_MIN, INT32_MAX};
    case pftWord: return {0, 65535};
    case pftInteger: return {-32768, 32767};
    case pftByte: return {0, 255};
    case pftShortInt: return {-128, 127};
    default: return {INT64_MIN, INT64_MAX};
    }
}

// Magnitude limit of a float type's value text, 0 for none.
long double FloatLimit(TPictureDataType t) {
    switch (t) {
    case pftDouble: return 1.7e308L;
    case pftSingle: return 3.4e38L;
    case pftComp: return 9.2e18L;
    default: return 0;
    }
}

const TFormatSettings& PointSettings() {
    static const TFormatSettings s = [] {
        TFormatSettings f = USFormatSettings();
        f.DecimalSeparator = '.';
        return f;
    }();
    return s;
}

bool TryFloat(const std::string& text, long double& v) {
    if (!TryStrToFloat(text, v, PointSettings())) return false;
    return std::isfinite(v);
}

// Fixed notation with the given decimals; independent of the C locale.
std::string FixedText(long double v, int decimals) {
    // room for the widest extended value with the most decimals a mask can have
    static thread_local char buf[8192];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, std::clamp(decimals, 0, 255));
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    // A value that rounds to zero shows no sign.
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

int RadixOf(const std::string& mask) {
    if (mask.find('K') != std::string::npos) return 16;
    if (mask.find('O') != std::string::npos) return 8;
    if (mask.find('b') != std::string::npos) return 2;
    return 10;
}

// Sign and integer digits of a number text, leading zeros dropped: what a
// mask must never lose.
std::string IntegerSignature(const std::string& text) {
    std::string s = TrimSpaces(text);
    bool negative = !s.empty() && s[0] == '-';
    if (negative) s.erase(0, 1);
    s = s.substr(0, s.find('.'));
    s.erase(0, std::min(s.find_first_not_of('0'), s.size()));
    for (char& c : s) c = UpCase(c);
    if (s.empty()) s = "0";
    return (negative ? "-" : "") + s;
}

bool IsTimeMaskChar(char c) { return std::strchr("hHmMsStT", c) != nullptr && c != 0; }

}  // namespace

long double RoundHalfEven(long double v) {
    const long double f = std::floor(v);
    const long double diff = v - f;
    if (diff > 0.5L) return f + 1;
    if (diff < 0.5L) return f;
    return std::fmod(f, 2.0L) == 0 ? f : f + 1;
}

bool StoresRangeCells(TPictureDataType type) { return type != pftString && type != pftBoolean && type != pftYesNo; }

TEntRangeCell CellFromValue(TPictureDataType type, const TEntFieldValue& value) {
    TEntRangeCell cell{};
    if (type == pftChar) {
        cell[0] = static_cast<uint8_t>(value.Ch);
    } else if (const int n = IntCellBytes(type)) {
        const uint64_t bits = static_cast<uint64_t>(value.Int);
        for (int i = 0; i < n; ++i) cell[i] = static_cast<uint8_t>(bits >> (8 * i));
    } else if (type == pftReal) {
        const double d = static_cast<double>(value.Float);
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        for (int i = 0; i < 8; ++i) cell[i] = static_cast<uint8_t>(bits >> (8 * i));
    } else if (IsFloatType(type)) {
        ExtendedToBytes(value.Float, cell.data());
    }
    return cell;
}

TEntFieldValue ValueFromCell(TPictureDataType type, const TEntRangeCell& cell) {
    TEntFieldValue v;
    if (type == pftChar) {
        v.Ch = static_cast<char>(cell[0]);
    } else if (const int n = IntCellBytes(type)) {
        uint64_t bits = 0;
        for (int i = 0; i < n; ++i) bits |= uint64_t(cell[i]) << (8 * i);
        if (IsSignedInt(type) && n < 8 && (bits >> (8 * n - 1)) & 1) bits |= ~uint64_t(0) << (8 * n);
        v.Int = static_cast<int64_t>(bits);
    } else if (type == pftReal) {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= uint64_t(cell[i]) << (8 * i);
        double d;
        std::memcpy(&d, &bits, 8);
        v.Float = d;
    } else if (IsFloatType(type)) {
        v.Float = BytesToExtended(cell.data());
    }
    return v;
}

std::string DefaultPictureMask(TPictureDataType type, const TEntIntlSup& intl) {
    switch (type) {
    case pftString: return std::string(15, 'X');
    case pftChar: return "X";
    case pftBoolean: return "B";
    case pftYesNo: return "Y";
    case pftLongInt: return std::string(11, 'i');
    case pftWord: return "99999";
    case pftInteger: return "iiiiii";
    case pftByte: return "999";
    case pftShortInt: return "iiii";
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle: return std::string(10, '#');
    case pftComp: return std::string(10, 'i');
    case pftDate:
    case pftTime:
    case pftDateTime: {
        std::string shortDate = intl.ShortDate;
        for (char& c : shortDate) c = UpCase(c);
        const std::string date = intl.InternationalDate(shortDate.find("YYYY") != std::string::npos);
        if (type == pftDate) return date;
        const std::string time = intl.InternationalTime(false);
        return type == pftTime ? time : date + " " + time;
    }
    }
    throw EEntException(LookupMessageText(SEntInvalidParameter));
}

// ---- construction and properties ----

TEntPictureFieldModel::TEntPictureFieldModel(const TEntIntlSup& intl, const TEntMaskUserData& user)
    : FIntl(intl), FUser(user), FMask(intl, user) {
    FMask.Mask = std::string(15, 'X');
    ApplyMaskFlags();
    FText = FMask.MergePicture("");
}

TEntPictureFieldModel::TEntPictureFieldModel() : TEntPictureFieldModel(*EntIntlSup()) {}

void TEntPictureFieldModel::CheckDataType() const {
    if (static_cast<int>(FDataType) >= PictureDataTypeCount)
        throw EEntException(LookupMessageText(SEntInvalidParameter));
}

void TEntPictureFieldModel::ApplyMaskFlags() {
    FMask.MaxLength = FMaxLength;
    FMask.PlainField = false;
    FMask.FloatField = IsFloatType(FDataType);
    FMask.RadixField = IsIntegerType(FDataType) && RadixOf(FMask.Mask) != 10;
    FMask.RightJustify = FOptions.Contains(efoRightJustify);
    FMask.TrimBlanks = FOptions.Contains(efoTrimBlanks);
    FMask.InitPictureFlags();
    // a mask with literals takes neither option
    if (!FMask.RightJustify) FOptions -= efoRightJustify;
    if (!FMask.TrimBlanks) FOptions -= efoTrimBlanks;
}

void TEntPictureFieldModel::SetDataType(TPictureDataType value) {
    if (value == FDataType) return;
    if (static_cast<int>(value) >= PictureDataTypeCount) throw EEntException(LookupMessageText(SEntInvalidParameter));
    FDataType = value;
    TEntEntryFieldOptions options = FOptions + efoCaretToEnd;
    FOptions = {};  // the type's adjustment always runs for a new type
    SetOptions(options);
    SetDefaultRange();
    const std::string mask = DefaultPictureMask(value, FIntl);
    // The old text is read as the new type.
    ApplyMaskFlags();
    Remask([&] {
        FMask.Mask = mask;
        FMaxLength = static_cast<int>(mask.size());
        FDecimalPlaces = 0;
    });
}

void TEntPictureFieldModel::SetPictureMask(const std::string& value) {
    if (value.empty() || value == FMask.Mask) return;
    const bool floatType = FDataType >= pftReal && FDataType <= pftSingle;
    if (DesignTime && value.find('.') != std::string::npos && !floatType) throw EInvalidPictureMask(value);
    Remask([&] {
        FMask.Mask = value.substr(0, MaxPictureLength);
        if (!Loading) FMaxLength = static_cast<int>(FMask.Mask.size());
    });
}

void TEntPictureFieldModel::Remask(const std::function<void()>& ChangeMask) {
    // At run time the old text is read under the old mask and laid into the
    // new one; otherwise the field starts blank.
    const bool keepValue = !DesignTime && !Loading;
    TEntFieldValue v;
    if (keepValue) Transfer(v, toGet);
    ChangeMask();
    ApplyMaskFlags();
    AdjustOptionsToType();
    if (keepValue) {
        Transfer(v, toPut);
    } else {
        FOverflow = false;
        FText = FMask.MergePicture("");
    }
}

bool TEntPictureFieldModel::SetMaxLength(int value) {
    // While loading the mask may not be read yet, so only its own bounds
    // apply; a length beyond them would size every text and flag table.
    if (Loading) {
        if (value < 1 || value > MaxPictureLength) return false;
        FMaxLength = value;
        return true;
    }
    if (value == FMaxLength || value < 1 || value > MaxPictureLength || value < static_cast<int>(FMask.Mask.size()))
        return false;
    FMaxLength = value;
    ApplyMaskFlags();
    FText.resize(std::min<size_t>(FText.size(), value));
    return true;
}

void TEntPictureFieldModel::SetOptions(TEntEntryFieldOptions value) {
    if (value == FOptions) return;
    if (value.Contains(efoForceInsert)) value -= efoForceOvertype;
    if (value.Contains(efoForceOvertype)) value -= efoForceInsert;
    if (FDataType == pftString && value.Contains(efoRightJustify)) value += efoTrimBlanks;
    if (FDataType == pftString && !value.Contains(efoTrimBlanks)) value -= efoRightJustify;
    FOptions = value;
    if (!Loading) AdjustOptionsToType();
    ApplyMaskFlags();
}

void TEntPictureFieldModel::AdjustOptionsToType() {
    if (Loading) return;
    const TEntEntryFieldOptions charDrop{efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify,
                                         efoStripLiterals};
    if (FDataType == pftString) {
        if (!FMask.NoLiterals()) FOptions -= TEntEntryFieldOptions{efoRightJustify, efoTrimBlanks};
    } else if (IsCharType(FDataType)) {
        FOptions -= charDrop;
    } else if (FDataType >= pftLongInt && FDataType <= pftComp) {
        FOptions -= TEntEntryFieldOptions{efoTrimBlanks, efoStripLiterals};
    } else {
        FOptions -= TEntEntryFieldOptions{efoTrimBlanks, efoRightJustify, efoStripLiterals};
    }
    if (DesignTime && FOptions.Contains(efoInputRequired) && FDataType >= pftChar && FDataType <= pftComp)
        FUninitialized = true;
    FMask.RightJustify = FOptions.Contains(efoRightJustify);
    FMask.TrimBlanks = FOptions.Contains(efoTrimBlanks);
}

void TEntPictureFieldModel::SetUninitialized(bool value) {
    FUninitialized = value;
    AdjustOptionsToType();
}

int TEntPictureFieldModel::EffectiveEpoch() const {
    const int epoch = EpochSource ? EpochSource(FEpoch) : FEpoch;
    return epoch != 0 ? epoch : DefaultEpoch();
}

void TEntPictureFieldModel::SetEpoch(int value) {
    if (value != 0 && (value < MinYear || value > MaxYear)) return;
    FEpoch = value;
    if (ControllerEpoch && FEpoch == ControllerEpoch()) FEpoch = 0;
}

void TEntPictureFieldModel::SetText(const std::string& text) {
    FText = text;
    FOverflow = false;
    FCodePut = false;
}

// ---- range ----

void TEntPictureFieldModel::SetDefaultRange() {
    TEntFieldValue lo, hi;
    switch (FDataType) {
    case pftChar: lo.Ch = hi.Ch = ' '; break;
    case pftLongInt:
    case pftWord:
    case pftInteger:
    case pftByte:
    case pftShortInt: {
        const TIntLimits l = IntLimits(FDataType);
        lo.Int = l.Lo;
        hi.Int = l.Hi;
        break;
    }
    case pftReal:
        lo.Float = -1.7e38L;
        hi.Float = 1.7e38L;
        break;
    case pftExtended:
        lo.Float = -1.1e4932L;
        hi.Float = 1.1e4932L;
        break;
    case pftDouble:
        lo.Float = -1.7e308L;
        hi.Float = 1.7e308L;
        break;
    case pftSingle:
        lo.Float = -3.4e38L;
        hi.Float = 3.4e38L;
        break;
    case pftComp:
        lo.Float = -9.2e18L;
        hi.Float = 9.2e18L;
        break;
    case pftDate:
    case pftDateTime:
        lo.Int = MinDate;
        hi.Int = MaxDate;
        break;
    case pftTime:
        lo.Int = 0;
        hi.Int = SecondsInDay - 1;
        break;
    default: break;
    }
    FRangeLo = CellFromValue(FDataType, lo);
    FRangeHi = CellFromValue(FDataType, hi);
}

std::string TEntPictureFieldModel::RangeText(const TEntRangeCell& cell) const {
    const TEntFieldValue v = ValueFromCell(FDataType, cell);
    switch (FDataType) {
    case pftChar:
        if (static_cast<unsigned char>(v.Ch) <= ' ') return "#" + std::to_string(static_cast<unsigned char>(v.Ch));
        return std::string(1, v.Ch);
    case pftLongInt:
    case pftWord:
    case pftInteger:
    case pftByte:
    case pftShortInt: return std::to_string(v.Int);
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle:
    case pftComp: {
        std::string s = FixedText(v.Float, FloatDecimals());
        std::replace(s.begin(), s.end(), '.', FIntl.DecimalChar);
        return s;
    }
    case pftDate:
    case pftDateTime: return FIntl.DateToDateString(DateMask(ppRange), static_cast<TStDate>(v.Int), false);
    case pftTime: return FIntl.TimeToTimeString(TimeMask(ppRange), static_cast<TStTime>(v.Int), false);
    default: return {};
    }
}

void TEntPictureFieldModel::SetRange(TEntRangeCell& cell, const std::string& text) {
    if (Loading) return;
    TEntFieldValue v;
    if (!ParseValueText(text, v, ppRange)) throw EInvalidRangeValue(FDataType);
    // A date or time that does not read parses to the invalid marker, which
    // as a limit would refuse every value.
    if ((FDataType == pftDate && v.Int == BadDate) || (FDataType == pftTime && v.Int == BadTime))
        throw EInvalidRangeValue(FDataType);
    cell = CellFromValue(FDataType, v);
}

void TEntPictureFieldModel::SetRangeLo(const std::string& text) { SetRange(FRangeLo, text); }
void TEntPictureFieldModel::SetRangeHi(const std::string& text) { SetRange(FRangeHi, text); }

bool TEntPictureFieldModel::InRange(long double v) const {
    if (IsIntegerType(FDataType)) {
        const auto lo = RangeLoValue().Int, hi = RangeHiValue().Int;
        return v >= lo && v <= hi;
    }
    // pftDateTime's cells hold days while its value is read as a float; no check.
    if (FDataType == pftDateTime) return true;
    return v >= RangeLoValue().Float && v <= RangeHiValue().Float;
}

// ---- parsing and formatting ----

std::string TEntPictureFieldModel::DateMask(TEntParsePurpose purpose) const {
    if (purpose == ppValue && FDataType == pftDate) return FMask.Mask;
    std::string shortDate = FIntl.ShortDate;
    for (char& c : shortDate) c = UpCase(c);
    return FIntl.InternationalDate(shortDate.find("YYYY") != std::string::npos);
}

std::string TEntPictureFieldModel::TimeMask(TEntParsePurpose purpose) const {
    if (purpose == ppValue && FDataType == pftTime) return FMask.Mask;
    return FIntl.InternationalTime(false);
}

bool TEntPictureFieldModel::ParseInteger(const std::string& text, int64_t& v, bool typeBounds) const {
    const std::string s = TrimSpaces(text);
    if (s.empty()) {
        v = 0;
        return true;
    }
    const int radix = FMask.RadixField ? RadixOf(FMask.Mask) : 10;
    if (radix != 10) {
        uint64_t acc = 0;
        for (char c : s) {
            int d;
            const char u = UpCase(c);
            if (u >= '0' && u <= '9')
                d = u - '0';
            else if (u >= 'A' && u <= 'F')
                d = u - 'A' + 10;
            else
                return false;
            if (d >= radix) return false;
            acc = acc * radix + d;
            if (acc > 0xFFFFFFFFull) return false;
        }
        // the digits are the type's bit pattern
        const int bytes = IntCellBytes(FDataType);
        if (bytes < 4 && acc >> (8 * bytes)) return false;
        if (IsSignedInt(FDataType) && (acc >> (8 * bytes - 1)) & 1) acc |= ~uint64_t(0) << (8 * bytes);
        v = static_cast<int64_t>(acc);
        return true;
    }
    size_t i = 0;
    const bool negative = s[0] == '-';
    if (s[0] == '-' || s[0] == '+') ++i;
    if (i == s.size() || s.size() - i > 18) return false;
    int64_t acc = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        acc = acc * 10 + (s[i] - '0');
    }
    v = negative ? -acc : acc;
    if (typeBounds) {
        const TIntLimits l = IntLimits(FDataType);
        if (v < l.Lo || v > l.Hi) return false;
    }
    return true;
}

bool TEntPictureFieldModel::ParseFloat(const std::string& text, long double& v, bool typeBounds) const {
    const std::string s = TrimSpaces(text);
    if (s.empty()) {
        v = 0;
        return true;
    }
    if (!TryFloat(s, v)) return false;
    const long double limit = FloatLimit(FDataType);
    return !(typeBounds && limit > 0 && std::fabs(v) > limit);
}

bool TEntPictureFieldModel::ParseValueText(const std::string& text, TEntFieldValue& v, TEntParsePurpose purpose) const {
    CheckDataType();
    switch (FDataType) {
    case pftString: v.Str = text.substr(0, MaxPictureLength); return true;
    case pftBoolean:
    case pftYesNo: {
        const char c = text.empty() ? ' ' : UpCase(text[0]);
        v.Bool = c == FIntl.TrueChar || c == FIntl.YesChar;
        return true;
    }
    case pftChar:
        if (text.empty()) {
            v.Ch = ' ';
        } else if (text[0] == '#') {
            int code = 0;
            const std::string digits = text.substr(1, 3);
            v.Ch = (TryStrToInt(digits, code) && code >= 0 && code <= 255) ? static_cast<char>(code) : ' ';
        } else {
            v.Ch = text[0];
        }
        return true;
    case pftLongInt:
    case pftWord:
    case pftInteger:
    case pftByte:
    case pftShortInt: return ParseInteger(text, v.Int, true);
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle:
    case pftComp:
    case pftDateTime: return ParseFloat(text, v.Float, true);
    case pftDate: {
        const std::string mask = DateMask(purpose);
        v.Int = text.size() == mask.size() ? FIntl.DateStringToDate(mask, text, EffectiveEpoch()) : BadDate;
        return true;
    }
    case pftTime: {
        const std::string mask = TimeMask(purpose);
        v.Int = text.size() == mask.size() ? FIntl.TimeStringToTime(mask, text) : BadTime;
        return true;
    }
    }
    return false;
}

int TEntPictureFieldModel::FloatDecimals() const {
    const int dot = FMask.DecimalPos();
    if (dot < 0) return FDecimalPlaces;
    int n = 0;
    for (int i = dot + 1; i < FMaxLength; ++i)
        if (FMask.PositionClass(i) == pcPicture) ++n;
    return n;
}

int TEntPictureFieldModel::FloatWidth() const {
    int i = 0;
    while (i < FMaxLength && FMask.PositionClass(i) != pcPicture) ++i;
    int width = 0;
    for (; i < FMaxLength; ++i) {
        if (FMask.PositionClass(i) == pcPicture)
            ++width;
        else if (FMask.MaskCharAt(i) != ',')
            break;
    }
    const int decimals = FloatDecimals();
    if (FMask.DecimalPos() >= 0 && decimals > 0) width += decimals + 1;
    return width;
}

std::string TEntPictureFieldModel::FormatFloatText(long double v) const {
    std::string s = FixedText(v, FloatDecimals());
    if (FDecimalPlaces != 0 && s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    return s;
}

std::string TEntPictureFieldModel::FormatIntegerText(int64_t v) const {
    std::string s;
    const int radix = FMask.RadixField ? RadixOf(FMask.Mask) : 10;
    if (radix == 10) {
        s = std::to_string(v);
    } else {
        const int bytes = std::min(IntCellBytes(FDataType), 4);
        uint64_t bits = static_cast<uint64_t>(v);
        if (bytes < 8) bits &= (uint64_t(1) << (8 * bytes)) - 1;
        char buf[72];
        auto r = std::to_chars(buf, buf + sizeof buf, bits, radix);
        s.assign(buf, r.ptr);
        for (char& c : s) c = UpCase(c);
    }
    int pictures = 0;
    for (int i = 0; i < FMaxLength; ++i)
        if (FMask.PositionClass(i) == pcPicture) ++pictures;
    if (static_cast<int>(s.size()) < pictures) s.insert(0, pictures - s.size(), ' ');
    return s;
}

std::string TEntPictureFieldModel::StrippedValueText() const {
    // Digits typed anywhere left of the point (one digit after the whole
    // text was selected lands at the first position) count as the aligned
    // number they become when the field is left; a blank number reads 0.
    if (IsEmpty() && !FText.empty()) return {};
    std::string s = FMask.StripPicture(FMask.DecimalPos() >= 0 ? FMask.AlignDecimal(FText) : FText);
    if (FMask.DecimalPos() >= 0 || IsFloatType(FDataType)) std::replace(s.begin(), s.end(), FIntl.DecimalChar, '.');
    return TrimSpaces(s);
}

std::string TEntPictureFieldModel::OverflowMarker() const {
    const int dot = FMask.DecimalPos();
    std::string merged = FMask.MergePicture("");
    if (static_cast<int>(merged.size()) == FMaxLength) {
        for (int i = 0; i < FMaxLength; ++i)
            if (FMask.PositionClass(i) != pcLiteral) merged[i] = '*';
        return merged;
    }
    // A NUL thousands separator takes the "," positions out of the text.
    std::string s;
    for (int i = 0; i < FMaxLength; ++i) {
        const TEntPositionClass cls = FMask.PositionClass(i);
        if (cls == pcSemiLiteral && FMask.MaskCharAt(i) == ',' && FIntl.CommaChar == 0) continue;
        if (cls != pcLiteral)
            s += '*';
        else
            s += i == dot ? FIntl.DecimalChar : FMask.MaskCharAt(i);
    }
    return s;
}

void TEntPictureFieldModel::PutNumberText(const std::string& valueText, long double value, bool isInteger) {
    std::string merged = FMask.MergePicture(valueText);
    std::string back = FMask.StripPicture(merged);
    if (FMask.DecimalPos() >= 0 || !isInteger) std::replace(back.begin(), back.end(), FIntl.DecimalChar, '.');
    // The mask drops the digits and the sign it has no room for; such a
    // value shows the marker and stays readable as it was given.
    if (IntegerSignature(back) != IntegerSignature(valueText)) {
        FText = OverflowMarker();
        FOverflow = true;
        FOverflowValue = value;
    } else {
        FText = merged;
        FOverflow = false;
    }
}

// ---- transfer and validation ----

void TEntPictureFieldModel::Transfer(TEntFieldValue& v, TEntTransferOp op) {
    CheckDataType();
    if (op == toGet) {
        switch (FDataType) {
        case pftString: {
            if (FOptions.Contains(efoTrimBlanks) && IsEmpty()) {
                v.Str.clear();
                break;
            }
            std::string s;
            if (FOptions.Contains(efoStripLiterals)) {
                for (int i = 0; i < static_cast<int>(FText.size()); ++i)
                    if (FMask.PositionClass(i) != pcLiteral) s += FText[i];
            } else {
                s = FText;
            }
            v.Str = FOptions.Contains(efoTrimBlanks) ? TrimSpaces(s) : s;
            break;
        }
        case pftChar: {
            const std::string s = FMask.StripPicture(FText);
            v.Ch = s.empty() ? ' ' : s[0];
            break;
        }
        case pftBoolean:
        case pftYesNo: {
            const std::string s = FMask.StripPicture(FText);
            const char c = s.empty() ? ' ' : UpCase(s[0]);
            v.Bool = c == (FDataType == pftBoolean ? FIntl.TrueChar : FIntl.YesChar);
            break;
        }
        case pftLongInt:
        case pftWord:
        case pftInteger:
        case pftByte:
        case pftShortInt:
            if (FOverflow)
                v.Int = static_cast<int64_t>(FOverflowValue);
            else if (!ParseInteger(StrippedValueText(), v.Int, true))
                v.Int = 0;
            break;
        case pftReal:
        case pftExtended:
        case pftDouble:
        case pftSingle:
        case pftComp:
        case pftDateTime:
            if (FOverflow)
                v.Float = FOverflowValue;
            else if (!ParseFloat(StrippedValueText(), v.Float, false))
                v.Float = 0;
            break;
        case pftDate: v.Int = FIntl.DateStringToDate(FMask.Mask, FText, EffectiveEpoch()); break;
        case pftTime: v.Int = FIntl.TimeStringToTime(FMask.Mask, FText); break;
        }
        return;
    }

    switch (FDataType) {
    case pftString: {
        const std::string s = v.Str.substr(0, FMaxLength);
        FText = static_cast<int>(s.size()) == FMaxLength ? s : FMask.MergePicture(s);
        FOverflow = false;
        break;
    }
    case pftChar:
        FText = FMask.MergePicture(std::string(1, v.Ch));
        FOverflow = false;
        break;
    case pftBoolean:
        FText = FMask.MergePicture(std::string(1, v.Bool ? FIntl.TrueChar : FIntl.FalseChar));
        FOverflow = false;
        break;
    case pftYesNo:
        // yes/no letters: the "Y" mask takes no true/false letter
        FText = FMask.MergePicture(std::string(1, v.Bool ? FIntl.YesChar : FIntl.NoChar));
        FOverflow = false;
        break;
    case pftLongInt:
    case pftWord:
    case pftInteger:
    case pftByte:
    case pftShortInt: PutNumberText(FormatIntegerText(v.Int), static_cast<long double>(v.Int), true); break;
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle:
    case pftComp:
    case pftDateTime: PutNumberText(FormatFloatText(v.Float), v.Float, false); break;
    case pftDate:
        FText = FIntl.DateToDateString(FMask.Mask, static_cast<TStDate>(v.Int), false);
        FOverflow = false;
        break;
    case pftTime:
        FText = FIntl.TimeToTimeString(FMask.Mask, static_cast<TStTime>(v.Int), false);
        FOverflow = false;
        break;
    }
    if (!Editing) ErrorFlag = false;
    if (!Validating && OnPut) OnPut();
}

uint16_t TEntPictureFieldModel::GetValue(TEntFieldValue& value) {
    FGettingValue = true;
    uint16_t code;
    try {
        code = Validate();
        if (code == 0) Transfer(value, toGet);
    } catch (...) {
        FGettingValue = false;
        throw;
    }
    FGettingValue = false;
    return code;
}

void TEntPictureFieldModel::SetValue(const TEntFieldValue& value) {
    if (FUserValidating) return;
    FCodePut = false;
    CheckDataType();
    TEntFieldValue v = value;
    Transfer(v, toPut);
}

uint16_t TEntPictureFieldModel::Validate() {
    CheckDataType();
    uint16_t code = 0;
    bool putBack = false;
    switch (FDataType) {
    case pftString:
        if (FOptions.Contains(efoTrimBlanks) && Editing && !FGettingValue) {
            const std::string t = TrimSpaces(FText);
            const std::string merged = static_cast<int>(t.size()) == FMaxLength ? t : FMask.MergePicture(t);
            if (merged != FText) FText = merged;
        }
        break;
    case pftChar:
        if (FRangeLo != FRangeHi) {
            const std::string s = FMask.StripPicture(FText);
            const unsigned char c = s.empty() ? ' ' : static_cast<unsigned char>(s[0]);
            const unsigned char lo = static_cast<unsigned char>(RangeLoValue().Ch);
            const unsigned char hi = static_cast<unsigned char>(RangeHiValue().Ch);
            if (c < lo || c > hi) code = efeRangeError;
        }
        break;
    case pftBoolean:
    case pftYesNo: {
        const std::string s = FMask.StripPicture(FText);
        const char c = s.empty() ? ' ' : UpCase(s[0]);
        const bool ok = FDataType == pftBoolean ? (c == FIntl.TrueChar || c == FIntl.FalseChar)
                                                : (c == FIntl.YesChar || c == FIntl.NoChar);
        if (!ok) code = efeRangeError;
        break;
    }
    case pftLongInt:
    case pftWord:
    case pftInteger:
    case pftByte:
    case pftShortInt: {
        int64_t v = 0;
        if (FOverflow) v = static_cast<int64_t>(FOverflowValue);
        // a number beyond the type is a range error, not a bad text
        else if (!ParseInteger(StrippedValueText(), v, false))
            code = efeInvalidEntry;
        if (code == 0 && !InRange(static_cast<long double>(v))) code = efeRangeError;
        putBack = code == 0;
        break;
    }
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle:
    case pftComp:
    case pftDateTime: {
        long double v = 0;
        if (FOverflow)
            v = FOverflowValue;
        else if (!ParseFloat(StrippedValueText(), v, false))
            code = efeInvalidEntry;
        if (code == 0 && !InRange(v)) code = efeRangeError;
        putBack = code == 0;
        break;
    }
    case pftDate:
        if (!FIntl.DateStringIsBlank(FMask.Mask, FText)) {
            const TStDate d = FIntl.DateStringToDate(FMask.Mask, FText, EffectiveEpoch());
            if (d == BadDate)
                code = efeInvalidDate;
            else if (RangeHiValue().Int != 0 && (d < RangeLoValue().Int || d > RangeHiValue().Int))
                code = efeRangeError;
            putBack = code == 0;
        }
        break;
    case pftTime: {
        bool blank = true;
        for (int i = 0; i < static_cast<int>(FText.size()) && i < static_cast<int>(FMask.Mask.size()); ++i)
            if (IsTimeMaskChar(FMask.Mask[i]) && FText[i] != ' ') blank = false;
        if (!blank) {
            const TStTime t = FIntl.TimeStringToTime(FMask.Mask, FText);
            if (t == BadTime)
                code = efeInvalidTime;
            else if (RangeHiValue().Int != 0 && (t < RangeLoValue().Int || t > RangeHiValue().Int))
                code = efeRangeError;
            putBack = code == 0;
        }
        break;
    }
    }
    // While editing, a good value takes its canonical form (separators,
    // currency symbol, decimals).
    if (putBack && Editing && !FGettingValue && !FOverflow) {
        TEntFieldValue v;
        Transfer(v, toGet);
        Transfer(v, toPut);
    }
    if (!FUserValidating && OnUserValidation) {
        FUserValidating = true;
        try {
            OnUserValidation(code);
        } catch (...) {
            FUserValidating = false;
            throw;
        }
        FUserValidating = false;
    }
    return code;
}

void TEntPictureFieldModel::SetAsString(const std::string& text) {
    if (FUserValidating) return;
    TEntFieldValue v;
    if (!ParseValueText(text, v, ppValue)) throw EEntryFieldError(LookupMessageText(SEntInvalidEntry));
    if (FDataType == pftComp) v.Float = RoundHalfEven(v.Float);
    SetValue(v);
}

// ---- the accessors ----

double TEntPictureFieldModel::GetAsFloat() {
    if (FDataType < pftLongInt || FDataType > pftComp) throw EInvalidDataType();
    TEntFieldValue v;
    LastError = GetValue(v);
    if (LastError == efeRangeError && FCodePut && FOverflow) {
        LastError = 0;
        return static_cast<double>(FCodeValue);
    }
    if (LastError != 0) return 0;
    if (IsIntegerType(FDataType)) return static_cast<double>(v.Int);
    switch (FDataType) {
    case pftSingle: return static_cast<float>(fp::Check(static_cast<double>(v.Float)));
    case pftComp: return static_cast<double>(RoundHalfEven(v.Float));
    default: return fp::Check(static_cast<double>(v.Float));
    }
}

int32_t TEntPictureFieldModel::GetAsInteger() {
    if (!IsIntegerType(FDataType)) throw EInvalidDataType();
    TEntFieldValue v;
    LastError = GetValue(v);
    if (LastError == efeRangeError && FCodePut && FOverflow) {
        LastError = 0;
        return static_cast<int32_t>(FCodeValue);
    }
    return LastError != 0 ? 0 : static_cast<int32_t>(v.Int);
}

std::string TEntPictureFieldModel::GetAsString() {
    CheckDataType();
    if (FDataType == pftString) {
        TEntFieldValue v;
        LastError = GetValue(v);
        return LastError != 0 ? std::string() : v.Str;
    }
    LastError = 0;
    return FOptions.Contains(efoTrimBlanks) ? TrimSpaces(FText) : FText;
}

void TEntPictureFieldModel::SetAsFloat(double value) {
    if (FDataType < pftReal || FDataType > pftComp) throw EInvalidDataType();
    fp::Check(value);
    TEntFieldValue v;
    v.Float = value;
    // A value beyond the narrower type stays whole: the range check reports it.
    if (FDataType == pftSingle && std::fabs(value) <= FLT_MAX) v.Float = static_cast<float>(value);
    if (FDataType == pftComp) v.Float = std::trunc(static_cast<long double>(value));
    SetValue(v);
    FCodePut = true;
    FCodeValue = value;
}

void TEntPictureFieldModel::SetAsInteger(int32_t value) {
    if (!IsIntegerType(FDataType)) throw EInvalidDataType();
    // The whole value is kept: a 16- or 8-bit field never shows the low bits
    // of a wider number; the range check reports it instead.
    SetValue(TEntFieldValue::OfInt(value));
    FCodePut = true;
    FCodeValue = value;
}

// ---- editing support ----

void TEntPictureFieldModel::RestoreTextState(const TTextState& state) {
    FText = state.Text;
    FOverflow = state.Overflow;
    FOverflowValue = state.OverflowValue;
}

bool TEntPictureFieldModel::StepValue(int delta, char maskCharAtCaret) {
    TEntFieldValue v;
    switch (FDataType) {
    case pftBoolean:
    case pftYesNo:
        Transfer(v, toGet);
        v.Bool = !v.Bool;
        break;
    case pftChar: {
        Transfer(v, toGet);
        int lo = 0, hi = 255;
        if (FRangeLo != FRangeHi) {
            lo = static_cast<unsigned char>(RangeLoValue().Ch);
            hi = static_cast<unsigned char>(RangeHiValue().Ch);
        }
        int code = static_cast<unsigned char>(v.Ch);
        if (delta > 0)
            code = code >= hi ? lo : code + 1;
        else
            code = code <= lo ? hi : code - 1;
        v.Ch = static_cast<char>(std::clamp(code, lo, hi));
        break;
    }
    case pftLongInt:
    case pftWord:
    case pftInteger:
    case pftByte:
    case pftShortInt: {
        int64_t n = 0;
        if (FOverflow)
            n = static_cast<int64_t>(FOverflowValue);
        else if (!ParseInteger(StrippedValueText(), n, false))
            return false;
        const int64_t lo = RangeLoValue().Int, hi = RangeHiValue().Int;
        if (delta > 0 && n >= hi)
            n = lo;
        else if (delta < 0 && n <= lo)
            n = hi;
        else
            n += delta;
        v.Int = std::clamp(n, lo, hi);
        break;
    }
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle:
    case pftComp:
    case pftDateTime: {
        long double x = 0;
        if (FOverflow)
            x = FOverflowValue;
        else if (!ParseFloat(StrippedValueText(), x, false))
            return false;
        long double lo = RangeLoValue().Float, hi = RangeHiValue().Float;
        if (FDataType == pftDateTime) {
            lo = -1.7e308L;
            hi = 1.7e308L;
        }
        if (delta > 0 && x >= hi)
            x = lo;
        else if (delta < 0 && x <= lo)
            x = hi;
        else
            x += delta;
        v.Float = std::clamp(x, lo, hi);
        break;
    }
    case pftDate: {
        Transfer(v, toGet);
        if (v.Int == BadDate) return false;
        int64_t lo = MinDate, hi = MaxDate;
        if (RangeHiValue().Int != 0) {
            lo = RangeLoValue().Int;
            hi = RangeHiValue().Int;
        }
        if (delta > 0 && v.Int >= hi)
            v.Int = lo;
        else if (delta < 0 && v.Int <= lo)
            v.Int = hi;
        else
            v.Int += delta;
        v.Int = std::clamp(v.Int, lo, hi);
        break;
    }
    case pftTime: {
        Transfer(v, toGet);
        if (v.Int == BadTime) return false;
        int unit;
        switch (maskCharAtCaret) {
        case 'h':
        case 'H': unit = 3600; break;
        case 'm':
        case 'M': unit = 60; break;
        case 't':
        case 'T': unit = 12 * 3600; break;
        default: unit = 1; break;
        }
        int64_t t = v.Int + int64_t(delta) * unit;
        if (RangeHiValue().Int != 0) {
            const int64_t lo = RangeLoValue().Int, hi = RangeHiValue().Int;
            if (delta > 0 && v.Int >= hi)
                t = lo;
            else if (delta < 0 && v.Int <= lo)
                t = hi;
            t = std::clamp(t, lo, hi);
        } else {
            t = ((t % SecondsInDay) + SecondsInDay) % SecondsInDay;
        }
        v.Int = t;
        break;
    }
    default: return false;
    }
    SetValue(v);
    return true;
}

// ---- validation support and window life ----

bool TEntPictureFieldModel::IsEmpty() const {
    for (int i = 0; i < static_cast<int>(FText.size()); ++i)
        if (FMask.PositionClass(i) != pcLiteral && FText[i] != ' ') return false;
    return true;
}

uint16_t TEntPictureFieldModel::CheckContents(bool modified) {
    if (FOptions.Contains(efoInputRequired) && !FOptions.Contains(efoReadOnly) &&
        (IsEmpty() || (FUninitialized && !modified)))
        return efeRequired;
    return Validate();
}

void TEntPictureFieldModel::InitBlankValue() {
    TEntFieldValue v;
    switch (FDataType) {
    case pftChar: {
        const unsigned char lo = static_cast<unsigned char>(RangeLoValue().Ch);
        const unsigned char hi = static_cast<unsigned char>(RangeHiValue().Ch);
        v.Ch = (FRangeLo != FRangeHi && (' ' < lo || ' ' > hi)) ? static_cast<char>(lo) : ' ';
        break;
    }
    case pftLongInt:
    case pftWord:
    case pftInteger:
    case pftByte:
    case pftShortInt: v.Int = InRange(0) ? 0 : RangeLoValue().Int; break;
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle:
    case pftComp:
    case pftDateTime: v.Float = InRange(0) ? 0 : RangeLoValue().Float; break;
    case pftDate: v.Int = BadDate; break;
    case pftTime: v.Int = BadTime; break;
    default: break;
    }
    SetValue(v);
    if (FInitDateTime) ApplyInitDateTime();
}

void TEntPictureFieldModel::SetInitDateTime(bool value) {
    FInitDateTime = value;
    if (Loading) return;
    if (value) {
        ApplyInitDateTime();
    } else if (FDataType == pftDate || FDataType == pftTime) {
        SetValue(TEntFieldValue::OfInt(FDataType == pftDate ? BadDate : BadTime));
    }
}

void TEntPictureFieldModel::ApplyInitDateTime() {
    if (FDataType == pftDate)
        SetValue(TEntFieldValue::OfInt(CurrentDate()));
    else if (FDataType == pftTime)
        SetValue(TEntFieldValue::OfInt(CurrentTime()));
}

void TEntPictureFieldModel::PrepareWindow() {
    TEntFieldValue v;
    Transfer(v, toGet);
    if (FMaxLength < static_cast<int>(FMask.Mask.size())) FMaxLength = static_cast<int>(FMask.Mask.size());
    ApplyMaskFlags();
    if (RangeIsEmpty()) SetDefaultRange();
    if (FOptions.Contains(efoInputRequired) && FDataType >= pftChar && FDataType <= pftComp) FUninitialized = true;
    Transfer(v, toPut);
}

// ---- display ----

std::string TEntPictureFieldModel::DisplayText(bool modified) const {
    if (DesignTime) return FText;
    const std::string blanks(FText.size(), ' ');
    if (!Editing) {
        const bool hideZero = ZeroDisplay == zdHide || (ZeroDisplay == zdHideUntilModified && !modified);
        if (hideZero && IsNumericType(FDataType) && !FOverflow) {
            long double v;
            const std::string s = StrippedValueText();
            if (!s.empty() && TryFloat(s, v) && v == static_cast<long double>(ZeroDisplayValue)) return blanks;
        }
        if (FUninitialized) return blanks;
    }
    std::string s = FText;
    const bool password = FOptions.Contains(efoPasswordMode);
    for (int end = static_cast<int>(s.size()) - 1; end >= 0;) {
        if (FMask.PositionClass(end) != pcPicture) {
            --end;
            continue;
        }
        int i = end;
        bool trailing = true;
        for (; i >= 0 && FMask.PositionClass(i) == pcPicture; --i) {
            if (trailing && s[i] == ' ') {
                s[i] = PadChar;
                continue;
            }
            trailing = false;
            if (password && s[i] != ' ') s[i] = PasswordChar;
        }
        end = i;
    }
    return s;
}
