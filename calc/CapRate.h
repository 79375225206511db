#pragma once
// Income property valuation: the capitalization rate three ways (simple, by
// the band of investment, and the value it gives an income), and the largest
// loan the property's income supports.

#include <cstdint>

#include "CalcResult.h"

struct TCapRateInputs {
    double MarketValue = 0, NOI = 0;                  // simple rate
    double FinancingLTVPercent = 0;                   // band of investment: the loan's share
    double FinancingRatePercent = 0;                  // annual
    int32_t FinancingPayments = 0;                    // monthly payments
    double EquityRatePercent = 0;                     // the equity yield
    double NetOI = 0, CapitalizationRatePercent = 0;  // value by income capitalization
};

// Set in this order. Rates are percents, the mortgage constant an annual fraction.
struct TCapRateResults {
    TCalcResult CapRate;
    TCalcResult FinancingMortgageConstant, FinancingCapRate;
    TCalcResult EquityLTV, EquityCapRate, DerivedCapRate;
    TCalcResult ValueOfProperty;
};

// A market value or capitalization rate of 0 gives 0 where it divides.
void CalcCapRate(const TCapRateInputs& In, TCapRateResults& Out);

// The annual payment per unit of a loan over Payments monthly payments.
double MortgageConstant(int32_t Payments, double AnnualRatePercent);

struct TMaximumLoanInputs {
    double NOI = 0;  // annual
    double DebtCoverageRatio = 0;
    int32_t TermMonths = 0;
    double AnnualRatePercent = 0;
};

// The income left for debt service after the coverage ratio, divided by the
// annual mortgage constant; 0 when the term or the ratio is 0.
double CalcMaximumLoan(const TMaximumLoanInputs& In);
