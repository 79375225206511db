// The income multiplier and underwriting compute steps. Every intermediate is
// a stored (64-bit) value.

#include "IncomeMultipliers.h"

#include "EngineMath.h"
#include "Lsc.h"

using engine::ToDouble;

void CalcIncomeMultipliers(const TIncomeMultiplierInputs& In, TIncomeMultiplierResults& Out) {
    Out.GrossRentMultiplier = DivOrZero(In.IM1MarketValue, In.IM1RentIncome);
    Out.GrossRentMarketValue = ToDouble((long double)In.IM2RentIncome * In.IM2GrossRentMultiplier);
    Out.NetIncomeMultiplier = DivOrZero(In.IM3MarketValue, In.IM3NOI);
    Out.NetIncomeMarketValue = ToDouble((long double)In.IM4NOI * In.IM4NetIncomeMultiplier);
}

void CalcUnderwriting(const TUnderwritingInputs& In, TUnderwritingResults& Out) {
    const double ltv = DivOrZero(In.U1LoanAmount, In.U1PropertyValue);
    Out.LTV = ToDouble(ltv * 100.0L);

    const double payment = CalcPayment(In.U3TermMonths, In.U3LoanAmount, In.U3InterestRatePercent / 1200);
    const double annualPayments = ToDouble(payment * 12.0L);
    Out.DebtCoverageFromTerms = DivOrZero(In.U3NOI, annualPayments);

    Out.DebtCoverageFromDebtService = DivOrZero(In.U2NOI, In.U2AnnualDebtService);

    const double costs = ToDouble((long double)In.U4AnnualDebtService + In.U4OperatingExpenses);
    Out.BreakEvenRatio = ToDouble(DivOrZero(costs, In.U4GrossOperatingIncome) * 100.0L);
}
