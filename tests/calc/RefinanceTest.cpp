#include <gtest/gtest.h>

#include <cmath>

#include "Exceptions.h"
#include "Lsc.h"
#include "Refinance.h"

namespace {

double Cents(double v) { return std::round(v * 100) / 100; }

TRefiInputs SampleInputs() {
    TRefiInputs in;
    in.OldLoan = 100000;
    in.OldTerm = 360;
    in.OldRatePercent = 8.75;
    in.NewLoan = 100000;
    in.NewTerm = 240;
    in.NewRatePercent = 7.25;
    in.MonthsUntilSell = 240;
    return in;
}

TEST(RefinanceTest, SampleComparison) {
    TRefiResults r;
    CalcRefi(SampleInputs(), r);
    EXPECT_EQ(*r.PaymentsRemaining, 360);
    EXPECT_EQ(Cents(*r.OldPayment), 786.70);
    EXPECT_EQ(Cents(*r.NewPayment), 790.38);
    EXPECT_EQ(Cents(*r.PaymentSaved), -3.68);
    EXPECT_EQ(Cents(*r.TotalPaymentSaved), -882.14);
    EXPECT_EQ(Cents(*r.OldEquity), 37228.05);
    EXPECT_EQ(Cents(*r.NewEquity), 100000.00);
    EXPECT_EQ(Cents(*r.EquitySavings), 62771.95);
    EXPECT_EQ(Cents(*r.TotalSaved), 61889.81);
    EXPECT_EQ(*r.Horizon, 240);
    EXPECT_EQ(RefiHeadline(*r.Horizon), "If you sell in 240 months,");
}

TEST(RefinanceTest, HorizonStopsAtTheNewTermAndClosingCostsComeOff) {
    TRefiInputs in = SampleInputs();
    TRefiResults base;
    CalcRefi(in, base);
    in.MonthsUntilSell = 300;
    in.ClosingCosts = 2500;
    TRefiResults r;
    CalcRefi(in, r);
    EXPECT_EQ(*r.Horizon, 240);
    EXPECT_DOUBLE_EQ(*r.TotalSaved, *base.TotalSaved - 2500);
}

TEST(RefinanceTest, RemainingPaymentsAndPaymentsMade) {
    TRefiInputs in = SampleInputs();
    in.OldPaymentsMade = 120;  // 240 remain: the old loan is paid off at the horizon too
    TRefiResults r;
    CalcRefi(in, r);
    EXPECT_EQ(*r.PaymentsRemaining, 240);
    EXPECT_NEAR(*r.OldEquity, 100000, 1e-6);
    EXPECT_DOUBLE_EQ(*r.OldPayment, CalcPayment(240, 100000, 8.75 / 1200));

    in.OldPaymentsMade = 360;  // nothing remains: no payment, no equity
    CalcRefi(in, r);
    EXPECT_EQ(*r.PaymentsRemaining, 0);
    EXPECT_EQ(*r.OldPayment, 0);
    EXPECT_EQ(*r.OldEquity, 0);

    in.OldPaymentsMade = 400;
    CalcRefi(in, r);
    EXPECT_EQ(*r.PaymentsRemaining, -40);
    EXPECT_EQ(*r.OldEquity, 0);
}

// Past the old loan's last payment the old loan costs nothing more, while the
// new one is still paid every month up to the sale.
TEST(RefinanceTest, SavingsPastTheOldLoansLastPaymentCountTheNewLoansPayments) {
    TRefiInputs in = SampleInputs();
    in.OldPaymentsMade = 300;  // 60 payments remain
    in.NewTerm = 360;
    in.MonthsUntilSell = 120;
    TRefiResults r;
    CalcRefi(in, r);
    const double oldPayment = CalcPayment(60, 100000, 8.75 / 1200);
    const double newPayment = CalcPayment(360, 100000, 7.25 / 1200);
    EXPECT_NEAR(*r.TotalPaymentSaved, oldPayment * 60 - newPayment * 120, 1e-6);
    EXPECT_NEAR(*r.OldEquity, 100000, 1e-6);  // the old equity stops at the remaining count
    EXPECT_NEAR(*r.TotalSaved, *r.TotalPaymentSaved + *r.NewEquity - *r.OldEquity, 1e-6);

    in.MonthsUntilSell = 0;  // no months: nothing saved on payments or equity
    CalcRefi(in, r);
    EXPECT_EQ(*r.TotalPaymentSaved, 0);
    EXPECT_EQ(*r.OldEquity, 0);
    EXPECT_EQ(*r.NewEquity, 0);
}

TEST(RefinanceTest, AMathErrorLeavesTheOldLoanComputed) {
    TRefiInputs in = SampleInputs();
    in.NewRatePercent = -1200;  // 1 + rate is 0
    TRefiResults r;
    EXPECT_THROW(CalcRefi(in, r), EMathError);
    EXPECT_TRUE(r.OldEquity.has_value());
    EXPECT_FALSE(r.NewPayment.has_value());
    EXPECT_FALSE(r.Horizon.has_value());
}

}  // namespace
