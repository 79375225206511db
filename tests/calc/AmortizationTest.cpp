// The amortization page's texts against the engine: the monthly rows, the
// annual sums and periods, and extra payments carried over by payment number.

#include <gtest/gtest.h>

#include "Amortization.h"
#include "Exceptions.h"
#include "MortLib.h"

namespace {

// The monthly grid as texts, row 0 the headers.
struct Grid {
    std::vector<std::array<std::string, AmortizationCols>> Rows;
    explicit Grid(TMortgage& m) {
        Rows.push_back({});
        auto body = BuildAmortizationRows(m);
        Rows.insert(Rows.end(), body.begin(), body.end());
    }
    int RowCount() const { return int(Rows.size()); }
    TGridCellText Cell() const {
        return [this](int c, int r) { return Rows[size_t(r)][size_t(c)]; };
    }
    std::vector<std::array<std::string, AnnualAmortizationCols>> Annual() const {
        return BuildAnnualAmortizationRows(RowCount(), Cell());
    }
};

std::vector<std::string> Periods(const Grid& g) {
    std::vector<std::string> p;
    for (auto& row : g.Annual()) p.push_back(row[1]);
    return p;
}

TEST(AmortizationTest, MonthlyAndAnnualGridsOfTheSampleLoan) {
    TMortgage m(360, 100000, 0.0875, 12, 1, 2000);
    Grid g(m);
    ASSERT_EQ(g.RowCount(), 361);
    EXPECT_EQ(g.Rows[1], (std::array<std::string, 8>{"1", "Jan 2000", "$57.53", "$729.17", "$57.53", "$729.17", "$0.00",
                                                     "$99,942.47"}));
    EXPECT_EQ(g.Rows[360][7], "$0.97");
    auto annual = g.Annual();
    ASSERT_EQ(annual.size(), 30u);
    EXPECT_EQ(annual[0][1], "Jan - Dec 2000");
    EXPECT_EQ(annual[29][1], "Jan - Dec 2029");
    EXPECT_EQ(annual[0][0], "1");
    // Year 1 sums exactly the first twelve rows.
    double principal = 0, interest = 0;
    for (int r = 1; r <= 12; ++r) {
        principal += MoneyTextToFloat(g.Rows[size_t(r)][2]);
        interest += MoneyTextToFloat(g.Rows[size_t(r)][3]);
    }
    EXPECT_NEAR(MoneyTextToFloat(annual[0][2]), principal, 0.005);
    EXPECT_NEAR(MoneyTextToFloat(annual[0][4]), principal + interest, 0.005);
}

TEST(AmortizationTest, ExtraPaymentsEndTheScheduleEarly) {
    TMortgage m(360, 100000, 0.0875, 12, 1, 2000);
    m.SetExtraPaymentRange(1, 12, 5000);
    Grid g(m);
    ASSERT_EQ(g.RowCount(), 71);
    EXPECT_EQ(g.Rows[70], (std::array<std::string, 8>{"70", "Oct 2005", "$351.73", "$2.56", "$100,000.00", "$14,636.59",
                                                      "$0.00", "$0.00"}));
    auto annual = g.Annual();
    ASSERT_EQ(annual.size(), 6u);
    EXPECT_EQ(annual[5][1], "Jan - Oct 2005");
}

TEST(AmortizationTest, AnnualPeriodsFollowTheCalendar) {
    struct Row {
        int month, payments;
        std::vector<std::string> periods;
    };
    const Row rows[] = {
        {3, 24, {"Mar - Dec 2000", "Jan - Dec 2001", "Jan - Feb 2002"}},
        {12, 13, {"Dec 2000", "Jan - Dec 2001"}},
        {1, 13, {"Jan - Dec 2000", "Jan 2001"}},
        // A schedule ending inside its first year is labelled with its last month.
        {3, 5, {"Mar - Jul 2000"}},
        {3, 1, {"Mar 2000"}},
    };
    for (const Row& r : rows) {
        TMortgage m(r.payments, 10000, 0.06, 12, r.month, 2000);
        EXPECT_EQ(Periods(Grid(m)), r.periods) << r.month << "/" << r.payments;
    }
}

TEST(AmortizationTest, EmptyScheduleHasNoAnnualRows) {
    TMortgage zero(0, 100000, 0.0875, 12, 1, 2000);
    EXPECT_EQ(Grid(zero).RowCount(), 1);
    TMortgage noLoan(360, 0, 0.0875, 12, 1, 2000);
    EXPECT_EQ(Grid(noLoan).RowCount(), 1);
    EXPECT_TRUE(BuildAnnualAmortizationRows(2, [](int, int) { return std::string(" "); }).empty());
}

TEST(AmortizationTest, ExtraPaymentsCarryOverByPaymentNumber) {
    TMortgage m(360, 100000, 0.0875, 12, 1, 2000);
    m.SetExtraPayment(5, 1000);
    m.SetExtraPayment(300, 250.5);
    Grid old(m);
    // The term shrinks to 240: payment 300's extra payment has no row any more.
    std::string list = PrepaymentListText(240, old.RowCount(), old.Cell());
    EXPECT_EQ(list.substr(0, 10), "1 $0.00\r\n2");
    TMortgage next(240, 100000, 0.0875, 12, 1, 2000);
    ApplyPrepaymentList(next, list);
    EXPECT_EQ(next.Payments[4].Prepayment, 1000);
    double sum = 0;
    for (const TPayment& p : next.Payments) sum += p.Prepayment;
    EXPECT_EQ(sum, 1000);

    // Rows beyond the grid give lines without a number, which are skipped.
    std::string longer = PrepaymentListText(3, 2, old.Cell());
    EXPECT_EQ(longer, "1 $0.00\r\n $0.00\r\n $0.00\r\n");
    ApplyPrepaymentList(next, longer);
}

TEST(AmortizationTest, PaymentNumbersAboveTenThousandKeepEveryDigit) {
    TMortgage m(10050, 1000000, 0.01, 12, 1, 2000);
    m.SetExtraPayment(10000, 7);
    Grid g(m);
    std::string list = PrepaymentListText(10050, g.RowCount(), g.Cell());
    EXPECT_NE(list.find("\r\n10000 $7.00\r\n"), std::string::npos);
    TMortgage again(10050, 1000000, 0.01, 12, 1, 2000);
    ApplyPrepaymentList(again, list);
    EXPECT_EQ(again.Payments[9999].Prepayment, 7);
    EXPECT_EQ(again.Payments[999].Prepayment, 0) << "payment 1000 is not payment 10000";
}

TEST(AmortizationTest, NegativeRateSchedulesReadBack) {
    TMortgage m(360, 100000, -0.01, 12, 1, 2000);
    m.SetExtraPayment(2, 10);
    Grid g(m);
    ASSERT_GT(g.RowCount(), 1);
    EXPECT_EQ(g.Rows[1][3].front(), '(') << "negative interest in the locale's form";
    auto annual = g.Annual();
    EXPECT_FALSE(annual.empty());
    EXPECT_LT(MoneyTextToFloat(annual[0][3]), 0);
    TMortgage again(360, 100000, -0.01, 12, 1, 2000);
    ApplyPrepaymentList(again, PrepaymentListText(360, g.RowCount(), g.Cell()));
    EXPECT_EQ(again.Payments[1].Prepayment, 10);
}

TEST(AmortizationTest, MoneyTextsReadBackInEveryForm) {
    struct Row {
        const char* text;
        double value;
    };
    const Row rows[] = {{"$1,234.56", 1234.56}, {"($83.33)", -83.33}, {"-$5.00", -5},
                        {"$0.00", 0},           {"12", 12},           {"$99,942.47", 99942.47}};
    for (const Row& r : rows) EXPECT_DOUBLE_EQ(MoneyTextToFloat(r.text), r.value) << r.text;
    EXPECT_EQ(TextToCurrency("$1.23456"), 1.2346);
    for (const char* bad : {"", "$", "abc", "--5", "1x"}) {
        try {
            MoneyTextToFloat(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string(bad) + " is not a valid currency value!");
        }
    }
}

}  // namespace
