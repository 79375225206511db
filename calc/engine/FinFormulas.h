#pragma once
// Time-value-of-money formulas of the calculator pages. Amounts, rates and
// results are 64-bit floats; the arithmetic runs in extended precision and
// nothing is rounded. Math faults raise EMathError (see Exceptions.h).

#include <cstdint>
#include <string>

// Principal repaid by the first N monthly payments of Payment on a starting
// Balance at AnnualRatePercent. 0 when N is below 1. Not capped at the
// balance and not rounded.
double PrincipalPaid(int32_t N, double Balance, double AnnualRatePercent, double Payment);

// Future value of PresentValue plus a monthly deposit over Months, with
// interest compounded per Period: "Annually", "Quarterly", "Monthly" or
// "Daily" (compared exactly; any other text counts as monthly).
double FutureValueCompounded(const std::string& Period, double PresentValue, double AnnualRatePercent, double Months,
                             double MonthlyDeposit);

// Present value of a monthly payment over Years at AnnualRatePercent. 0 when
// the payment or the years are 0; a rate of 0 is a math error.
double PresentValueOfPayments(double MonthlyPayment, double AnnualRatePercent, double Years);

// (EndingValue - Cost + Income) / Cost in percent; 0 when Cost is 0.
double TotalReturnPercent(double Cost, double EndingValue, double Income);
