// The quick calculators' compute steps.

#include "QuickCalc.h"

#include <algorithm>
#include <cmath>

#include "Exceptions.h"
#include "Lsc.h"

TMPIResults CalcMonthlyPaymentPI(const TMPIInputs& In) {
    TMPIResults r;
    long double price = In.SalesPrice;
    if (price == 0) return r;
    r.DownPaymentSum = In.DownPaymentSum;
    r.DownPaymentPercent = In.DownPaymentPercent;
    if (In.Left == TMPIFieldLeft::DownPaymentSum)
        r.DownPaymentPercent = double(fp::Div<long double>(In.DownPaymentSum, price) * 100);
    else if (In.Left == TMPIFieldLeft::DownPaymentPercent)
        r.DownPaymentSum = double((long double)In.DownPaymentPercent / 100 * price);
    r.LoanAmount = double(price - r.DownPaymentSum);
    if (In.AnnualRatePercent != 0)
        r.Payment = CalcPayment(In.TermInMonths, r.LoanAmount, double((long double)In.AnnualRatePercent / 1200));
    else if (In.TermInMonths != 0)
        r.Payment = double((long double)r.LoanAmount / In.TermInMonths);
    return r;
}

double CeilToWholeUnit(double Value) {
    long double v = fp::Check<long double>(Value);
    long double nearest = std::nearbyint(v);
    long double tolerance = 1e-9L * std::max<long double>(1, std::fabs(v));
    if (std::fabs(v - nearest) <= tolerance) return double(nearest);
    return double(std::ceil(v));
}

int32_t RoundToInt32(double Value) {
    long double v = fp::Check<long double>(Value);
    // nearbyint rounds half to even in the default rounding mode.
    long double r = std::nearbyint(v);
    if (r < INT32_MIN || r > INT32_MAX) throw ERangeError();
    return int32_t(r);
}

TQuickSolveResult SolveQuickCalc(TQuickSolveFor What, const TQuickSolveInputs& In) {
    TQuickSolveResult r;
    r.Solved = What;
    const long double rate = In.AnnualRatePercent;
    switch (What) {
    case TQuickSolveFor::None: break;
    case TQuickSolveFor::LoanAmount: {
        double amount = rate == 0 ? double(fp::Check<long double>((long double)In.NumPayments * In.Payment))
                                  : CalcLoanAmount(In.NumPayments, 0, In.AnnualRatePercent, In.Payment);
        r.Value = CeilToWholeUnit(amount);
        break;
    }
    case TQuickSolveFor::InterestRate: r.Value = CalcRate(In.NumPayments, In.LoanAmount, 0, In.Payment); break;
    case TQuickSolveFor::Payment:
        r.Value = rate == 0 ? double(fp::Div<long double>(In.LoanAmount, In.NumPayments))
                            : CalcPayment(In.NumPayments, In.LoanAmount, double(rate / 1200));
        break;
    case TQuickSolveFor::NumPayments: {
        double n = rate == 0 ? double(fp::Div<long double>(In.LoanAmount, In.Payment))
                             : CalcTerm(In.LoanAmount, In.Payment, In.AnnualRatePercent);
        r.NumPayments = RoundToInt32(n);
        r.Value = r.NumPayments;
        break;
    }
    }
    return r;
}
