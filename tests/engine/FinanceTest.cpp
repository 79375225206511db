#include "FinFormulas.h"
#include "Lsc.h"
#include "RootSolver.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct FormulaCase {
    const char* name;
    double actual;
    double expected;
    double tolerance;
};

// Values worked out by hand from the formulas (or plain arithmetic).
TEST(FinanceFormulas, KnownValues) {
    const FormulaCase cases[] = {
        {"payment 30y 8.75%", CalcPayment(360, 100000, 8.75 / 1200), 786.7004, 5e-5},
        {"payment no periods", CalcPayment(0, 100000, 0.01), 0, 0},
        {"payment rate 0", CalcPayment(360, 100000, 0), 100000.0 / 360, 1e-9},
        {"term 30y", CalcTerm(100000, 786.7, 8.75), 360.0009, 5e-5},
        {"term interest not covered", CalcTerm(100000, 500, 8.75), 0, 0},
        {"term no payment", CalcTerm(100000, 0, 8.75), 0, 0},
        {"term rate 0", CalcTerm(100000, 500, 0), 200, 1e-12},
        {"loan 30y", CalcLoanAmount(360, 0, 8.75, 786.7), 99999.95, 5e-3},
        {"loan rate 0 ignores balloon", CalcLoanAmount(360, 5000, 0, 786.7), 360 * 786.7, 1e-9},
        {"future value monthly", FutureValueCompounded("Monthly", 10000, 8.75, 12, 100), 12160.27, 5e-3},
        {"future value rate 0", FutureValueCompounded("Monthly", 10000, 0, 12, 100), 11200, 1e-9},
        {"future value annually", FutureValueCompounded("Annually", 10000, 8.75, 12, 0), 10875, 1e-8},
        {"present value 30y 8%", PresentValueOfPayments(1000, 8, 30), 136283.49, 5e-3},
        {"present value no payment", PresentValueOfPayments(0, 8, 30), 0, 0},
        {"present value no years", PresentValueOfPayments(1000, 8, 0), 0, 0},
        {"principal paid 12 months", PrincipalPaid(12, 100000, 8.75, 786.7), 718.77, 5e-3},
        {"principal paid no months", PrincipalPaid(0, 100000, 8.75, 786.7), 0, 0},
        {"total return", TotalReturnPercent(100, 120, 5), 25, 1e-12},
        {"total return no cost", TotalReturnPercent(0, 120, 5), 0, 0},
    };
    for (const auto& c : cases) EXPECT_NEAR(c.actual, c.expected, c.tolerance) << c.name;
}

TEST(FinanceFormulas, UnknownPeriodNamesCountAsMonthly) {
    const double monthly = FutureValueCompounded("Monthly", 10000, 8.75, 12, 100);
    EXPECT_EQ(FutureValueCompounded("monthly", 10000, 8.75, 12, 100), monthly);
    EXPECT_EQ(FutureValueCompounded("Weekly", 10000, 8.75, 12, 100), monthly);
    EXPECT_NE(FutureValueCompounded("Quarterly", 10000, 8.75, 12, 100), monthly);
}

// The formulas agree with each other and with closed forms computed here.
TEST(FinanceFormulas, ContractsBetweenFormulas) {
    const double payment = CalcPayment(360, 100000, 8.75 / 1200);
    EXPECT_NEAR(CalcLoanAmount(360, 0, 8.75, payment), 100000, 1e-6);
    EXPECT_NEAR(CalcTerm(100000, payment, 8.75), 360, 1e-9);

    const double r = 8.75 / 1200, v = std::pow(1 + r, -360.0);
    EXPECT_NEAR(CalcLoanAmount(360, 20000, 8.75, 786.7), CalcLoanAmount(360, 0, 8.75, 786.7) - 20000 * v, 1e-6);

    const double growth = std::pow(1 + r, 12.0);
    const double remaining = 100000 * growth - 786.7 * (growth - 1) / r;
    EXPECT_NEAR(PrincipalPaid(12, 100000, 8.75, 786.7), 100000 - remaining, 1e-6);
}

TEST(FinanceFormulas, TrappedOperationsRaiseMathErrors) {
    EXPECT_THROW(PresentValueOfPayments(1000, 0, 30), EMathError);  // 0 / 0
    EXPECT_THROW(CalcPayment(360, 100000, -1), EMathError);         // ln 0
    EXPECT_THROW(CalcLoanAmount(12, 0, -2400, 100), EMathError);    // ln of a negative
    EXPECT_THROW(CalcPayment(12, 1e308, 100), EMathError);          // beyond a stored value
    EXPECT_THROW(PrincipalPaid(1000000, 100000, 1200, 0), EMathError);
}

// ---------------------------------------------------------------------------
// CalcRate

struct RateCase {
    int n;
    double loan, payment;
};

// The rate solves the payment equation to 1e-10 in the monthly rate: the
// payment at the rate 1e-10 below and above it lies on either side.
TEST(CalcRateTest, ConvergesToTheRateThatSolvesThePaymentEquation) {
    const RateCase cases[] = {
        {12, 10000, 860.66}, {12, 1000, 100},       {360, 100000, 786.7}, {1, 1000, 1100},
        {360, 100000, 200},  // payments add up to less than the loan
        {2, 1000, 400},      {32767, 100000, 1000}, {60, 20000, 20000},   {480, 1e7, 1e5},
    };
    for (const auto& c : cases) {
        const double annual = CalcRate(c.n, c.loan, 0, c.payment);
        const double monthly = annual / 1200;
        EXPECT_NEAR(CalcPayment(c.n, c.loan, monthly), c.payment, c.payment * 1e-9) << c.n << " " << c.loan;
        EXPECT_LT(CalcPayment(c.n, c.loan, monthly - 1e-10), c.payment) << c.n << " " << c.loan;
        EXPECT_GT(CalcPayment(c.n, c.loan, monthly + 1e-10), c.payment) << c.n << " " << c.loan;
    }
}

TEST(CalcRateTest, ReturnsTheTrueRateNotAnIterationLimitEstimate) {
    EXPECT_NEAR(CalcRate(12, 10000, 0, 860.66), 5.9991, 5e-5);
    EXPECT_NEAR(CalcRate(12, 1000, 0, 100), 35.0742, 5e-5);
}

TEST(CalcRateTest, PaymentsBelowTheLoanGiveANegativeRate) {
    EXPECT_LT(CalcRate(360, 100000, 0, 200), 0);
    EXPECT_DOUBLE_EQ(CalcRate(360, 72000, 0, 200), 0);  // payments add up to the loan exactly
}

TEST(CalcRateTest, GuardsAndDownPayment) {
    EXPECT_EQ(CalcRate(0, 100000, 0, 786.7), 0);
    EXPECT_EQ(CalcRate(360, 0, 0, 786.7), 0);
    EXPECT_EQ(CalcRate(360, 100000, 1, 786.7), 0);
    EXPECT_DOUBLE_EQ(CalcRate(360, 125000, 0.2, 786.7), CalcRate(360, 100000, 0, 786.7));
    // Loan and payment both negative are the same equation.
    EXPECT_DOUBLE_EQ(CalcRate(360, -100000, 0, -786.7), CalcRate(360, 100000, 0, 786.7));
}

TEST(CalcRateTest, NoRateRaisesMathErrorWithTheFigures) {
    const RateCase cases[] = {{360, 100000, 0}, {360, 100000, -786.7}, {-12, 1000, 100}};
    for (const auto& c : cases) {
        try {
            CalcRate(c.n, c.loan, 0, c.payment);
            ADD_FAILURE() << "no error for " << c.n << " payments of " << c.payment;
        } catch (const EMathError& e) {
            EXPECT_NE(e.Message.find(std::to_string(c.n)), std::string::npos) << e.Message;
            EXPECT_NE(e.Message.find(c.loan == 100000 ? "100000" : "1000"), std::string::npos) << e.Message;
        }
    }
}

// ---------------------------------------------------------------------------
// SolveBrent

TEST(SolveBrentTest, LastEvaluationIsAtTheReturnedRoot) {
    long double last = 0;
    auto f = [&](long double x) {
        last = x;
        return std::cos(x) - x;
    };
    const TRootSolution s = SolveBrent(f, 0.0L, 1.0L, 1e-15L, 100);
    EXPECT_EQ(s.Root, last);
    EXPECT_NEAR(static_cast<double>(s.Root), 0.7390851332151607, 1e-14);
    EXPECT_LT(s.Iterations, 20);
}

TEST(SolveBrentTest, PreconditionAndIterationLimitFailWithNumbers) {
    auto square = [](long double x) { return x * x - 2; };
    EXPECT_THROW(SolveBrent(square, 2.0L, 3.0L, 1e-12L, 100), EMathError);
    try {
        SolveBrent(square, 0.0L, 1000.0L, 1e-12L, 2);
        ADD_FAILURE() << "no error after 2 iterations";
    } catch (const EMathError& e) {
        EXPECT_NE(e.Message.find("bracket ["), std::string::npos) << e.Message;
    }
}

}  // namespace
