#pragma once
// The future values calculator: five independent deposit plans, each with its
// own compounding period.

#include <array>
#include <string>

constexpr int FutureValueRows = 5;

// The compounding periods, in the order the boxes list them.
extern const std::array<const char*, 4> CompoundingPeriods;  // "Daily", "Monthly", "Quarterly", "Annually"

// The text a compounding box should show: its own when it names a period
// (exactly, case and all), "Monthly" otherwise, which is how it computes.
std::string CorrectedCompounding(const std::string& Text);

struct TFVRow {
    double BeginningBalance = 0;
    std::string Compounding = "Monthly";
    double MonthlyInvestment = 0;
    double AnnualRatePercent = 0;
    double Months = 0;
};

// One row's future value; the page computes its rows top to bottom.
double CalcFV(const TFVRow& Row);
