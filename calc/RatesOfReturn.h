#pragma once
// The rates of return calculator: five independent investments, the total
// return of each over its period in percent.

#include <array>

#include "CalcResult.h"

constexpr int RateOfReturnRows = 5;

struct TRORRow {
    double BeginningValue = 0;
    double EndValue = 0;
    double Dividends = 0;
};

// 0 % where the beginning value is 0.
void CalcROR(const std::array<TRORRow, RateOfReturnRows>& In, std::array<TCalcResult, RateOfReturnRows>& Out);
