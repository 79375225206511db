#include <gtest/gtest.h>

#include "entintl.h"

namespace {
TEntIntlProfile ProfileWith(std::map<std::string, std::string> keys) {
    TEntIntlProfile p = USIntlProfile();
    p.Intl = std::move(keys);
    return p;
}
}  // namespace

TEST(EntDates, KnownDayNumbers) {
    EXPECT_EQ(DMYtoStDate(1, 1, 1600, 1900), 0);
    EXPECT_EQ(DMYtoStDate(29, 2, 1600, 1900), 59);
    EXPECT_EQ(DMYtoStDate(1, 3, 1600, 1900), 60);
    EXPECT_EQ(DMYtoStDate(31, 12, 3999, 1900), MaxDate);
    EXPECT_EQ(DMYtoStDate(1, 1, 4000, 1900), BadDate);
    EXPECT_EQ(DMYtoStDate(31, 12, 1599, 1900), BadDate);
    EXPECT_EQ(DMYtoStDate(29, 2, 1900, 1900), BadDate);  // not a leap year
    EXPECT_EQ(DMYtoStDate(29, 2, 2000, 1900), DMYtoStDate(28, 2, 2000, 1900) + 1);
    EXPECT_EQ(DMYtoStDate(31, 4, 2001, 1900), BadDate);
    EXPECT_EQ(DayOfWeek(0), 6);                     // 1 January 1600 was a Saturday
    EXPECT_EQ(DayOfWeekDMY(8, 12, 2026, 1900), 2);  // a Tuesday
    EXPECT_EQ(DayOfWeek(BadDate), 7);
}

TEST(EntDates, EveryValidDateRoundTrips) {
    TStDate expected = 0;
    for (int y = MinYear; y <= MaxYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(m, y, 0); ++d) {
                const TStDate n = DMYtoStDate(d, m, y, 0);
                ASSERT_EQ(n, expected) << d << "/" << m << "/" << y;  // consecutive, no gaps
                int dd, mm, yy;
                StDateToDMY(n, dd, mm, yy);
                ASSERT_EQ(dd * 10000 + mm * 100 + (yy - 1600), d * 10000 + m * 100 + (y - 1600)) << n;
                ++expected;
            }
        }
    }
    EXPECT_EQ(expected - 1, MaxDate);
    int d, m, y;
    StDateToDMY(BadDate, d, m, y);
    EXPECT_EQ(d + m + y, 0);
}

TEST(EntDates, IncDateTruncKeepsWithinTheMonth) {
    struct Row {
        int d, m, y, months, years, ed, em, ey;
    } rows[] = {
        {31, 1, 2001, 1, 0, 28, 2, 2001},  {31, 1, 2000, 1, 0, 29, 2, 2000},   {15, 3, 2005, -3, 0, 15, 12, 2004},
        {30, 11, 2010, 3, 0, 28, 2, 2011}, {31, 12, 2010, 14, 0, 29, 2, 2012}, {29, 2, 2000, 0, 1, 28, 2, 2001},
        {31, 3, 2010, -1, 0, 28, 2, 2010}, {31, 5, 2010, -25, 0, 30, 4, 2008}, {15, 6, 2010, 0, -5, 15, 6, 2005},
    };
    for (const auto& r : rows) {
        TStDate n = IncDateTrunc(DMYtoStDate(r.d, r.m, r.y, 0), r.months, r.years);
        EXPECT_EQ(n, DMYtoStDate(r.ed, r.em, r.ey, 0)) << r.d << "/" << r.m << "/" << r.y << " + " << r.months;
    }
    EXPECT_EQ(IncDateTrunc(DMYtoStDate(15, 12, 3999, 0), 1, 0), BadDate);
    EXPECT_EQ(IncDateTrunc(BadDate, 1, 0), BadDate);
}

TEST(EntDates, EpochResolvesTwoDigitYears) {
    struct Row {
        int year, epoch, expected;
    } rows[] = {
        {99, 1900, 1999}, {0, 1900, 1900},    {5, 1900, 1905},  {49, 1950, 2049},
        {50, 1950, 1950}, {1999, 1950, 1999}, {100, 1950, 100}, {25, 2000, 2025},
    };
    for (const auto& r : rows) EXPECT_EQ(ResolveEpoch(r.year, r.epoch), r.expected) << r.year << "/" << r.epoch;
    EXPECT_EQ(DMYtoStDate(1, 1, 99, 1900), DMYtoStDate(1, 1, 1999, 0));
    EXPECT_EQ(DaysInMonth(2, 0, 1950), 29);  // 2000
}

TEST(EntTimes, ArithmeticWrapsAroundMidnight) {
    EXPECT_EQ(HMStoStTime(25, 0, 1), 3601);
    EXPECT_EQ(IncTime(HMStoStTime(23, 30, 0), 1, 0, 0), HMStoStTime(0, 30, 0));
    EXPECT_EQ(DecTime(HMStoStTime(0, 30, 0), 1, 0, 0), HMStoStTime(23, 30, 0));
    uint8_t h, m, s;
    StTimeToHMS(HMStoStTime(13, 5, 9), h, m, s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 130509);
    StTimeToHMS(BadTime, h, m, s);
    EXPECT_EQ(h + m + s, 0);
    EXPECT_FALSE(ValidTime(24, 0, 0));
    EXPECT_FALSE(ValidTime(0, 60, 0));
    EXPECT_EQ(DateTimeToStDate(0.75), DMYtoStDate(30, 12, 1899, 0));
    EXPECT_EQ(DateTimeToStTime(0.75), HMStoStTime(18, 0, 0));
}

TEST(EntIntl, SettingsFromTheProfile) {
    TEntIntlSup us(USIntlProfile());
    EXPECT_EQ(us.CurrencyLtStr(), "$");
    EXPECT_EQ(us.TimeChar, ':');
    EXPECT_EQ(us.InternationalDate(false), "mm/dd/yy");
    EXPECT_EQ(us.InternationalDate(true), "mm/dd/yyyy");
    EXPECT_EQ(us.InternationalTime(true), "Hh:mm:ss tt");
    EXPECT_EQ(us.InternationalLongDate(), "wwww, nnnn dd, yyyy");

    TEntIntlProfile dotProfile = ProfileWith({{"sTime", "."}, {"iTLZero", "1"}});
    dotProfile.LongTimeFormat = "HH.mm";
    TEntIntlSup dotTime(dotProfile);
    EXPECT_EQ(dotTime.TimeChar, '.');
    EXPECT_FALSE(dotTime.TwelveHour);
    EXPECT_EQ(dotTime.InternationalTime(false), "hh:mm");
    EXPECT_EQ(dotTime.TimeToTimeString("hh:mm", HMStoStTime(7, 5, 0), false), "07.05");

    TEntIntlSup clash(ProfileWith({{"sDecimal", ","}, {"sThousand", ","}}));
    EXPECT_EQ(clash.DecimalChar, '.');
    EXPECT_EQ(clash.CommaChar, ',');

    TEntIntlSup euro(ProfileWith({{"sCurrency", "EUR"},
                                  {"iCurrency", "3"},
                                  {"sDecimal", ","},
                                  {"sThousand", "."},
                                  {"sDate", "."},
                                  {"sShortDate", "d.M.yyyy"},
                                  {"iTLZero", "1"}}));
    EXPECT_EQ(euro.CurrencyLtStr(), "EUR");
    EXPECT_EQ(euro.CurrencyRtStr(), " EUR");
    EXPECT_EQ(euro.InternationalDate(false), "DD/MM/yy");
    EXPECT_EQ(euro.InternationalTime(false), "hh:mm tt");

    TStDate d = DMYtoStDate(7, 3, 2024, 0);
    EXPECT_EQ(euro.DateToDateString(euro.InternationalDate(true), d, false), " 7. 3.2024");
    EXPECT_EQ(euro.DateToDateString(euro.InternationalDate(true), d, true), "7.3.2024");
}

TEST(EntIntl, LongDateLiteralsAndNames) {
    TEntIntlSup intl(ProfileWith({{"sLongDate", "dddd 'de' MMMM yyyy"}}));
    EXPECT_EQ(intl.InternationalLongDate(), "wwww ff nnnn yyyy");
    EXPECT_EQ(intl.DateToDateString("wwwwwwww ff nnnnnnnn yyyy", DMYtoStDate(8, 12, 2026, 0), false),
              "Tuesday  de December 2026");
    EXPECT_EQ(intl.DateToDateString("DD NNN yyyy", DMYtoStDate(5, 1, 2026, 0), false), " 5 JAN 2026");
}

TEST(EntIntl, DateAndTimeTextsRoundTrip) {
    TEntIntlSup intl(USIntlProfile());
    const std::string mask = intl.InternationalDate(true);
    for (TStDate n : {TStDate(0), DMYtoStDate(28, 2, 1999, 0), MaxDate}) {
        std::string s = intl.DateToDateString(mask, n, false);
        EXPECT_EQ(intl.DateStringToDate(mask, s, 1900), n) << s;
    }
    EXPECT_EQ(intl.DateToDateString(mask, BadDate, false), "  /  /    ");
    EXPECT_TRUE(intl.DateStringIsBlank(mask, "  /  /    "));
    EXPECT_EQ(intl.DateStringToDate("mm/dd/yy", "02/29/01", 1900), BadDate);
    EXPECT_EQ(intl.DateStringToDate("mm/dd/yy", "12/31/99", 1950), DMYtoStDate(31, 12, 1999, 0));
    EXPECT_EQ(intl.DateStringToDate("dd nnn yyyy", "05 feb 2026", 1900), DMYtoStDate(5, 2, 2026, 0));
    EXPECT_EQ(intl.DateStringToDate("dd nnn yyyy", "05 xyz 2026", 1900), BadDate);

    const std::string tmask = "hh:mm tt";
    struct Row {
        int h, m;
        const char* text;
    } rows[] = {
        {0, 5, "12:05 AM"},
        {12, 0, "12:00 PM"},
        {13, 30, "01:30 PM"},
        {11, 59, "11:59 AM"},
    };
    for (const auto& r : rows) {
        TStTime t = HMStoStTime(r.h, r.m, 0);
        EXPECT_EQ(intl.TimeToTimeString(tmask, t, false), r.text);
        EXPECT_EQ(intl.TimeStringToTime(tmask, r.text), t) << r.text;
    }
    EXPECT_EQ(intl.TimeStringToTime(tmask, "13:00 PM"), BadTime);
    EXPECT_EQ(intl.TimeStringToTime(tmask, "01:00 XM"), BadTime);
    EXPECT_EQ(intl.TimeStringToTime("HH:MM", " 9: 5"), HMStoStTime(9, 5, 0));
    EXPECT_EQ(intl.TimeToTimeString("HH:MM", HMStoStTime(9, 5, 0), true), "9:5");
    EXPECT_EQ(intl.TimeToTimeString(tmask, BadTime, true), "  :  ");
}

TEST(EntIntl, DateTextsRoundTripOverTheWholeRange) {
    TEntIntlSup intl(USIntlProfile());
    // numbers zero- and blank-padded, and month names cut to three letters
    for (const std::string& mask : {intl.InternationalDate(true), std::string("DD NNN yyyy")}) {
        // the first and the last day of every month
        for (int y = MinYear; y <= MaxYear; ++y) {
            for (int m = 1; m <= 12; ++m) {
                for (int d : {1, DaysInMonth(m, y, 0)}) {
                    const TStDate n = DMYtoStDate(d, m, y, 0);
                    const std::string s = intl.DateToDateString(mask, n, false);
                    ASSERT_EQ(intl.DateStringToDate(mask, s, 1900), n) << mask << ": " << s;
                }
            }
        }
    }
    // a two-digit year comes back through the epoch
    const std::string shortMask = intl.InternationalDate(false);
    for (int y : {1950, 1999, 2000, 2049}) {
        const TStDate n = DMYtoStDate(15, 6, y, 0);
        EXPECT_EQ(intl.DateStringToDate(shortMask, intl.DateToDateString(shortMask, n, false), 1950), n) << y;
    }
}
