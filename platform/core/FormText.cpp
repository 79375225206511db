#include "FormText.h"

#include <cerrno>
#include <cmath>

#include "SysUtils.h"

#include <cctype>
#include <cstdlib>

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    TFormObject ParseRoot() {
        SkipBlanks();
        TFormObject root = ParseObject();
        SkipBlanks();
        if (pos_ < s_.size()) Fail("Text after the last 'end'");
        return root;
    }

private:
    const std::string& s_;
    size_t pos_ = 0;
    int line_ = 1;

    [[noreturn]] void Fail(const std::string& message) const { throw EParserError(message, line_); }

    void SkipBlanks() {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r')
                ++pos_;
            else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
            } else
                break;
        }
    }

    char Peek() {
        SkipBlanks();
        return pos_ < s_.size() ? s_[pos_] : '\0';
    }

    void Expect(char c) {
        if (Peek() != c) Fail(std::string("'") + c + "' expected");
        ++pos_;
    }

    static bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    std::string Ident(bool dotted = false) {
        SkipBlanks();
        if (pos_ >= s_.size() || !IsIdentStart(s_[pos_])) Fail("Identifier expected");
        size_t start = pos_;
        while (pos_ < s_.size() && (IsIdentChar(s_[pos_]) ||
                                    (dotted && s_[pos_] == '.' && pos_ + 1 < s_.size() && IsIdentStart(s_[pos_ + 1]))))
            ++pos_;
        return s_.substr(start, pos_ - start);
    }

    bool AtWord(const char* word) {
        SkipBlanks();
        size_t n = std::char_traits<char>::length(word);
        if (s_.size() - pos_ < n) return false;
        for (size_t i = 0; i < n; ++i)
            if (LoCase(s_[pos_ + i]) != word[i]) return false;
        return pos_ + n == s_.size() || !IsIdentChar(s_[pos_ + n]);
    }

    // Objects and list values nest by recursion; a definition deeper than
    // this is refused rather than allowed to exhaust the stack.
    static constexpr int kMaxNesting = 200;
    int depth_ = 0;
    struct Nested {
        Parser& p;
        explicit Nested(Parser& parser) : p(parser) {
            if (++p.depth_ > kMaxNesting) p.Fail("Nesting too deep");
        }
        ~Nested() { --p.depth_; }
    };

    TFormObject ParseObject() {
        Nested nested(*this);
        TFormObject obj;
        obj.Line = line_;
        if (AtWord("object"))
            pos_ += 6;
        else if (AtWord("inherited")) {
            pos_ += 9;
            obj.Inherited = true;
        } else
            Fail("'object' expected");
        std::string first = Ident();
        if (Peek() == ':') {
            ++pos_;
            obj.Name = first;
            obj.ClassName = Ident();
        } else {
            obj.ClassName = first;
        }
        for (;;) {
            if (AtWord("end")) {
                pos_ += 3;
                break;
            }
            if (AtWord("object") || AtWord("inherited")) {
                obj.Children.push_back(ParseObject());
                continue;
            }
            if (pos_ >= s_.size()) Fail("'end' expected");
            obj.Properties.push_back(ParseProperty());
        }
        return obj;
    }

    TFormProperty ParseProperty() {
        TFormProperty p;
        p.Line = line_;
        p.Name = Ident(true);
        Expect('=');
        p.Value = ParseValue();
        return p;
    }

    TFormValue ParseValue() {
        Nested nested(*this);
        char c = Peek();
        TFormValue v;
        if (c == '\'' || c == '#') {
            v.kind = TFormValue::vkString;
            v.Str = ParseString();
        } else if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            ParseNumber(v);
        } else if (c == '[') {
            ++pos_;
            v.kind = TFormValue::vkSet;
            if (Peek() != ']') {
                for (;;) {
                    v.Names.push_back(Ident());
                    if (Peek() == ',') {
                        ++pos_;
                        continue;
                    }
                    break;
                }
            }
            Expect(']');
        } else if (c == '(') {
            ++pos_;
            v.kind = TFormValue::vkList;
            while (Peek() != ')') {
                if (pos_ >= s_.size()) Fail("')' expected");
                v.Items.push_back(ParseValue());
            }
            ++pos_;
        } else if (c == '{') {
            ++pos_;
            v.kind = TFormValue::vkBinary;
            ParseBinary(v.Bytes);
        } else if (c == '<') {
            ++pos_;
            v.kind = TFormValue::vkCollection;
            while (Peek() != '>') {
                if (!AtWord("item")) Fail("'item' expected");
                pos_ += 4;
                TFormItem item;
                while (!AtWord("end")) {
                    if (pos_ >= s_.size()) Fail("'end' expected");
                    item.Properties.push_back(ParseProperty());
                }
                pos_ += 3;
                v.Elements.push_back(std::move(item));
            }
            Expect('>');
        } else if (IsIdentStart(c)) {
            v.kind = TFormValue::vkIdent;
            v.Str = Ident(true);
        } else {
            Fail("Invalid property value");
        }
        return v;
    }

    // 'abc'#13#10'def' + 'ghi'
    std::string ParseString() {
        std::string out;
        Peek();
        for (;;) {
            // Parts join only when adjacent ('a'#13'b') or through "+".
            char c = pos_ < s_.size() ? s_[pos_] : '\0';
            if (c == '\'') {
                ++pos_;
                for (;;) {
                    if (pos_ >= s_.size() || s_[pos_] == '\n') Fail("Unterminated string");
                    if (s_[pos_] == '\'') {
                        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                            out += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    out += s_[pos_++];
                }
            } else if (c == '#') {
                ++pos_;
                size_t start = pos_;
                while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
                if (start == pos_) Fail("Character code expected");
                long code = std::strtol(s_.substr(start, pos_ - start).c_str(), nullptr, 10);
                if (code < 0 || code > 0x10FFFF) Fail("Invalid character code");
                out += CodePointToUtf8(static_cast<char32_t>(code));
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                size_t save = pos_;
                int saveLine = line_;
                if (Peek() != '+') {
                    pos_ = save;
                    line_ = saveLine;
                    break;
                }
            } else if (c == '+') {
                // A continuation only when another string part follows.
                size_t save = pos_;
                int saveLine = line_;
                ++pos_;
                char n = Peek();
                if (n != '\'' && n != '#') {
                    pos_ = save;
                    line_ = saveLine;
                    break;
                }
            } else {
                break;
            }
        }
        return out;
    }

    void ParseNumber(TFormValue& v) {
        SkipBlanks();
        size_t start = pos_;
        bool negative = false;
        if (s_[pos_] == '-' || s_[pos_] == '+') {
            negative = s_[pos_] == '-';
            ++pos_;
        }
        if (pos_ < s_.size() && s_[pos_] == '$') {
            ++pos_;
            size_t digits = pos_;
            while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            if (digits == pos_) Fail("Hexadecimal digits expected");
            // Up to 64 bits, kept as their two's-complement value ($FFFFFFFF
            // stays 4294967295); a minus negates in unsigned arithmetic.
            size_t first = digits;
            while (first < pos_ && s_[first] == '0') ++first;
            if (pos_ - first > 16) Fail("Number out of range");
            const uint64_t u = std::strtoull(s_.substr(digits, pos_ - digits).c_str(), nullptr, 16);
            v.kind = TFormValue::vkInteger;
            v.Int = static_cast<int64_t>(negative ? uint64_t(0) - u : u);
            return;
        }
        bool isFloat = false;
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (std::isdigit(static_cast<unsigned char>(c)))
                ++pos_;
            else if (c == '.') {
                isFloat = true;
                ++pos_;
            } else if ((c == 'e' || c == 'E') && pos_ > start) {
                isFloat = true;
                ++pos_;
                if (pos_ < s_.size() && (s_[pos_] == '-' || s_[pos_] == '+')) ++pos_;
            } else
                break;
        }
        std::string text = s_.substr(start, pos_ - start);
        if (text.empty() || text == "-" || text == "+") Fail("Number expected");
        char* end = nullptr;
        errno = 0;
        bool outOfRange = false;
        if (isFloat) {
            v.kind = TFormValue::vkFloat;
            v.Float = std::strtold(text.c_str(), &end);
            outOfRange = !std::isfinite(v.Float);
        } else {
            v.kind = TFormValue::vkInteger;
            v.Int = std::strtoll(text.c_str(), &end, 10);
            outOfRange = errno == ERANGE;
        }
        if (!end || *end != '\0') Fail("Invalid number '" + text + "'");
        if (outOfRange) Fail("Number out of range '" + text + "'");
    }

    void ParseBinary(std::vector<uint8_t>& bytes) {
        int half = -1;
        for (;;) {
            SkipBlanks();
            if (pos_ >= s_.size()) Fail("'}' expected");
            char c = s_[pos_++];
            if (c == '}') break;
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else
                Fail("Invalid binary value");
            if (half < 0)
                half = d;
            else {
                bytes.push_back(static_cast<uint8_t>(half * 16 + d));
                half = -1;
            }
        }
        if (half >= 0) Fail("Odd number of hexadecimal digits");
    }
};

}  // namespace

TFormObject ParseFormText(const std::string& text) { return Parser(text).ParseRoot(); }
