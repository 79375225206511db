#include "MortLib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// 100000 at 8.75 % over 360 monthly payments from January 2000.
TMortgage* StandardLoan() { return new TMortgage(360, 100000, 0.0875, 12, 1, 2000); }

// Answers the information box and records what it said.
const std::string BadNumbersText =
    "Cannot calculate results of extra payments without new figures.\n\r\n\r"
    "Please use the edit boxes and radio buttons to\n\rindicate the amount of your extra payments.";

std::vector<std::array<std::string, 9>> Snapshot(const TMortgage& m) {
    std::vector<std::array<std::string, 9>> rows;
    for (const TPayment& p : m.Payments) rows.push_back(p.ToStrings());
    return rows;
}

int PayoffRow(const TMortgage& m) {
    for (const TPayment& p : m.Payments)
        if (p.Balance == 0) return p.Number;
    return 0;
}

TEST(MortLib, StandardScheduleFigures) {
    std::unique_ptr<TMortgage> m(StandardLoan());
    ASSERT_EQ(m->Payments.Count(), 360);
    EXPECT_DOUBLE_EQ(m->Payment, 786.70);
    const TPayment& first = m->Payments[0];
    EXPECT_DOUBLE_EQ(first.Interest, 729.17);
    EXPECT_NEAR(first.Principal, 57.53, 1e-9);
    EXPECT_NEAR(first.Balance, 99942.47, 1e-9);
    EXPECT_EQ(first.Number, 1);
    EXPECT_EQ(m->Payments[12].Month, 1);
    EXPECT_EQ(m->Payments[12].Year, 2001);
    EXPECT_EQ(m->Payments[359].ToStrings()[8], "        0.97");  // no final adjustment
    EXPECT_EQ(m->Month, 12);
    EXPECT_EQ(m->Year, 2029);
}

TEST(MortLib, ExtraPaymentsOnTheFirstYear) {
    std::unique_ptr<TMortgage> m(StandardLoan());
    m->SetExtraPaymentRange(1, 12, 5000);
    const auto& rows = m->Payments;
    EXPECT_NEAR(rows[0].Principal, 5057.53, 1e-9);
    EXPECT_DOUBLE_EQ(rows[0].Interest, 729.17);
    EXPECT_NEAR(rows[0].Balance, 94942.47, 1e-9);
    EXPECT_NEAR(rows[12].Principal, 518.25, 1e-9);
    EXPECT_NEAR(rows[12].Interest, 268.45, 1e-9);
    const TPayment& payoff = rows[69];
    EXPECT_NEAR(payoff.Principal, 351.73, 1e-9);
    EXPECT_NEAR(payoff.Interest, 2.56, 1e-9);
    EXPECT_NEAR(payoff.TotalPrincipal, 100000, 1e-6);
    EXPECT_NEAR(payoff.TotalInterest, 14636.59, 1e-6);
    EXPECT_EQ(payoff.Balance, 0);
    for (int k = 70; k < 360; ++k) {
        EXPECT_EQ(rows[k].Principal, 0) << k;
        EXPECT_EQ(rows[k].Interest, 0) << k;
        EXPECT_EQ(rows[k].Balance, 0) << k;
    }
}

struct CalendarCase {
    int startMonth, startYear, row, month, year;
};

TEST(MortLib, CalendarOfTheRows) {
    const CalendarCase cases[] = {
        {3, 2000, 1, 3, 2000},   {3, 2000, 10, 12, 2000}, {3, 2000, 11, 1, 2001},
        {1, 2000, 12, 12, 2000}, {1, 2000, 13, 1, 2001},  {12, 1999, 2, 1, 2000},
        {6, 0, 1, 6, 0},         {6, 0, 30, 11, 0},       {6, -5, 30, 11, 0},
    };
    for (const auto& c : cases) {
        TMortgage m(36, 10000, 0.06, 12, c.startMonth, c.startYear);
        EXPECT_EQ(m.Payments[c.row - 1].Month, c.month) << c.startMonth << "/" << c.startYear << " row " << c.row;
        EXPECT_EQ(m.Payments[c.row - 1].Year, c.year) << c.startMonth << "/" << c.startYear << " row " << c.row;
    }
}

TEST(MortLib, EmptyZeroRateAndRefusedSchedules) {
    TMortgage empty(0, 100000, 0.0875, 12, 1, 2000);
    EXPECT_EQ(empty.Payments.Count(), 0);
    EXPECT_EQ(empty.Payment, 0);

    TMortgage interestFree(360, 100000, 0, 12, 1, 2000);
    EXPECT_DOUBLE_EQ(interestFree.Payment, 277.78);
    for (const TPayment& p : interestFree.Payments) EXPECT_EQ(p.Interest, 0);

    EXPECT_THROW(TMortgage(-1, 100000, 0.0875, 12, 1, 2000), EListError);
    EXPECT_THROW(TMortgage(12, 100000, 0.0875, 0, 1, 2000), EMathError);
}

// With 1000 extra on every payment the payoff row's principal includes the
// extra payment, so it must show it; otherwise the page, which rebuilds its
// extra payments from that column, moves the payoff on every refresh. The
// payoff row shows only the part of its extra payment that it used.
TEST(MortLib, ZeroingPassKeepsTheExtraPaymentARowReceived) {
    for (double amount : {1000.0, 300.0, 7000.0, 12345.67}) {
        SCOPED_TRACE(amount);
        std::unique_ptr<TMortgage> m(StandardLoan());
        m->SetExtraPaymentFrom(1, amount);
        const int payoff = PayoffRow(*m);
        ASSERT_GT(payoff, 1);
        if (amount == 1000) EXPECT_NEAR(m->Payments[71].Principal, 1771.40, 1e-9);
        for (const TPayment& p : m->Payments)
            if (p.Number != payoff) EXPECT_EQ(p.Prepayment, p.Number < payoff ? amount : 0) << p.Number;
        const TPayment& last = m->Payments[payoff - 1];
        const double regular = m->Payment - last.Interest;
        if (regular >= last.Principal) {
            EXPECT_EQ(last.Prepayment, 0);  // the regular payment alone paid it off
        } else {
            EXPECT_GE(regular + last.Prepayment, last.Principal - 1e-9);
            EXPECT_LT(regular + last.Prepayment, last.Principal + 0.01 + 1e-9);
        }

        // The page's refresh: rebuild and apply the column one row at a time.
        std::vector<double> column;
        for (const TPayment& p : m->Payments) column.push_back(p.Prepayment);
        const auto before = Snapshot(*m);
        m->Create(360, 100000, 0.0875, 12, 1, 2000);
        for (int k = 0; k < 360; ++k) m->SetExtraPayment(k + 1, column[k]);
        EXPECT_EQ(Snapshot(*m), before);
    }
}

// Extra payments applied one at a time, in any order, give the schedule a
// single complete calculation gives.
TEST(MortLib, ExtraPaymentsOneByOneMatchACompleteCalculation) {
    TMortgage reference(120, 50000, 0.07, 12, 5, 2010);
    for (int k = 0; k < 120; k += 3) reference.Payments[k].Prepayment = 100 + k;
    reference.Month = 5;
    reference.Year = 2010;
    reference.CalcSchedule();

    TMortgage ascending(120, 50000, 0.07, 12, 5, 2010);
    for (int k = 0; k < 120; k += 3) ascending.SetExtraPayment(k + 1, 100 + k);
    EXPECT_EQ(Snapshot(ascending), Snapshot(reference));

    TMortgage descending(120, 50000, 0.07, 12, 5, 2010);
    for (int k = 117; k >= 0; k -= 3) descending.SetExtraPayment(k + 1, 100 + k);
    EXPECT_EQ(Snapshot(descending), Snapshot(reference));
    EXPECT_EQ(descending.Month, reference.Month);
    EXPECT_EQ(descending.Year, reference.Year);

    descending.ClearExtraPayments();
    EXPECT_EQ(Snapshot(descending), Snapshot(TMortgage(120, 50000, 0.07, 12, 5, 2010)));
}

// A caller may change the inputs and recalculate through an extra-payment operation.
TEST(MortLib, ChangedInputsRecalculateEverything) {
    std::unique_ptr<TMortgage> m(StandardLoan());
    m->Principal = 50000;
    m->SetExtraPayment(360, 0);
    EXPECT_DOUBLE_EQ(m->Payment, 393.35);
    EXPECT_DOUBLE_EQ(m->Payments[0].Interest, 364.58);
}

TEST(MortLib, RefusedPaymentNumbersChangeNothing) {
    struct Call {
        const char* name;
        void (*apply)(TMortgage&);
    } calls[] = {
        {"single 400", [](TMortgage& m) { m.SetExtraPayment(400, 100); }},
        {"single 0", [](TMortgage& m) { m.SetExtraPayment(0, 100); }},
        {"range past the end", [](TMortgage& m) { m.SetExtraPaymentRange(350, 400, 100); }},
        {"range from 0", [](TMortgage& m) { m.SetExtraPaymentRange(0, 10, 100); }},
    };
    for (const auto& call : calls) {
        std::unique_ptr<TMortgage> m(StandardLoan());
        m->SetExtraPayment(5, 250);
        const auto before = Snapshot(*m);
        int notified = 0;
        m->OnExtraPaymentsApplied = [&](TObject* sender) { notified += sender == m.get(); };
        std::string message;
        try {
            call.apply(*m);
        } catch (const EPaymentNumbers& e) {
            message = e.Message;
        }
        EXPECT_EQ(message, BadNumbersText) << call.name;
        EXPECT_EQ(Snapshot(*m), before) << call.name;
        EXPECT_EQ(notified, 1) << call.name;
    }
}

TEST(MortLib, ExtraPaymentFromRefusesNumbersOutsideTheSchedule) {
    TMortgage empty;
    EXPECT_THROW(empty.SetExtraPaymentFrom(1, 1000), EListError);
    EXPECT_NO_THROW(empty.ClearExtraPayments());

    std::unique_ptr<TMortgage> m(StandardLoan());
    const auto before = Snapshot(*m);
    EXPECT_THROW(m->SetExtraPaymentFrom(361, 1000), EListError);
    EXPECT_EQ(Snapshot(*m), before);
}

TEST(MortLib, RangeWithLastBelowFirstSetsOneRow) {
    std::unique_ptr<TMortgage> m(StandardLoan());
    int notified = 0;
    m->OnExtraPaymentsApplied = [&](TObject*) { ++notified; };
    m->SetExtraPaymentRange(10, 3, 500);
    for (const TPayment& p : m->Payments) EXPECT_EQ(p.Prepayment, p.Number == 10 ? 500 : 0) << p.Number;
    EXPECT_EQ(notified, 1);
}

TEST(MortLib, RowTexts) {
    TPayment p;
    p.Number = 7;
    p.Month = 3;
    p.Year = 2001;
    p.Principal = 57.525;
    p.Interest = -5;
    p.TotalPrincipal = 123456789.125;
    p.Prepayment = -0.001;
    const std::array<std::string, 9> expected = {
        "7",           "3", "2001", "       57.52", "       -5.00", "123456789.12", "        0.00", "        0.00",
        "        0.00"};
    EXPECT_EQ(p.ToStrings(), expected);
}

}  // namespace

namespace {

// The schedule in exact integers: balance in cents, the annual rate in
// millionths (a percent of four decimals), half a cent rounding up.
struct ExactRow {
    int64_t Interest, Principal, Balance;
};
std::vector<ExactRow> ExactSchedule(int64_t principalCents, int64_t rateMillionths, int periods, int64_t paymentCents,
                                    int rows) {
    std::vector<ExactRow> out;
    int64_t balance = principalCents;
    const int64_t den = int64_t(periods) * 1000000;
    for (int k = 0; k < rows && balance > 0; ++k) {
        const int64_t num = balance * rateMillionths;  // interest in cents times den
        const int64_t interest = (2 * num + den) / (2 * den);
        const int64_t principal = std::min(paymentCents - interest, balance);
        balance -= principal;
        out.push_back({interest, principal, balance});
    }
    return out;
}

}  // namespace

// Each row's interest is what the decimal figures give, ties included, over
// a sweep of amounts and rates; the balances follow to the cent.
TEST(MortLibCents, ScheduleRowsMatchExactIntegerArithmetic) {
    {
        TMortgage m(12, 10001.00, 0.06, 12, 1, 2024);
        EXPECT_DOUBLE_EQ(m.Payments.Items(0)->Interest, 50.01) << "50.005 is half a cent: up";
    }
    int rowsCompared = 0, ties = 0;
    for (int64_t principal = 100000; principal <= 5000000; principal += 12347) {           // $1,000.00 ..
        for (int64_t rate : {10000, 45000, 60000, 72500, 87500, 99900, 123456, 150000}) {  // 1 % .. 15 %
            TMortgage m(24, double(principal) / 100, double(rate) / 1000000, 12, 1, 2024);
            const int64_t payment = std::llround(m.Payment * 100);
            const auto exact = ExactSchedule(principal, rate, 12, payment, 24);
            for (size_t k = 0; k < exact.size(); ++k) {
                const TPayment* row = m.Payments.Items(int(k));
                ASSERT_EQ(std::llround(row->Interest * 100), exact[k].Interest)
                    << principal << " cents at " << rate << " row " << k;
                ASSERT_EQ(std::llround(row->Balance * 100), exact[k].Balance) << principal << " " << rate << " " << k;
                ties += (2 * (exact[k].Balance + exact[k].Principal) * rate) % (2 * 12000000) == 12000000;
                ++rowsCompared;
            }
        }
    }
    EXPECT_GT(rowsCompared, 50000);
    EXPECT_GT(ties, 0) << "the sweep must meet half cents";
}
