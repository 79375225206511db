#include <gtest/gtest.h>

#include "Folders.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsDir(const std::string& d) {
    struct stat st {};
    return ::stat(d.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST(Folders, ProgramDirHoldsTheRunningExecutable) {
    std::string dir = ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    char exe[4096];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(exe, static_cast<size_t>(n)).rfind(dir, 0), 0u);
}

TEST(Folders, UserConfigDirFollowsXdgAndIsCreated) {
    std::string base = ::testing::TempDir() + "folders_xdg_" + std::to_string(::getpid());
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", base.c_str(), 1);
    std::string dir = UserConfigDir();
    EXPECT_EQ(dir, base + "/varnholt/");
    EXPECT_TRUE(IsDir(dir));
    // An unwritable program folder sends settings to the user's folder.
    SetProgramDir(base + "/missing");
    EXPECT_EQ(SettingsDir(), dir);
    SetProgramDir(base);
    EXPECT_EQ(SettingsDir(), base + "/");
    SetProgramDir("");
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    ::rmdir(dir.c_str());
    ::rmdir(base.c_str());
}

}  // namespace
