#include <gtest/gtest.h>

#include "FnpNumericEditModel.h"

namespace {

struct KeyRow {
    const char* text;
    int decimals;
    int selStart, selLength;
    double minValue;
    char32_t key;
    const char* wantText;
    int wantCaret;
};

class FnpNumericEditModelTest : public ::testing::Test {
protected:
    void SetUp() override { us = USFormatSettings(); }
    TFnpNumericEditModel Make(const std::string& text, int decimals, int selStart, int selLength = 0) {
        TFnpNumericEditModel m;
        m.SetDecimals(decimals, us);
        m.Text = text;
        m.SelStart = selStart;
        m.SelLength = selLength;
        return m;
    }
    TFormatSettings us;
};

TEST_F(FnpNumericEditModelTest, TypingFollowsTheCalculatorRules) {
    const KeyRow rows[] = {
        // A lone leading zero is replaced, further integer digits insert.
        {"0.00", 2, 1, 0, 0, '5', "5.00", 1},
        {"5.00", 2, 1, 0, 0, '3', "53.00", 2},
        {"0.00", 2, 0, 0, 0, '7', "7.00", 1},
        {"123.45", 2, 1, 0, 0, '9', "1923.45", 2},
        {"123.45", 2, 3, 0, 0, '9', "1239.45", 4},
        // The fraction is overwritten.
        {"12.34", 2, 3, 0, 0, '9', "12.94", 4},
        {"12.34", 2, 4, 0, 0, '9', "12.39", 5},
        // The separator jumps to the fraction.
        {"12.34", 2, 1, 0, 0, '.', "12.34", 3},
        {"12.34", 2, 0, 2, 0, '.', "12.34", 3},
        // A negative number keeps its sign and zero.
        {"-0.00", 2, 0, 0, -1, '4', "-4.00", 2},
        {"-0.00", 2, 2, 0, -1, '4', "-4.00", 2},
        {"-5.00", 2, 2, 0, -1, '3', "-53.00", 3},
        // No decimals.
        {"-0", 0, 2, 0, -1, '5', "-5", 2},
        {"-5", 0, 2, 0, -1, '3', "-53", 3},
        {"0", 0, 1, 0, 0, '8', "8", 1},
        {"12", 0, 2, 0, 0, '8', "128", 3},
        // Sign toggles only where negatives are allowed.
        {"5.00", 2, 1, 0, -1, '-', "-5.00", 2},
        {"-5.00", 2, 2, 0, -1, '-', "5.00", 1},
        // A selection is replaced by the digit.
        {"12.34", 2, 0, 5, 0, '5', "5.00", 1},
        // Backspace with a bare caret.
        {"5.00", 2, 1, 0, 0, 8, "0.00", 1},
        {"12.34", 2, 3, 0, 0, 8, "12.34", 2},
        {"12.34", 2, 5, 0, 0, 8, "12.30", 4},
        {"-5.00", 2, 2, 0, -1, 8, "-0.00", 1},
        {"-5", 0, 2, 0, -1, 8, "-0", 1},
        {"5", 0, 1, 0, 0, 8, "0", 1},
    };
    for (const KeyRow& r : rows) {
        TFnpNumericEditModel m = Make(r.text, r.decimals, r.selStart, r.selLength);
        m.MinValue = r.minValue;
        m.KeyPress(r.key, '.');
        EXPECT_EQ(m.Text, r.wantText) << r.text << " key " << static_cast<int>(r.key) << " at " << r.selStart;
        EXPECT_EQ(m.SelStart, r.wantCaret) << r.text << " key " << static_cast<int>(r.key) << " at " << r.selStart;
        EXPECT_EQ(m.SelLength, 0);
    }
}

// A key the rules refuse must not touch the text, even over a selection: the
// field would otherwise drop to 0 and the calculation run with 0.
TEST_F(FnpNumericEditModelTest, RejectedKeyLeavesSelectedTextAlone) {
    const struct {
        const char* text;
        int decimals, selStart, selLength;
        char32_t key;
    } rows[] = {
        {"12.34", 2, 0, 5, 'a'},       {"12.34", 2, 0, 5, ' '}, {"12.34", 2, 0, 5, '-'},  // negatives not allowed
        {"12", 0, 0, 2, '.'},                                                             // no decimals
        {"12.34", 2, 0, 0, '0'},                                                          // a zero at the very start
        {"12.34", 2, 5, 0, '7'},                                                          // past the last decimal
        {"12.34", 2, 0, 5, U'\u00e9'},
    };
    for (const auto& r : rows) {
        TFnpNumericEditModel m = Make(r.text, r.decimals, r.selStart, r.selLength);
        EXPECT_EQ(m.KeyPress(r.key, '.'), TFnpKeyAction::Rejected) << static_cast<int>(r.key);
        EXPECT_EQ(m.Text, r.text);
        EXPECT_EQ(m.SelStart, r.selStart);
        EXPECT_EQ(m.SelLength, r.selLength);
    }
}

TEST_F(FnpNumericEditModelTest, ClipboardKeysGoToThePlatform) {
    TFnpNumericEditModel m = Make("12.34", 2, 0, 5);
    for (char32_t k : {char32_t(3), char32_t(22), char32_t(24)}) {
        EXPECT_EQ(m.KeyPress(k, '.'), TFnpKeyAction::Platform);
        EXPECT_EQ(m.Text, "12.34");
    }
}

// Backspace over a selection removes the selection and nothing more.
TEST_F(FnpNumericEditModelTest, BackspaceOverSelectionDeletesOnlyTheSelection) {
    TFnpNumericEditModel m = Make("12.34", 2, 1, 1);  // "2" selected
    m.KeyPress(8, '.');
    EXPECT_EQ(m.Text, "1.34");
    EXPECT_EQ(m.SelStart, 1);
}

TEST_F(FnpNumericEditModelTest, DeleteKeyKeepsTheFormat) {
    const struct {
        const char* text;
        int decimals, selStart, selLength;
        const char* wantText;
        int wantCaret;
    } rows[] = {
        {"12.34", 2, 3, 0, "12.40", 3}, {"12.34", 2, 2, 0, "12.34", 3},  // the separator is stepped over
        {"5.00", 2, 0, 0, "0.00", 1},   {"-5.00", 2, 1, 0, "-0.00", 1},
        {"12.34", 2, 5, 0, "12.34", 5},  // nothing after the caret
        {"12.34", 2, 1, 3, "1.40", 1},   // "2.3" selected
        {"12.34", 2, 0, 5, "0.00", 1},  {"-12", 0, 0, 3, "0", 0},
        {"7", 0, 0, 0, "0", 1},
    };
    for (const auto& r : rows) {
        TFnpNumericEditModel m = Make(r.text, r.decimals, r.selStart, r.selLength);
        m.DeleteKey();
        EXPECT_EQ(m.Text, r.wantText) << r.text << " at " << r.selStart << "+" << r.selLength;
        EXPECT_EQ(m.SelStart, r.wantCaret) << r.text << " at " << r.selStart << "+" << r.selLength;
    }
}

TEST_F(FnpNumericEditModelTest, DecimalsAreClampedAndReformatTheText) {
    TFnpNumericEditModel m = Make("8.75", 2, 0);
    m.SetDecimals(12, us);
    EXPECT_EQ(m.GetDecimals(), 9);
    EXPECT_EQ(m.Text, "8.750000000");
    m.SetDecimals(-1, us);
    EXPECT_EQ(m.GetDecimals(), 0);
    EXPECT_EQ(m.GetFormat(), "0");
    EXPECT_EQ(m.Text, "9");
    m.SetDecimals(3, us);
    EXPECT_EQ(m.GetFormat(), "0.000");
    EXPECT_EQ(m.Text, "9.000");
}

// A long digit string must not come back as some other, wrapped number.
TEST_F(FnpNumericEditModelTest, GetAsIntegerRaisesInsteadOfWrapping) {
    TFnpNumericEditModel m = Make("-12.75", 2, 0);
    EXPECT_EQ(m.AsInteger(us), -12);
    m.Text = "2147483647";
    EXPECT_EQ(m.AsInteger(us), 2147483647);
    m.Text = "-2147483648";
    EXPECT_EQ(m.AsInteger(us), -2147483647 - 1);
    for (const char* text : {"2147483648", "99999999999", "-2147483649"}) {
        m.Text = text;
        EXPECT_THROW(m.AsInteger(us), EConvertError) << text;
    }
}

}  // namespace
