// The capitalization rate and maximum loan compute steps. Every intermediate
// is a stored (64-bit) value.

#include "CapRate.h"

#include "EngineMath.h"
#include "Lsc.h"

using engine::ToDouble;

double MortgageConstant(int32_t Payments, double AnnualRatePercent) {
    return ToDouble(12.0L * CalcPayment(Payments, 1.0, AnnualRatePercent / 1200));
}

void CalcCapRate(const TCapRateInputs& In, TCapRateResults& Out) {
    const double simple = DivOrZero(In.NOI, In.MarketValue);
    Out.CapRate = ToDouble(simple * 100.0L);

    const double loanShare = In.FinancingLTVPercent;
    const double constant = MortgageConstant(In.FinancingPayments, In.FinancingRatePercent);
    Out.FinancingMortgageConstant = constant;
    const double financing = ToDouble(loanShare / 100.0L * constant);
    Out.FinancingCapRate = ToDouble(financing * 100.0L);

    const double equityShare = 100 - loanShare;
    Out.EquityLTV = equityShare;
    const double equity = ToDouble((long double)equityShare * In.EquityRatePercent / 100);
    Out.EquityCapRate = equity;
    Out.DerivedCapRate = ToDouble((equity / 100.0L + financing) * 100);

    Out.ValueOfProperty = ToDouble(DivOrZero(In.NetOI, In.CapitalizationRatePercent / 100));
}

double CalcMaximumLoan(const TMaximumLoanInputs& In) {
    const double perUnit = CalcPayment(In.TermMonths, 1.0, In.AnnualRatePercent / 1200);
    if (perUnit == 0 || In.DebtCoverageRatio == 0) return 0;
    const double forDebtService = In.NOI / In.DebtCoverageRatio;
    return ToDouble(forDebtService / (perUnit * 12.0L));
}
