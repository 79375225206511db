#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "Classes.h"
#include "SysUtils.h"
#include "entintl.h"
#include "entmsgs.h"
#include "entpfmodel.h"

namespace {

const char kMoney[] = "$#,###,###,###.##";
const char kRate[] = "###.####%";

struct PictureModelTest : ::testing::Test {
    void SetUp() override { FormatSettings = USFormatSettings(); }
    TEntIntlSup intl{USIntlProfile()};
    TEntPictureFieldModel m{intl};

    // A field as the window creates it from its definition.
    void Make(TPictureDataType type, const std::string& mask = {}) {
        m.SetDataType(type);
        if (!mask.empty()) m.SetPictureMask(mask);
        m.PrepareWindow();
        m.InitBlankValue();
    }
    void Type(const std::string& shown) {
        ASSERT_EQ(shown.size(), static_cast<size_t>(m.GetMaxLength())) << shown;
        m.SetText(shown);
    }
};

std::string RightAligned(const std::string& s, size_t width) { return std::string(width - s.size(), ' ') + s; }

}  // namespace

TEST_F(PictureModelTest, FloatValuesShowInTheirMask) {
    struct Row {
        const char* mask;
        double value;
        const char* text;
    } rows[] = {
        {kMoney, 1234.5, "$1,234.50"},
        {kMoney, -12, "-$12.00"},
        {kMoney, 0, "$0.00"},
        {kMoney, 1234567890.12, "$1,234,567,890.12"},  // every position used
        {kRate, 8.75, "8.7500%"},
        {kRate, -12.5, "-12.5000%"},
        {kRate, 0.00004, "0.0000%"},  // no "-0.0000%" for a value that rounds to zero
        {kRate, -0.00004, "0.0000%"},
        {"##.###%", 5.125, "5.125%"},
        {"###,###,###.##", 1234567.891, "1,234,567.89"},
        {"$###,###,###.##", 999999999.994, "$999,999,999.99"},
    };
    for (const auto& r : rows) {
        Make(pftDouble, r.mask);
        m.SetAsFloat(r.value);
        const std::string expected = strlen(r.text) < m.Text().size() ? RightAligned(r.text, m.Text().size()) : r.text;
        EXPECT_EQ(m.Text(), expected) << r.mask << " " << r.value;
        EXPECT_FALSE(m.Overflowed()) << r.mask << " " << r.value;
    }
}

TEST_F(PictureModelTest, IntegerValuesShowRightAligned) {
    struct Row {
        TPictureDataType type;
        const char* mask;
        int32_t value;
        const char* text;
    } rows[] = {
        {pftInteger, "iiiiii", 360, "   360"},
        {pftInteger, "iiiiii", -32768, "-32768"},
        {pftInteger, "iiiiii", 0, "     0"},
        {pftWord, "99999", 65535, "65535"},
        {pftShortInt, "iiii", -128, "-128"},
        {pftByte, "999", 7, "  7"},
        {pftLongInt, "ii,iii,iii", 1234567, "1,234,567"},
        {pftWord, "KKKK", 255, "00FF"},    // a hexadecimal mask
        {pftInteger, "KKKK", -1, "FFFF"},  // the type's bit pattern
        {pftByte, "bbbbbbbb", 5, "00000101"},
    };
    for (const auto& r : rows) {
        Make(r.type, r.mask);
        m.SetAsInteger(r.value);
        const std::string expected = RightAligned(r.text, m.Text().size());
        EXPECT_EQ(m.Text(), expected) << r.mask << " " << r.value;
        EXPECT_EQ(m.GetAsInteger(), r.value) << r.mask;
        EXPECT_EQ(m.LastError, 0) << r.mask;
    }
}

// A value with more integer digits than the mask has positions never loses
// its leading digits or its sign: the field shows the marker and reads back
// what it was given.
TEST_F(PictureModelTest, ValueTooWideForMaskShowsOverflowMarkerAndReadsBack) {
    struct Row {
        const char* mask;
        double value;
        const char* marker;
    } rows[] = {
        {kRate, 1234.5, "***.****%"},
        {kRate, -123.5, "***.****%"},  // every position holds a digit: no room for "-"
        {"$#,###.##", 12345.67, "******.**"},
        {"$#,###.##", -1234.5, "******.**"},
        {"##########", 12345678901.0, "**********"},
    };
    for (const auto& r : rows) {
        Make(pftDouble, r.mask);
        m.SetAsFloat(r.value);
        EXPECT_EQ(m.Text(), r.marker) << r.mask << " " << r.value;
        EXPECT_TRUE(m.Overflowed());
        EXPECT_DOUBLE_EQ(m.GetAsFloat(), r.value) << r.mask;
        EXPECT_EQ(m.LastError, 0);
    }
    // the marker holds until the text changes; a value that fits clears it
    Make(pftDouble, kRate);
    m.SetAsFloat(1234.5);
    m.SetAsFloat(12.5);
    EXPECT_EQ(m.Text(), " 12.5000%");
    EXPECT_FALSE(m.Overflowed());
}

TEST_F(PictureModelTest, NegativeValueWithoutRoomForSignOverflowsInIntegerField) {
    Make(pftShortInt, "iii");
    m.SetAsInteger(-100);
    EXPECT_EQ(m.Text(), "***");
    m.SetAsInteger(-99);
    EXPECT_EQ(m.Text(), "-99");
}

// SetAsInteger(70000) on a 16-bit field used to keep the low 16 bits and show
// 4464; the whole value now shows and the read reports the range error.
TEST_F(PictureModelTest, SetAsIntegerBeyondSixteenBitsNeverShowsLowBits) {
    Make(pftInteger);
    m.SetAsInteger(70000);
    EXPECT_EQ(m.Text(), " 70000");
    // A value the text shows but the range refuses reads as 0 with the range error.
    EXPECT_EQ(m.GetAsInteger(), 0);
    EXPECT_EQ(m.LastError, efeRangeError);
    Make(pftDouble, "####.##");
    m.SetRangeLo("0");
    m.SetRangeHi("10");
    m.SetAsFloat(50);
    EXPECT_EQ(m.GetAsFloat(), 0);
    EXPECT_EQ(m.LastError, efeRangeError);
    Make(pftShortInt);  // "iiii": -1000 needs five places
    m.SetAsInteger(-1000);
    EXPECT_EQ(m.Text(), "****");
    EXPECT_EQ(m.GetAsInteger(), -1000);
    EXPECT_EQ(m.LastError, 0);
    EXPECT_EQ(m.GetAsString(), "****");
    // Once the user edits the text, the range governs again.
    m.SetText(" 300");
    EXPECT_EQ(m.GetAsInteger(), 0);
    EXPECT_EQ(m.LastError, efeRangeError);
}

TEST_F(PictureModelTest, ReadsOfTypedText) {
    Make(pftDouble, kMoney);
    Type("        $1,234.50");
    EXPECT_DOUBLE_EQ(m.GetAsFloat(), 1234.5);
    Type(std::string(17, ' '));
    EXPECT_EQ(m.GetAsFloat(), 0);
    EXPECT_EQ(m.LastError, 0);
    Type("     12.3.4   .  ");
    EXPECT_EQ(m.GetAsFloat(), 0);
    EXPECT_EQ(m.LastError, efeInvalidEntry);

    Make(pftInteger);
    Type(" 40000");
    EXPECT_EQ(m.GetAsInteger(), 0);
    EXPECT_EQ(m.LastError, efeRangeError);
    Type("  1-2 ");
    EXPECT_EQ(m.GetAsInteger(), 0);
    EXPECT_EQ(m.LastError, efeInvalidEntry);
    Type("   -42");
    EXPECT_DOUBLE_EQ(m.GetAsFloat(), -42.0);
    EXPECT_EQ(m.GetAsString(), "   -42");  // numeric fields lose efoTrimBlanks
}

TEST_F(PictureModelTest, PlainFloatMaskShowsDecimalPlacesWithoutTrailingZeros) {
    Make(pftDouble);  // "##########"
    m.SetDecimalPlaces(2);
    struct Row {
        double value;
        const char* text;
    } rows[] = {{1.5, "1.5       "}, {2.0, "2         "}, {-0.125, "-0.12     "}, {1234567.891, "1234567.89"}};
    for (auto r : rows) {
        m.SetAsFloat(r.value);
        EXPECT_EQ(m.Text(), r.text) << r.value;
    }
}

TEST_F(PictureModelTest, NonFiniteValuesNeverReachTheField) {
    Make(pftDouble, kMoney);
    m.SetAsFloat(5);
    const std::string before = m.Text();
    EXPECT_THROW(m.SetAsFloat(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(m.SetAsFloat(std::numeric_limits<double>::infinity()), EOverflow);
    EXPECT_EQ(m.Text(), before);
}

TEST_F(PictureModelTest, AccessorsRefuseOtherDataTypes) {
    Make(pftString);
    EXPECT_THROW(m.GetAsFloat(), EInvalidDataType);
    EXPECT_THROW(m.SetAsFloat(1), EInvalidDataType);
    EXPECT_THROW(m.SetAsInteger(1), EInvalidDataType);
    Make(pftDouble, kMoney);
    m.SetAsFloat(5);
    const std::string before = m.Text();
    EXPECT_THROW(m.GetAsInteger(), EInvalidDataType);
    EXPECT_THROW(m.SetAsInteger(7), EInvalidDataType);
    EXPECT_EQ(m.Text(), before);
    EXPECT_EQ(m.GetAsString(), before);
}

TEST_F(PictureModelTest, CompTruncatesFromFloatAndRoundsFromText) {
    Make(pftComp);
    struct Row {
        double in;
        double out;
    } floats[] = {{2.7, 2}, {-2.7, -2}};
    for (auto r : floats) {
        m.SetAsFloat(r.in);
        EXPECT_EQ(m.GetAsFloat(), r.out);
    }
    struct TextRow {
        const char* in;
        double out;
    } texts[] = {{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}};
    for (auto r : texts) {
        m.SetAsString(r.in);
        EXPECT_EQ(m.GetAsFloat(), r.out) << r.in;
    }
}

TEST_F(PictureModelTest, SetAsStringParsesByTypeAndRefusesBadText) {
    Make(pftDouble, kMoney);
    m.SetAsString("1234.5");
    EXPECT_DOUBLE_EQ(m.GetAsFloat(), 1234.5);
    const std::string before = m.Text();
    EXPECT_THROW(m.SetAsString("12a"), EEntryFieldError);
    EXPECT_THROW(m.SetAsString("1e309"), EEntryFieldError);  // beyond pftDouble
    EXPECT_EQ(m.Text(), before);
    m.SetAsString("  ");
    EXPECT_EQ(m.GetAsFloat(), 0);

    Make(pftInteger);
    EXPECT_THROW(m.SetAsString("32768"), EEntryFieldError);
    m.SetAsString("-32768");
    EXPECT_EQ(m.GetAsInteger(), -32768);

    Make(pftChar);
    m.SetAsString("#65");
    EXPECT_EQ(m.Text(), "A");
    m.SetAsString("#zz");
    EXPECT_EQ(m.Text(), " ");

    Make(pftBoolean);
    m.SetAsString("yes");
    EXPECT_EQ(m.Text(), "T");
    m.SetAsString("no");
    EXPECT_EQ(m.Text(), "F");
    EXPECT_EQ(m.Validate(), 0);

    Make(pftYesNo);
    m.SetAsString("true");
    EXPECT_EQ(m.Text(), "Y");  // a yes/no field shows its own letters
    EXPECT_EQ(m.Validate(), 0);
}

TEST_F(PictureModelTest, DefaultMasksAndRanges) {
    struct Row {
        TPictureDataType type;
        const char* mask;
        const char* lo;
        const char* hi;
    } rows[] = {
        {pftLongInt, "iiiiiiiiiii", "-2147483648", "2147483647"},
        {pftWord, "99999", "0", "65535"},
        {pftInteger, "iiiiii", "-32768", "32767"},
        {pftByte, "999", "0", "255"},
        {pftShortInt, "iiii", "-128", "127"},
        {pftChar, "X", "#32", "#32"},
        {pftBoolean, "B", "", ""},
    };
    for (const auto& r : rows) {
        Make(r.type);
        EXPECT_EQ(m.GetPictureMask(), r.mask);
        EXPECT_EQ(m.GetMaxLength(), static_cast<int>(strlen(r.mask)));
        EXPECT_EQ(m.GetRangeLo(), r.lo) << r.mask;
        EXPECT_EQ(m.GetRangeHi(), r.hi) << r.mask;
    }
    Make(pftDouble);
    EXPECT_EQ(m.GetPictureMask(), "##########");
    EXPECT_EQ(static_cast<double>(m.RangeHiValue().Float), 1.7e308);
    EXPECT_EQ(m.RangeLoValue().Float, -1.7e308L);
    Make(pftExtended);
    EXPECT_EQ(m.RangeHiValue().Float, 1.1e4932L);
    Make(pftDate);
    EXPECT_EQ(m.GetPictureMask(), intl.InternationalDate(false));
    EXPECT_EQ(m.RangeHiValue().Int, MaxDate);
}

TEST_F(PictureModelTest, RangeCellsHoldTheBinaryFormOfTheType) {
    Make(pftInteger);
    TEntRangeCell lo = m.RangeLoCell();
    EXPECT_EQ(lo[0], 0x00);
    EXPECT_EQ(lo[1], 0x80);
    for (int i = 2; i < 10; ++i) EXPECT_EQ(lo[i], 0) << i;

    Make(pftReal);  // 8-byte float
    double d;
    std::memcpy(&d, m.RangeHiCell().data(), 8);
    EXPECT_DOUBLE_EQ(d, 1.7e38);
    EXPECT_EQ(m.RangeHiCell()[8], 0);

    Make(pftDouble);  // 10-byte extended
    EXPECT_EQ(BytesToExtended(m.RangeHiCell().data()), 1.7e308L);

    // round trip of the cells as the window definition carries them
    Make(pftWord);
    m.SetRangeLo("10");
    m.SetRangeHi("20");
    const TEntRangeCell savedLo = m.RangeLoCell(), savedHi = m.RangeHiCell();
    TEntPictureFieldModel other(intl);
    other.Loading = true;
    other.SetDataType(pftWord);
    other.SetRangeLoCell(savedLo);
    other.SetRangeHiCell(savedHi);
    other.Loading = false;
    other.PrepareWindow();
    EXPECT_EQ(other.GetRangeLo(), "10");
    EXPECT_EQ(other.GetRangeHi(), "20");
    EXPECT_FALSE(StoresRangeCells(pftString));
    EXPECT_FALSE(StoresRangeCells(pftYesNo));
    EXPECT_TRUE(StoresRangeCells(pftChar));
}

TEST_F(PictureModelTest, RangeTextsAreCheckedAndApplied) {
    Make(pftInteger);
    m.SetRangeLo("0");
    EXPECT_THROW(m.SetRangeHi("40000"), EInvalidRangeValue);
    EXPECT_THROW(m.SetRangeHi("x"), EInvalidRangeValue);
    EXPECT_EQ(m.GetRangeHi(), "32767");
    Type("    -5");
    EXPECT_EQ(m.Validate(), efeRangeError);
    Type("     5");
    EXPECT_EQ(m.Validate(), 0);

    // Date and time limits that do not read are refused and change nothing.
    Make(pftDate);
    const std::string hi = m.GetRangeHi();
    for (const char* bad : {"13/45/99", "garbage!", "", "  /  /  "}) {
        EXPECT_THROW(m.SetRangeHi(bad), EInvalidRangeValue) << bad;
        EXPECT_EQ(m.GetRangeHi(), hi);
    }
    m.SetValue(TEntFieldValue::OfInt(DMYtoStDate(15, 3, 2024, 0)));
    EXPECT_EQ(m.Validate(), 0);
    Make(pftTime);
    EXPECT_THROW(m.SetRangeLo("99:99"), EInvalidRangeValue);
    EXPECT_EQ(m.RangeLoValue().Int, 0);

    Make(pftDouble, "####.##");
    m.SetRangeLo("1");
    m.SetRangeHi("100.5");
    EXPECT_EQ(m.GetRangeHi(), "100.50");
    m.SetAsFloat(100.5);
    EXPECT_EQ(m.Validate(), 0);
    m.SetAsFloat(100.51);
    EXPECT_EQ(m.Validate(), efeRangeError);
    // the blank value of a field whose range excludes 0 is RangeLo
    m.InitBlankValue();
    EXPECT_EQ(m.GetAsFloat(), 1);
}

TEST_F(PictureModelTest, MaskChangeKeepsTheValue) {
    Make(pftDouble, kMoney);
    m.SetAsFloat(1234.5);
    m.SetPictureMask("###,###,###.##");
    EXPECT_EQ(m.Text(), "      1,234.50");
    EXPECT_EQ(m.GetMaxLength(), 14);
    m.DesignTime = true;
    m.SetPictureMask("99.9");  // a float mask may have a point
    Make(pftInteger);
    EXPECT_THROW(m.SetPictureMask("99.9"), EInvalidPictureMask);
}

TEST_F(PictureModelTest, OptionsFollowTheDataType) {
    Make(pftDouble, kMoney);
    EXPECT_FALSE(m.GetOptions().Contains(efoTrimBlanks));
    EXPECT_TRUE(m.GetOptions().Contains(efoCaretToEnd));
    m.SetOptions(m.GetOptions() + efoReadOnly);
    EXPECT_TRUE(m.GetOptions().Contains(efoReadOnly));
    m.SetOptions(m.GetOptions() + efoForceInsert + efoForceOvertype);
    EXPECT_FALSE(m.GetOptions().Contains(efoForceOvertype));

    Make(pftChar);
    EXPECT_FALSE(m.GetOptions().Contains(efoCaretToEnd));
    Make(pftString);
    m.SetOptions({efoRightJustify});  // a right-justified string trims
    EXPECT_TRUE(m.GetOptions().Contains(efoTrimBlanks));
    m.SetPictureMask("XXX-XXX");
    EXPECT_FALSE(m.GetOptions().Contains(efoRightJustify));
}

TEST_F(PictureModelTest, PropertySettersRefuseValuesOutsideTheirBounds) {
    Make(pftString);
    for (int len : {0, 256, 10}) EXPECT_FALSE(m.SetMaxLength(len)) << len;  // 10 is below the mask
    EXPECT_TRUE(m.SetMaxLength(20));
    EXPECT_EQ(m.GetMaxLength(), 20);
    // A window definition is held to the same bound while it loads.
    m.Loading = true;
    for (int len : {0, 2000000000, -5}) EXPECT_FALSE(m.SetMaxLength(len)) << len;
    EXPECT_EQ(m.GetMaxLength(), 20);
    m.Loading = false;

    m.ControllerEpoch = [] { return 1950; };
    m.SetEpoch(1599);
    EXPECT_EQ(m.GetEpoch(), 0);
    m.SetEpoch(1900);
    EXPECT_EQ(m.GetEpoch(), 1900);
    m.SetEpoch(1950);  // the field follows the controller
    EXPECT_EQ(m.GetEpoch(), 0);
}

TEST_F(PictureModelTest, StringTransferTrimsAndStripsByOptions) {
    Make(pftString);
    m.SetAsString("abc");
    EXPECT_EQ(m.Text(), "abc            ");
    EXPECT_EQ(m.GetAsString(), "abc");
    m.SetPictureMask("XXX-XXX");
    m.SetOptions(m.GetOptions() + efoStripLiterals);
    m.SetText("ab -cd ");
    EXPECT_EQ(m.GetAsString(), "ab cd ");  // literals make the mask lose efoTrimBlanks
    m.SetOptions(m.GetOptions() - efoStripLiterals);
    EXPECT_EQ(m.GetAsString(), "ab -cd ");
}

TEST_F(PictureModelTest, DatesTransferThroughTheirMask) {
    Make(pftDate);
    const TStDate day = DMYtoStDate(15, 3, 2024, 0);
    m.SetValue(TEntFieldValue::OfInt(day));
    TEntFieldValue v;
    EXPECT_EQ(m.GetValue(v), 0);
    EXPECT_EQ(v.Int, day);
    m.InitBlankValue();  // blank date passes
    EXPECT_EQ(m.Validate(), 0);
    std::string bad = m.Text();
    for (size_t i = 0; i < bad.size(); ++i)
        if (bad[i] == ' ') bad[i] = '9';
    m.SetText(bad);  // 99/99/99
    EXPECT_EQ(m.Validate(), efeInvalidDate);
}

TEST_F(PictureModelTest, RequiredCheckAndUserValidation) {
    Make(pftString);
    m.SetOptions(m.GetOptions() + efoInputRequired);
    EXPECT_EQ(m.CheckContents(false), efeRequired);
    m.SetOptions(m.GetOptions() + efoReadOnly);  // a read-only field is never reported empty
    EXPECT_EQ(m.CheckContents(false), 0);

    Make(pftInteger);
    m.SetOptions({efoInputRequired});
    m.PrepareWindow();  // a required integer starts uninitialized
    EXPECT_TRUE(m.GetUninitialized());
    EXPECT_EQ(m.CheckContents(false), efeRequired);
    EXPECT_EQ(m.CheckContents(true), 0);

    int calls = 0;
    m.OnUserValidation = [&](uint16_t& code) {
        ++calls;
        m.SetAsInteger(99);  // ignored while the hook runs
        if (code == 0) code = 40000;
    };
    m.SetAsInteger(5);
    EXPECT_EQ(m.GetAsInteger(), 0);
    EXPECT_EQ(m.LastError, 40000);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(m.Text(), "     5");
}

TEST_F(PictureModelTest, ErrorCodesMapToTheirTexts) {
    EXPECT_EQ(ErrorCodeText(efeRequired, ""), "A value is required in this field");
    EXPECT_EQ(ErrorCodeText(efePartialEntry, ""), "This field should be either empty or completely full");
    EXPECT_EQ(ErrorCodeText(40000, "Rate too high"), "Rate too high");
    EXPECT_EQ(ErrorCodeText(300, "Rate too high"), "Entry Error");
}

TEST_F(PictureModelTest, ZeroDisplayBlanksAZeroOnlyWhenNotEditing) {
    Make(pftDouble, kMoney);
    m.SetAsFloat(0);
    const std::string blanks(17, ' ');
    struct Row {
        TZeroDisplay zd;
        bool editing, modified, blank;
    } rows[] = {
        {zdShow, false, false, false},
        {zdHide, false, false, true},
        {zdHide, true, false, false},
        {zdHideUntilModified, false, false, true},
        {zdHideUntilModified, false, true, false},
    };
    for (const auto& r : rows) {
        m.ZeroDisplay = r.zd;
        m.Editing = r.editing;
        EXPECT_EQ(m.DisplayText(r.modified) == blanks, r.blank) << int(r.zd) << r.editing << r.modified;
    }
    m.Editing = false;
    m.ZeroDisplay = zdHide;
    m.SetAsFloat(0.5);
    EXPECT_EQ(m.DisplayText(false), m.Text());
    m.ZeroDisplayValue = 0.5;
    EXPECT_EQ(m.DisplayText(false), blanks);
}

TEST_F(PictureModelTest, DisplayPadsTrailingBlanksAndHidesPasswords) {
    Make(pftString, "XXX-XXX");
    m.SetText("ab -c  ");
    m.PadChar = '_';
    EXPECT_EQ(m.DisplayText(false), "ab_-c__");
    m.SetOptions(m.GetOptions() + efoPasswordMode);
    EXPECT_EQ(m.DisplayText(false), "**_-*__");
    m.DesignTime = true;
    EXPECT_EQ(m.DisplayText(false), "ab -c  ");
}
