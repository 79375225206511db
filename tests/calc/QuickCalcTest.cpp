#include <gtest/gtest.h>

#include "Exceptions.h"
#include "QuickCalc.h"

namespace {

struct LoanAmountRow {
    double rate;
    int n;
    double payment;
    double expected;
};

TEST(QuickCalcTest, LoanAmountKeepsWholeAmountsAndTakesFractionsUp) {
    const LoanAmountRow rows[] = {
        {8.75, 360, 786.7, 100000},                         // 99999.948 from the formula
        {0, 12, 100, 1200},         {0, 12, 100.25, 1203},  // 1203 exactly: a whole amount stays
        {0, 3, 333, 999},           {0, 1, 1201, 1201},     // an odd whole amount is not pushed up
        {0, 12, 100.0833, 1201},                            // 1200.9996 goes up
        {0, 5, 100.2, 501},                                 // 501.00000000000006 is a whole amount
        {0, 2, 100.25, 201},                                // 200.5 goes up
    };
    for (const auto& row : rows) {
        TQuickSolveInputs in;
        in.AnnualRatePercent = row.rate;
        in.NumPayments = row.n;
        in.Payment = row.payment;
        auto r = SolveQuickCalc(TQuickSolveFor::LoanAmount, in);
        EXPECT_EQ(r.Value, row.expected) << row.rate << " " << row.n << " " << row.payment;
    }
}

TEST(QuickCalcTest, NumberOfPaymentsRoundsAndTreatsShortPaymentAsZero) {
    TQuickSolveInputs in;
    in.LoanAmount = 100000;
    in.Payment = 786.7;
    in.AnnualRatePercent = 8.75;
    EXPECT_EQ(SolveQuickCalc(TQuickSolveFor::NumPayments, in).NumPayments, 360);
    in.Payment = 500;  // below the first month's interest
    EXPECT_EQ(SolveQuickCalc(TQuickSolveFor::NumPayments, in).NumPayments, 0);
    in.AnnualRatePercent = 0;
    in.Payment = 400;  // 250 exactly
    EXPECT_EQ(SolveQuickCalc(TQuickSolveFor::NumPayments, in).NumPayments, 250);
    in.Payment = 0;
    EXPECT_THROW(SolveQuickCalc(TQuickSolveFor::NumPayments, in), EMathError);
}

TEST(QuickCalcTest, PaymentAndRateRoundTrip) {
    TQuickSolveInputs in;
    in.LoanAmount = 100000;
    in.AnnualRatePercent = 8.75;
    in.NumPayments = 360;
    auto pmt = SolveQuickCalc(TQuickSolveFor::Payment, in);
    EXPECT_NEAR(pmt.Value, 786.70, 0.005);
    // Contract check: the rate solved from that payment is the rate it came from.
    in.Payment = pmt.Value;
    in.AnnualRatePercent = 0;
    EXPECT_NEAR(SolveQuickCalc(TQuickSolveFor::InterestRate, in).Value, 8.75, 1e-6);
    in.NumPayments = 0;
    EXPECT_EQ(SolveQuickCalc(TQuickSolveFor::InterestRate, in).Value, 0);
}

TEST(QuickCalcTest, PaymentAtRateZeroWithNoPaymentsIsAMathError) {
    TQuickSolveInputs in;
    in.LoanAmount = 100000;
    EXPECT_THROW(SolveQuickCalc(TQuickSolveFor::Payment, in), EMathError);
    in.NumPayments = 4;
    EXPECT_EQ(SolveQuickCalc(TQuickSolveFor::Payment, in).Value, 25000);
}

TEST(QuickCalcTest, RoundingHelpers) {
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(3.5), 4);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_THROW(RoundToInt32(3e9), ERangeError);
    EXPECT_EQ(CeilToWholeUnit(-5.5), -5);
    EXPECT_EQ(CeilToWholeUnit(0.01), 1);
}

TEST(QuickCalcTest, MonthlyPaymentFollowsTheFieldLeft) {
    TMPIInputs in;
    in.SalesPrice = 200000;
    in.DownPaymentSum = 40000;
    in.DownPaymentPercent = 0;
    in.Left = TMPIFieldLeft::DownPaymentSum;
    auto r = CalcMonthlyPaymentPI(in);
    EXPECT_DOUBLE_EQ(r.DownPaymentPercent, 20);
    EXPECT_DOUBLE_EQ(r.LoanAmount, 160000);
    EXPECT_EQ(r.Payment, 0);  // rate 0, term 0

    // A new price keeps the sum and the percent as they were.
    in = {250000, r.DownPaymentSum, r.DownPaymentPercent, 0, 0, TMPIFieldLeft::Other};
    r = CalcMonthlyPaymentPI(in);
    EXPECT_DOUBLE_EQ(r.DownPaymentSum, 40000);
    EXPECT_DOUBLE_EQ(r.DownPaymentPercent, 20);
    EXPECT_DOUBLE_EQ(r.LoanAmount, 210000);

    in = {125000, 0, 20, 8.75, 360, TMPIFieldLeft::DownPaymentPercent};
    r = CalcMonthlyPaymentPI(in);
    EXPECT_DOUBLE_EQ(r.DownPaymentSum, 25000);
    EXPECT_NEAR(r.Payment, 786.70, 0.005);

    in = {125000, 25000, 20, 0, 100, TMPIFieldLeft::Other};
    EXPECT_DOUBLE_EQ(CalcMonthlyPaymentPI(in).Payment, 1000);

    in = {0, 5, 6, 8.75, 360, TMPIFieldLeft::DownPaymentSum};
    r = CalcMonthlyPaymentPI(in);
    EXPECT_EQ(r.DownPaymentSum, 0);
    EXPECT_EQ(r.DownPaymentPercent, 0);
    EXPECT_EQ(r.LoanAmount, 0);
    EXPECT_EQ(r.Payment, 0);
}

}  // namespace
