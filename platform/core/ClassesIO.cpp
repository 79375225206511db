#include "ClassesIO.h"

#include "SysUtils.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace classes_io {

std::string DecodeLines(const std::string& Bytes) {
    if (IsValidUtf8(Bytes)) return Bytes;
    // Decoded line by line, so that one old line does not turn the UTF-8 of the others into mojibake.
    std::string out;
    size_t p = 0;
    while (p < Bytes.size()) {
        size_t nl = Bytes.find('\n', p);
        size_t end = nl == std::string::npos ? Bytes.size() : nl + 1;
        out += TextFromBytes(Bytes.substr(p, end - p));
        p = end;
    }
    return out;
}

namespace {

bool WriteAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

mode_t CurrentUmask() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

int WriteFileAtomic(const std::string& FileName, const std::string& Data) {
    std::string target = FileName;
    // Saving through a link replaces the file it points to, not the link.
    struct stat lst {};
    if (::lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved) != nullptr) target = resolved;
    }
    auto slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash == 0 ? 1 : slash);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = dir + (dir.back() == '/' ? "" : "/") + "." + base + ".XXXXXX";

    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    int err = 0;
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, Data.data(), Data.size()) || ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(tmp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) ::unlink(tmp.c_str());
    return err;
}

bool ReadFileBytes(const std::string& FileName, std::string& Data) {
    Data.clear();
    int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            errno = err;
            return false;
        }
        if (r == 0) break;
        Data.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return true;
}

}  // namespace classes_io
