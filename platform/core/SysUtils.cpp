// Integer conversions, strings, character case, text decoding, file names and
// files.

#include "SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------------------
// Integers

std::string IntToStr(int64_t value) { return std::to_string(value); }

namespace {

std::string HexDigits(uint64_t v, int minDigits) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 15]);
        v >>= 4;
    } while (v);
    if (static_cast<int>(s.size()) < minDigits) s.insert(0, minDigits - s.size(), '0');
    return s;
}

// The class library's Val: blanks before, a sign, decimal digits or "$"/"0x"
// hex digits, nothing after. Hex may use the full unsigned width and wraps.
bool ParseInteger(const std::string& s, int bits, int64_t& out) {
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    bool hex = false;
    if (i < n && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) return false;
    const uint64_t unsignedMax = bits == 64 ? UINT64_MAX : UINT32_MAX;
    const uint64_t signedMax = bits == 64 ? static_cast<uint64_t>(INT64_MAX) : static_cast<uint64_t>(INT32_MAX);
    uint64_t v = 0;
    for (; i < n; ++i) {
        char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        unsigned base = hex ? 16 : 10;
        if (v > (unsignedMax - d) / base) return false;
        v = v * base + d;
    }
    int64_t result;
    if (hex) {
        // Wraps to the signed value of the same bits.
        result =
            bits == 64 ? static_cast<int64_t>(v) : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v)));
        if (negative) result = static_cast<int64_t>(uint64_t(0) - static_cast<uint64_t>(result));
        if (bits == 32) result = static_cast<int32_t>(static_cast<uint32_t>(result));
    } else {
        if (v > signedMax + (negative ? 1 : 0)) return false;
        result = negative ? static_cast<int64_t>(uint64_t(0) - v) : static_cast<int64_t>(v);
    }
    out = result;
    return true;
}

[[noreturn]] void InvalidInteger(const std::string& s) {
    throw EConvertError("'" + s + "' is not a valid integer value");
}

}  // namespace

std::string IntToHex(int value, int digits) { return HexDigits(static_cast<uint32_t>(value), digits); }
std::string IntToHex(int64_t value, int digits) { return HexDigits(static_cast<uint64_t>(value), digits); }
std::string IntToHex(uint32_t value, int digits) { return HexDigits(value, digits); }
std::string IntToHex(uint64_t value, int digits) { return HexDigits(value, digits); }

bool TryStrToInt(const std::string& s, int& value) {
    int64_t v;
    if (!ParseInteger(s, 32, v)) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const std::string& s) {
    int v;
    if (!TryStrToInt(s, v)) InvalidInteger(s);
    return v;
}

int StrToIntDef(const std::string& s, int defaultValue) {
    int v;
    return TryStrToInt(s, v) ? v : defaultValue;
}

bool TryStrToInt64(const std::string& s, int64_t& value) { return ParseInteger(s, 64, value); }

int64_t StrToInt64(const std::string& s) {
    int64_t v;
    if (!ParseInteger(s, 64, v)) InvalidInteger(s);
    return v;
}

int64_t StrToInt64Def(const std::string& s, int64_t defaultValue) {
    int64_t v;
    return ParseInteger(s, 64, v) ? v : defaultValue;
}

// ---------------------------------------------------------------------------
// Trim and ASCII case

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(0, e);
}

std::string TrimSpaces(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string TrimRightSpaces(const std::string& s) {
    const size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

char UpCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

char LoCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = UpCase(c);
    return r;
}

std::string LowerCase(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = LoCase(c);
    return r;
}

int CompareStr(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return x - y;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(const std::string& a, const std::string& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

bool StartsText(const std::string& SubText, const std::string& Text) {
    return Text.size() >= SubText.size() && SameText(Text.substr(0, SubText.size()), SubText);
}

// ---------------------------------------------------------------------------
// Case of accented letters. Every mapping here keeps the UTF-8 length (all
// pairs lie in U+0080..U+07FF), so positions found in a case-mapped copy hold
// in the original.

namespace {

char32_t UpperOf(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return (c & 1) ? c - 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
    if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

char32_t LowerOf(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return (c & 1) ? c : c + 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 0x3F;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

// Maps every two-byte UTF-8 sequence through `map`; other bytes as they are.
template <typename Map>
std::string MapCase(const std::string& s, Map map) {
    std::string r = s;
    for (size_t i = 0; i < r.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(r[i]);
        if (c < 0x80) {
            r[i] = static_cast<char>(map(c));
        } else if ((c & 0xE0) == 0xC0 && i + 1 < r.size() && (static_cast<unsigned char>(r[i + 1]) & 0xC0) == 0x80) {
            char32_t cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(r[i + 1]) & 0x3F);
            char32_t m = map(cp);
            if (m >= 0x80 && m < 0x800) {
                r[i] = static_cast<char>(0xC0 | (m >> 6));
                r[i + 1] = static_cast<char>(0x80 | (m & 0x3F));
            }
            ++i;
        }
    }
    return r;
}

}  // namespace

std::string AnsiUpperCase(const std::string& s) { return MapCase(s, UpperOf); }
std::string AnsiLowerCase(const std::string& s) { return MapCase(s, LowerOf); }

int AnsiCompareStr(const std::string& a, const std::string& b) { return CompareStr(a, b); }

int AnsiCompareText(const std::string& a, const std::string& b) {
    return CompareStr(AnsiLowerCase(a), AnsiLowerCase(b));
}

bool AnsiSameText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

// ---------------------------------------------------------------------------
// Substrings

std::string StringReplace(const std::string& s, const std::string& oldPattern, const std::string& newPattern,
                          TReplaceFlags flags) {
    if (oldPattern.empty()) return s;
    bool ignoreCase = flags.Contains(rfIgnoreCase);
    const std::string searchIn = ignoreCase ? AnsiUpperCase(s) : s;
    const std::string pattern = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
    std::string result;
    size_t from = 0;
    while (true) {
        size_t at = searchIn.find(pattern, from);
        if (at == std::string::npos) break;
        result.append(s, from, at - from);
        result += newPattern;
        from = at + pattern.size();
        if (!flags.Contains(rfReplaceAll)) break;
    }
    result.append(s, from, std::string::npos);
    return result;
}

int Pos(const std::string& sub, const std::string& s) {
    if (sub.empty()) return 0;
    size_t at = s.find(sub);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(const std::string& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<size_t>(index) > s.size()) return {};
    return s.substr(index - 1, static_cast<size_t>(count));
}

std::string StringOfChar(char c, int count) { return count > 0 ? std::string(count, c) : std::string(); }

std::string AnsiQuotedStr(const std::string& s, char quote) {
    std::string r(1, quote);
    for (char c : s) {
        r += c;
        if (c == quote) r += c;
    }
    return r + quote;
}

std::string QuotedStr(const std::string& s) { return AnsiQuotedStr(s, '\''); }

// The text up to the closing quote (or the end), doubled quotes made single;
// as the class library does, an empty result gives back the input.
std::string AnsiDequotedStr(const std::string& s, char quote) {
    if (s.empty() || s[0] != quote) return s;
    std::string r;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                r += quote;
                ++i;
                continue;
            }
            break;
        }
        r += s[i];
    }
    return r.empty() ? s : r;
}

int LastDelimiter(const std::string& delimiters, const std::string& s) {
    size_t at = s.find_last_of(delimiters);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

// ---------------------------------------------------------------------------
// Text decoding

bool IsValidUtf8(std::string_view s) {
    size_t i = 0, n = s.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else
            return false;
        if (i + len > n) return false;
        for (int k = 1; k < len; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

std::string CodePointToUtf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their C1 code.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at i; false when the bytes are not valid UTF-8.
bool DecodeUtf8(const std::string& s, size_t& i, char32_t& cp) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    int extra;
    if (c < 0x80) {
        cp = c;
        i += 1;
        return true;
    }
    if ((c & 0xE0) == 0xC0) {
        cp = c & 0x1F;
        extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
        cp = c & 0x0F;
        extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
        cp = c & 0x07;
        extra = 3;
    } else
        return false;
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static const char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
    return true;
}

int AnsiByteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == cp) return 0x80 + k;
    return -1;
}

}  // namespace

std::string TextFromBytes(const std::string& bytes) {
    if (IsValidUtf8(bytes)) return bytes;
    return AnsiToText(bytes);
}

std::string AnsiToText(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (unsigned char c : bytes) out += CodePointToUtf8(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
    return out;
}

std::string TextToAnsi(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    char32_t cp = 0;
    while (i < utf8.size()) {
        const size_t start = i;
        if (!DecodeUtf8(utf8, i, cp)) {
            out += utf8[start];
            i = start + 1;
            continue;
        }
        const int b = AnsiByteOf(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

bool TryTextToAnsi(const std::string& utf8, std::string& bytes) {
    // ASCII is the same in both, and most of what reports hold.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        bytes = utf8;
        return true;
    }
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    char32_t cp = 0;
    while (i < utf8.size()) {
        if (!DecodeUtf8(utf8, i, cp)) return false;
        const int b = AnsiByteOf(cp);
        if (b < 0) return false;
        out += static_cast<char>(b);
    }
    bytes = std::move(out);
    return true;
}

// ---------------------------------------------------------------------------
// File names

namespace {
const char* const kPathDelimiters = "/\\";
}  // namespace

std::string NativeFileName(const std::string& fileName) {
    std::string r = fileName;
    for (char& c : r)
        if (c == '\\') c = '/';
    return r;
}

std::string ExtractFilePath(const std::string& fileName) {
    return fileName.substr(0, LastDelimiter(kPathDelimiters, fileName));
}

std::string ExtractFileDir(const std::string& fileName) {
    int i = LastDelimiter(kPathDelimiters, fileName);
    // Keeps the delimiter of the root ("/file" is in "/").
    if (i > 1) --i;
    return fileName.substr(0, i);
}

std::string ExtractFileName(const std::string& fileName) {
    return fileName.substr(LastDelimiter(kPathDelimiters, fileName));
}

std::string ExtractFileExt(const std::string& fileName) {
    int i = LastDelimiter(".\\/", fileName);
    if (i > 0 && fileName[i - 1] == '.') return fileName.substr(i - 1);
    return {};
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
    int i = LastDelimiter(".\\/", fileName);
    if (i == 0 || fileName[i - 1] != '.') return fileName + extension;
    return fileName.substr(0, i - 1) + extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && (path.back() == '/' || path.back() == '\\')) return path;
    return path + '/';
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
    if (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) return path.substr(0, path.size() - 1);
    return path;
}

std::string ExpandFileName(const std::string& fileName) {
    if (fileName.empty()) return {};
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(NativeFileName(fileName), ec);
    if (ec) return NativeFileName(fileName);
    return p.lexically_normal().string();
}

// ---------------------------------------------------------------------------
// Files

bool FileExists(const std::string& fileName) {
    struct stat st;
    return !fileName.empty() && ::stat(NativeFileName(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& dirName) {
    struct stat st;
    return !dirName.empty() && ::stat(NativeFileName(dirName).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& fileName) {
    std::string name = NativeFileName(fileName);
    struct stat st;
    if (::lstat(name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(name.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    std::string from = NativeFileName(oldName), to = NativeFileName(newName);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // The file system cannot refuse an overwrite itself.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool ReplaceFile(const std::string& sourceName, const std::string& targetName) {
    return ::rename(NativeFileName(sourceName).c_str(), NativeFileName(targetName).c_str()) == 0;
}

bool CreateDir(const std::string& dirName) { return ::mkdir(NativeFileName(dirName).c_str(), 0777) == 0; }

bool RemoveDir(const std::string& dirName) { return ::rmdir(NativeFileName(dirName).c_str()) == 0; }

bool ForceDirectories(const std::string& dirName) {
    if (dirName.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(NativeFileName(dirName), ec);
    return DirectoryExists(dirName);
}
