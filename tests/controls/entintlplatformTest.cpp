#include <gtest/gtest.h>

#include "SysUtils.h"
#include "entintl.h"

TEST(EntIntlPlatform, SettingsFollowTheRegionalSettings) {
    const TFormatSettings saved = FormatSettings;
    FormatSettings = USFormatSettings();
    TEntIntlSup us(PlatformIntlProfile());
    EXPECT_EQ(us.CurrencyLtStr(), "$");
    EXPECT_EQ(us.DecimalChar, '.');
    EXPECT_TRUE(us.TwelveHour);
    EXPECT_EQ(us.InternationalDate(false), "MM/DD/yy");
    EXPECT_EQ(us.InternationalLongDate(), "wwww, nnnn d, yyyy");
    EXPECT_EQ(us.LongMonthNames[11], "December");

    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd/mm/yyyy";
    FormatSettings.LongDateFormat = "d \"de\" mmmm yyyy";
    FormatSettings.CurrencyString = "EUR";
    FormatSettings.CurrencyFormat = 3;
    TEntIntlSup eu(PlatformIntlProfile());
    FormatSettings = saved;
    EXPECT_EQ(eu.DecimalChar, ',');
    EXPECT_EQ(eu.CurrencyRtStr(), " EUR");
    EXPECT_EQ(eu.InternationalDate(true), "dd/mm/yyyy");
    EXPECT_EQ(eu.DateToDateString(eu.InternationalDate(true), DMYtoStDate(7, 3, 2024, 0), false), "07.03.2024");
    EXPECT_EQ(eu.InternationalLongDate(), "d ff nnnn yyyy");
    EXPECT_EQ(eu.Literals[0], "de");
}
