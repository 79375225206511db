#pragma once
// Discounted cash flows: the present value of thirty yearly cash flows at
// five discount rates. There is no year 0: the first cash flow is discounted
// by a full year, and the sale proceeds go into the last year's cash flow.

#include <array>

#include "CalcResult.h"

constexpr int DCFYears = 30;
constexpr int DCFRates = 5;

using TDCFCashFlows = std::array<double, DCFYears>;  // years 1 .. 30

// Sum over t of CashFlows[t] / (1 + rate)^t, rate = RatePercent / 100. A rate
// of -100 % or below is a math error.
double CalcDCFPresentValue(const TDCFCashFlows& CashFlows, double RatePercent);

// The rates in order; each present value is set as it is computed.
void CalcDCF(const TDCFCashFlows& CashFlows, const std::array<double, DCFRates>& RatesPercent,
             std::array<TCalcResult, DCFRates>& Out);
