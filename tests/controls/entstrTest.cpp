#include <gtest/gtest.h>

#include "Classes.h"
#include "entstr.h"

namespace {
// Each character is 1 pixel wide; the ellipsis cut keeps width-3 characters.
TEntTextMeasure CharCells() {
    return {[](const std::string& s) { return static_cast<int>(s.size()); },
            [](const std::string& s, int width) {
                return static_cast<int>(s.size()) <= width ? s : s.substr(0, std::max(width - 3, 0)) + "...";
            }};
}
}  // namespace

TEST(EntStrings, ShortenPathEndsForEveryPath) {
    struct Row {
        const char* path;
        int width;
        const char* expected;
    } rows[] = {
        {"/home/user/docs/loans/file.qvd", 0, "/home/user/docs/loans/file.qvd"},
        {"/home/user/docs/loans/file.qvd", 100, "/home/user/docs/loans/file.qvd"},
        {"/home/user/docs/loans/file.qvd", 24, "/home/user/.../file.qvd"},
        {"/home/user/docs/loans/file.qvd", 18, "/home/.../file.qvd"},
        {"/home/user/docs/loans/file.qvd", 14, "/.../file.qvd"},
        {"/home/user/docs/loans/file.qvd", 8, "/.../..."},
        {"docs/loans/file.qvd", 14, "docs/.../fi..."},
        {"file.qvd", 5, "fi..."},
        {"C:\\data\\loans\\file.qvd", 17, "C:\\...\\file.qvd"},
        {"C:\\data\\loans\\file.qvd", 21, "C:\\data\\...\\file.qvd"},
        {"/file.qvd", 6, "/....."},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ShortenPath(r.path, r.width, CharCells()), r.expected) << r.path << " " << r.width;
}

TEST(EntStrings, Words) {
    const std::string delims = " ,[]";
    EXPECT_EQ(WordCount("[fsBold, fsItalic]", delims), 2);
    EXPECT_EQ(ExtractWord(2, "[fsBold, fsItalic]", delims), "fsItalic");
    EXPECT_EQ(ExtractWord(3, "[fsBold, fsItalic]", delims), "");
    EXPECT_EQ(WordPosition(2, "  ab  cd", " "), 7);
    EXPECT_EQ(WordPosition(3, "  ab  cd", " "), 0);
    EXPECT_EQ(WordCount("", delims), 0);
    EXPECT_EQ(WordCount(",,,", delims), 0);
}

TEST(EntStrings, Primitives) {
    int pos = -1;
    EXPECT_TRUE(StrStPos("abcabc", "ca", pos));
    EXPECT_EQ(pos, 2);
    EXPECT_FALSE(StrStPos("ab", "abc", pos));
    int32_t v = 0;
    EXPECT_TRUE(StrToLongPChar("0x1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_FALSE(StrToLongPChar("12a", v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(StrToLongPChar("0X1F", v));
    EXPECT_TRUE(StrToLongPChar("-42  ", v));
    EXPECT_EQ(v, -42);
    EXPECT_FALSE(StrToLongPChar(std::string(256, '1'), v));
    EXPECT_EQ(v, -1);

    struct Row {
        const char* in;
        const char* out;
    } zeros[] = {{"1.500E+005", "1.5E+5"}, {"2.0E+000", "2"}, {"3.25", "3.25"}};
    for (const auto& r : zeros) {
        std::string s = r.in;
        TrimEmbeddedZerosPChar(s);
        EXPECT_EQ(s, r.out);
    }
    std::string t = " 12.500";
    TrimTrailingZerosPChar(t);
    EXPECT_EQ(t, "12.5");
    t = "100";
    TrimTrailingZerosPChar(t);
    EXPECT_EQ(t, "100") << "a whole number keeps its zeros";

    struct Fix {
        const char* in;
        char dec;
        const char* out;
    } fixes[] = {
        {" 12,5 ", ',', "12.5"}, {",5", ',', "0.5"}, {"-.5", '.', "-0.5"},
        {"", '.', "0"},          {"7.", '.', "7"},   {"1E5", '.', "1.00000E5"},
    };
    for (const auto& f : fixes) {
        std::string s = f.in;
        FixRealPrim(s, f.dec);
        EXPECT_EQ(s, f.out) << f.in;
    }
    EXPECT_EQ(HexLPChar(0x1234ABCD), "1234ABCD");
    EXPECT_EQ(OctalLPChar(8), "000000000010");
    EXPECT_EQ(BinaryLPChar(5).substr(29), "101");
}

TEST(EntStrings, TopTextMarginCentres) {
    // old-style arithmetic: (height - text - 1) / 2
    EXPECT_EQ(GetTopTextMarginFor(13, 16, TEntBorder::Single, 25, TEntBorderLook::Ctl3D, TEntMarginStyle::OldStyle), 5);
    EXPECT_EQ(GetTopTextMarginFor(13, 16, TEntBorder::Single, 25, TEntBorderLook::Ctl3D, TEntMarginStyle::NewStyle), 1);
    EXPECT_EQ(GetTopTextMarginFor(13, 16, TEntBorder::None, 14, TEntBorderLook::Flat, TEntMarginStyle::NewStyle), -1);
}

TEST(EntStrings, GenerateComponentNameSkipsUsedNames) {
    TComponent form(nullptr);
    EXPECT_EQ(GenerateComponentName(&form, "FieldLabel"), "FieldLabel1");
    (new TComponent(&form))->SetName("FieldLabel1");
    EXPECT_EQ(GenerateComponentName(&form, "FieldLabel"), "FieldLabel2");
    EXPECT_THROW(GenerateComponentName(&form, "1abc"), EComponentError);
}
