#pragma once
// Income multipliers and underwriting: two pages of four small calculators
// each. The calculators of a page share no values; each reads its own inputs.

#include <cstdint>

#include "CalcResult.h"

struct TIncomeMultiplierInputs {
    double IM1MarketValue = 0, IM1RentIncome = 0;          // gross rent multiplier
    double IM2RentIncome = 0, IM2GrossRentMultiplier = 0;  // value by gross rent multiplier
    double IM3NOI = 0, IM3MarketValue = 0;                 // net income multiplier
    double IM4NOI = 0, IM4NetIncomeMultiplier = 0;         // value by net income multiplier
};

// Set in this order.
struct TIncomeMultiplierResults {
    TCalcResult GrossRentMultiplier, GrossRentMarketValue, NetIncomeMultiplier, NetIncomeMarketValue;
};

// An income of 0 gives a multiplier of 0.
void CalcIncomeMultipliers(const TIncomeMultiplierInputs& In, TIncomeMultiplierResults& Out);

struct TUnderwritingInputs {
    double U1PropertyValue = 0, U1LoanAmount = 0;                   // loan-to-value
    double U2NOI = 0, U2AnnualDebtService = 0;                      // coverage, payment known
    double U3NOI = 0, U3LoanAmount = 0, U3InterestRatePercent = 0;  // coverage, terms known
    int32_t U3TermMonths = 0;
    double U4GrossOperatingIncome = 0, U4AnnualDebtService = 0, U4OperatingExpenses = 0;  // break-even
};

// Set in this order: the coverage from loan terms comes before the one from a
// known debt service.
struct TUnderwritingResults {
    TCalcResult LTV, DebtCoverageFromTerms, DebtCoverageFromDebtService, BreakEvenRatio;
};

// Percents for the loan-to-value and break-even ratios; every division by an
// input that may be 0 gives 0.
void CalcUnderwriting(const TUnderwritingInputs& In, TUnderwritingResults& Out);
