#include <gtest/gtest.h>

#include "IniFiles.h"
#include "Registry.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = ::testing::TempDir() + "registry_test_" + std::to_string(::getpid()) + ".ini";
        std::remove(file.c_str());
        TRegistry::SetRegistryFileName(file);
    }
    void TearDown() override {
        TRegistry::SetRegistryFileName("");
        std::remove(file.c_str());
    }
    std::string file;
};

std::vector<std::string> Items(const TStrings& s) {
    std::vector<std::string> v;
    for (int i = 0; i < s.Count(); ++i) v.push_back(s[i]);
    return v;
}

TEST_F(RegistryTest, IniStyleAccessWritesSubkeysAsSections) {
    {
        TRegIniFile reg("Software\\ReportEngine");
        reg.WriteInteger("Form\\TrpPreview", "XPosition", 120);
        reg.WriteBool("Form\\TrpPreview", "Maximized", true);
        EXPECT_EQ(reg.ReadInteger("form\\trppreview", "xposition", 0), 120);
        EXPECT_EQ(reg.ReadString("Form\\TrpPreview", "Missing", "d"), "d");
    }
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("Software\\ReportEngine\\Form\\TrpPreview", "Maximized", ""), "1");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\ReportEngine", false));
    EXPECT_TRUE(reg.KeyExists("Form"));
    EXPECT_FALSE(reg.KeyExists("Designer"));
    TStringList names;
    reg.GetKeyNames(&names);
    EXPECT_EQ(Items(names), std::vector<std::string>{"Form"});
    ASSERT_TRUE(reg.OpenKey("Form\\TrpPreview", false));  // below the open key
    EXPECT_EQ(reg.CurrentPath(), "Software\\ReportEngine\\Form\\TrpPreview");
    EXPECT_TRUE(reg.ReadBool("Maximized"));
    EXPECT_FALSE(reg.ValueExists("YPosition"));
}

TEST_F(RegistryTest, KeysNeedCreatingAndDeleteWithEverythingBelow) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\A", false));
    ASSERT_TRUE(reg.OpenKey("Software\\A", true));
    EXPECT_TRUE(reg.KeyExists("\\Software\\A"));  // an empty key exists
    reg.WriteString("", "default");
    reg.WriteInteger("Count", 3);
    EXPECT_EQ(reg.ReadString(""), "default");
    EXPECT_EQ(reg.ReadInteger("count"), 3);
    try {
        reg.ReadInteger("Nothing");
        FAIL() << "missing value read as a number";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "Invalid data type for 'Nothing'");
    }
    ASSERT_TRUE(reg.OpenKey("Sub", true));
    reg.WriteInteger("Deep", 1);
    reg.CloseKey();
    EXPECT_THROW(reg.WriteInteger("Loose", 1), ERegistryException);
    EXPECT_TRUE(reg.DeleteKey("Software\\A"));
    EXPECT_FALSE(reg.KeyExists("Software\\A\\Sub"));
    EXPECT_FALSE(reg.KeyExists("Software"));
}

TEST_F(RegistryTest, OtherRootsAreKeptApart) {
    TRegistry user, machine;
    machine.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(machine.OpenKey("Software\\X", true));
    machine.WriteString("V", "m");
    EXPECT_FALSE(user.KeyExists("Software\\X"));
    EXPECT_TRUE(machine.KeyExists("\\Software\\X"));
}

}  // namespace
