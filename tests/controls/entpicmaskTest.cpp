#include <gtest/gtest.h>

#include <algorithm>

#include "entintl.h"
#include "entpicmask.h"

namespace {

struct MaskFixture : ::testing::Test {
    TEntIntlSup intl{USIntlProfile()};
    TEntPictureMask Make(const std::string& mask, int maxLength = -1) {
        TEntPictureMask m(intl);
        m.Mask = mask;
        m.MaxLength = maxLength < 0 ? static_cast<int>(mask.size()) : maxLength;
        m.InitPictureFlags();
        return m;
    }
    static std::string Trim(std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    }
};

const char kMoney[] = "$#,###,###,###.##";

}  // namespace

TEST_F(MaskFixture, PositionClassesAndMaskLongerField) {
    auto m = Make("###.####%");
    EXPECT_EQ(m.PositionClass(3), pcLiteral);
    EXPECT_EQ(m.PositionClass(8), pcLiteral);
    EXPECT_EQ(m.PositionClass(0), pcPicture);
    auto money = Make(kMoney);
    EXPECT_EQ(money.PositionClass(0), pcSemiLiteral);
    EXPECT_EQ(money.PositionClass(2), pcSemiLiteral);
    EXPECT_EQ(money.SemiLitCount(), 4);
    EXPECT_TRUE(money.IsNumericMask());
    EXPECT_FALSE(Make("XXXX").IsNumericMask());

    auto longer = Make("999-999-999X", 17);  // 12 mask characters, 17 positions
    for (int i = 12; i < 17; ++i) EXPECT_EQ(longer.MaskCharAt(i), 'X');

    TEntPictureMask plain(intl);
    plain.Mask = "XXXX";
    plain.MaxLength = 4;
    plain.RightJustify = plain.TrimBlanks = true;
    plain.InitPictureFlags();
    EXPECT_TRUE(plain.NoLiterals());
    EXPECT_TRUE(plain.RightJustify);  // kept: no literal positions
    plain.Mask = "XX-X";
    plain.InitPictureFlags();
    EXPECT_FALSE(plain.RightJustify);
    EXPECT_FALSE(plain.TrimBlanks);
}

TEST_F(MaskFixture, CharIsOKByMaskCharacter) {
    struct Row {
        char mask, in, prev;
        bool ok;
        char out;
    } rows[] = {
        {'9', '5', ' ', true, '5'},    {'9', ' ', ' ', true, ' '},  {'9', 'a', ' ', false, 'a'},
        {'9', '-', ' ', false, '-'},   {'i', '-', ' ', true, '-'},  {'#', '.', ' ', true, '.'},
        {'#', 'a', ' ', false, 'a'},   {'K', 'a', ' ', true, 'A'},  {'K', 'g', ' ', false, 'G'},
        {'O', '8', ' ', false, '8'},   {'O', '7', ' ', true, '7'},  {'b', '2', ' ', false, '2'},
        {'B', 't', ' ', true, 'T'},    {'B', 'x', ' ', false, 'X'}, {'Y', 'n', ' ', true, 'N'},
        {'!', 'q', ' ', true, 'Q'},    {'L', 'Q', ' ', true, 'q'},  {'x', 'q', ' ', true, 'Q'},
        {'x', 'q', 'a', true, 'q'},    {'x', 'q', '-', true, 'Q'},  {'a', '1', ' ', false, '1'},
        {'A', 'e', ' ', true, 'E'},    {'E', 'e', ' ', true, 'E'},  {'E', '+', ' ', true, '+'},
        {'X', '\0', ' ', false, '\0'}, {'t', 'z', ' ', true, 'z'},
    };
    for (const auto& r : rows) {
        char c = r.in;
        EXPECT_EQ(CharIsOK(r.mask, c, r.prev, true, intl), r.ok) << r.mask << " " << r.in;
        EXPECT_EQ(c, r.out) << r.mask << " " << r.in;
    }
    TEntMaskUserData user;
    user.Sets[0].reset();
    for (char c = 'a'; c <= 'f'; ++c) user.Sets[0].set(static_cast<unsigned char>(c));
    user.CaseRules[0] = ucrLower;
    char c = 'C';
    EXPECT_TRUE(CharIsOK('1', c, ' ', true, intl, user));
    EXPECT_EQ(c, 'c');
    c = 'g';
    EXPECT_FALSE(CharIsOK('1', c, ' ', true, intl, user));
}

TEST_F(MaskFixture, MergeMoneyRightAligned) {
    auto m = Make(kMoney);
    struct Row {
        const char* value;
        const char* shown;
    } rows[] = {
        {"1234.50", "$1,234.50"}, {"0", "$0.00"},        {"-12", "-$12.00"}, {"1234567890.1", "$1,234,567,890.10"},
        {"-999", "-$999.00"},     {"1000", "$1,000.00"}, {"", "0.00"},
    };
    for (const auto& r : rows) {
        const std::string merged = m.MergePicture(r.value);
        EXPECT_EQ(merged.size(), 17u) << r.value;
        EXPECT_EQ(Trim(merged), r.shown) << r.value;
        EXPECT_EQ(merged.back(), r.shown[std::char_traits<char>::length(r.shown) - 1]) << "right-aligned";
    }
}

TEST_F(MaskFixture, StripUndoesMerge) {
    auto m = Make(kMoney);
    for (const char* v : {"1234.50", "0.00", "-12.00", "987654.32"})
        EXPECT_EQ(Trim(m.StripPicture(m.MergePicture(v))), v);
    EXPECT_EQ(m.StripPicture("short"), "short");  // other lengths pass through
}

TEST_F(MaskFixture, LocaleSeparatorsAndNulThousands) {
    TEntIntlProfile p = USIntlProfile();
    p.Intl = {{"sDecimal", ","}, {"sThousand", "."}, {"sCurrency", "EUR"}};
    intl.Load(p);
    auto m = Make("$$$#,###.##");
    EXPECT_EQ(Trim(m.MergePicture("1234.5")), "EUR1.234,50");
    EXPECT_EQ(Trim(m.StripPicture(m.MergePicture("1234.5"))), "1234.50");

    intl.CommaChar = 0;
    auto n = Make("#,###.##");
    EXPECT_EQ(n.MergePicture("1234.5"), "1234,50");  // the "," position is removed
}

TEST_F(MaskFixture, PlainMasksLayOutLeftOrRight) {
    auto phone = Make("(999) 999-9999");
    EXPECT_EQ(phone.MergePicture("5551234567"), "(555) 123-4567");
    EXPECT_EQ(phone.StripPicture("(555) 123-4567"), "5551234567");
    auto upper = Make("!!!!!");
    EXPECT_EQ(upper.MergePicture("ab"), "AB   ");
    TEntPictureMask right(intl);
    right.Mask = "XXXXX";
    right.MaxLength = 5;
    right.InitPictureFlags();
    right.RightJustify = true;
    EXPECT_EQ(right.MergePicture("ab"), "   ab");
    auto percent = Make("###.####%");
    percent.FloatField = true;
    EXPECT_EQ(percent.MergePicture("12.5"), " 12.5000%");
}

TEST_F(MaskFixture, CurrencyRuns) {
    TEntIntlProfile p = USIntlProfile();
    p.Intl = {{"sCurrency", "kr"}, {"iCurrency", "3"}};
    intl.Load(p);
    auto m = Make("#,###.##CCC");
    EXPECT_EQ(m.MergePicture("12.5"), "   12.50 kr");
    auto l = Make("ccc###.##");
    EXPECT_EQ(l.MergePicture("7"), " kr  7.00");
}

TEST_F(MaskFixture, EditingCleansAndReformats) {
    auto m = Make(kMoney);
    std::string text = m.MergePicture("1234.5");
    ASSERT_TRUE(m.CleanForEditing(text));
    EXPECT_EQ(text.size(), 17u);
    EXPECT_EQ(Trim(text), "1234.50");  // bare digits, closed up at the point
    // the user types over the digits: replace "1234" with "98765"
    auto dot = text.find('.');
    text.replace(dot - 5, 5, "98765");
    EXPECT_EQ(Trim(m.Reformat(text)), "$98,765.50");
}

TEST_F(MaskFixture, PastedTextStopsAtTheFirstRefusedCharacter) {
    auto m = Make("#######.##");
    std::string accepted;
    for (char c : std::string("12a3")) {
        char ch = c;
        if (!CharIsOK(m.MaskCharAt(static_cast<int>(accepted.size())), ch, ' ', true, intl)) break;
        accepted += ch;
    }
    EXPECT_EQ(accepted, "12");
    EXPECT_EQ(Trim(m.MergePicture(accepted)), "12.00");
}

TEST_F(MaskFixture, AlignDecimalMovesDigitsToThePoint) {
    auto m = Make("#####.##");
    EXPECT_EQ(m.AlignDecimal("12   .5 "), "   12.50");
    EXPECT_EQ(m.AlignDecimal("     .  "), "    0.00");
    EXPECT_EQ(m.AlignDecimal("1 2 3.4 "), "  123.40");
}
