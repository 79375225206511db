// The discounted cash flows' compute step.

#include "DiscountedCashFlows.h"

#include "EngineMath.h"

using engine::Power;
using engine::ToDouble;

double CalcDCFPresentValue(const TDCFCashFlows& CashFlows, double RatePercent) {
    const double growth = 1 + RatePercent / 100;
    long double sum = 0;
    for (int t = 1; t <= DCFYears; ++t) {
        // Each year's factor and present value are stored values, as the
        // results these sums are compared with were computed.
        const double factor = ToDouble(Power(growth, t));
        const double presentValue = ToDouble(fp::Div<long double>(CashFlows[size_t(t - 1)], factor));
        sum += presentValue;
    }
    return ToDouble(sum);
}

void CalcDCF(const TDCFCashFlows& CashFlows, const std::array<double, DCFRates>& RatesPercent,
             std::array<TCalcResult, DCFRates>& Out) {
    for (size_t k = 0; k < RatesPercent.size(); ++k) Out[k] = CalcDCFPresentValue(CashFlows, RatesPercent[k]);
}
