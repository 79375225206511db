#include <gtest/gtest.h>

#include "entintl.h"
#include "entpicmask.h"
#include "entuser.h"

TEST(EntUserData, DefaultsAndLookups) {
    TEntUserData data;
    for (char m = '1'; m <= '8'; ++m) {
        ASSERT_TRUE(data.UserCharSet(m));
        EXPECT_EQ(data.UserCharSet(m)->count(), 255u) << m;
        EXPECT_FALSE(data.UserCharSet(m)->test(0));
        EXPECT_EQ(data.ForceCase(m), ucrNone);
    }
    for (int u = 0xF1; u <= 0xF8; ++u) EXPECT_EQ(data.SubstChar(char(u)), char(u));
    for (char other : {'0', '9', 'X', char(0xF0), char(0xF9)}) {
        EXPECT_FALSE(data.UserCharSet(other));
        EXPECT_FALSE(data.ForceCase(other));
        EXPECT_FALSE(data.SubstChar(other));
    }
}

TEST(EntUserData, TheMaskEngineReadsTheProcessWideSets) {
    TEntIntlSup intl{USIntlProfile()};
    TEntUserData& data = EntUserData();
    const TEntUserData saved = data;
    TEntCharSet hex;
    for (char c : std::string("0123456789abcdef")) hex.set(static_cast<unsigned char>(c));
    data.SetUserCharSet('1', hex);
    data.SetForceCase('1', ucrLower);

    char ch = 'F';
    EXPECT_TRUE(CharIsOK('1', ch, ' ', true, intl)) << "the case rule applies first";
    EXPECT_EQ(ch, 'f');
    ch = 'g';
    EXPECT_FALSE(CharIsOK('1', ch, ' ', true, intl));
    data = saved;
    ch = 'g';
    EXPECT_TRUE(CharIsOK('1', ch, ' ', true, intl));
}
