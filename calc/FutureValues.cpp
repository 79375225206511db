// The future values calculator's compute step.

#include "FutureValues.h"

#include <algorithm>

#include "FinFormulas.h"

const std::array<const char*, 4> CompoundingPeriods = {"Daily", "Monthly", "Quarterly", "Annually"};

std::string CorrectedCompounding(const std::string& Text) {
    const bool named = std::any_of(CompoundingPeriods.begin(), CompoundingPeriods.end(),
                                   [&](const char* name) { return Text == name; });
    return named ? Text : "Monthly";
}

double CalcFV(const TFVRow& Row) {
    return FutureValueCompounded(Row.Compounding, Row.BeginningBalance, Row.AnnualRatePercent, Row.Months,
                                 Row.MonthlyInvestment);
}
