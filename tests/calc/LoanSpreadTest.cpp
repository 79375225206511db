// The loan spread tables: headings, body and summary of every mode.

#include <gtest/gtest.h>

#include <cmath>

#include "Exceptions.h"
#include "LoanSpread.h"

namespace {

double Round(double v, int decimals) {
    double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

TLoanSpreadInputs Sample(int mode) {
    TLoanSpreadInputs in;
    in.Mode = mode;
    in.Loan = 100000;
    in.RatePercent = 8.75;
    in.Term = 360;
    in.Payment = 786.7;
    in.LoanStep = 3;
    in.RateStep = 3;
    in.PaymentStep = 3;
    return in;
}

std::string Cell(const TLoanSpreadTable& t, int c, int r) { return t.Cells[size_t(c)][size_t(r)].value_or("<unset>"); }

TEST(LoanSpreadTest, PaymentTableHeadingsBodyAndSummary) {
    TLoanSpreadTable t;
    BuildLoanSpreadTable(Sample(0), t);
    EXPECT_TRUE(t.Complete);
    EXPECT_EQ(Cell(t, 0, 0), " Loan / Rate");
    const char* cols[] = {"  7.25%", "  7.75%", "  8.25%", "  8.75%", "  9.25%", "  9.75%", "  10.25%"};
    for (int c = 1; c <= 7; ++c) EXPECT_EQ(Cell(t, c, 0), cols[c - 1]);
    EXPECT_EQ(Cell(t, 0, 1), " $95,000");
    EXPECT_EQ(Cell(t, 0, 6), " $100,000");
    EXPECT_EQ(Cell(t, 0, 11), " $105,000");
    EXPECT_EQ(Cell(t, 4, 6), " $786.70");
    EXPECT_EQ(Cell(t, 1, 1), " $648.07");
    EXPECT_EQ(Cell(t, 7, 11), " $940.91");
    EXPECT_EQ(Round(*t.Solved, 4), 786.7004);
    EXPECT_EQ(Round(*t.TotalPaid, 3), 283212.146);
    EXPECT_EQ(Round(*t.InterestPaid, 3), 183212.146);
    EXPECT_EQ(t.LoanIncrementText, "$1000");
    EXPECT_EQ(t.RateIncrementText, "1/2%");
    EXPECT_FALSE(t.PaymentIncrementText) << "the payment caption is not this mode's";
}

TEST(LoanSpreadTest, OtherModesSolveTheirQuantity) {
    TLoanSpreadTable loan;
    BuildLoanSpreadTable(Sample(1), loan);
    EXPECT_EQ(Round(*loan.Solved, 2), 99999.95);
    EXPECT_EQ(Round(*loan.TotalPaid, 2), 283212.00);
    EXPECT_EQ(Round(*loan.InterestPaid, 2), 183212.05);
    EXPECT_EQ(Cell(loan, 4, 6), " $100,000") << "whole dollars in the body";
    EXPECT_EQ(Cell(loan, 0, 6), " $786.70");
    EXPECT_EQ(Cell(loan, 0, 0), "<unset>") << "only the payment table writes the corner";
    EXPECT_EQ(loan.PaymentIncrementText, "$75");

    TLoanSpreadTable rate;
    BuildLoanSpreadTable(Sample(2), rate);
    EXPECT_NEAR(*rate.Solved, 8.75, 5e-4);
    EXPECT_EQ(Cell(rate, 4, 6), " 8.750%");
    EXPECT_EQ(Cell(rate, 4, 0), "  $786.70");

    TLoanSpreadTable term;
    BuildLoanSpreadTable(Sample(3), term);
    EXPECT_EQ(*term.SolvedTerm, 360);
    EXPECT_EQ(Round(*term.TotalPaid, 2), 283212.71) << "totals from the untruncated term";
    EXPECT_EQ(Cell(term, 4, 6), " 360.00");
    EXPECT_EQ(Cell(term, 1, 1), " 0.00") << "561.70 does not cover a month's interest on 95,000";

    TLoanSpreadTable none;
    BuildLoanSpreadTable(Sample(4), none);
    EXPECT_FALSE(none.Complete);
    EXPECT_EQ(Cell(none, 4, 6), "<unset>");
}

TEST(LoanSpreadTest, PaymentHeadingsShowCents) {
    TLoanSpreadInputs in = Sample(2);
    in.Payment = 1234.56;
    TLoanSpreadTable t;
    BuildLoanSpreadTable(in, t);
    EXPECT_EQ(Cell(t, 4, 0), "  $1,234.56");
    EXPECT_EQ(Cell(t, 5, 0), "  $1,309.56");
}

TEST(LoanSpreadTest, EdgeInputs) {
    TLoanSpreadInputs in = Sample(0);
    in.Term = 0;
    TLoanSpreadTable zero;
    BuildLoanSpreadTable(in, zero);
    EXPECT_EQ(Cell(zero, 3, 3), " $0.00");
    EXPECT_EQ(*zero.Solved, 0);
    EXPECT_EQ(*zero.InterestPaid, -100000);

    in = Sample(0);
    in.RatePercent = 0.375;
    in.RateStep = 0;
    TLoanSpreadTable r0;
    BuildLoanSpreadTable(in, r0);
    EXPECT_EQ(Cell(r0, 1, 0), "  0%");
    EXPECT_EQ(Cell(r0, 1, 6), " $277.78") << "rate 0: loan / n";

    in = Sample(0);
    in.Loan = 3000;
    TLoanSpreadTable neg;
    BuildLoanSpreadTable(in, neg);
    EXPECT_EQ(Cell(neg, 0, 1), " ($2,000)");
    EXPECT_EQ(Cell(neg, 4, 1).substr(0, 3), " ($");

    in = Sample(0);
    in.LoanStep = -1;
    TLoanSpreadTable flat;
    BuildLoanSpreadTable(in, flat);
    for (int r = 1; r <= 11; ++r) EXPECT_EQ(Cell(flat, 2, r), Cell(flat, 2, 6));
    EXPECT_FALSE(flat.LoanIncrementText) << "the caption keeps its earlier text";
}

TEST(LoanSpreadTest, TermBeyondTheFieldIsAMathErrorBeforeTheTermIsSet) {
    TLoanSpreadInputs in = Sample(3);
    in.RatePercent = 0;
    in.Loan = 1e9;
    in.Payment = 1;
    TLoanSpreadTable t;
    EXPECT_THROW(BuildLoanSpreadTable(in, t), EMathError);
    EXPECT_FALSE(t.SolvedTerm);
    EXPECT_FALSE(t.TotalPaid);
    EXPECT_TRUE(t.Cells[4][5].has_value()) << "cells before the centre hold their new texts";
    EXPECT_FALSE(t.Cells[4][7].has_value());
    EXPECT_FALSE(t.Complete);
}

TEST(LoanSpreadTest, PlaceholdersOfEachMode) {
    EXPECT_EQ(LoanSpreadPlaceholder(0, 0, 0), " Loan / Rate");
    EXPECT_EQ(LoanSpreadPlaceholder(1, 0, 0), " Pmt / Rate");
    EXPECT_EQ(LoanSpreadPlaceholder(3, 0, 0), " Loan / Pmt");
    EXPECT_EQ(LoanSpreadPlaceholder(1, 0, 11), "9.50%");
    EXPECT_EQ(LoanSpreadPlaceholder(2, 7, 0), "$950.00");
    EXPECT_EQ(LoanSpreadPlaceholder(2, 0, 6), " $100,000");
    EXPECT_EQ(LoanSpreadPlaceholder(0, 3, 3), "");
    EXPECT_EQ(LoanSpreadPlaceholder(5, 0, 0), "");
}

}  // namespace
