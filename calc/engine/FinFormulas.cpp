#include "FinFormulas.h"

#include "EngineMath.h"

using engine::Power;
using engine::ToDouble;

double PrincipalPaid(int32_t N, double Balance, double AnnualRatePercent, double Payment) {
    const long double r = static_cast<long double>(AnnualRatePercent) / 1200;
    long double balance = Balance, sum = 0;
    for (int32_t k = 1; k <= N; ++k) {
        const long double principal = Payment - r * balance;
        sum += principal;
        balance -= principal;
        // A payment below the interest lets the balance grow without bound.
        fp::Check(balance);
    }
    return ToDouble(sum);
}

double FutureValueCompounded(const std::string& Period, double PresentValue, double AnnualRatePercent, double Months,
                             double MonthlyDeposit) {
    int periodsPerYear = 12;
    if (Period == "Annually")
        periodsPerYear = 1;
    else if (Period == "Quarterly")
        periodsPerYear = 4;
    else if (Period == "Daily")
        periodsPerYear = 365;

    if (AnnualRatePercent == 0) return ToDouble(static_cast<long double>(MonthlyDeposit) * Months + PresentValue);
    const long double i = static_cast<long double>(AnnualRatePercent) / 100;
    const long double periods = static_cast<long double>(periodsPerYear) * Months / 12;
    const long double growth = Power(1 + i / periodsPerYear, periods);
    return ToDouble(growth * PresentValue + fp::Div(growth - 1, i) * (12 * static_cast<long double>(MonthlyDeposit)));
}

double PresentValueOfPayments(double MonthlyPayment, double AnnualRatePercent, double Years) {
    const long double r = static_cast<long double>(AnnualRatePercent) / 1200;
    if (MonthlyPayment == 0 || Years == 0) return 0;
    const long double discount = fp::Div(1.0L, Power(1 + r, 12 * static_cast<long double>(Years)));
    return ToDouble(fp::Div(1 - discount, r) * MonthlyPayment);
}

double TotalReturnPercent(double Cost, double EndingValue, double Income) {
    if (Cost == 0) return 0;
    return ToDouble((static_cast<long double>(EndingValue) - Cost + Income) / Cost * 100);
}
