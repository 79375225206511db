#include <gtest/gtest.h>

#include <cmath>

#include "LoanComparisons.h"

namespace {

double Cents(double v) { return std::round(v * 100) / 100; }

struct Row {
    TLoanComparisonInputs in;
    double payment, total, interest, points;
};

TEST(LoanComparisonsTest, RowsAsTheSampleTableShowsThem) {
    const Row rows[] = {
        {{100000, 0.0875, 360, 0}, 786.70, 283212.15, 183212.15, 0},
        {{100000, 0.0875, 240, 1}, 883.71, 213090.57, 112090.57, 1000},
        {{100000, 0.0925, 360, 2}, 822.68, 298163.15, 196163.15, 2000},
        {{100000, 0.0925, 240, 2}, 915.87, 221808.04, 119808.04, 2000},
        {{95000, 0.0875, 240, 2}, 839.53, 203386.04, 106486.04, 1900},
        {{0, 0, 0, 0}, 0, 0, 0, 0},
        // No payments: the interest paid is minus the loan.
        {{50000, 0.08, 0, 1}, 0, 500, -50000, 500},
        {{1200, 0, 12, 0}, 100, 1200, 0, 0},
    };
    for (const auto& row : rows) {
        auto r = CalcLoanComparisonRow(row.in);
        EXPECT_EQ(Cents(r.Payment), row.payment) << row.in.Loan << " " << row.in.NumPayments;
        EXPECT_EQ(Cents(r.TotalPaid), row.total) << row.in.Loan << " " << row.in.NumPayments;
        EXPECT_EQ(Cents(r.InterestPaid), row.interest) << row.in.Loan << " " << row.in.NumPayments;
        EXPECT_EQ(Cents(r.PointsCost), row.points) << row.in.Loan << " " << row.in.NumPayments;
    }
}

TEST(LoanComparisonsTest, EveryRowIsComputed) {
    TLoanComparisonTable in{};
    in[5] = {95000, 0.0875, 240, 2};
    auto out = CalcLoanComparisons(in);
    EXPECT_EQ(out[0].Payment, 0);
    EXPECT_EQ(Cents(out[5].TotalPaid), 203386.04);
}

}  // namespace
