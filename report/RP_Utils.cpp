#include "RP_Utils.h"

#include <vector>

#include "SysUtils.h"

std::function<TComponent*(const std::string& name)> rpFindGlobalComponent;

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; the five unassigned bytes
// map to the C1 control of the same number.
const uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at i; false when the bytes are not valid UTF-8.
bool DecodeUtf8(const std::string& s, size_t& i, uint32_t& cp) {
    auto b = [&](size_t k) { return uint8_t(s[k]); };
    uint8_t c = b(i);
    int extra;
    if (c < 0x80) { cp = c; i += 1; return true; }
    if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
    else return false;
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
    return true;
}

int AnsiByteOf(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == cp) return 0x80 + k;
    return -1;
}

} // namespace

std::string rpTextFromAnsi(const std::string& bytes) { return TextFromBytes(bytes); }

std::string rpTextToAnsi(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    uint32_t cp;
    while (i < utf8.size()) {
        if (!DecodeUtf8(utf8, i, cp)) return utf8;   // not UTF-8: already bytes
        int b = AnsiByteOf(cp);
        if (b < 0) return utf8;                      // the code page cannot hold it
        out += char(b);
    }
    return out;
}

void rpCheckAvailable(TStream* stream, int64_t count, const char* what) {
    int64_t left = stream->GetSize() - stream->GetPosition();
    if (count < 0 || count > left)
        throw EReadError(std::string("Stream read error: ") + what + " needs " + std::to_string(count) +
                         " bytes, " + std::to_string(left < 0 ? 0 : left) + " left");
}

uint8_t ReadByteFromStream(TStream* stream) {
    rpCheckAvailable(stream, 1, "byte");
    uint8_t b = 0;
    stream->ReadBuffer(&b, 1);
    return b;
}

void WriteByteToStream(TStream* stream, uint8_t b) { stream->WriteBuffer(&b, 1); }

uint16_t ReadWordFromStream(TStream* stream) {
    rpCheckAvailable(stream, 2, "word");
    uint8_t b[2];
    stream->ReadBuffer(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
}

void WriteWordToStream(TStream* stream, uint16_t w) {
    uint8_t b[2] = {uint8_t(w), uint8_t(w >> 8)};
    stream->WriteBuffer(b, 2);
}

int32_t ReadIntegerFromStream(TStream* stream) {
    rpCheckAvailable(stream, 4, "integer");
    uint8_t b[4];
    stream->ReadBuffer(b, 4);
    return int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24));
}

void WriteIntegerToStream(TStream* stream, int32_t n) {
    uint32_t u = uint32_t(n);
    uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    stream->WriteBuffer(b, 4);
}

namespace {

std::string ReadBytes(TStream* stream, uint32_t n, const char* what) {
    rpCheckAvailable(stream, n, what);
    std::string s(n, '\0');
    if (n) stream->ReadBuffer(s.data(), n);
    return s;
}

void WriteLengthPrefixed(TStream* stream, const std::string& text) {
    std::string bytes = rpTextToAnsi(text);
    if (bytes.size() > 0xFFFF)
        throw EWriteError("Text of " + std::to_string(bytes.size()) +
                          " bytes is too long for a template (at most 65535)");
    WriteWordToStream(stream, uint16_t(bytes.size()));
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

} // namespace

std::string ReadStringFromStream(TStream* stream) {
    uint16_t n = ReadWordFromStream(stream);
    std::string s = ReadBytes(stream, n, "string");
    ReadByteFromStream(stream);   // trailing byte, written 0
    return rpTextFromAnsi(s);
}

void SaveStringToStream(const std::string& s, TStream* stream) {
    WriteLengthPrefixed(stream, s);
    WriteByteToStream(stream, 0);
}

void ReadMemoFromStream(TStream* stream, TStrings* memo) {
    WithinUpdate(memo, [&] {
        memo->Clear();
        uint16_t count = ReadWordFromStream(stream);
        if (count == 0) {
            ReadByteFromStream(stream);
        } else {
            // The count only tells empty from non-empty; the separators end the list.
            uint8_t sep;
            do {
                uint16_t n = ReadWordFromStream(stream);
                memo->Add(rpTextFromAnsi(ReadBytes(stream, n, "memo line")));
                sep = ReadByteFromStream(stream);
            } while (sep != 0);
        }
    });
}

void WriteMemoToStream(TStream* stream, TStrings* memo) {
    int count = memo->Count();
    if (count > 0xFFFF)
        throw EWriteError("Text of " + std::to_string(count) + " lines is too long for a template (at most 65535)");
    WriteWordToStream(stream, uint16_t(count));
    if (count == 0) {
        WriteByteToStream(stream, 0);
        return;
    }
    for (int i = 0; i < count; ++i) {
        WriteLengthPrefixed(stream, memo->Get(i));
        WriteByteToStream(stream, i < count - 1 ? 13 : 0);
    }
}

std::string ReadOldStringFromStream(TStream* stream) {
    std::string s;
    for (;;) {
        uint8_t b = ReadByteFromStream(stream);
        if (b == 0) break;
        s += char(b);
    }
    return rpTextFromAnsi(s);
}

void ReadOldMemoFromStream(TStream* stream, TStrings* memo) {
    WithinUpdate(memo, [&] {
        memo->Clear();
        std::string line;
        bool sawBreak = false;
        for (;;) {
            uint8_t b = ReadByteFromStream(stream);
            if (b == 0) break;
            if (b == 13) {
                memo->Add(rpTextFromAnsi(line));
                line.clear();
                sawBreak = true;
            } else {
                line += char(b);
            }
        }
        if (!line.empty() || sawBreak) memo->Add(rpTextFromAnsi(line));
    });
}

std::string RemoveQuotes(const std::string& s) {
    if (s.size() >= 3 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

std::string ExtractToken(const std::string& s, int& pos) {
    if (pos < 1) pos = 1;
    size_t start = size_t(pos - 1);
    if (start >= s.size()) {
        pos = int(s.size()) + 1;
        return std::string();
    }
    size_t semi = s.find(';', start);
    if (semi == std::string::npos) {
        pos = int(s.size()) + 1;
        return s.substr(start);
    }
    pos = int(semi) + 2;
    return s.substr(start, semi - start);
}

void SplitToList(const std::string& s, TStrings* list) {
    list->Clear();
    int pos = 1;
    while (pos <= int(s.size())) list->Add(ExtractToken(s, pos));
}

TComponent* FindComponentByPath(TComponent* owner, const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t dot = path.find('.', start);
        parts.push_back(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (parts.size() > 3) return nullptr;
    if (parts.size() == 1) return owner ? owner->FindComponent(parts[0]) : nullptr;

    TComponent* form = nullptr;
    if (owner && SameText(owner->GetName(), parts[0])) form = owner;
    else if (rpFindGlobalComponent) form = rpFindGlobalComponent(parts[0]);
    if (!form) return nullptr;
    TComponent* c = form->FindComponent(parts[1]);
    if (parts.size() == 3 && c) c = c->FindComponent(parts[2]);
    return c;
}

std::unique_ptr<TFont> rpCreateRotatedFont(const TFont* font) {
    auto rotated = std::make_unique<TFont>();
    if (font) rotated->Assign(const_cast<TFont*>(font));
    rotated->SetOrientation(900);
    return rotated;
}
