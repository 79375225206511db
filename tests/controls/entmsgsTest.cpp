#include <gtest/gtest.h>

#include "entintl.h"
#include "entmsgs.h"

TEST(EntMessages, LookupByIdWithUnknownFallback) {
    struct Row {
        int32_t id;
        const char* text;
    } rows[] = {
        {30278, "Entry Error"},
        {30169, "Duplicate command found while adding a new command to the table"},
        {30403, "Invalid operation: Call AddSplit for split menus"},
        {30282, "Wy"},
        {33768 + 7, "ccCtrlChar"},
        {33768 + 75, "ccWordRight"},
        {34068 + 6, "SmallInt"},
        {34068 + 15, "Time"},
        {34468, "X  any character"},
        {34491, "8  User 8"},
        {1, "Unknown"},
        {30167, "Unknown"},
        {34492, "Unknown"},
        {30278 + 65536, "Entry Error"},  // looked up by the low 16 bits
    };
    for (const auto& r : rows) EXPECT_EQ(LookupMessageText(r.id), r.text) << r.id;
    EXPECT_EQ(FindMessageIndex(1), "");
}

TEST(EntMessages, TableIsSortedSoEveryRowIsFound) {
    // the binary search finds each command name and data type name
    for (int code = 0; code <= 75; ++code)
        EXPECT_EQ(LookupMessageText(SEntFirstCommandName + code).rfind("cc", 0), 0u) << code;
    for (int t = 0; t < 16; ++t) EXPECT_NE(LookupMessageText(SEntFirstDataTypeName + t), "Unknown") << t;
}

TEST(EntMessages, TranslatedTextsReplaceBuiltInOnes) {
    LoadMessageTable({{30278, "Eingabefehler"}, {12345, "ignored"}});
    EXPECT_EQ(LookupMessageText(30278), "Eingabefehler");
    EXPECT_EQ(LookupMessageText(12345), "Unknown");
    ResetMessageTable();
    EXPECT_EQ(LookupMessageText(30278), "Entry Error");
}

TEST(EntMessages, ExceptionsCarryTheirFormattedTexts) {
    LoadEntIntlSup(USIntlProfile());
    struct Row {
        int type;
        const char* text;
    } ranges[] = {
        {5, "Invalid range. Enter a value between (0) and (65535)"},
        {4, "Invalid range. Enter a value between (-2147483648) and (2147483647)"},
        {8, "Invalid range. Enter a value between (-128) and (127)"},
        {11, "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
        {14, "Invalid date range. Enter a value using 'mm/dd/yyyy' as the format"},
        {15, "Invalid time range. Enter a value using 'Hh:mm tt' as the format"},
        {0, "Invalid range value"},
        {16, "Invalid range value"},
    };
    for (const auto& r : ranges) EXPECT_EQ(EInvalidRangeValue(r.type).Message, r.text) << r.type;
    EXPECT_EQ(EInvalidPictureMask("99.9").Message, "Invalid picture mask: 99.9");
    EXPECT_EQ(EInvalidPictureMask("100%s").Message, "Invalid picture mask: 100%s");

    try {
        throw ETableNotFound();
    } catch (const ECmdProcessorError& e) {
        EXPECT_STREQ(e.what(), "Command table not found or command table index out of range");
    }
    try {
        throw EInvalidPageIndex();
    } catch (const EEntException& e) {
        EXPECT_EQ(e.Message, "Invalid page index value");
    }
    EXPECT_EQ(ENoTimersAvailable().Message, "No Window's timers are available");
}
