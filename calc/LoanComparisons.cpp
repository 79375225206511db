// The loan comparison's compute step.

#include "LoanComparisons.h"

#include "Exceptions.h"
#include "Lsc.h"

TLoanComparisonResults CalcLoanComparisonRow(const TLoanComparisonInputs& In) {
    TLoanComparisonResults r;
    const long double loan = In.Loan;
    const long double n = In.NumPayments;
    r.Payment = CalcPayment(In.NumPayments, In.Loan, double((long double)In.AnnualRate / 12));
    const long double pointsCost = (long double)In.Points / 100 * loan;
    r.PointsCost = double(fp::Check(pointsCost));
    r.TotalPaid = double(fp::Check(n * r.Payment + pointsCost));
    r.InterestPaid = double(fp::Check(n * r.Payment - loan));
    return r;
}

std::array<TLoanComparisonResults, LoanComparisonRows> CalcLoanComparisons(const TLoanComparisonTable& In) {
    std::array<TLoanComparisonResults, LoanComparisonRows> out{};
    for (int i = 0; i < LoanComparisonRows; ++i) out[size_t(i)] = CalcLoanComparisonRow(In[size_t(i)]);
    return out;
}
