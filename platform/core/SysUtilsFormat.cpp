// Format: the class library's printf, with its specifiers and its errors.

#include "SysUtils.h"

#include <cstdlib>

namespace {

[[noreturn]] void InvalidFormat(const std::string& format) {
    throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
}

[[noreturn]] void ArgumentMissing(const std::string& format) {
    throw EConvertError("No argument for format '" + format + "'");
}

// Widths and precisions count characters, not bytes.
size_t CodePoints(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string FirstCodePoints(const std::string& s, size_t count) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == count) return s.substr(0, i);
            ++n;
        }
    }
    return s;
}

std::string UnsignedText(const TVarRec& arg, int base) {
    // An Integer argument is shown as the 32-bit value the class library holds.
    uint64_t v = arg.GetKind() == TVarRec::vkInteger ? static_cast<uint32_t>(static_cast<int32_t>(arg.AsInteger()))
                                                     : static_cast<uint64_t>(arg.AsInteger());
    if (v == 0) return "0";
    std::string s;
    const char* digits = "0123456789ABCDEF";
    while (v) {
        s.insert(s.begin(), digits[v % base]);
        v /= base;
    }
    return s;
}

class Formatter {
public:
    Formatter(const std::string& format, const std::vector<TVarRec>& args, const TFormatSettings& fs)
        : format_(format), args_(args), fs_(fs) {}

    std::string Run() {
        std::string out;
        size_t i = 0;
        while (i < format_.size()) {
            char c = format_[i++];
            if (c != '%') {
                out += c;
                continue;
            }
            if (i < format_.size() && format_[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            out += Specifier(i);
        }
        return out;
    }

private:
    const std::string& format_;
    const std::vector<TVarRec>& args_;
    const TFormatSettings& fs_;
    size_t argIndex_ = 0;

    const TVarRec& NextArg() {
        if (argIndex_ >= args_.size()) ArgumentMissing(format_);
        return args_[argIndex_++];
    }

    bool IsIntegerArg(const TVarRec& a) const {
        return a.GetKind() == TVarRec::vkInteger || a.GetKind() == TVarRec::vkInt64;
    }

    static constexpr int64_t kMaxFieldSize = 1000000;

    // Digits or "*"; -1 when neither is there.
    int Number(size_t& i) {
        if (i < format_.size() && format_[i] == '*') {
            ++i;
            const TVarRec& a = NextArg();
            if (!IsIntegerArg(a)) InvalidFormat(format_);
            // The same bound as a width or precision written in the format.
            const int64_t n = a.AsInteger();
            if (n > kMaxFieldSize || n < -kMaxFieldSize) InvalidFormat(format_);
            return static_cast<int>(n);
        }
        if (i >= format_.size() || format_[i] < '0' || format_[i] > '9') return -1;
        long n = 0;
        while (i < format_.size() && format_[i] >= '0' && format_[i] <= '9') {
            n = n * 10 + (format_[i++] - '0');
            if (n > kMaxFieldSize) InvalidFormat(format_);
        }
        return static_cast<int>(n);
    }

    std::string Specifier(size_t& i) {
        bool left = false;
        int width = -1, precision = -1;
        if (i < format_.size() && format_[i] != '-') {
            // Either an index followed by ':' or the width. A "*" here is
            // taken as the width: an argument index never comes from an argument.
            size_t start = i;
            bool star = format_[i] == '*';
            int n = star ? -1 : Number(i);
            if (n >= 0 && i < format_.size() && format_[i] == ':') {
                argIndex_ = static_cast<size_t>(n);
                ++i;
            } else {
                i = start;
            }
        }
        if (i < format_.size() && format_[i] == '-') {
            left = true;
            ++i;
        }
        width = Number(i);
        if (i < format_.size() && format_[i] == '.') {
            ++i;
            precision = Number(i);
            if (precision < 0) precision = 0;
        }
        if (i >= format_.size()) InvalidFormat(format_);
        char type = format_[i++];
        if (type >= 'A' && type <= 'Z') type = static_cast<char>(type - 'A' + 'a');
        std::string text = Convert(type, precision);
        if (width > 0) {
            size_t len = CodePoints(text);
            if (len < static_cast<size_t>(width)) {
                std::string pad(width - len, ' ');
                text = left ? text + pad : pad + text;
            }
        }
        return text;
    }

    std::string Convert(char type, int precision) {
        switch (type) {
        case 'd': {
            const TVarRec& a = NextArg();
            if (!IsIntegerArg(a)) InvalidFormat(format_);
            int64_t v = a.AsInteger();
            uint64_t magnitude = v < 0 ? uint64_t(0) - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            std::string digits = std::to_string(magnitude);
            if (precision > static_cast<int>(digits.size())) digits.insert(0, precision - digits.size(), '0');
            return v < 0 ? "-" + digits : digits;
        }
        case 'u':
        case 'x': {
            const TVarRec& a = NextArg();
            if (!IsIntegerArg(a)) InvalidFormat(format_);
            std::string digits = UnsignedText(a, type == 'x' ? 16 : 10);
            if (precision > static_cast<int>(digits.size())) digits.insert(0, precision - digits.size(), '0');
            return digits;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            const TVarRec& a = NextArg();
            if (a.GetKind() != TVarRec::vkFloat) InvalidFormat(format_);
            long double v = a.AsFloat();
            switch (type) {
            case 'e': return FloatToStrF(v, ffExponent, precision < 0 ? 15 : precision, 3, fs_);
            case 'g': return FloatToStrF(v, ffGeneral, precision < 0 ? 15 : precision, 3, fs_);
            case 'f': return FloatToStrF(v, ffFixed, 18, precision < 0 ? 2 : precision, fs_);
            case 'n': return FloatToStrF(v, ffNumber, 18, precision < 0 ? 2 : precision, fs_);
            default: return FloatToStrF(v, ffCurrency, 18, precision < 0 ? fs_.CurrencyDecimals : precision, fs_);
            }
        }
        case 's': {
            const TVarRec& a = NextArg();
            if (a.GetKind() != TVarRec::vkString) InvalidFormat(format_);
            if (precision >= 0) return FirstCodePoints(a.AsString(), precision);
            return a.AsString();
        }
        default: InvalidFormat(format_);
        }
    }
};

}  // namespace

std::string Format(const std::string& format, const std::vector<TVarRec>& args, const TFormatSettings& settings) {
    return Formatter(format, args, settings).Run();
}

std::string Format(const std::string& format, const std::vector<TVarRec>& args) {
    return Format(format, args, FormatSettings);
}

std::string Format(const std::string& format, std::initializer_list<TVarRec> args) {
    return Format(format, std::vector<TVarRec>(args), FormatSettings);
}
