#pragma once
// The loan comparison as a pure compute step: six loans side by side, each
// row's payment, total paid, interest paid and cost of points.

#include <array>
#include <cstdint>

constexpr int LoanComparisonRows = 6;

struct TLoanComparisonInputs {
    double Loan = 0;
    double AnnualRate = 0;  // a fraction: 0.0875 for 8.75 %
    int32_t NumPayments = 0;
    double Points = 0;  // 1 point is 1 % of the loan
};

struct TLoanComparisonResults {
    double Payment = 0;
    double TotalPaid = 0;
    double InterestPaid = 0;  // negative when the payments add up to less than the loan
    double PointsCost = 0;
};

// Nothing is rounded; the fields show two decimals.
TLoanComparisonResults CalcLoanComparisonRow(const TLoanComparisonInputs& In);

using TLoanComparisonTable = std::array<TLoanComparisonInputs, LoanComparisonRows>;
std::array<TLoanComparisonResults, LoanComparisonRows> CalcLoanComparisons(const TLoanComparisonTable& In);
