// Capitalization rate, maximum loan, income multipliers and underwriting.

#include <gtest/gtest.h>

#include <cmath>

#include "CapRate.h"
#include "Exceptions.h"
#include "IncomeMultipliers.h"

namespace {

double Round(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale;
}

TCapRateInputs CapRateSample() {
    TCapRateInputs in;
    in.MarketValue = 1000000;
    in.NOI = 110000;
    in.FinancingLTVPercent = 80;
    in.FinancingRatePercent = 8;
    in.FinancingPayments = 240;
    in.EquityRatePercent = 11;
    in.NetOI = 110000;
    in.CapitalizationRatePercent = 10.23;
    return in;
}

TEST(CapRateTest, SampleValues) {
    TCapRateResults r;
    CalcCapRate(CapRateSample(), r);
    EXPECT_DOUBLE_EQ(*r.CapRate, 11);
    EXPECT_EQ(Round(*r.FinancingMortgageConstant, 8), 0.10037281);
    EXPECT_EQ(Round(*r.FinancingCapRate, 8), 8.02982466);
    EXPECT_DOUBLE_EQ(*r.EquityLTV, 20);
    EXPECT_DOUBLE_EQ(*r.EquityCapRate, 2.2);
    EXPECT_EQ(Round(*r.DerivedCapRate, 8), 10.22982466);
    EXPECT_EQ(Round(*r.ValueOfProperty, 2), 1075268.82);
}

TEST(CapRateTest, ZeroDivisorsAndWholeLoan) {
    TCapRateInputs in = CapRateSample();
    in.MarketValue = 0;
    in.CapitalizationRatePercent = 0;
    in.FinancingPayments = 0;
    in.FinancingLTVPercent = 100;
    TCapRateResults r;
    CalcCapRate(in, r);
    EXPECT_EQ(*r.CapRate, 0);
    EXPECT_EQ(*r.ValueOfProperty, 0);
    EXPECT_EQ(*r.FinancingMortgageConstant, 0);
    EXPECT_EQ(*r.EquityLTV, 0);
    EXPECT_EQ(*r.EquityCapRate, 0);
    EXPECT_EQ(*r.DerivedCapRate, *r.FinancingCapRate);
}

TEST(CapRateTest, AMathErrorLeavesTheSimpleRateComputed) {
    TCapRateInputs in = CapRateSample();
    in.FinancingRatePercent = -1200;
    TCapRateResults r;
    EXPECT_THROW(CalcCapRate(in, r), EMathError);
    EXPECT_TRUE(r.CapRate.has_value());
    EXPECT_FALSE(r.FinancingMortgageConstant.has_value());
    EXPECT_FALSE(r.ValueOfProperty.has_value());
}

TEST(MaximumLoanTest, IncomeOverDebtServiceAtTheCoverageRatio) {
    const struct {
        TMaximumLoanInputs in;
        double expected;
    } rows[] = {
        {{120000, 1.2, 240, 8}, 996285.76},
        {{12000, 1.0, 120, 0}, 120000},  // at 0 % the payment per unit is 1/120
        {{120000, 1.2, 0, 8}, 0},
        {{120000, 0, 240, 8}, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(Round(CalcMaximumLoan(row.in), 2), row.expected) << row.in.TermMonths;
    // Contract: the loan's own payments, times the ratio, use up the income.
    const double loan = CalcMaximumLoan({120000, 1.2, 240, 8});
    EXPECT_NEAR(MortgageConstant(240, 8) * loan * 1.2, 120000, 1e-6);
}

TEST(IncomeMultipliersTest, SampleValuesAndZeroIncome) {
    TIncomeMultiplierInputs in{700000, 90000, 90000, 7.78, 88000, 880000, 88000, 10};
    TIncomeMultiplierResults r;
    CalcIncomeMultipliers(in, r);
    EXPECT_EQ(Round(*r.GrossRentMultiplier, 4), 7.7778);
    EXPECT_EQ(Round(*r.GrossRentMarketValue, 2), 700200);
    EXPECT_DOUBLE_EQ(*r.NetIncomeMultiplier, 10);
    EXPECT_DOUBLE_EQ(*r.NetIncomeMarketValue, 880000);
    in.IM1RentIncome = 0;
    in.IM3NOI = 0;
    CalcIncomeMultipliers(in, r);
    EXPECT_EQ(*r.GrossRentMultiplier, 0);
    EXPECT_EQ(*r.NetIncomeMultiplier, 0);
}

TUnderwritingInputs UnderwritingSample() {
    TUnderwritingInputs in;
    in.U1PropertyValue = 100000;
    in.U1LoanAmount = 75000;
    in.U2NOI = 10000;
    in.U2AnnualDebtService = 8030;
    in.U3NOI = 10000;
    in.U3LoanAmount = 80000;
    in.U3InterestRatePercent = 8;
    in.U3TermMonths = 240;
    in.U4GrossOperatingIncome = 57500;
    in.U4AnnualDebtService = 24000;
    in.U4OperatingExpenses = 22000;
    return in;
}

TEST(UnderwritingTest, SampleValues) {
    TUnderwritingResults r;
    CalcUnderwriting(UnderwritingSample(), r);
    EXPECT_DOUBLE_EQ(*r.LTV, 75);
    EXPECT_EQ(Round(*r.DebtCoverageFromTerms, 4), 1.2454);
    EXPECT_EQ(Round(*r.DebtCoverageFromDebtService, 4), 1.2453);
    EXPECT_DOUBLE_EQ(*r.BreakEvenRatio, 80);
}

TEST(UnderwritingTest, ZeroDivisorsAndZeroRate) {
    TUnderwritingInputs in = UnderwritingSample();
    in.U3InterestRatePercent = 0;
    in.U3TermMonths = 100;
    in.U3LoanAmount = 120000;
    in.U3NOI = 14400;  // 1200 a month
    TUnderwritingResults r;
    CalcUnderwriting(in, r);
    EXPECT_DOUBLE_EQ(*r.DebtCoverageFromTerms, 1);

    TUnderwritingResults zero;
    CalcUnderwriting(TUnderwritingInputs{}, zero);
    EXPECT_EQ(*zero.LTV, 0);
    EXPECT_EQ(*zero.DebtCoverageFromTerms, 0);
    EXPECT_EQ(*zero.DebtCoverageFromDebtService, 0);
    EXPECT_EQ(*zero.BreakEvenRatio, 0);
}

TEST(UnderwritingTest, AMathErrorLeavesTheLoanToValueComputed) {
    TUnderwritingInputs in = UnderwritingSample();
    in.U3InterestRatePercent = -1500;
    TUnderwritingResults r;
    EXPECT_THROW(CalcUnderwriting(in, r), EMathError);
    EXPECT_TRUE(r.LTV.has_value());
    EXPECT_FALSE(r.DebtCoverageFromTerms.has_value());
    EXPECT_FALSE(r.BreakEvenRatio.has_value());
}

}  // namespace
