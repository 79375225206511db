#include "Folders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string& ProgramDirOverride() {
    static std::string dir;
    return dir;
}
std::string& UserConfigDirOverride() {
    static std::string dir;
    return dir;
}
std::string& TempDirOverride() {
    static std::string dir;
    return dir;
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

// Creates the folder and any missing parents; existing ones are fine.
void MakeDirs(const std::string& dir) {
    for (size_t p = 1; p <= dir.size(); ++p) {
        if (p == dir.size() || dir[p] == '/') {
            std::string part = dir.substr(0, p);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
        }
    }
}

}  // namespace

std::string ProgramDir() {
    if (!ProgramDirOverride().empty()) return ProgramDirOverride();
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string exe(buf, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

namespace {

// An XDG base folder: the variable when it holds an absolute path, else the
// folder below the home folder that the XDG base-directory rules name.
std::string XdgFolder(const char* Variable, const char* BelowHome) {
    const char* xdg = std::getenv(Variable);
    if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg);
    const char* home = std::getenv("HOME");
    return WithSlash(home != nullptr && home[0] != '\0' ? home : "/tmp") + BelowHome;
}

}  // namespace

std::string XdgConfigHome() { return XdgFolder("XDG_CONFIG_HOME", ".config/"); }
std::string XdgDataHome() { return XdgFolder("XDG_DATA_HOME", ".local/share/"); }

std::string UserConfigDir() {
    std::string dir = UserConfigDirOverride();
    if (dir.empty()) dir = XdgConfigHome() + "varnholt/";
    MakeDirs(dir);
    return dir;
}

std::string SettingsDir() {
    std::string dir = ProgramDir();
    return ::access(dir.c_str(), W_OK) == 0 ? dir : UserConfigDir();
}

std::string TempDir() {
    if (!TempDirOverride().empty()) return TempDirOverride();
    const char* tmp = std::getenv("TMPDIR");
    return WithSlash(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp");
}

void SetProgramDir(const std::string& Dir) { ProgramDirOverride() = Dir.empty() ? Dir : WithSlash(Dir); }
void SetUserConfigDir(const std::string& Dir) { UserConfigDirOverride() = Dir.empty() ? Dir : WithSlash(Dir); }
void SetTempDir(const std::string& Dir) { TempDirOverride() = Dir.empty() ? Dir : WithSlash(Dir); }
