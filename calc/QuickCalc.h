#pragma once
// The quick calculators as pure compute steps: the monthly payment from a
// price and a down payment, and the solver for the one missing loan variable.
// The main window fills the inputs from its fields and writes the results back.

#include <cstdint>

// ---- Monthly payment (P&I) with down payment -----------------------------------

// Which field the user has just left: a down payment field decides which of the
// two down payment figures is recomputed from the other.
enum class TMPIFieldLeft { Other, DownPaymentSum, DownPaymentPercent };

struct TMPIInputs {
    double SalesPrice = 0;
    double DownPaymentSum = 0;
    double DownPaymentPercent = 0;
    double AnnualRatePercent = 0;
    int32_t TermInMonths = 0;
    TMPIFieldLeft Left = TMPIFieldLeft::Other;
};

struct TMPIResults {
    double DownPaymentSum = 0;
    double DownPaymentPercent = 0;
    double LoanAmount = 0;
    double Payment = 0;
};

// The money sum governs the loan; the percent only follows when its own field
// or the sum's was left. A price of 0 gives zeros throughout.
TMPIResults CalcMonthlyPaymentPI(const TMPIInputs& In);

// ---- Missing loan variable ------------------------------------------------------

enum class TQuickSolveFor { None, LoanAmount, InterestRate, Payment, NumPayments };

struct TQuickSolveInputs {
    double LoanAmount = 0;
    double AnnualRatePercent = 0;
    double Payment = 0;
    int32_t NumPayments = 0;
};

struct TQuickSolveResult {
    TQuickSolveFor Solved = TQuickSolveFor::None;
    double Value = 0;         // the loan amount, rate percent or payment
    int32_t NumPayments = 0;  // when the number of payments was solved
};

// Solves for one variable from the other three. Math faults raise EMathError;
// a number of payments beyond the 32-bit range raises ERangeError.
TQuickSolveResult SolveQuickCalc(TQuickSolveFor What, const TQuickSolveInputs& In);

// A whole amount stays as it is, any fraction goes up to the next whole unit.
// Differences far below a cent (left over from binary fractions) count as whole.
double CeilToWholeUnit(double Value);
// Nearest whole number, ties to the even one.
int32_t RoundToInt32(double Value);
