#include "entstr.h"

#include <algorithm>

#include "Classes.h"
#include "SysUtils.h"

namespace {

bool IsDelimiter(char c, const std::string& delimiters) { return delimiters.find(c) != std::string::npos; }

// Start of the n-th word (0-based position), or npos.
size_t WordStart(int n, const std::string& s, const std::string& delimiters) {
    int count = 0;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsDelimiter(s[i], delimiters)) ++i;
        if (i >= s.size()) break;
        if (++count == n) return i;
        while (i < s.size() && !IsDelimiter(s[i], delimiters)) ++i;
    }
    return std::string::npos;
}

}  // namespace

std::string BinaryLPChar(uint32_t value) {
    std::string s(32, '0');
    for (int i = 0; i < 32; ++i)
        if (value & (uint32_t(1) << (31 - i))) s[i] = '1';
    return s;
}

std::string HexLPChar(uint32_t value) { return HexWPChar(value >> 16) + HexWPChar(value & 0xFFFF); }

std::string HexWPChar(uint16_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4) s[i] = digits[value & 0xF];
    return s;
}

std::string OctalLPChar(uint32_t value) {
    std::string s(12, '0');
    for (int i = 11; i >= 0; --i, value >>= 3) s[i] = static_cast<char>('0' + (value & 7));
    return s;
}

char LoCaseChar(char c) { return LoCase(c); }
char UpCaseChar(char c) { return UpCase(c); }

void StrChDeletePrim(std::string& s, int pos) {
    if (pos >= 0 && pos < static_cast<int>(s.size())) s.erase(pos, 1);
}

void StrChInsertPrim(std::string& s, char c, int pos) {
    s.insert(std::clamp(pos, 0, static_cast<int>(s.size())), 1, c);
}

bool StrChPos(const std::string& s, char c, int& pos) {
    auto i = s.find(c);
    if (i == std::string::npos) return false;
    pos = static_cast<int>(i);
    return true;
}

void StrStDeletePrim(std::string& s, int pos, int count) {
    if (pos < 0 || pos >= static_cast<int>(s.size()) || count <= 0) return;
    s.erase(pos, count);
}

void StrStInsertPrim(std::string& s, const std::string& t, int pos) {
    s.insert(std::clamp(pos, 0, static_cast<int>(s.size())), t);
}

bool StrStPos(const std::string& s, const std::string& t, int& pos) {
    if (t.empty() || t.size() > s.size()) return false;
    auto i = s.find(t);
    if (i == std::string::npos) return false;
    pos = static_cast<int>(i);
    return true;
}

void CharStrInsert(std::string& s, char c, int pos, int count) {
    if (count > 0) s.insert(std::clamp(pos, 0, static_cast<int>(s.size())), count, c);
}

std::string SubStrCopy(const std::string& s, int pos, int count) {
    if (pos < 0 || pos >= static_cast<int>(s.size()) || count <= 0) return {};
    return s.substr(pos, count);
}

bool StrToLongPChar(const std::string& text, int32_t& value) {
    if (text.size() >= 256) {
        value = -1;
        return false;
    }
    std::string s = TrimRightSpaces(text);
    if (auto x = s.find("0x"); x != std::string::npos) s.replace(x, 2, "$");
    // the runtime's integer reading: blanks, sign, "$" for hexadecimal
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    }
    auto fail = [&](size_t at) {
        value = static_cast<int32_t>(at);  // 1-based position minus 1
        return false;
    };
    if (i >= s.size()) return fail(i);
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return fail(i);
        v = v * (hex ? 16 : 10) + d;
        if (hex ? v > 0xFFFFFFFFull : v > (negative ? 2147483648ull : 2147483647ull)) return fail(i);
    }
    if (hex) {
        int32_t r = static_cast<int32_t>(static_cast<uint32_t>(v));
        value = negative ? -r : r;
    } else {
        value = static_cast<int32_t>(negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
    }
    return true;
}

void TrimAllSpacesPChar(std::string& s) { s = TrimSpaces(s); }

void TrimTrailPrimPChar(std::string& s) { s = TrimRight(s); }

void TrimTrailingZerosPChar(std::string& s) {
    // Only a fraction has zeros to spare: "100" must stay 100.
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    TrimAllSpacesPChar(s);
}

void TrimEmbeddedZerosPChar(std::string& s) {
    auto e = s.find('E');
    if (e == std::string::npos) return;
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    if (mantissa.find('.') != std::string::npos) {
        while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    std::string sign;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        sign = exponent.substr(0, 1);
        exponent.erase(0, 1);
    }
    auto nz = exponent.find_first_not_of('0');
    s = nz == std::string::npos ? mantissa : mantissa + "E" + sign + exponent.substr(nz);
}

void FixRealPrim(std::string& s, char decimalChar) {
    TrimAllSpacesPChar(s);
    if (!s.empty() && s.back() == decimalChar) s.pop_back();
    std::replace(s.begin(), s.end(), decimalChar, '.');
    // blanks around the point
    if (auto p = s.find('.'); p != std::string::npos) {
        size_t b = p;
        while (b > 0 && s[b - 1] == ' ') --b;
        size_t a = p + 1;
        while (a < s.size() && s[a] == ' ') ++a;
        s = s.substr(0, b) + "." + s.substr(a);
    }
    if (s.empty()) {
        s = "0";
        return;
    }
    if (s.back() == '.') s += '0';
    if (s[0] == '.') s.insert(0, "0");
    if (s.size() > 1 && s[0] == '-' && s[1] == '.') s.insert(1, "0");
    auto e = s.find_first_of("eE");
    if (e != std::string::npos) {
        auto p = s.find('.');
        if (p == std::string::npos || p > e) {
            s.insert(e, ".");
            p = e++;
        }
        if (e - p - 1 < 12) s.insert(e, "00000");
    }
}

int WordCount(const std::string& s, const std::string& delimiters) {
    int count = 0;
    for (size_t i = 0; i < s.size();) {
        while (i < s.size() && IsDelimiter(s[i], delimiters)) ++i;
        if (i >= s.size()) break;
        ++count;
        while (i < s.size() && !IsDelimiter(s[i], delimiters)) ++i;
    }
    return count;
}

std::string ExtractWord(int n, const std::string& s, const std::string& delimiters) {
    size_t start = WordStart(n, s, delimiters);
    if (start == std::string::npos) return {};
    size_t end = start;
    while (end < s.size() && !IsDelimiter(s[end], delimiters)) ++end;
    return s.substr(start, end - start);
}

int WordPosition(int n, const std::string& s, const std::string& delimiters) {
    size_t start = WordStart(n, s, delimiters);
    return start == std::string::npos ? 0 : static_cast<int>(start) + 1;
}

std::string ShortenPath(const std::string& path, int width, const TEntTextMeasure& measure) {
    if (width == 0 || measure.Width(path) <= width) return path;
    const auto sep = path.find_last_of("/\\");
    if (sep == std::string::npos) return measure.Ellipsize(path, width);
    const char delimiter = path[sep];
    const std::string name = path.substr(sep + 1);
    std::string dir = path.substr(0, sep);
    auto candidate = [&] { return dir + delimiter + "..." + delimiter + name; };
    // Each pass drops one folder; the loop ends when the directory holds no
    // separator any more (a drive, a root or a single folder is left).
    for (;;) {
        std::string c = candidate();
        if (measure.Width(c) <= width) return c;
        const auto cut = dir.find_last_of("/\\");
        if (cut == std::string::npos) break;
        dir.resize(cut);
    }
    return measure.Ellipsize(candidate(), width);
}

int GetTopTextMarginFor(int textHeight, int systemTextHeight, TEntBorder border, int height, TEntBorderLook look,
                        TEntMarginStyle style) {
    const bool hasBorder = border == TEntBorder::Single;
    const bool ctl3D = look == TEntBorderLook::Ctl3D;
    const int h = std::min(textHeight, systemTextHeight);
    if (style == TEntMarginStyle::NewStyle) {
        if (hasBorder) {
            if (h < height - 4) return 1;
            return (height - h - 4) / 2 - (ctl3D ? 1 : (height - h) % 2);
        }
        if (h < height - 2) return 0;
        return (height - h - 2) / 2 - (height - h) % 2;
    }
    int margin = (height - textHeight - 1) / 2;
    if (h > height - 2) margin -= hasBorder ? 2 : 1;
    return margin;
}

std::string GenerateComponentName(const TComponent* form, const std::string& base) {
    if (!IsValidIdent(base)) throw EComponentError("''" + base + "'' is not a valid component name");
    for (int n = 1;; ++n) {
        std::string name = base + std::to_string(n);
        if (!form || !form->FindComponent(name)) return name;
    }
}
