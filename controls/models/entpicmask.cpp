#include "entpicmask.h"

#include <algorithm>
#include <cstring>

#include "entintl.h"

namespace {

const char kPictureChars[] = "!#123456789ABDEHKLMNOSXYabdhilmnstxy";

// Letters of the 128..255 range by the system's (Windows-1252) alphabetic test.
bool IsHighAlpha(unsigned char c) {
    if (c >= 0xC0) return c != 0xD7 && c != 0xF7;
    switch (c) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA: return true;
    default: return false;
    }
}

char ToUpper(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
    return ch;
}

char ToLower(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
    return ch;
}

bool IsDigitClass(char c) { return c == ' ' || (c >= '0' && c <= '9'); }
bool IsNumberClass(char c) { return IsDigitClass(c) || c == '-' || c == '.'; }
bool IsAlphaClass(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return c == ' ' || c == ',' || c == '-' || c == '.' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (u >= 128 && IsHighAlpha(u));
}

char Mixed(char ch, char prev) { return (prev == ' ' || prev == '-') ? ToUpper(ch) : ch; }

}  // namespace

bool IsPictureChar(char maskChar) { return maskChar != 0 && std::strchr(kPictureChars, maskChar) != nullptr; }

bool CharIsOK(char maskChar, char& ch, char prevChar, bool fixCase, const TEntIntlSup& intl,
              const TEntMaskUserData& user) {
    if (ch == 0) return false;
    auto upper = [&] {
        if (fixCase) ch = ToUpper(ch);
    };
    switch (maskChar) {
    case 'X': return true;
    case '!': upper(); return true;
    case 'L':
        if (fixCase) ch = ToLower(ch);
        return true;
    case 'x':
        if (fixCase) ch = Mixed(ch, prevChar);
        return true;
    case 'a':
    case 'n': return IsAlphaClass(ch);
    case 'A':
    case 'N': upper(); return IsAlphaClass(ch);
    case 'l':
        if (fixCase) ch = ToLower(ch);
        return IsAlphaClass(ch);
    case '9':
    case 'd':
    case 'D':
    case 'm':
    case 'M':
    case 'y':
    case 'h':
    case 'H':
    case 's':
    case 'S': return IsDigitClass(ch);
    case 'i': return IsDigitClass(ch) || ch == '-';
    case '#': return IsNumberClass(ch);
    case 'E': upper(); return IsNumberClass(ch) || ch == '+' || ch == 'E';
    case 'K': upper(); return IsDigitClass(ch) || (ch >= 'A' && ch <= 'F');
    case 'O': return ch == ' ' || (ch >= '0' && ch <= '7');
    case 'b': return ch == ' ' || ch == '0' || ch == '1';
    case 'B': upper(); return ch == intl.TrueChar || ch == intl.FalseChar;
    case 'Y': upper(); return ch == intl.YesChar || ch == intl.NoChar;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8': {
        const int set = maskChar - '1';
        if (fixCase) {
            switch (user.CaseRules[set]) {
            case ucrUpper: ch = ToUpper(ch); break;
            case ucrLower: ch = ToLower(ch); break;
            case ucrMixed: ch = Mixed(ch, prevChar); break;
            case ucrNone: break;
            }
        }
        return user.Sets[set].test(static_cast<unsigned char>(ch));
    }
    default: return true;
    }
}

TEntPictureMask::TEntPictureMask(const TEntIntlSup& intl, const TEntMaskUserData& user) : intl_(intl), user_(user) {}

char TEntPictureMask::MaskCharAt(int pos) const {
    if (Mask.empty()) return 'X';
    if (pos < 0) pos = 0;
    return pos < static_cast<int>(Mask.size()) ? Mask[pos] : Mask.back();
}

void TEntPictureMask::InitPictureFlags() {
    if (static_cast<int>(Mask.size()) > MaxPictureLength) Mask.resize(MaxPictureLength);
    flags_.assign(std::max(MaxLength, 0), pcPicture);
    semiLitCount_ = 0;
    bool anyLiteral = false;
    if (!PlainField) {
        for (int i = 0; i < MaxLength; ++i) {
            const char c = MaskCharAt(i);
            if (IsPictureChar(c)) {
                flags_[i] = pcPicture;
            } else if (c == '$' || c == ',') {
                flags_[i] = pcSemiLiteral;
                ++semiLitCount_;
                anyLiteral = true;
            } else {
                flags_[i] = pcLiteral;
                anyLiteral = true;
            }
        }
    }
    noLiterals_ = !anyLiteral;
    if (anyLiteral) {
        RightJustify = false;
        TrimBlanks = false;
    }
}

TEntPositionClass TEntPictureMask::PositionClass(int pos) const {
    if (pos < 0 || pos >= static_cast<int>(flags_.size())) return pcLiteral;
    return flags_[pos];
}

bool TEntPictureMask::IsNumericMask() const {
    return RadixField || semiLitCount_ > 0 || Mask.find_first_of(".cC") != std::string::npos;
}

int TEntPictureMask::DecimalPos() const {
    for (int i = 0; i < MaxLength; ++i)
        if (PositionClass(i) == pcLiteral && MaskCharAt(i) == '.') return i;
    return -1;
}

char TEntPictureMask::LiteralShown(char maskChar) const {
    const unsigned char u = static_cast<unsigned char>(maskChar);
    if (u >= 0xF1 && u <= 0xF8) return user_.SubstChars[u - 0xF1];
    return maskChar;
}

std::string TEntPictureMask::BaseText() const {
    std::string s = Mask.substr(0, std::max(MaxLength, 0));
    s.resize(std::max(MaxLength, 0), ' ');
    for (int i = 0; i < MaxLength; ++i)
        if (PositionClass(i) == pcLiteral) s[i] = LiteralShown(s[i]);
    // currency runs: "c" right-aligned left-hand string, "C" left-aligned right-hand string
    for (char runChar : {'c', 'C'}) {
        const std::string cur = runChar == 'c' ? intl_.CurrencyLtStr() : intl_.CurrencyRtStr();
        for (int i = 0; i < MaxLength;) {
            if (PositionClass(i) != pcLiteral || Mask.size() <= static_cast<size_t>(i) || Mask[i] != runChar) {
                ++i;
                continue;
            }
            int j = i;
            while (j < MaxLength && j < static_cast<int>(Mask.size()) && Mask[j] == runChar) ++j;
            const int len = j - i;
            std::string fill = cur.substr(0, len);
            const int pad = len - static_cast<int>(fill.size());
            if (runChar == 'c')
                fill = std::string(pad, ' ') + fill;
            else
                fill += std::string(pad, ' ');
            s.replace(i, len, fill);
            i = j;
        }
    }
    return s;
}

std::string TEntPictureMask::StripPicture(const std::string& text) const {
    if (static_cast<int>(text.size()) != MaxLength) return text;
    const int dot = DecimalPos();
    std::string s;
    for (int i = 0; i < MaxLength; ++i)
        if (PositionClass(i) != pcLiteral || i == dot) s += text[i];
    const auto firstDollar = Mask.find('$');
    if (firstDollar != std::string::npos) {
        const auto endRun = Mask.find_first_not_of('$', firstDollar);
        const size_t count = (endRun == std::string::npos ? Mask.size() : endRun) - firstDollar;
        const std::string cur = intl_.CurrencyLtStr().substr(0, count);
        if (auto at = cur.empty() ? std::string::npos : s.find(cur); at != std::string::npos) s.erase(at, cur.size());
    }
    if (Mask.find(',') != std::string::npos && intl_.CommaChar != 0)
        s.erase(std::remove(s.begin(), s.end(), intl_.CommaChar), s.end());
    if (dot >= 0) {
        if (auto at = s.find(intl_.DecimalChar); at != std::string::npos) s[at] = '.';
    }
    return s;
}

std::string TEntPictureMask::MergePicture(const std::string& value) const {
    std::string result = BaseText();
    const int dot = DecimalPos();

    if (!IsNumericMask()) {
        std::string s = value;
        if (FloatField && static_cast<int>(s.size()) > MaxLength && s.find('.') != std::string::npos) {
            while (!s.empty() && s.back() == '0') s.pop_back();
            if (!s.empty() && s.back() == '.') s.pop_back();
        }
        if (!RightJustify) {
            size_t k = 0;
            char prev = ' ';
            for (int i = 0; i < MaxLength; ++i) {
                if (PositionClass(i) != pcPicture) continue;
                char c = k < s.size() ? s[k++] : ' ';
                CharIsOK(MaskCharAt(i), c, prev, true, intl_, user_);
                result[i] = c;
                prev = c;
            }
        } else {
            int k = static_cast<int>(s.size()) - 1;
            for (int i = MaxLength - 1; i >= 0; --i) {
                if (PositionClass(i) != pcPicture) continue;
                char c = k >= 0 ? s[k--] : ' ';
                CharIsOK(MaskCharAt(i), c, i > 0 && k >= 0 ? s[k] : ' ', true, intl_, user_);
                result[i] = c;
            }
        }
        if (FloatField && dot >= 0) result[dot] = intl_.DecimalChar;
        return result;
    }

    // Numeric: floating currency, digits right-aligned at the point,
    // thousands separators and the sign.
    int currencyCount = 0;
    int lastDollar = -1;
    const std::string curLt = intl_.CurrencyLtStr();
    if (auto first = Mask.find('$'); first != std::string::npos) {
        auto end = Mask.find_first_not_of('$', first);
        currencyCount = static_cast<int>((end == std::string::npos ? Mask.size() : end) - first);
        currencyCount = std::min<int>(currencyCount, static_cast<int>(curLt.size()));
        lastDollar = static_cast<int>(Mask.rfind('$'));
    }
    std::string s = value;
    s.erase(0, s.find_first_not_of(' '));
    if (auto e = s.find_last_not_of(' '); e != std::string::npos)
        s.resize(e + 1);
    else
        s.clear();
    const bool haveValue = !s.empty();
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.erase(0, 1);
    }
    std::string intPart = s, fracPart;
    if (auto p = s.find('.'); p != std::string::npos) {
        intPart = s.substr(0, p);
        fracPart = s.substr(p + 1);
    }

    if (dot >= 0) {
        size_t k = 0;
        int i = dot + 1;
        for (; i < MaxLength && PositionClass(i) == pcPicture; ++i)
            result[i] = k < fracPart.size() ? fracPart[k++] : '0';
        for (; i < MaxLength; ++i)
            if (PositionClass(i) != pcLiteral) result[i] = ' ';
        result[dot] = intl_.DecimalChar;
    }

    std::vector<bool> removed(MaxLength, false);
    int digit = static_cast<int>(intPart.size()) - 1;
    int currencyLeft = haveValue ? currencyCount : 0;
    bool minusPending = negative;
    const int start = dot >= 0 ? dot : MaxLength;
    for (int p = start - 1; p >= 0; --p) {
        if (PositionClass(p) == pcLiteral) continue;
        const bool digitsAllowed = p > lastDollar;
        if (digitsAllowed && digit >= 0) {
            if (PositionClass(p) == pcPicture) {
                result[p] = intPart[digit--];
                continue;
            }
            if (MaskCharAt(p) == ',') {
                if (intl_.CommaChar == 0)
                    removed[p] = true;
                else
                    result[p] = intl_.CommaChar;
                continue;
            }
        }
        // a free position
        if (currencyLeft > 0) {
            result[p] = curLt[--currencyLeft];
        } else if (minusPending) {
            result[p] = '-';
            minusPending = false;
        } else {
            result[p] = RadixField ? '0' : ' ';
        }
    }
    if (dot > 0 && result[dot - 1] == ' ') result[dot - 1] = '0';

    std::string out;
    for (int i = 0; i < MaxLength; ++i)
        if (!removed[i]) out += result[i];
    return out;
}

std::string TEntPictureMask::AlignDecimal(const std::string& text) const {
    const int dot = DecimalPos();
    if (dot < 0 || static_cast<int>(text.size()) != MaxLength) return text;
    std::string s = text;
    std::vector<int> positions;
    std::string digits;
    for (int i = 0; i < dot; ++i) {
        if (PositionClass(i) == pcLiteral) continue;
        positions.push_back(i);
        if (s[i] != ' ') digits += s[i];
    }
    // close up from the left: the digits end just before the point
    const int pad = static_cast<int>(positions.size()) - static_cast<int>(digits.size());
    for (size_t k = 0; k < positions.size(); ++k) s[positions[k]] = static_cast<int>(k) < pad ? ' ' : digits[k - pad];
    if (dot > 0 && s[dot - 1] == ' ') s[dot - 1] = '0';
    for (int i = dot + 1; i < MaxLength && PositionClass(i) == pcPicture; ++i)
        if (s[i] == ' ') s[i] = '0';
    return s;
}

int TEntPictureMask::FirstNumberPos() const {
    for (int i = 0; i < MaxLength; ++i)
        if (PositionClass(i) != pcLiteral) return i;
    return 0;
}

bool TEntPictureMask::CleanForEditing(std::string& text) const {
    if (semiLitCount_ == 0) return RadixField;
    if (static_cast<int>(text.size()) != MaxLength) return true;
    const int numberStart = FirstNumberPos();
    int lastPicture = -1;
    for (int i = 0; i < MaxLength; ++i)
        if (PositionClass(i) == pcPicture) lastPicture = i;
    if (lastPicture < numberStart) return true;
    // The number is rebuilt from what stays, blanks closing up from its left
    // end. Separators are recognised by the mask's "," positions, never by
    // the character alone: a blank separator must not be taken for padding.
    std::string kept;
    int dropped = 0;
    for (int i = numberStart; i <= lastPicture; ++i) {
        const bool separator = intl_.CommaChar != 0 && text[i] == intl_.CommaChar &&
                               PositionClass(i) == pcSemiLiteral && MaskCharAt(i) == ',';
        if (separator)
            ++dropped;
        else
            kept += text[i];
    }
    const std::string cur = intl_.CurrencyLtStr();
    if (!cur.empty()) {
        if (auto at = kept.find(cur); at != std::string::npos) {
            kept.erase(at, cur.size());
            dropped += static_cast<int>(cur.size());
        }
    }
    text.replace(numberStart, lastPicture - numberStart + 1, std::string(dropped, ' ') + kept);
    return true;
}

std::string TEntPictureMask::Reformat(const std::string& text) const {
    std::string s = StripPicture(text);
    std::replace(s.begin(), s.end(), intl_.DecimalChar, '.');
    return MergePicture(s);
}
