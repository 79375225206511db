// Depreciation: the three methods and their edge periods.

#include <gtest/gtest.h>

#include <cmath>

#include "Depreciation.h"
#include "Exceptions.h"

namespace {

double Cents(double v) { return std::round(v * 100) / 100; }

TDepreciationResults Depreciate(TDepreciationMethod m, double cost, double salvage, int years) {
    TDepreciationResults r;
    CalcDepreciation({cost, salvage, years, int(m)}, r);
    return r;
}

TEST(DepreciationTest, StraightLineSample) {
    auto r = Depreciate(TDepreciationMethod::StraightLine, 100000, 92500, 10);
    EXPECT_EQ(*r.TotalDepreciated, 7500);
    ASSERT_EQ(r.Rows.size(), 10u);
    EXPECT_EQ(r.RowCount, 10);
    for (auto& row : r.Rows) EXPECT_EQ(Cents(row.Expense), 750);
    EXPECT_EQ(DepreciationRowTexts(r.Rows[0]), (std::array<std::string, 4>{"1", "$100,000.00", "$750.00", "$750.00"}));
    EXPECT_EQ(DepreciationRowTexts(r.Rows[9]),
              (std::array<std::string, 4>{"10", "$93,250.00", "$750.00", "$7,500.00"}));
}

TEST(DepreciationTest, DoubleDecliningStopsAtSalvageAndNeverSwitches) {
    auto r = Depreciate(TDepreciationMethod::DoubleDeclining, 100000, 20000, 10);
    const double books[] = {100000, 80000, 64000, 51200, 40960, 32768, 26214.40, 20971.52, 20000, 20000};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Cents(r.Rows[size_t(i)].Book), books[i]) << i;
    EXPECT_EQ(Cents(r.Rows[7].Expense), 971.52);
    EXPECT_EQ(Cents(r.Rows[7].Total), 80000);
    EXPECT_EQ(Cents(r.Rows[9].Expense), 0);

    auto z = Depreciate(TDepreciationMethod::DoubleDeclining, 100000, 0, 10);
    EXPECT_EQ(DepreciationRowTexts(z.Rows[9]),
              (std::array<std::string, 4>{"10", "$13,421.77", "$2,684.35", "$89,262.58"}));

    auto s = Depreciate(TDepreciationMethod::DoubleDeclining, 100000, 92500, 10);
    EXPECT_EQ(Cents(s.Rows[0].Expense), 7500);
    EXPECT_EQ(Cents(s.Rows[5].Book), 92500);
}

TEST(DepreciationTest, SumOfYearsDigits) {
    auto r = Depreciate(TDepreciationMethod::SumOfYearsDigits, 100000, 0, 4);
    const double exp[] = {40000, 30000, 20000, 10000}, book[] = {100000, 60000, 30000, 10000},
                 tot[] = {40000, 70000, 90000, 100000};
    ASSERT_EQ(r.Rows.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Cents(r.Rows[size_t(i)].Expense), exp[i]);
        EXPECT_EQ(Cents(r.Rows[size_t(i)].Book), book[i]);
        EXPECT_EQ(Cents(r.Rows[size_t(i)].Total), tot[i]);
    }
    auto s = Depreciate(TDepreciationMethod::SumOfYearsDigits, 100000, 10000, 5);
    EXPECT_EQ(Cents(s.Rows[4].Book), 16000);
    EXPECT_EQ(Cents(s.Rows[4].Total), 90000);
}

TEST(DepreciationTest, EdgePeriods) {
    for (auto m : {TDepreciationMethod::StraightLine, TDepreciationMethod::SumOfYearsDigits}) {
        auto r = Depreciate(m, 100000, 0, 0);
        EXPECT_TRUE(r.Rows.empty());
        EXPECT_EQ(r.RowCount, 1);
        EXPECT_EQ(*r.TotalDepreciated, 100000);
    }
    auto d = Depreciate(TDepreciationMethod::DoubleDeclining, 100000, 0, 0);
    ASSERT_EQ(d.Rows.size(), 1u);
    EXPECT_EQ(DepreciationRowTexts(d.Rows[0]), (std::array<std::string, 4>{"1", "$100,000.00", "$0.00", "$0.00"}));
    for (auto m : {TDepreciationMethod::StraightLine, TDepreciationMethod::DoubleDeclining})
        EXPECT_TRUE(Depreciate(m, 100000, 0, -3).Rows.empty());

    TDepreciationResults syd;
    EXPECT_THROW(CalcDepreciation({100000, 0, -1, 2}, syd), EZeroDivide);
    EXPECT_EQ(*syd.TotalDepreciated, 100000) << "the total is written before the failure";

    auto neg = Depreciate(TDepreciationMethod::StraightLine, 1000, 2000, 2);
    EXPECT_EQ(DepreciationRowTexts(neg.Rows[0])[2], "($500.00)");

    TDepreciationResults none;
    CalcDepreciation({1, 0, 5, -1}, none);
    EXPECT_FALSE(none.TotalDepreciated);

    auto big = Depreciate(TDepreciationMethod::SumOfYearsDigits, 1e6, 0, 32767);
    EXPECT_EQ(big.Rows.size(), 32767u);
    EXPECT_NEAR(big.Rows.back().Total, 1e6, 1e-3);
}

}  // namespace
