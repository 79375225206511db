// Number texts: FloatToStrF, FormatFloat, Format and the conversions back.

#include <gtest/gtest.h>

#include "SysUtils.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

class NumberText : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = FormatSettings;
        FormatSettings = USFormatSettings();
    }
    void TearDown() override { FormatSettings = saved_; }
    TFormatSettings saved_;
};

struct FloatRow {
    long double value;
    TFloatFormat format;
    int precision, digits;
    const char* expected;
};

TEST_F(NumberText, FloatToStrFFollowsTheClassLibraryRules) {
    const FloatRow rows[] = {
        // Currency, US patterns.
        {1234.5L, ffCurrency, 15, 2, "$1,234.50"},
        {-1234.5L, ffCurrency, 15, 2, "($1,234.50)"},
        {0.0L, ffCurrency, 15, 2, "$0.00"},
        {-0.004L, ffCurrency, 15, 2, "$0.00"},  // rounds to zero: no negative pattern
        {1234567.891L, ffCurrency, 15, 0, "$1,234,568"},
        // General: 15 significant digits, shortest form, exponent beyond precision or below 1E-4.
        {1e20L, ffGeneral, 15, 0, "1E20"},
        {1e-7L, ffGeneral, 15, 0, "1E-7"},
        {1.5e-5L, ffGeneral, 15, 0, "1.5E-5"},
        {1e-4L, ffGeneral, 15, 0, "0.0001"},
        {1e15L, ffGeneral, 15, 0, "1E15"},
        {123456789012345.0L, ffGeneral, 15, 0, "123456789012345"},
        {1.0L / 3, ffGeneral, 15, 0, "0.333333333333333"},
        {2.0L / 3, ffGeneral, 15, 0, "0.666666666666667"},
        {-0.0L, ffGeneral, 15, 0, "0"},
        {-12.5L, ffGeneral, 15, 0, "-12.5"},
        {0.1, ffGeneral, 15, 0, "0.1"},  // the double's binary noise stays hidden
        {12345.0L, ffGeneral, 4, 0, "1.235E4"},
        {1e20L, ffGeneral, 15, 3, "1E020"},  // digits = minimum exponent digits
        // Exponent.
        {1234.5L, ffExponent, 15, 3, "1.23450000000000E+003"},
        {-0.000123L, ffExponent, 4, 0, "-1.230E-4"},
        {0.0L, ffExponent, 5, 2, "0.0000E+00"},
        // Fixed and number: half away from zero on the exact decimal value.
        {2.675, ffFixed, 15, 2, "2.67"},     // the double is 2.67499999...
        {1.005, ffFixed, 15, 2, "1.00"},     // the double is 1.00499999...
        {0.125L, ffFixed, 15, 2, "0.13"},    // an exact half rounds up
        {-0.125L, ffFixed, 15, 2, "-0.13"},  // and away from zero below it
        {2.5L, ffFixed, 15, 0, "3"},
        {0.5L, ffFixed, 15, 0, "1"},
        {0.4L, ffFixed, 15, 0, "0"},
        {-0.001L, ffFixed, 15, 2, "0.00"},
        {0.9999L, ffFixed, 15, 2, "1.00"},
        {1234567.891L, ffFixed, 15, 2, "1234567.89"},
        {1234567.891L, ffNumber, 15, 2, "1,234,567.89"},
        {-999.996L, ffNumber, 15, 2, "-1,000.00"},
        {123.0L, ffNumber, 15, 0, "123"},
        {1000.0L, ffNumber, 15, 1, "1,000.0"},
        {0.05L, ffNumber, 15, 3, "0.050"},
        // Fixed forms fall back to general when the integer part exceeds precision.
        {1e20L, ffFixed, 15, 2, "1E20"},
        {1e20L, ffCurrency, 15, 2, "1E20"},
        {999999999999999.9L, ffFixed, 15, 2, "1E15"},
    };
    for (const FloatRow& r : rows)
        EXPECT_EQ(FloatToStrF(r.value, r.format, r.precision, r.digits), r.expected)
            << "value " << static_cast<double>(r.value) << " format " << r.format;
    EXPECT_EQ(FloatToStr(1234.5L), "1234.5");
}

TEST_F(NumberText, CurrencyPatternsCoverEveryFormat) {
    const char* positive[4] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
    for (int f = 0; f < 4; ++f) {
        FormatSettings.CurrencyFormat = static_cast<uint8_t>(f);
        EXPECT_EQ(FloatToStrF(1.5L, ffCurrency, 15, 2), positive[f]) << f;
    }
    const char* negative[16] = {"($1.50)", "-$1.50",  "$-1.50",   "$1.50-",  "(1.50$)", "-1.50$",
                                "1.50-$",  "1.50$-",  "-1.50 $",  "-$ 1.50", "1.50 $-", "$ 1.50-",
                                "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
    for (int f = 0; f < 16; ++f) {
        FormatSettings.NegCurrFormat = static_cast<uint8_t>(f);
        EXPECT_EQ(FloatToStrF(-1.5L, ffCurrency, 15, 2), negative[f]) << f;
    }
}

TEST_F(NumberText, SeparatorsComeFromTheSettings) {
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    FormatSettings.CurrencyString = "EUR";
    FormatSettings.CurrencyFormat = 3;
    EXPECT_EQ(FloatToStrF(1234567.5L, ffCurrency, 15, 2), "1.234.567,50 EUR");
    EXPECT_EQ(FloatToStr(0.25L), "0,25");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5L), "1.234,50");
    EXPECT_EQ(Format("%n", {1234.5}), "1.234,50");
    // Explicit settings leave the global ones alone.
    EXPECT_EQ(FloatToStrF(1234.5L, ffNumber, 15, 2, USFormatSettings()), "1,234.50");
}

TEST_F(NumberText, SeventeenDigitsRoundTripEveryDouble) {
    // An independent check of the digit generation: 17 significant digits
    // identify a double exactly.
    const double values[] = {0.1,
                             1.0 / 3,
                             2.675,
                             1e-300,
                             4.9406564584124654e-324,
                             1.7976931348623157e308,
                             123456.789,
                             -9.87654321e-12,
                             5e-5,
                             0.30000000000000004};
    for (double v : values) {
        std::string text = FloatToStrF(v, ffGeneral, 17, 0);
        double back = 0;
        ASSERT_TRUE(TryStrToFloat(text, back)) << text;
        EXPECT_EQ(back, v) << text;
    }
}

TEST_F(NumberText, NotANumberAndInfinityAreNamed) {
    EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStrF(-std::numeric_limits<long double>::infinity(), ffCurrency, 15, 2), "-INF");
}

TEST_F(NumberText, CurrencyValuesCarryFourDecimals) {
    EXPECT_EQ(CurrToStr(1234.5L), "1234.5");
    EXPECT_EQ(CurrToStr(1.23456L), "1.2346");
    EXPECT_EQ(CurrToStr(-0.00004L), "0");
    EXPECT_EQ(CurrToStrF(1234.5L, ffCurrency, 2), "$1,234.50");
}

struct PatternRow {
    const char* format;
    long double value;
    const char* expected;
};

TEST_F(NumberText, FormatFloatSectionsAndPlaceholders) {
    const PatternRow rows[] = {
        {"#,##0.00", 1234.5L, "1,234.50"},
        {"#,##0.00", 0.005, "0.01"},  // the double is 0.0050000...01
        {"#,##0.00", -1234567.125L, "-1,234,567.13"},
        {"#,##0.00;(#,##0.00)", -1234.5L, "(1,234.50)"},
        {"#,##0.00;(#,##0.00)", 1234.5L, "1,234.50"},
        {"#,##0.00;(#,##0.00)", -0.001L, "0.00"},  // rounds to zero: no sign, no brackets
        {"0.00;(0.00);'nil'", 0.0L, "nil"},
        {"0.00;(0.00);'nil'", 0.004L, "nil"},
        {"#,##0.00;;Zero", -3.0L, "-3.00"},  // empty negative section: first one with a sign
        {"0.000", 2.5L, "2.500"},
        {"0", -0.4L, "0"},
        {"#.##", 0.5L, ".5"},
        {"#", 0.0L, ""},
        {"000000", 123.0L, "000123"},
        {"00-00", 12345.0L, "123-45"},  // extra digits go to the first placeholder
        {"#,##0", 1234567890.0L, "1,234,567,890"},
        {"#,##0.###", 1.23456L, "1.235"},
        {"#,##0.###", 1.2L, "1.2"},
        {"##0.", 5.0L, "5"},  // no separator without a decimal digit
        {".00", 12.5L, "12.50"},
        {"$#,##0.00", -5.0L, "-$5.00"},
        {"0.00\" %\"", 12.345L, "12.35 %"},
        {"'#'0", 7.0L, "#7"},
        {"0.00E+00", 12345.0L, "1.23E+04"},
        {"0.###E-0", 0.00012345L, "1.234E-4"},
        {"0.0E+000", 0.0L, "0.0E+000"},
        {"00.0e-0", 1234.0L, "12.3e2"},
        {"", 1.5L, "1.5"},
        {";(0)", 2.0L, "2"},  // empty first section: general format
    };
    for (const PatternRow& r : rows)
        EXPECT_EQ(FormatFloat(r.format, r.value), r.expected) << r.format << " " << static_cast<double>(r.value);
}

TEST_F(NumberText, FormatSpecifiers) {
    EXPECT_EQ(Format("%d|%5d|%-5d|%.3d|%5.3d", {42, 42, 42, -5, 7}), "42|   42|42   |-005|  007");
    EXPECT_EQ(Format("%x|%.4x|%u|%u", {255, 255, -1, int64_t(-1)}), "FF|00FF|4294967295|18446744073709551615");
    EXPECT_EQ(Format("%s|%6s|%-6s|%.2s|%s", {"abc", "abc", "abc", "abc", 'z'}), "abc|   abc|abc   |ab|z");
    EXPECT_EQ(Format("[%4s]", {"äé"}), "[  äé]");                                 // widths count characters
    EXPECT_EQ(Format("%f|%.3f|%.0f", {1234.5, 1.0005, 2.5}), "1234.50|1.000|3");  // 1.0005 is 1.000499...
    EXPECT_EQ(Format("%e|%.3e", {1234.5, 1234.5}), "1.23450000000000E+003|1.23E+003");
    EXPECT_EQ(Format("%g|%g|%.3g", {0.5, 1e20, 1234.5}), "0.5|1E020|1.23E003");
    EXPECT_EQ(Format("%n|%.0n", {1234567.5, 1234567.5}), "1,234,567.50|1,234,568");
    EXPECT_EQ(Format("%m|%m|%.0m", {1234.5, -1234.5, 1234.5}), "$1,234.50|($1,234.50)|$1,235");
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b", "c"}), "b a b");
    EXPECT_EQ(Format("%*d|%-*d|%.*f", {5, 1, 4, 2, 1, 3.14159}), "    1|2   |3.1");
    EXPECT_EQ(Format("100%% %S %D", {"x", 3}), "100% x 3");
    EXPECT_EQ(Format("%10.2m", {-1.5}), "   ($1.50)");
}

TEST_F(NumberText, FormatRejectsBadFormatsAndArguments) {
    const struct {
        const char* format;
        std::vector<TVarRec> args;
        const char* message;
    } rows[] = {
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"%s", {7}, "Format '%s' invalid or incompatible with argument"},
        {"%q", {1}, "Format '%q' invalid or incompatible with argument"},
        {"abc %", {1}, "Format 'abc %' invalid or incompatible with argument"},
        {"%*d", {"x", 1}, "Format '%*d' invalid or incompatible with argument"},
        // A width or precision from an argument has the bound of a written one.
        {"%*d", {2000000000, 1}, "Format '%*d' invalid or incompatible with argument"},
        {"%.*f", {int64_t(1) << 40, 1.5}, "Format '%.*f' invalid or incompatible with argument"},
        {"%2000000d", {1}, "Format '%2000000d' invalid or incompatible with argument"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
        {"%3:d", {1}, "No argument for format '%3:d'"},
    };
    for (const auto& r : rows) {
        try {
            Format(r.format, r.args);
            ADD_FAILURE() << "no error for " << r.format;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, r.message);
        }
    }
}

TEST_F(NumberText, StrToFloatReadsTheSettingsDecimalSeparator) {
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    const struct {
        const char* text;
        bool ok;
        long double value;
    } rows[] = {
        {"1,5", true, 1.5L},   {"  -2,25  ", true, -2.25L},
        {"+3", true, 3.0L},    {",5", true, 0.5L},
        {"7,", true, 7.0L},    {"1,5E3", true, 1500.0L},
        {"2e-2", true, 0.02L}, {"1.5", false, 0},  // the other separator is not a decimal point here
        {"1.234,5", false, 0},                     // nor are thousands separators read
        {"", false, 0},        {"-", false, 0},
        {"1e", false, 0},      {"1,5x", false, 0},
        {"1e99999", false, 0}, {"nan", false, 0},
    };
    for (const auto& r : rows) {
        long double v = -99;
        EXPECT_EQ(TryStrToFloat(r.text, v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
    double d = 0;
    EXPECT_FALSE(TryStrToFloat("1e400", d));  // beyond a double
    EXPECT_EQ(StrToFloatDef("x", 4.5L), 4.5L);
    try {
        StrToFloat("abc");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'abc' is not a valid floating point value");
    }
}

TEST_F(NumberText, IntegerConversions) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } rows[] = {
        {"0", true, 0},
        {"-12", true, -12},
        {" +7", true, 7},
        {"$FF", true, 255},
        {"0x1a", true, 26},
        {"$FFFFFFFF", true, -1},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"12 ", false, 0},
        {"", false, 0},
        {"$", false, 0},
        {"1.0", false, 0},
        {"x", false, 0},
    };
    for (const auto& r : rows) {
        int v = -99;
        EXPECT_EQ(TryStrToInt(r.text, v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToIntDef("bad", 5), 5);
    try {
        StrToInt("x");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'x' is not a valid integer value");
    }
    EXPECT_EQ(IntToStr(-1234567890123LL), "-1234567890123");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 2), "FFFFFFFFFFFFFFFF");
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    std::string old_;
};

TEST(RegionalSettings, PlainAndUnknownLocalesGiveTheUsSettings) {
    const TFormatSettings us = USFormatSettings();
    for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
        ScopedEnv env("LC_ALL", name);
        EXPECT_TRUE(FormatSettingsFromLocale() == us) << name;
    }
    EXPECT_EQ(us.CurrencyDecimals, 2);
    EXPECT_EQ(us.ShortMonthNames[11], "Dec");
    EXPECT_EQ(us.LongDayNames[0], "Sunday");
}

// Locales in codesets other than UTF-8, compiled once per run from the C
// library's locale sources into a private folder that LOCPATH points at.
class LegacyLocales : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/varnholt-locales-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        for (const char* spec : {"de_DE ISO-8859-15", "pl_PL ISO-8859-2", "ru_RU KOI8-R", "ja_JP UTF-8"}) {
            std::string s = spec;
            const std::string input = s.substr(0, s.find(' ')), charmap = s.substr(s.find(' ') + 1);
            const std::string command = "localedef -i " + input + " -f " + charmap + " " + folder_ + "/" + input + "." +
                                        charmap + " >/dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
    static void TearDownTestSuite() { std::system(("rm -rf " + folder_).c_str()); }

    static TFormatSettings SettingsOf(const char* locale) {
        ScopedEnv path("LOCPATH", folder_.c_str());
        ScopedEnv all("LC_ALL", locale);
        return FormatSettingsFromLocale();
    }

    static std::string folder_;
};

std::string LegacyLocales::folder_;

TEST_F(LegacyLocales, TextsAreDecodedByTheirOwnCodeset) {
    struct Row {
        const char* locale;
        const char* currency;
        const char* october;  // LongMonthNames[9]
    };
    const Row rows[] = {
        {"de_DE.ISO-8859-15", "\xE2\x82\xAC", "Oktober"},  // the euro sign is 0xA4 there
        {"pl_PL.ISO-8859-2", "z\xC5\x82",
         "pa\xC5\xBA"
         "dziernika"},
        {"ru_RU.KOI8-R", "\xD1\x80\xD1\x83\xD0\xB1", "\xD0\xBE\xD0\xBA\xD1\x82\xD1\x8F\xD0\xB1\xD1\x80\xD1\x8F"},
    };
    for (const Row& r : rows) {
        const TFormatSettings fs = SettingsOf(r.locale);
        EXPECT_EQ(fs.CurrencyString, r.currency) << r.locale;
        EXPECT_EQ(fs.LongMonthNames[9], r.october) << r.locale;
        EXPECT_EQ(fs.DecimalSeparator, ',') << r.locale;
        EXPECT_EQ(fs.ShortDateFormat, "dd/MM/yyyy") << r.locale;
        EXPECT_EQ(fs.DateSeparator, '.') << r.locale;
    }
}

TEST_F(LegacyLocales, JapaneseDatesReadBackWhatTheyWrite) {
    const TFormatSettings fs = SettingsOf("ja_JP.UTF-8");
    const TDateTime when = EncodeDate(2003, 6, 7);
    const std::string text = FormatDateTime(fs.ShortDateFormat, when, fs);
    EXPECT_EQ(text,
              "2003\xE5\xB9\xB4"
              "06\xE6\x9C\x88"
              "07\xE6\x97\xA5");
    TDateTime back = 0;
    EXPECT_TRUE(TryStrToDate(text, back, fs));
    EXPECT_EQ(back, when);
}

}  // namespace

// A value that rounds to zero shows no sign, in every money and number text.
TEST_F(NumberText, AmountsThatRoundToZeroShowNoMinusSign) {
    for (double v : {-0.001, -0.004999, -0.0, -1e-300}) {
        EXPECT_EQ(Format("%.2f|%.2n|%m|%.0f", {v, v, v, v}), "0.00|0.00|$0.00|0") << v;
        EXPECT_EQ(FormatFloat("#,##0.00", v), "0.00") << v;
        EXPECT_EQ(FormatFloat("$#,##0.00;($#,##0.00)", v), "$0.00") << v;
        EXPECT_EQ(FloatToStrF(v, ffCurrency, 15, 2), "$0.00") << v;
        EXPECT_EQ(FloatToStrF(v, ffFixed, 15, 2), "0.00") << v;
        EXPECT_EQ(FloatToStrF(v, ffNumber, 15, 2), "0.00") << v;
    }
    EXPECT_EQ(FloatToStrF(-0.005, ffFixed, 15, 2), "-0.01");
}
