#include <gtest/gtest.h>

#include "NumCtrlModel.h"

namespace {

class NumCtrlModelTest : public ::testing::Test {
protected:
    void SetUp() override { us = USFormatSettings(); }
    static TNumEditModel Make(TNumericType type, int decimals, bool rounding, const char* mask = "#,##0") {
        TNumEditModel m;
        m.NumericType = type;
        m.Decimals = static_cast<uint16_t>(decimals);
        m.UseRounding = rounding;
        m.Masks.PositiveMask = mask;
        return m;
    }
    // One pass of the user entering and leaving the edit without typing.
    void FocusPass(TNumEditModel& m) {
        long double typed = 0;
        ASSERT_EQ(TNumEditModel::ParseTyped(m.StripForEdit(m.FormatText(us), us), us, typed), TNumParseResult::Number);
        m.Value = m.StoredValue(typed);
    }
    TFormatSettings us;
};

TEST_F(NumCtrlModelTest, FormatText) {
    const struct {
        TNumericType type;
        int decimals;
        bool rounding;
        const char* mask;
        long double value;
        const char* want;
    } rows[] = {
        {ntPercentage, 3, true, "#,##0", 0.0875L, "8.750%"},
        {ntPercentage, 3, false, "#,##0", 0.0875L, "8.750%"},
        {ntPercentage, 3, false, "#,##0", 0.0875, "8.750%"},  // from a double
        {ntGeneral, 3, false, "#,##0.###", 1.23456L, "1.234"},
        {ntGeneral, 3, false, "#,##0.###", -1.23456L, "-1.234"},
        {ntGeneral, 3, false, "#,##0.###", 2.3, "2.3"},
        {ntGeneral, 3, true, "#,##0.###", 0.0625L, "0.062"},  // ties go to the even digit
        {ntGeneral, 3, true, "#,##0.###", 0.0635L, "0.064"},
        {ntGeneral, 0, true, "#,##0", 2.5L, "2"},
        {ntGeneral, 0, true, "#,##0", 3.5L, "4"},
        {ntGeneral, 3, true, "#,##0.###", -0.0004L, "0"},
        {ntGeneral, 2, true, "#,##0.00;(#,##0.00);-", -5.5L, "(5.50)"},
        {ntGeneral, 2, true, "#,##0.00;(#,##0.00);-", 0.001L, "-"},
        {ntCurrency, 2, true, "#,##0", -2.5L, "($2.50)"},
        {ntCurrency, 2, false, "#,##0", 0.999L, "$0.99"},
    };
    for (const auto& r : rows) {
        TNumEditModel m = Make(r.type, r.decimals, r.rounding, r.mask);
        m.Value = r.value;
        EXPECT_EQ(m.FormatText(us), r.want) << static_cast<double>(r.value) << " type " << r.type;
    }
}

// 1.5 in a three-decimal truncating field must show 1.5 and stay 1.5 however
// often the user passes through the field.
TEST_F(NumCtrlModelTest, TruncationKeepsTheValuesOwnDigits) {
    for (long double v : {1.5L, 2.3L, 0.07L, 4.1L, 123.456L, 0.001L}) {
        TNumEditModel m = Make(ntGeneral, 3, false, "#,##0.###");
        m.Value = v;
        for (int pass = 0; pass < 3; ++pass) FocusPass(m);
        EXPECT_EQ(m.Value, v) << static_cast<double>(v);
    }
}

TEST_F(NumCtrlModelTest, PercentageRoundTrip) {
    TNumEditModel m = Make(ntPercentage, 3, true);
    long double typed = 0;
    ASSERT_EQ(TNumEditModel::ParseTyped("9.5", us, typed), TNumParseResult::Number);
    m.Value = m.StoredValue(typed);
    EXPECT_EQ(m.Value, 9.5L / 100);
    EXPECT_EQ(m.FormatText(us), "9.500%");
    EXPECT_EQ(m.StripForEdit(m.FormatText(us), us), "9.500");
    const long double stored = m.Value;
    for (int pass = 0; pass < 3; ++pass) FocusPass(m);
    EXPECT_EQ(m.Value, stored);
    EXPECT_EQ(m.FormatText(us), "9.500%");
}

TEST_F(NumCtrlModelTest, CurrencyRoundTrip) {
    for (long double v : {1234.56L, -1234.56L, 0.0L, 1000000.0L}) {
        TNumEditModel m = Make(ntCurrency, 2, true);
        m.Value = v;
        const std::string shown = m.FormatText(us);
        for (int pass = 0; pass < 2; ++pass) FocusPass(m);
        EXPECT_NEAR(static_cast<double>(m.Value), static_cast<double>(v), 1e-9) << shown;
        EXPECT_EQ(m.FormatText(us), shown);
    }
}

TEST_F(NumCtrlModelTest, StripForEditKeepsOneMinus) {
    TNumEditModel m = Make(ntGeneral, 0, true);
    m.Value = -1234;
    EXPECT_EQ(m.StripForEdit("-1,234", us), "-1,234");
    m.NumericType = ntCurrency;
    EXPECT_EQ(m.StripForEdit("($1,234.00)", us), "-1,234.00");
}

TEST_F(NumCtrlModelTest, ParseTyped) {
    const struct {
        const char* text;
        TNumParseResult result;
        long double number;
    } rows[] = {
        {"12-", TNumParseResult::Number, -12},     {"-1,234.5", TNumParseResult::Number, -1234.5L},
        {"$", TNumParseResult::Number, 0},         {"abc", TNumParseResult::Number, 0},
        {"", TNumParseResult::NotANumber, 0},      {"-", TNumParseResult::NotANumber, 0},
        {"1.2.3", TNumParseResult::NotANumber, 0},
    };
    for (const auto& r : rows) {
        long double n = 99;
        EXPECT_EQ(TNumEditModel::ParseTyped(r.text, us, n), r.result) << r.text;
        if (r.result == TNumParseResult::Number) {
            EXPECT_EQ(n, r.number) << r.text;
        }
    }
}

TEST_F(NumCtrlModelTest, FilterKey) {
    using V = TNumKeyVerdict;
    const struct {
        const char* text;
        char32_t key;
        V want;
    } rows[] = {
        {"12", '.', V::AcceptedGrow}, {"1.2", '.', V::Rejected}, {"12", '-', V::AcceptedGrow},
        {"-12", '-', V::Rejected},    {"12", ',', V::Accepted},  {"12", 8, V::Accepted},
        {"12", 'a', V::Rejected},     {"12", '%', V::Rejected},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TNumEditModel::FilterKey(r.text, r.key, us), r.want) << r.text << " " << static_cast<int>(r.key);
}

TEST_F(NumCtrlModelTest, RangeCheckAndMessage) {
    TNumEditModel m;
    m.Min = 0;
    m.Max = 0.5L;
    EXPECT_TRUE(m.InRange(7));  // Validate off
    m.Validate = true;
    EXPECT_TRUE(m.InRange(0.5L));
    EXPECT_FALSE(m.InRange(0.51L));
    EXPECT_FALSE(m.InRange(-0.01L));
    EXPECT_EQ(m.RangeMessage(us), "Value must be between 0 and 0.5");
}

TEST_F(NumCtrlModelTest, IntegerAccessors) {
    TNumEditModel m;
    m.Value = 2.5L;
    EXPECT_EQ(m.AsIntegerRounded(), 2);
    EXPECT_EQ(m.AsSmallIntRounded(), 2);
    EXPECT_EQ(m.AsRoundedFloat(), 2.0);
    m.UseRounding = false;
    m.Value = 2.9L;
    EXPECT_EQ(m.AsIntegerRounded(), 2);
    m.Value = 40000;
    EXPECT_EQ(m.AsSmallIntRounded(), 0);
    EXPECT_EQ(m.AsIntegerRounded(), 40000);
    m.Value = -1234.5L;
    EXPECT_EQ(m.GetUnformattedText("($1,234.50)"), "-1,234.50");
}

TEST_F(NumCtrlModelTest, StripCharsAndPowerOf) {
    EXPECT_EQ(StripChars("12-", "0123456789"), "-12");
    EXPECT_EQ(StripChars("-$1,2", "0123456789,"), "-1,2");
    EXPECT_EQ(StripChars("a1b2", "0123456789"), "12");
    EXPECT_EQ(PowerOf(10, 18), 1e18L);
    EXPECT_EQ(PowerOf(2, -2), 0.25L);
}

}  // namespace
