#pragma once
// Variant values with the class library's rules: unassigned (empty) and null
// are distinct kinds; arithmetic on mixed kinds converts as the library does
// (text is read as a number, integer overflow widens to Int64 and then to
// Double, "/" is always real); null propagates through arithmetic.

#include <cstdint>
#include <string>
#include <string_view>

#include "Exceptions.h"
#include "Types.h"

using TVarType = uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varUString = 0x0102;
constexpr TVarType varTypeMask = 0x0FFF;

class EVariantTypeCastError : public EVariantError {
public:
    using EVariantError::EVariantError;
};
class EVariantOverflowError : public EVariantError {
public:
    using EVariantError::EVariantError;
};
class EVariantInvalidOpError : public EVariantError {
public:
    using EVariantError::EVariantError;
};

// How null takes part in comparisons (the library's defaults are loose).
enum TNullCompareRule { ncrError, ncrStrict, ncrLoose };
extern TNullCompareRule NullEqualityRule;   // loose: null equals only null
extern TNullCompareRule NullMagnitudeRule;  // loose: null orders below every other value

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
    Variant() = default;  // unassigned
    Variant(int v) : type_(varInteger), i_(v) {}
    Variant(unsigned v) : type_(v > 0x7FFFFFFFu ? varInt64 : varInteger), i_(v) {}
    Variant(long v) { SetInt64(v); }
    Variant(long long v) { SetInt64(v); }
    Variant(unsigned long v) { SetInt64(static_cast<int64_t>(v)); }
    Variant(double v) : type_(varDouble), d_(v) {}
    Variant(float v) : type_(varDouble), d_(v) {}
    Variant(long double v) : type_(varDouble), d_(static_cast<double>(v)) {}
    Variant(bool v) : type_(varBoolean), i_(v ? 1 : 0) {}
    Variant(const char* v) : type_(varString), s_(v ? v : "") {}
    Variant(std::string v) : type_(varString), s_(std::move(v)) {}
    Variant(std::string_view v) : type_(varString), s_(v) {}

    static Variant MakeNull() {
        Variant v;
        v.type_ = varNull;
        return v;
    }
    static Variant MakeDate(TDateTime d) {
        Variant v;
        v.type_ = varDate;
        v.d_ = d;
        return v;
    }
    // An Int64 even when the value would fit an Integer.
    static Variant MakeInt64(int64_t i) {
        Variant v;
        v.type_ = varInt64;
        v.i_ = i;
        return v;
    }

    TVarType VarType() const { return type_; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsNull() const { return type_ == varNull; }
    bool IsString() const { return type_ == varString; }
    bool IsOrdinal() const { return type_ == varInteger || type_ == varInt64 || type_ == varBoolean; }
    bool IsFloat() const { return type_ == varDouble || type_ == varDate; }
    bool IsNumeric() const {
        return type_ == varInteger || type_ == varInt64 || type_ == varDouble || type_ == varBoolean;
    }

    // Conversions with the library's casts; null raises EVariantTypeCastError
    // ("Could not convert variant of type (Null) into type (Double)"), so do
    // text that is not a number. Empty gives 0, "" or False.
    int32_t AsInteger() const;  // real values round half to even
    int64_t AsInt64() const;
    double AsDouble() const;
    bool AsBoolean() const;        // text "True"/"False" or a number
    std::string AsString() const;  // Boolean gives "True"/"False"
    TDateTime AsDateTime() const;

    // Arithmetic. Null in either operand gives null.
    Variant operator-() const;
    Variant operator+(const Variant& r) const;
    Variant operator-(const Variant& r) const;
    Variant operator*(const Variant& r) const;
    Variant operator/(const Variant& r) const;  // always real; x/0 raises EZeroDivide
    Variant Div(const Variant& r) const;        // integer quotient; by 0 raises EDivByZero
    Variant Mod(const Variant& r) const;
    Variant And(const Variant& r) const;  // logical on Booleans, else bitwise
    Variant Or(const Variant& r) const;
    Variant Xor(const Variant& r) const;
    Variant Not() const;
    Variant& operator+=(const Variant& r) { return *this = *this + r; }
    Variant& operator-=(const Variant& r) { return *this = *this - r; }

    // Comparison under NullEqualityRule / NullMagnitudeRule.
    bool operator==(const Variant& r) const;
    bool operator!=(const Variant& r) const;
    bool operator<(const Variant& r) const;
    bool operator<=(const Variant& r) const;
    bool operator>(const Variant& r) const;
    bool operator>=(const Variant& r) const;

    // Raw access for code that has already checked the type.
    int64_t RawInt() const { return i_; }
    double RawDouble() const { return d_; }
    const std::string& RawString() const { return s_; }

private:
    void SetInt64(int64_t v) {
        i_ = v;
        type_ = (v >= INT32_MIN && v <= INT32_MAX) ? varInteger : varInt64;
    }
    TVarType type_ = varEmpty;
    int64_t i_ = 0;  // Integer, Int64, Boolean (0 / 1)
    double d_ = 0;   // Double, Date
    std::string s_;
};

inline Variant Null() { return Variant::MakeNull(); }
inline Variant Unassigned() { return Variant(); }
inline Variant VarFromDateTime(TDateTime d) { return Variant::MakeDate(d); }

inline TVarType VarType(const Variant& v) { return v.VarType(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsStr(const Variant& v) { return v.IsString(); }
inline bool VarIsNumeric(const Variant& v) { return v.IsNumeric(); }
inline bool VarIsOrdinal(const Variant& v) { return v.IsOrdinal(); }
inline bool VarIsFloat(const Variant& v) { return v.IsFloat(); }
inline bool VarIsClear(const Variant& v) { return v.IsEmpty(); }

// Text of a value; empty and null give "" (no error).
std::string VarToStr(const Variant& v);
std::string VarToStrDef(const Variant& v, const std::string& def);
TDateTime VarToDateTime(const Variant& v);
// Text to a time ("h:nn[:ss[.zzz]]" with the locale's separator, optional AM/PM)
// and to a date, a time, or a date and a time separated by a blank.
bool VarTryStrToTime(const std::string& text, TDateTime& value);
bool VarTryStrToDateTime(const std::string& text, TDateTime& value);
// Converts to the given kind (varInteger, varInt64, varDouble, varBoolean,
// varString, varDate, varEmpty, varNull); smaller integer kinds go to varInteger.
Variant VarAsType(const Variant& v, TVarType type);
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);
// "Empty", "Null", "Integer", "Double", "Boolean", "String", "Date", ...
std::string VarTypeAsText(TVarType type);
