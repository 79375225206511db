#include <gtest/gtest.h>

#include <cmath>

#include "Exceptions.h"
#include "MortgageQualifier.h"

namespace {

double Cents(double v) { return std::round(v * 100) / 100; }

TMQInputs SampleInputs() {
    TMQInputs in;
    in.Income1 = 4000;
    in.OtherIncome1 = 1000;
    in.Notes1 = 50;
    in.Auto1 = 450;
    in.Cards1 = 350;
    in.HousingRatio = 28;
    in.DebtRatio = 36;
    in.DownPayment = 20000;
    in.AnnualRatePercent = {7.5, 7.25, 7};
    in.TermYears = {30, 20, 15};
    return in;
}

TEST(MortgageQualifierTest, SampleScenariosAndRatios) {
    TMQResults r;
    CalcMQ(SampleInputs(), r);
    const double loans[] = {135866.75, 120195.96, 105693.16};
    for (size_t k = 0; k < MQScenarios; ++k) {
        EXPECT_EQ(Cents(*r.Scenario[k].Payment), 950) << k;
        EXPECT_EQ(Cents(*r.Scenario[k].Loan), loans[k]) << k;
        EXPECT_EQ(Cents(*r.Scenario[k].PurchasePrice), Cents(loans[k] + 20000)) << k;
    }
    EXPECT_DOUBLE_EQ(*r.HousingRatio, 19);
    EXPECT_DOUBLE_EQ(*r.DebtRatio, 36);
}

TEST(MortgageQualifierTest, TaxesAndInsuranceLowerOnlyTheHousingLimit) {
    TMQInputs in = SampleInputs();
    in.PropertyTaxes = 300;
    in.HomeownersInsurance = 150;  // housing limit 1400 - 450 = 950, the debt limit is 950 too
    TMQResults r;
    CalcMQ(in, r);
    EXPECT_EQ(Cents(*r.Scenario[0].Payment), 950);
    EXPECT_DOUBLE_EQ(*r.HousingRatio, 28);
    EXPECT_DOUBLE_EQ(*r.DebtRatio, 36);

    in.HomeownersInsurance = 250;  // now the housing limit (850) is the smaller
    CalcMQ(in, r);
    EXPECT_DOUBLE_EQ(*r.Scenario[2].Payment, 850);
    EXPECT_DOUBLE_EQ(*r.HousingRatio, 28);
    EXPECT_DOUBLE_EQ(*r.DebtRatio, 34);
}

TEST(MortgageQualifierTest, NegativeOrNoIncomeLendsNothing) {
    TMQInputs in = SampleInputs();
    in.Cards1 = 5000;  // debts above what the debt ratio allows
    TMQResults r;
    CalcMQ(in, r);
    for (const auto& s : r.Scenario) {
        EXPECT_EQ(*s.Payment, 0);
        EXPECT_EQ(*s.Loan, 0);
        EXPECT_EQ(*s.PurchasePrice, 20000);
    }
    EXPECT_DOUBLE_EQ(*r.HousingRatio, 0);
    EXPECT_DOUBLE_EQ(*r.DebtRatio, 110);  // debts 5500 over an income of 5000

    TMQResults none;
    CalcMQ(TMQInputs{}, none);
    EXPECT_EQ(*none.Scenario[1].Loan, 0);
    EXPECT_EQ(*none.HousingRatio, 0);
    EXPECT_EQ(*none.DebtRatio, 0);
}

TEST(MortgageQualifierTest, ZeroRateLendsThePaymentsWithoutInterest) {
    TMQInputs in = SampleInputs();
    in.AnnualRatePercent = {0.4, 0.15, 0};  // the page makes such rates from a first rate below 0.5
    TMQResults r;
    CalcMQ(in, r);
    EXPECT_NEAR(*r.Scenario[2].Loan, 950.0 * 12 * 15, 1e-6);
    EXPECT_NEAR(*r.Scenario[2].PurchasePrice, 950.0 * 12 * 15 + 20000, 1e-6);
    in.TermYears[2] = 30;
    CalcMQ(in, r);
    EXPECT_NEAR(*r.Scenario[2].Loan, 342000, 1e-6);
    in.TermYears[2] = 0;
    CalcMQ(in, r);
    EXPECT_EQ(*r.Scenario[2].Loan, 0);
}

TEST(MortgageQualifierTest, AMathErrorLeavesTheEarlierScenariosComputed) {
    TMQInputs in = SampleInputs();
    in.AnnualRatePercent[1] = -1300;  // 1 + rate / 1200 below 0
    TMQResults r;
    EXPECT_THROW(CalcMQ(in, r), EMathError);
    EXPECT_TRUE(r.Scenario[0].PurchasePrice.has_value());
    EXPECT_FALSE(r.Scenario[1].Payment.has_value());
    EXPECT_FALSE(r.HousingRatio.has_value());
}

}  // namespace
