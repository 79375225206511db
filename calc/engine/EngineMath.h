#pragma once
// Arithmetic shared by the finance units: powers the way the formulas define
// them, the step from extended precision to a stored value, and number texts
// for error messages.

#include "Exceptions.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <string>

namespace engine {

// x to the power y as exp(y ln x): a base not above 0 is an invalid operation
// even for whole exponents, exactly as the formulas are defined.
inline long double Power(long double x, long double y) { return fp::Exp(y * fp::Ln(x)); }

// A stored value is a 64-bit float; a result beyond its range is an overflow
// rather than an infinity.
inline double ToDouble(long double x) {
    if (std::isnan(x)) throw EInvalidOp();
    if (x > DBL_MAX || x < -DBL_MAX) throw EOverflow();
    return static_cast<double>(x);
}

// A number to 15 significant digits, independent of the locale.
inline std::string NumberText(long double x) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(x), std::chars_format::general, 15);
    return std::string(buf, res.ptr);
}

}  // namespace engine
