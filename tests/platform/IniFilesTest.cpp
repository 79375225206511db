#include <gtest/gtest.h>

#include "IniFiles.h"
#include "SysUtils.h"

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class IniFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings = USFormatSettings();
        std::string tmpl = ::testing::TempDir() + "inifiles_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl + "/";
        path = dir + "ZEMR.INI";
    }
    void TearDown() override {
        for (const std::string& f : Files()) ::unlink((dir + f).c_str());
        ::rmdir(dir.c_str());
        FormatSettings = USFormatSettings();
    }

    void Put(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
    std::string Contents() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(dir.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
            ::closedir(d);
        }
        return names;
    }

    std::string dir, path;
};

std::vector<std::string> Items(const TStrings& s) {
    std::vector<std::string> v;
    for (int i = 0; i < s.Count(); ++i) v.push_back(s[i]);
    return v;
}

TEST_F(IniFilesTest, WriteKeepsOtherSectionsCommentsAndLines) {
    Put("; settings\n"
        "[GeneralValues]\n"
        "Run=0\n"
        "  Tips = 1  \n"
        "\n"
        "[MRU]\n"
        "odd line without equals\n"
        "File1=C:\\a.qvd\n");
    TIniFile ini(path);
    ini.WriteString("GeneralValues", "Run", "1");
    ini.WriteString("GeneralValues", "RetainTape", "0");
    ini.WriteString("Ratios", "Front", "28");
    EXPECT_EQ(Contents(),
              "; settings\r\n"
              "[GeneralValues]\r\n"
              "Run=1\r\n"
              "  Tips = 1  \r\n"
              "RetainTape=0\r\n"
              "\r\n"
              "[MRU]\r\n"
              "odd line without equals\r\n"
              "File1=C:\\a.qvd\r\n"
              "[Ratios]\r\n"
              "Front=28\r\n");
}

TEST_F(IniFilesTest, SectionKeyAndFileNamesMatchWithoutRegardToCase) {
    Put("[GeneralValues]\r\nRun=0\r\n");
    TIniFile reader(dir + "ZEMR.Ini");
    EXPECT_EQ(reader.ReadString("generalvalues", "RUN", "?"), "0");
    TIniFile writer(dir + "zemr.ini");
    writer.WriteBool("GENERALVALUES", "run", true);
    EXPECT_EQ(Contents(), "[GeneralValues]\r\nRun=1\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"ZEMR.INI"});
}

TEST_F(IniFilesTest, ValuesAreTrimmedAndConvertedWithDefaults) {
    Put("[S]\n"
        " Dec = 42 \nHex=0x1F\nDollar=$ff\nNeg=-7\nBad=12abc\nEmpty=\nQuoted=\"  q \"\n"
        "Float=2.5\nTwo=2\n");
    TIniFile ini(path);
    struct IntRow {
        const char* key;
        int expected;
    };
    const IntRow ints[] = {{"dec", 42}, {"HEX", 31},   {"Dollar", 255}, {"Neg", -7},
                           {"Bad", 99}, {"Empty", 99}, {"Missing", 99}};
    for (const IntRow& r : ints) EXPECT_EQ(ini.ReadInteger("s", r.key, 99), r.expected) << r.key;
    EXPECT_EQ(ini.ReadString("S", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("S", "Quoted", ""), "  q ");
    EXPECT_TRUE(ini.ReadBool("S", "Two", false));
    EXPECT_TRUE(ini.ReadBool("S", "Neg", false));
    EXPECT_TRUE(ini.ReadBool("S", "Bad", true));
    EXPECT_FALSE(ini.ReadBool("S", "Missing", false));
    EXPECT_EQ(ini.ReadFloat("S", "Float", 0), 2.5);
    EXPECT_EQ(ini.ReadFloat("S", "Bad", -1), -1);
}

TEST_F(IniFilesTest, FloatsUseTheLocaleDecimalSeparator) {
    FormatSettings.DecimalSeparator = ',';
    TIniFile ini(path);
    ini.WriteFloat("S", "Rate", 6.25);
    EXPECT_EQ(ini.ReadString("S", "Rate", ""), "6,25");
    EXPECT_EQ(ini.ReadFloat("S", "Rate", 0), 6.25);
    ini.WriteInteger("S", "Term", -360);
    ini.WriteBool("S", "Flag", false);
    EXPECT_EQ(Contents(), "[S]\r\nRate=6,25\r\nTerm=-360\r\nFlag=0\r\n");
}

TEST_F(IniFilesTest, MissingFileGivesDefaults) {
    TIniFile ini(dir + "none.ini");
    TStringList sections;
    sections.Add("stale");
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 0);
    EXPECT_EQ(ini.ReadString("A", "B", "dflt"), "dflt");
    EXPECT_FALSE(ini.SectionExists("A"));
    ini.DeleteKey("A", "B");
    ini.EraseSection("A");
    EXPECT_TRUE(Files().empty());
}

TEST_F(IniFilesTest, SectionListsAndRemoval) {
    Put("[A]\nx=1\n;c=2\ny=2\nX=3\n[Empty]\n[B]\nz=9\n[a]\nw=0\n");
    TIniFile ini(path);
    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"A", "Empty", "B"}));
    ini.ReadSection("a", &list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"x", "y"}));
    ini.ReadSectionValues("A", &list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"x=1", "y=2"}));
    EXPECT_TRUE(ini.ValueExists("A", "Y"));
    EXPECT_FALSE(ini.ValueExists("A", "c"));
    EXPECT_FALSE(ini.SectionExists("Empty"));
    EXPECT_TRUE(ini.SectionExists("b"));

    ini.DeleteKey("A", "x");
    EXPECT_EQ(Contents(), "[A]\r\n;c=2\r\ny=2\r\n[Empty]\r\n[B]\r\nz=9\r\n[a]\r\nw=0\r\n");
    ini.EraseSection("A");
    EXPECT_EQ(Contents(), "[Empty]\r\n[B]\r\nz=9\r\n");
}

TEST_F(IniFilesTest, Windows1252LinesAreReadAndKeptAsTheyWere) {
    Put("[S]\nName=Jos\xE9\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "Name", ""), "Jos\xC3\xA9");
    ini.WriteString("S", "City", "K\xC3\xB6ln");
    EXPECT_EQ(Contents(), "[S]\r\nName=Jos\xE9\r\nCity=K\xC3\xB6ln\r\n");
}

TEST_F(IniFilesTest, LineBreaksInAValueCannotStartASection) {
    TIniFile ini(path);
    ini.WriteString("S", "K", "a\r\n[X]\r\nY=1");
    EXPECT_FALSE(ini.SectionExists("X"));
    EXPECT_EQ(ini.ReadString("S", "K", ""), "a  [X]  Y=1");
}

TEST_F(IniFilesTest, SavesLeaveNoTemporaryFileAndKeepPermissions) {
    Put("[S]\nK=1\n");
    ::chmod(path.c_str(), 0640);
    TIniFile ini(path);
    for (int i = 0; i < 5; ++i) ini.WriteInteger("S", "K" + std::to_string(i), i);
    EXPECT_EQ(Files(), std::vector<std::string>{"ZEMR.INI"});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(IniFilesTest, RefusedWriteRaisesAndChangesNothing) {
    Put("[S]\nK=1\n");
    std::string blocked = path + "/inner.ini";  // a folder that is a file
    TIniFile ini(blocked);
    try {
        ini.WriteString("S", "K", "2");
        FAIL() << "write reported success";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + blocked);
    }
    EXPECT_THROW(ini.EraseSection("S"), EIniFileException);
    if (::geteuid() != 0) {
        ::chmod(dir.c_str(), 0500);
        TIniFile readOnly(path);
        EXPECT_THROW(readOnly.WriteString("S", "K", "2"), EIniFileException);
        ::chmod(dir.c_str(), 0700);
    }
    EXPECT_EQ(Contents(), "[S]\nK=1\n");
}

}  // namespace

// Reads come from the file as parsed once; a change made to the file by
// another program (in place, same size) is still seen by the next read, and
// the first of two sections of one name is the one looked in.
TEST_F(IniFilesTest, ReadsSeeChangesMadeToTheFileOutsideTheProgram) {
    Put("[Main]\nWidth=100\n[main]\nWidth=300\nHeight=7\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("MAIN", "width", 0), 100);
    EXPECT_EQ(ini.ReadInteger("Main", "Height", -1), -1);
    Put("[Main]\nWidth=200\n[main]\nWidth=300\nHeight=7\n");
    EXPECT_EQ(ini.ReadInteger("Main", "Width", 0), 200);
    TIniFile other(path);
    other.WriteString("Main", "Width", "5");
    EXPECT_EQ(ini.ReadString("Main", "Width", ""), "5");
    ::unlink(path.c_str());
    EXPECT_EQ(ini.ReadString("Main", "Width", "gone"), "gone");
}
