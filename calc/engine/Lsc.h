#pragma once
// Loan spread module: the loan formulas that the loan spread tables and the
// quick calculators solve with. Amounts, rates and results are 64-bit floats;
// the arithmetic runs in extended precision and nothing is rounded.
// Math faults raise EMathError (see Exceptions.h).

#include <cstdint>

// Level payment per period of a loan of Principal over N periods at the
// periodic rate Rate (a fraction per period). 0 when N is 0; Principal / N
// when Rate is 0.
double CalcPayment(int32_t N, double Principal, double Rate);

// Number of monthly payments (fractional) that Payment needs to repay
// Principal at AnnualRatePercent (8.75 for 8.75 %). 0 when Payment is 0 or
// does not cover the first month's interest; Principal / Payment at rate 0.
double CalcTerm(double Principal, double Payment, double AnnualRatePercent);

// Loan amount that N monthly payments of Payment carry at AnnualRatePercent,
// less the present value of a Balloon due with the last payment. N times
// Payment at rate 0 (the balloon is then ignored).
double CalcLoanAmount(int32_t N, double Balloon, double AnnualRatePercent, double Payment);

// Annual rate percent at which N monthly payments of Payment repay the loan
// (1 - DownPaymentFraction) times Price. 0 when N or the loan is 0. Payments
// that add up to less than the loan give the negative rate that solves the
// payment equation. Raises EMathError with the figures when no rate exists
// (a negative N, no payment, or payment and loan of opposite signs).
double CalcRate(int32_t N, double Price, double DownPaymentFraction, double Payment);
