// Strings, character case, text decoding, file names and file calls.

#include <gtest/gtest.h>

#include "SysUtils.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

TEST(StringText, TrimStripsControlCharactersAndBlanks) {
    EXPECT_EQ(Trim(" \t\r\n ab c \x01"), "ab c");
    EXPECT_EQ(TrimLeft("  ab  "), "ab  ");
    EXPECT_EQ(TrimRight("  ab  "), "  ab");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("é "), "é");  // UTF-8 bytes are above ' '
    EXPECT_EQ(TrimSpaces("  a\tb \t "), "a\tb \t");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimRightSpaces(" a\t  "), " a\t");
    EXPECT_EQ(TrimRightSpaces("  "), "");
}

TEST(StringText, CaseFunctions) {
    EXPECT_EQ(UpperCase("abc é"), "ABC é");
    EXPECT_EQ(LowerCase("ABC É"), "abc É");
    // The byte rule: only ASCII letters change, whatever the byte's value.
    for (int b = 0; b < 256; ++b) {
        const char c = char(b);
        EXPECT_EQ(UpCase(c), b >= 'a' && b <= 'z' ? char(b - 32) : c) << b;
        EXPECT_EQ(LoCase(c), b >= 'A' && b <= 'Z' ? char(b + 32) : c) << b;
    }
    EXPECT_EQ(AnsiUpperCase("straße éàüÿ čžł ωά жё"), "STRAßE ÉÀÜŸ ČŽŁ ΩΆ ЖЁ");
    EXPECT_EQ(AnsiLowerCase("ÉÀÜŸ ČŽŁ ΩΆ ЖЁ Z"), "éàüÿ čžł ωά жё z");
    // Case mapping keeps the byte length, so StringReplace can search a mapped copy.
    EXPECT_EQ(StringReplace("Ünit ünit ÜNIT", "ünit", "x", TReplaceFlags{rfReplaceAll, rfIgnoreCase}), "x x x");
}

TEST(StringText, Comparisons) {
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_LT(CompareText("abc", "abd"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_GT(CompareText("a_", "AB"), 0);  // compared in upper case: '_' sorts after the letters
    EXPECT_LT(CompareStr("B", "a"), 0);
    EXPECT_TRUE(SameText("Loan", "LOAN"));
    EXPECT_FALSE(SameText("Loan", "Loans"));
    EXPECT_TRUE(StartsText("HTTP:", "http://host/"));
    EXPECT_FALSE(StartsText("http://host/", "HTTP:"));
    EXPECT_FALSE(StartsText("é", "É"));  // the ASCII rule
    EXPECT_TRUE(AnsiSameText("ÉCOLE", "école"));
}

TEST(StringText, ReplacePosCopyQuote) {
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", TReplaceFlags{}), "a+b-c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "--", TReplaceFlags{rfReplaceAll}), "a--b--c");
    EXPECT_EQ(StringReplace("aXbx", "x", "", TReplaceFlags{rfReplaceAll}), "aXb");
    EXPECT_EQ(StringReplace("abc", "", "z", TReplaceFlags{rfReplaceAll}), "abc");
    EXPECT_EQ(Pos("lo", "hello lo"), 4);
    EXPECT_EQ(Pos("x", "hello"), 0);
    EXPECT_EQ(Pos("", "hello"), 0);
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 0, 2), "he");
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 6, 1), "");
    EXPECT_EQ(Copy("hello", 2, -1), "");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("'it''s' rest", '\''), "it's");
    EXPECT_EQ(AnsiDequotedStr("'open", '\''), "open");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
}

TEST(StringText, TextFromBytesKeepsUtf8AndReadsTheRestAsWindows1252) {
    EXPECT_EQ(TextFromBytes("caf\xc3\xa9 \xe2\x82\xac"), "caf\xc3\xa9 \xe2\x82\xac");  // valid UTF-8 stays
    EXPECT_EQ(TextFromBytes("caf\xe9 \x80 \x93x\x94"), "café € “x”");
    EXPECT_EQ(TextFromBytes("\x81\x9f\xff"), "\xc2\x81Ÿÿ");
    // Overlong forms, surrogates and cut sequences are not UTF-8.
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));
    EXPECT_FALSE(IsValidUtf8("ab\xe2\x82"));
    EXPECT_TRUE(IsValidUtf8("\xf0\x9f\x98\x80"));
}

TEST(StringText, TryTextToAnsiIsTheInverseWhereTheCodePageHoldsTheText) {
    std::string bytes;
    ASSERT_TRUE(TryTextToAnsi("café € “x” \xc2\x81Ÿÿ", bytes));
    EXPECT_EQ(bytes, "caf\xe9 \x80 \x93x\x94 \x81\x9f\xff");
    EXPECT_EQ(TextFromBytes(bytes), "café € “x” \xc2\x81Ÿÿ");
    bytes = "unchanged";
    EXPECT_FALSE(TryTextToAnsi("\xf0\x9f\x98\x80", bytes));  // no such character in the code page
    EXPECT_FALSE(TryTextToAnsi("caf\xe9", bytes));           // not UTF-8
    EXPECT_EQ(bytes, "unchanged");
    EXPECT_EQ(CodePointToUtf8(0x1F600), "\xf0\x9f\x98\x80");
    EXPECT_EQ(CodePointToUtf8(U'é'), "é");
}

TEST(FileNames, BothSlashesSeparateFolders) {
    const struct {
        const char* name;
        const char* path;
        const char* file;
        const char* ext;
        const char* dir;
    } rows[] = {
        {"C:\\loans\\home.mtg", "C:\\loans\\", "home.mtg", ".mtg", "C:\\loans"},
        {"/home/u/plan.v2.ini", "/home/u/", "plan.v2.ini", ".ini", "/home/u"},
        {"dir.x/file", "dir.x/", "file", "", "dir.x"},
        {"/file.txt", "/", "file.txt", ".txt", "/"},
        {"name", "", "name", "", ""},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ExtractFilePath(r.name), r.path) << r.name;
        EXPECT_EQ(ExtractFileName(r.name), r.file) << r.name;
        EXPECT_EQ(ExtractFileExt(r.name), r.ext) << r.name;
        EXPECT_EQ(ExtractFileDir(r.name), r.dir) << r.name;
    }
    EXPECT_EQ(ChangeFileExt("a\\b.txt", ".ini"), "a\\b.ini");
    EXPECT_EQ(ChangeFileExt("a.d/b", ".ini"), "a.d/b.ini");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\tmp\\"), "C:\\tmp\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

class FileCalls : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/sysutils-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = std::string(tmpl) + "/";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::string& name, const std::string& text) { std::ofstream(dir_ + name) << text; }
    std::string Read(const std::string& name) {
        std::ifstream in(dir_ + name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string dir_;
};

TEST_F(FileCalls, ExistsDeleteAndFolders) {
    Write("a.txt", "x");
    EXPECT_TRUE(FileExists(dir_ + "a.txt"));
    EXPECT_FALSE(FileExists(dir_));  // a folder is no file
    EXPECT_TRUE(DirectoryExists(dir_));
    EXPECT_FALSE(DirectoryExists(dir_ + "a.txt"));
    EXPECT_TRUE(ForceDirectories(dir_ + "sub/deeper\\deepest"));
    EXPECT_TRUE(DirectoryExists(dir_ + "sub/deeper/deepest"));
    EXPECT_TRUE(FileExists(dir_ + "sub\\..\\a.txt"));  // "\" works as a folder separator
    EXPECT_TRUE(DeleteFile(dir_ + "a.txt"));
    EXPECT_FALSE(FileExists(dir_ + "a.txt"));
    EXPECT_FALSE(DeleteFile(dir_ + "a.txt"));
    EXPECT_FALSE(DeleteFile(dir_ + "sub"));  // never removes a folder
}

TEST_F(FileCalls, RenameFileRefusesToOverwriteReplaceFileDoesNot) {
    Write("old", "old text");
    Write("target", "target text");
    EXPECT_FALSE(RenameFile(dir_ + "old", dir_ + "target"));
    EXPECT_EQ(Read("target"), "target text");
    EXPECT_TRUE(RenameFile(dir_ + "old", dir_ + "new"));
    EXPECT_FALSE(FileExists(dir_ + "old"));
    EXPECT_TRUE(ReplaceFile(dir_ + "new", dir_ + "target"));
    EXPECT_EQ(Read("target"), "old text");
    EXPECT_FALSE(RenameFile(dir_ + "missing", dir_ + "other"));
}

}  // namespace
