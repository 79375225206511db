// The refinancing calculator's compute steps.

#include "Refinance.h"

#include <algorithm>

#include "EngineMath.h"
#include "FinFormulas.h"
#include "Lsc.h"

using engine::ToDouble;

void CalcRefi(const TRefiInputs& In, TRefiResults& Out) {
    const int32_t remaining = In.OldTerm - In.OldPaymentsMade;
    Out.PaymentsRemaining = remaining;
    const int32_t horizon = std::min(In.MonthsUntilSell, In.NewTerm);

    // The current loan's payment from its balance over the payments that remain.
    const double oldPayment = CalcPayment(remaining, In.OldLoan, double((long double)In.OldRatePercent / 1200));
    Out.OldPayment = oldPayment;
    const int32_t oldMonths = std::min(horizon, remaining);
    const double oldEquity = PrincipalPaid(oldMonths, In.OldLoan, In.OldRatePercent, oldPayment);
    Out.OldEquity = oldEquity;

    const double newPayment = CalcPayment(In.NewTerm, In.NewLoan, double((long double)In.NewRatePercent / 1200));
    Out.NewPayment = newPayment;
    const double newEquity = PrincipalPaid(horizon, In.NewLoan, In.NewRatePercent, newPayment);
    Out.NewEquity = newEquity;

    Out.PaymentSaved = ToDouble((long double)oldPayment - newPayment);
    // Past the old loan's last payment only the new loan still costs anything.
    const double totalPaymentSaved = ToDouble((long double)oldPayment * oldMonths - (long double)newPayment * horizon);
    Out.TotalPaymentSaved = totalPaymentSaved;
    const double equitySavings = ToDouble((long double)newEquity - oldEquity);
    Out.EquitySavings = equitySavings;
    Out.TotalSaved = ToDouble((long double)totalPaymentSaved + equitySavings - In.ClosingCosts);
    Out.Horizon = horizon;
}

std::string RefiHeadline(int32_t Horizon) { return "If you sell in " + std::to_string(Horizon) + " months,"; }

double CalcClosingCosts(const std::array<double, ClosingCostItems>& Fees) {
    long double total = 0;
    for (double fee : Fees) total += fee;
    return ToDouble(total);
}
