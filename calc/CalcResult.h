#pragma once
// What the calculator pages' compute steps share.
//
// A page shows each result as soon as it is computed, so a math error part way
// leaves the results before it new and the rest as they were. The compute steps
// keep that order: a result is an optional that is set when it is computed, and
// when a step raises, what it has set so far is still in its results.

#include <optional>

#include "Exceptions.h"

using TCalcResult = std::optional<double>;

// A / B, or 0 when B is 0: the calculators guard every division by an input
// that may be 0 and show 0 without a message.
inline double DivOrZero(double A, double B) { return B == 0 ? 0 : fp::Check(A / B); }
