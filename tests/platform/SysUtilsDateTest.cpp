// Dates and times: encoding, the sign rule before 1899-12-30, FormatDateTime
// and StrToDate.

#include <gtest/gtest.h>

#include "SysUtils.h"

#include <string>

namespace {

class DateText : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = FormatSettings;
        FormatSettings = USFormatSettings();
    }
    void TearDown() override { FormatSettings = saved_; }
    TFormatSettings saved_;
};

TEST_F(DateText, EveryDayDecodesToTheDateItWasEncodedFrom) {
    // Walks the calendar day by day, so each serial number must be one more
    // than the previous day's: catches leap-year and century faults.
    const int ranges[][2] = {{1, 10}, {1596, 2104}, {9990, 9999}};
    for (const auto& range : ranges) {
        double expected = EncodeDate(range[0], 1, 1);
        for (int y = range[0]; y <= range[1]; ++y)
            for (int m = 1; m <= 12; ++m)
                for (int d = 1; d <= DaysInAMonth(y, m); ++d) {
                    ASSERT_EQ(EncodeDate(y, m, d), expected) << y << "-" << m << "-" << d;
                    Word yy, mm, dd;
                    DecodeDate(expected, yy, mm, dd);
                    ASSERT_TRUE(yy == y && mm == m && dd == d) << y << "-" << m << "-" << d;
                    expected += 1;
                }
    }
}

TEST_F(DateText, KnownSerialNumbers) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);    // a Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);  // a Sunday, before zero
}

TEST_F(DateText, InvalidDatesRaise) {
    const int rows[][3] = {{0, 1, 1},     {10000, 1, 1}, {2001, 2, 29}, {1900, 2, 29},
                           {2000, 13, 1}, {2000, 4, 31}, {2000, 1, 0}};
    for (const auto& r : rows) {
        EXPECT_THROW(EncodeDate(r[0], r[1], r[2]), EConvertError) << r[0] << "-" << r[1] << "-" << r[2];
        TDateTime d;
        EXPECT_FALSE(TryEncodeDate(r[0], r[1], r[2], d));
    }
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
}

TEST_F(DateText, BeforeDayZeroTheFractionIsStillTheTimeOfDay) {
    // -1.25 is 1899-12-29 at 6:00, not 1899-12-28 at 18:00.
    Word y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
    EXPECT_EQ(ComposeDateTime(EncodeDate(2000, 1, 1), EncodeTime(6, 0, 0, 0)), 36526.25);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -0.5), "1899-12-30 12:00");
}

TEST_F(DateText, TimeRoundTripsToTheMillisecond) {
    TDateTime t = EncodeTime(23, 59, 59, 999);
    Word h, n, s, ms;
    DecodeTime(EncodeDate(2024, 2, 29) + t, h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
}

TEST_F(DateText, FormatDateTimePatterns) {
    TDateTime afternoon = EncodeDate(2000, 1, 31) + EncodeTime(13, 5, 9, 7);
    TDateTime morning = EncodeDate(2007, 3, 4) + EncodeTime(0, 30, 0, 0);
    const struct {
        const char* format;
        TDateTime value;
        const char* expected;
    } rows[] = {
        {"mmm yyyy", afternoon, "Jan 2000"},
        {"MMM YYYY", afternoon, "Jan 2000"},
        {"d/m/yy", morning, "4/3/07"},
        {"dd/mm/yyyy", morning, "04/03/2007"},
        {"ddd dddd mmmm", afternoon, "Mon Monday January"},
        {"ddddd", afternoon, "1/31/2000"},
        {"dddddd", afternoon, "Monday, January 31, 2000"},
        {"h:nn:ss.zzz", afternoon, "13:05:09.007"},
        {"hh:mm", afternoon, "13:05"},  // m after h is the minute
        {"h:mm am/pm", afternoon, "1:05 pm"},
        {"h:mm AM/PM", morning, "12:30 AM"},
        {"h:mm a/p", afternoon, "1:05 p"},
        {"hh ampm", morning, "12 AM"},
        {"t", afternoon, "1:05 PM"},
        {"tt", afternoon, "1:05:09 PM"},
        {"c", afternoon, "1/31/2000 1:05:09 PM"},
        {"c", EncodeDate(2000, 1, 31), "1/31/2000"},  // no time part: no time
        {"", EncodeDate(2000, 1, 31), "1/31/2000"},
        {"'mmm' \"d\" mmm", afternoon, "mmm d Jan"},
        {"yyyy-mm-dd", EncodeDate(1, 1, 1), "0001-01-01"},
    };
    for (const auto& r : rows) EXPECT_EQ(FormatDateTime(r.format, r.value), r.expected) << r.format;

    FormatSettings.DateSeparator = '.';
    FormatSettings.TimeSeparator = '-';
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", afternoon), "31.01.2000 13-05");
    FormatSettings.ShortMonthNames[0] = "Jän";
    EXPECT_EQ(FormatDateTime("mmm", afternoon), "Jän");
}

TEST_F(DateText, StrToDateFollowsTheShortDateOrder) {
    EXPECT_EQ(StrToDate("1/31/2000"), EncodeDate(2000, 1, 31));
    EXPECT_EQ(StrToDate(" 12 / 5 / 1999 "), EncodeDate(1999, 12, 5));
    EXPECT_EQ(StrToDate("2000/1/31"), EncodeDate(2000, 1, 31));  // four-digit year first
    Word y, m, d;
    DecodeDate(StrToDate("2/3"), y, m, d);
    Word thisYear, mm, dd;
    DecodeDate(Date(), thisYear, mm, dd);
    EXPECT_TRUE(y == thisYear && m == 2 && d == 3);

    FormatSettings.ShortDateFormat = "dd.MM.yyyy";
    FormatSettings.DateSeparator = '.';
    EXPECT_EQ(StrToDate("31.1.2000"), EncodeDate(2000, 1, 31));

    for (const char* bad : {"", "1/2/3/4", "2/30/2000", "a/b/c", "1/2/2000x", "1//2000"}) {
        TDateTime dt;
        EXPECT_FALSE(TryStrToDate(bad, dt, USFormatSettings())) << bad;
    }
    try {
        StrToDate("13/1/2000", USFormatSettings());
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'13/1/2000' is not a valid date");
    }
}

TEST_F(DateText, DatesWrittenInTheShortFormatReadBack) {
    // Formats whose separators are not one ASCII character, or that close on one.
    struct Row {
        const char* format;
        char separator;
    };
    const Row rows[] = {
        {"M/d/yyyy", '/'},
        {"dd.MM.yyyy.", '.'},
        {"yyyy. MM. dd.", '.'},
        {"yyyy\xE5\xB9\xB4MM\xE6\x9C\x88"
         "dd\xE6\x97\xA5",
         '/'},  // year, month, day signs
        {"'den' d.M.yyyy", '.'},
    };
    const TDateTime when = EncodeDate(2003, 6, 7);
    for (const Row& r : rows) {
        TFormatSettings fs = USFormatSettings();
        fs.ShortDateFormat = r.format;
        fs.DateSeparator = r.separator;
        const std::string text = FormatDateTime(fs.ShortDateFormat, when, fs);
        TDateTime back = 0;
        EXPECT_TRUE(TryStrToDate(text, back, fs) && back == when) << r.format << " wrote " << text;
    }
}

TEST_F(DateText, StrToDateTakesATrailingSeparator) {
    TFormatSettings us = USFormatSettings();
    TFormatSettings dotted = USFormatSettings();
    dotted.ShortDateFormat = "d.M.yyyy";
    dotted.DateSeparator = '.';
    EXPECT_EQ(StrToDate("6/7/2003/", us), EncodeDate(2003, 6, 7));
    EXPECT_EQ(StrToDate("7.6.2003.", dotted), EncodeDate(2003, 6, 7));
    EXPECT_EQ(StrToDate(" 7 . 6 . 2003 . ", dotted), EncodeDate(2003, 6, 7));
    for (const char* bad : {"6/7/2003//", "6/7/", "6/7/2003/8", "/6/7/2003"}) {
        TDateTime dt;
        EXPECT_FALSE(TryStrToDate(bad, dt, us)) << bad;
    }
    TFormatSettings japanese = USFormatSettings();
    japanese.ShortDateFormat =
        "yyyy\xE5\xB9\xB4MM\xE6\x9C\x88"
        "dd\xE6\x97\xA5";
    Word y, m, d, thisYear;
    DecodeDate(Date(), thisYear, m, d);
    DecodeDate(StrToDate("6\xE6\x9C\x88"
                         "7\xE6\x97\xA5",
                         japanese),
               y, m, d);
    EXPECT_TRUE(y == thisYear && m == 6 && d == 7);
    EXPECT_EQ(StrToDate("2003/6/7", japanese), EncodeDate(2003, 6, 7));
    TDateTime dt;
    EXPECT_FALSE(
        TryStrToDate("2003\xE5\xB9\xB4"
                     "06\xE6\x9C\x88"
                     "07\xE6\x97\xA5x",
                     dt, japanese));
}

TEST_F(DateText, TwoDigitYearsFallInTheCenturyWindow) {
    Word thisYear, m, d;
    DecodeDate(Date(), thisYear, m, d);
    TFormatSettings fs = USFormatSettings();
    for (int yy : {0, 49, 50, 99}) {
        Word y;
        DecodeDate(StrToDate("1/1/" + std::to_string(yy), fs), y, m, d);
        EXPECT_EQ(y % 100, yy);
        EXPECT_GE(y, thisYear - 50);
        EXPECT_LT(y, thisYear + 50);
    }
}

TEST_F(DateText, NowIsTodayPlusTheTime) {
    TDateTime now = Now();
    TDateTime today = Date();
    EXPECT_GE(now, today);
    EXPECT_LT(now - today, 1.0 + 1e-6);  // may cross midnight between the two calls
    EXPECT_GT(today, EncodeDate(2020, 1, 1));
}

}  // namespace
