#include "Variants.h"

#include <cmath>
#include <limits>

#include "SysUtils.h"

TNullCompareRule NullEqualityRule = ncrLoose;
TNullCompareRule NullMagnitudeRule = ncrLoose;

namespace {

[[noreturn]] void CastError(TVarType from, TVarType to) {
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(from) + ") into type (" +
                                VarTypeAsText(to) + ")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
    throw EVariantOverflowError("Overflow while converting variant of type (" + VarTypeAsText(from) + ") into type (" +
                                VarTypeAsText(to) + ")");
}

// "True"/"False" in any case; other texts are not Boolean words.
bool TryBoolText(const std::string& s, bool& out) {
    std::string t = Trim(s);
    if (SameText(t, "True")) {
        out = true;
        return true;
    }
    if (SameText(t, "False")) {
        out = false;
        return true;
    }
    return false;
}

bool TryIntText(const std::string& s, int64_t& out) {
    std::string t = Trim(s);
    if (t.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (t[0] == '-' || t[0] == '+') {
        neg = t[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size()) return false;
    uint64_t v = 0;
    for (; i < t.size(); ++i) {
        char c = t[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        if (v > (std::numeric_limits<uint64_t>::max() - digit) / base) return false;
        v = v * base + digit;
    }
    if (neg) {
        if (v > uint64_t(INT64_MAX) + 1) return false;
        out = v == uint64_t(INT64_MAX) + 1 ? INT64_MIN : -static_cast<int64_t>(v);
    } else {
        if (v > uint64_t(INT64_MAX)) return false;
        out = static_cast<int64_t>(v);
    }
    return true;
}

// Text read as a number: a float in the locale's format, else a Boolean word (True = -1).
double StrToDoubleVar(const std::string& s, TVarType target) {
    long double x = 0;
    if (TryStrToFloat(Trim(s), x) && std::isfinite(x)) return static_cast<double>(x);
    int64_t i = 0;
    if (TryIntText(s, i)) return static_cast<double>(i);
    bool b = false;
    if (TryBoolText(s, b)) return b ? -1.0 : 0.0;
    CastError(varString, target);
}

int64_t RoundToInt64(double d, TVarType from, TVarType to) {
    double r = std::nearbyint(d);  // default rounding: half to even
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) OverflowError(from, to);
    return static_cast<int64_t>(r);
}

enum class NumKind { Int32, Int64, Real, Date };

// The numeric form an operand takes in arithmetic.
struct Num {
    NumKind kind = NumKind::Int32;
    int64_t i = 0;
    double d = 0;
    double Real() const { return kind == NumKind::Int32 || kind == NumKind::Int64 ? static_cast<double>(i) : d; }
};

Num ToNum(const Variant& v) {
    Num n;
    switch (v.VarType()) {
    case varEmpty: break;
    case varBoolean: n.i = v.RawInt() ? -1 : 0; break;
    case varInteger: n.i = v.RawInt(); break;
    case varInt64:
        n.kind = NumKind::Int64;
        n.i = v.RawInt();
        break;
    case varDouble:
        n.kind = NumKind::Real;
        n.d = v.RawDouble();
        break;
    case varDate:
        n.kind = NumKind::Date;
        n.d = v.RawDouble();
        break;
    case varString:
        n.kind = NumKind::Real;
        n.d = StrToDoubleVar(v.RawString(), varDouble);
        break;
    default: CastError(v.VarType(), varDouble);
    }
    return n;
}

Variant IntResult(int64_t v, bool wide) { return wide ? Variant::MakeInt64(v) : Variant(static_cast<long long>(v)); }

enum class Op { Add, Sub, Mul };

Variant Arith(const Variant& a, const Variant& b, Op op) {
    if (a.IsNull() || b.IsNull()) return Null();
    if (a.IsEmpty() && b.IsEmpty()) return Variant(0);
    Num x = ToNum(a), y = ToNum(b);
    bool date = x.kind == NumKind::Date || y.kind == NumKind::Date;
    if (date || x.kind == NumKind::Real || y.kind == NumKind::Real) {
        double l = x.Real(), r = y.Real();
        double res = op == Op::Add ? l + r : op == Op::Sub ? l - r : l * r;
        res = fp::Check(res);
        // date +/- number stays a date; the difference of two dates is a number of days
        if (date && op != Op::Mul && !(op == Op::Sub && x.kind == NumKind::Date && y.kind == NumKind::Date))
            return VarFromDateTime(res);
        return Variant(res);
    }
    int64_t res = 0;
    bool overflow = op == Op::Add   ? __builtin_add_overflow(x.i, y.i, &res)
                    : op == Op::Sub ? __builtin_sub_overflow(x.i, y.i, &res)
                                    : __builtin_mul_overflow(x.i, y.i, &res);
    if (overflow) {
        double l = static_cast<double>(x.i), r = static_cast<double>(y.i);
        return Variant(fp::Check(op == Op::Add ? l + r : op == Op::Sub ? l - r : l * r));
    }
    bool wide = x.kind == NumKind::Int64 || y.kind == NumKind::Int64 || res < INT32_MIN || res > INT32_MAX;
    return IntResult(res, wide);
}

enum class Rel { Equal, Less, Greater, Unordered };

Rel Order(int c) { return c < 0 ? Rel::Less : c > 0 ? Rel::Greater : Rel::Equal; }

template <typename T>
Rel Order(T a, T b) {
    return a < b ? Rel::Less : b < a ? Rel::Greater : Rel::Equal;
}

bool ToBoolForCompare(const Variant& v) {
    if (v.VarType() == varString) {
        bool b = false;
        if (TryBoolText(v.RawString(), b)) return b;
    }
    return v.AsBoolean();
}

// Relation of two non-null values.
Rel CompareValues(const Variant& a, const Variant& b) {
    TVarType ta = a.VarType(), tb = b.VarType();
    if (ta == varString && tb == varString) return Order(CompareStr(a.RawString(), b.RawString()));
    if ((ta == varString && tb == varEmpty) || (ta == varEmpty && tb == varString))
        return Order(
            CompareStr(a.IsEmpty() ? std::string() : a.RawString(), b.IsEmpty() ? std::string() : b.RawString()));
    if ((ta == varBoolean && (tb == varBoolean || tb == varString)) || (tb == varBoolean && ta == varString))
        return Order(int(ToBoolForCompare(a)), int(ToBoolForCompare(b)));
    if (ta == varDate && tb == varString) return Order(a.RawDouble(), VarToDateTime(b));
    if (tb == varDate && ta == varString) return Order(VarToDateTime(a), b.RawDouble());
    Num x = ToNum(a), y = ToNum(b);
    bool intx = x.kind == NumKind::Int32 || x.kind == NumKind::Int64;
    bool inty = y.kind == NumKind::Int32 || y.kind == NumKind::Int64;
    if (intx && inty) return Order(x.i, y.i);
    return Order(x.Real(), y.Real());
}

enum class CmpOp { Eq, Ne, Lt, Le, Gt, Ge };

bool Compare(const Variant& a, const Variant& b, CmpOp op) {
    Rel rel;
    if (a.IsNull() || b.IsNull()) {
        bool equality = op == CmpOp::Eq || op == CmpOp::Ne;
        TNullCompareRule rule = equality ? NullEqualityRule : NullMagnitudeRule;
        if (rule == ncrError) throw EVariantInvalidOpError("Invalid null operation");
        if (rule == ncrStrict) return false;
        if (a.IsNull() && b.IsNull())
            rel = Rel::Equal;
        else if (equality)
            rel = Rel::Unordered;
        else
            rel = a.IsNull() ? Rel::Less : Rel::Greater;
    } else {
        rel = CompareValues(a, b);
    }
    switch (op) {
    case CmpOp::Eq: return rel == Rel::Equal;
    case CmpOp::Ne: return rel != Rel::Equal;
    case CmpOp::Lt: return rel == Rel::Less;
    case CmpOp::Le: return rel == Rel::Less || rel == Rel::Equal;
    case CmpOp::Gt: return rel == Rel::Greater;
    case CmpOp::Ge: return rel == Rel::Greater || rel == Rel::Equal;
    }
    return false;
}

// Operand of div, mod and the bitwise operators.
int64_t ToIntOperand(const Variant& v, bool& wide) {
    if (v.VarType() == varInt64) wide = true;
    return v.AsInt64();
}

bool IsBoolLike(const Variant& v) {
    bool b;
    return v.VarType() == varBoolean || (v.VarType() == varString && TryBoolText(v.RawString(), b));
}

// An integer result is Int64 when an operand was, or when it leaves the 32-bit range.
Variant FittedIntResult(int64_t v, bool wide) { return IntResult(v, wide || v < INT32_MIN || v > INT32_MAX); }

// And, Or and Xor: logical on two Boolean-like operands, bitwise otherwise.
template <typename F>
Variant Bitwise(const Variant& a, const Variant& b, F op) {
    if (a.IsNull() || b.IsNull()) return Null();
    if (IsBoolLike(a) && IsBoolLike(b)) return Variant(static_cast<bool>(op(ToBoolForCompare(a), ToBoolForCompare(b))));
    bool wide = false;
    int64_t x = ToIntOperand(a, wide), y = ToIntOperand(b, wide);
    return FittedIntResult(op(x, y), wide);
}

}  // namespace

int32_t Variant::AsInteger() const {
    int64_t v = AsInt64();
    if (v < INT32_MIN || v > INT32_MAX) OverflowError(type_, varInteger);
    return static_cast<int32_t>(v);
}

int64_t Variant::AsInt64() const {
    switch (type_) {
    case varEmpty: return 0;
    case varInteger:
    case varInt64: return i_;
    case varBoolean: return i_ ? -1 : 0;
    case varDouble:
    case varDate: return RoundToInt64(d_, type_, varInt64);
    case varString: {
        int64_t v = 0;
        if (TryIntText(s_, v)) return v;
        return RoundToInt64(StrToDoubleVar(s_, varInt64), varString, varInt64);
    }
    default: CastError(type_, varInt64);
    }
}

double Variant::AsDouble() const {
    switch (type_) {
    case varEmpty: return 0;
    case varInteger:
    case varInt64: return static_cast<double>(i_);
    case varBoolean: return i_ ? -1.0 : 0.0;
    case varDouble:
    case varDate: return d_;
    case varString: return StrToDoubleVar(s_, varDouble);
    default: CastError(type_, varDouble);
    }
}

bool Variant::AsBoolean() const {
    switch (type_) {
    case varEmpty: return false;
    case varInteger:
    case varInt64:
    case varBoolean: return i_ != 0;
    case varDouble:
    case varDate: return d_ != 0;
    case varString: {
        bool b = false;
        if (TryBoolText(s_, b)) return b;
        long double x = 0;
        if (TryStrToFloat(Trim(s_), x)) return x != 0;
        CastError(varString, varBoolean);
    }
    default: CastError(type_, varBoolean);
    }
}

std::string Variant::AsString() const {
    switch (type_) {
    case varEmpty: return std::string();
    case varInteger:
    case varInt64: return std::to_string(i_);
    case varBoolean: return i_ ? "True" : "False";
    case varDouble: return FloatToStr(d_);
    case varDate: return DateTimeToStr(d_);
    case varString: return s_;
    default: CastError(type_, varString);
    }
}

TDateTime Variant::AsDateTime() const {
    if (type_ == varString) return VarToDateTime(*this);
    if (type_ == varNull) CastError(varNull, varDate);
    return AsDouble();
}

Variant Variant::operator-() const {
    switch (type_) {
    case varNull: return Null();
    case varEmpty: return Variant(0);
    case varBoolean: return Variant(i_ ? 1 : 0);
    case varInteger: return Variant(static_cast<long long>(-i_));
    case varInt64:
        if (i_ == INT64_MIN) return Variant(-static_cast<double>(i_));
        return IntResult(-i_, true);
    case varDouble: return Variant(-d_);
    case varDate: return VarFromDateTime(-d_);
    case varString: return Variant(-StrToDoubleVar(s_, varDouble));
    default: CastError(type_, varDouble);
    }
}

Variant Variant::operator+(const Variant& r) const {
    if (IsNull() || r.IsNull()) return Null();
    bool ls = type_ == varString || (type_ == varEmpty && r.type_ == varString);
    bool rs = r.type_ == varString || (r.type_ == varEmpty && type_ == varString);
    if (ls && rs)
        return Variant((type_ == varString ? s_ : std::string()) + (r.type_ == varString ? r.s_ : std::string()));
    return Arith(*this, r, Op::Add);
}

Variant Variant::operator-(const Variant& r) const { return Arith(*this, r, Op::Sub); }
Variant Variant::operator*(const Variant& r) const { return Arith(*this, r, Op::Mul); }

Variant Variant::operator/(const Variant& r) const {
    if (IsNull() || r.IsNull()) return Null();
    return Variant(fp::Div(ToNum(*this).Real(), ToNum(r).Real()));
}

Variant Variant::Div(const Variant& r) const {
    if (IsNull() || r.IsNull()) return Null();
    bool wide = false;
    int64_t a = ToIntOperand(*this, wide), b = ToIntOperand(r, wide);
    if (b == 0) throw EDivByZero();
    if (a == INT64_MIN && b == -1) return Variant(-static_cast<double>(a));
    return FittedIntResult(a / b, wide);
}

Variant Variant::Mod(const Variant& r) const {
    if (IsNull() || r.IsNull()) return Null();
    bool wide = false;
    int64_t a = ToIntOperand(*this, wide), b = ToIntOperand(r, wide);
    if (b == 0) throw EDivByZero();
    if (b == -1) return IntResult(0, wide);
    return IntResult(a % b, wide);
}

Variant Variant::And(const Variant& r) const {
    return Bitwise(*this, r, [](auto x, auto y) { return x & y; });
}
Variant Variant::Or(const Variant& r) const {
    return Bitwise(*this, r, [](auto x, auto y) { return x | y; });
}
Variant Variant::Xor(const Variant& r) const {
    return Bitwise(*this, r, [](auto x, auto y) { return x ^ y; });
}

Variant Variant::Not() const {
    if (IsNull()) return Null();
    if (IsBoolLike(*this)) return Variant(!ToBoolForCompare(*this));
    bool wide = false;
    int64_t a = ToIntOperand(*this, wide);
    return FittedIntResult(~a, wide);
}

bool Variant::operator==(const Variant& r) const { return Compare(*this, r, CmpOp::Eq); }
bool Variant::operator!=(const Variant& r) const { return Compare(*this, r, CmpOp::Ne); }
bool Variant::operator<(const Variant& r) const { return Compare(*this, r, CmpOp::Lt); }
bool Variant::operator<=(const Variant& r) const { return Compare(*this, r, CmpOp::Le); }
bool Variant::operator>(const Variant& r) const { return Compare(*this, r, CmpOp::Gt); }
bool Variant::operator>=(const Variant& r) const { return Compare(*this, r, CmpOp::Ge); }

std::string VarToStr(const Variant& v) {
    if (v.IsNull()) return std::string();
    return v.AsString();
}

std::string VarToStrDef(const Variant& v, const std::string& def) {
    if (v.IsNull() || v.IsEmpty()) return def;
    return v.AsString();
}

TDateTime VarToDateTime(const Variant& v) {
    if (v.VarType() != varString) return v.AsDateTime();
    std::string s = Trim(v.RawString());
    long double x = 0;
    if (TryStrToFloat(s, x) && std::isfinite(x)) return static_cast<double>(x);
    TDateTime dt = 0;
    if (VarTryStrToDateTime(s, dt)) return dt;
    CastError(varString, varDate);
}

bool VarTryStrToTime(const std::string& text, TDateTime& value) {
    std::string s = Trim(text);
    int ampm = 0;  // 1 am, 2 pm
    auto stripSuffix = [&](const std::string& suffix, int kind) {
        if (suffix.empty() || s.size() < suffix.size()) return;
        if (SameText(s.substr(s.size() - suffix.size()), suffix)) {
            s = Trim(s.substr(0, s.size() - suffix.size()));
            ampm = kind;
        }
    };
    for (const auto& [suffix, kind] : {std::pair<std::string, int>{FormatSettings.TimeAMString, 1},
                                       {FormatSettings.TimePMString, 2},
                                       {"AM", 1},
                                       {"PM", 2}}) {
        if (ampm) break;
        stripSuffix(suffix, kind);
    }
    int parts[4] = {0, 0, 0, 0};
    int count = 0;
    size_t i = 0;
    while (i < s.size() && count < 3) {
        if (s[i] < '0' || s[i] > '9') return false;
        int n = 0, digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 6) n = n * 10 + (s[i++] - '0'), ++digits;
        parts[count++] = n;
        if (i < s.size()) {
            if (s[i] == FormatSettings.TimeSeparator || s[i] == ':')
                ++i;
            else if (s[i] == FormatSettings.DecimalSeparator && count == 3)
                break;
            else
                return false;
            if (i >= s.size()) return false;
        }
    }
    if (i < s.size()) {  // milliseconds after the seconds
        ++i;
        int ms = 0, digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 3) ms = ms * 10 + (s[i++] - '0'), ++digits;
        if (i != s.size() || digits == 0) return false;
        while (digits++ < 3) ms *= 10;
        parts[3] = ms;
    }
    if (count == 0 || (count == 1 && !ampm)) return false;
    int hour = parts[0];
    if (ampm) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (ampm == 2 ? 12 : 0);
    }
    return TryEncodeTime(hour, parts[1], parts[2], parts[3], value);
}

bool VarTryStrToDateTime(const std::string& text, TDateTime& value) {
    std::string s = Trim(text);
    TDateTime date = 0, time = 0;
    if (TryStrToDate(s, date)) {
        value = date;
        return true;
    }
    if (VarTryStrToTime(s, time)) {
        value = time;
        return true;
    }
    size_t blank = s.find(' ');
    if (blank == std::string::npos) return false;
    if (!TryStrToDate(s.substr(0, blank), date) || !VarTryStrToTime(s.substr(blank + 1), time)) return false;
    value = ComposeDateTime(date, time);
    return true;
}

Variant VarAsType(const Variant& v, TVarType type) {
    type &= varTypeMask;
    if (type == varEmpty) return Variant();
    if (type == varNull) return Null();
    if (v.IsNull()) CastError(varNull, type);
    switch (type) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord: return Variant(v.AsInteger());
    case varInt64:
    case varLongWord: return Variant::MakeInt64(v.AsInt64());
    case varSingle:
    case varDouble:
    case varCurrency: return Variant(v.AsDouble());
    case varBoolean: return Variant(v.AsBoolean());
    case varDate: return VarFromDateTime(v.AsDateTime());
    case varString:
    case varUString:
    case varOleStr: return Variant(v.AsString());
    default: CastError(v.VarType(), type);
    }
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull() ? vrEqual : vrNotEqual;
    switch (CompareValues(a, b)) {
    case Rel::Equal: return vrEqual;
    case Rel::Less: return vrLessThan;
    case Rel::Greater: return vrGreaterThan;
    default: return vrNotEqual;
    }
}

bool VarSameValue(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull() || a.IsEmpty() || b.IsEmpty()) return a.VarType() == b.VarType();
    return VarCompareValue(a, b) == vrEqual;
}

std::string VarTypeAsText(TVarType type) {
    switch (type & varTypeMask) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varSingle: return "Single";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varOleStr: return "OleStr";
    case varBoolean: return "Boolean";
    case varVariant: return "Variant";
    case varShortInt: return "ShortInt";
    case varByte: return "Byte";
    case varWord: return "Word";
    case varLongWord: return "LongWord";
    case varInt64: return "Int64";
    case varString: return "String";
    case varUString: return "UnicodeString";
    default: return "Unknown";
    }
}
