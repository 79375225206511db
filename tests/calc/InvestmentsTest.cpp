// Future values and discounted cash flows.

#include <gtest/gtest.h>

#include <cmath>

#include "DiscountedCashFlows.h"
#include "Exceptions.h"
#include "FutureValues.h"

namespace {

double Cents(double v) { return std::round(v * 100) / 100; }

TEST(FutureValuesTest, CompoundingAndZeroRate) {
    EXPECT_DOUBLE_EQ(CalcFV({10000, "Monthly", 100, 0, 36}), 13600);
    // Annual compounding over one year is the plain annual rate.
    EXPECT_NEAR(CalcFV({10000, "Annually", 0, 8.75, 12}), 10875, 1e-8);
    EXPECT_NEAR(CalcFV({10000, "Quarterly", 0, 8, 12}), 10000 * std::pow(1.02, 4), 1e-8);
}

TEST(FutureValuesTest, TextsThatNameNoPeriodBecomeMonthly) {
    const struct {
        const char* text;
        const char* shown;
    } rows[] = {
        {"Daily", "Daily"},       {"Monthly", "Monthly"},  {"Quarterly", "Quarterly"},
        {"Annually", "Annually"}, {"annually", "Monthly"}, {"D", "Monthly"},
        {"", "Monthly"},          {"Daily ", "Monthly"},
    };
    for (const auto& row : rows) EXPECT_EQ(CorrectedCompounding(row.text), row.shown) << row.text;
}

TDCFCashFlows SampleCashFlows() {
    TDCFCashFlows cf{};
    const double first[] = {9000, 0, -3000, 8000, 8200, 9000, 9350, 12500, 137580};
    std::copy(std::begin(first), std::end(first), cf.begin());
    return cf;
}

TEST(DiscountedCashFlowsTest, SampleRates) {
    std::array<TCalcResult, DCFRates> out;
    CalcDCF(SampleCashFlows(), {5, 6, 7, 8, 9}, out);
    const double expected[] = {129493.05, 120274.95, 111841.28, 104117.63, 97037.33};
    for (size_t k = 0; k < out.size(); ++k) EXPECT_EQ(Cents(*out[k]), expected[k]) << k;
}

TEST(DiscountedCashFlowsTest, EndOfYearDiscounting) {
    TDCFCashFlows cf{};
    EXPECT_EQ(CalcDCFPresentValue(cf, 8), 0);
    cf[0] = 1100;
    EXPECT_NEAR(CalcDCFPresentValue(cf, 10), 1000, 1e-9);
    std::swap(cf[0], cf[1]);
    EXPECT_EQ(Cents(CalcDCFPresentValue(cf, 10)), 909.09);
    cf.fill(1000);
    EXPECT_DOUBLE_EQ(CalcDCFPresentValue(cf, 0), 30000);
}

TEST(DiscountedCashFlowsTest, ARateOfMinus100StopsAtThatRow) {
    std::array<TCalcResult, DCFRates> out;
    EXPECT_THROW(CalcDCF(SampleCashFlows(), {5, 6, -100, 8, 9}, out), EMathError);
    EXPECT_TRUE(out[1].has_value());
    EXPECT_FALSE(out[2].has_value());
    EXPECT_THROW(CalcDCFPresentValue(SampleCashFlows(), -150), EMathError);
}

}  // namespace
