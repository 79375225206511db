#include "RP_Utils.h"

#include <vector>

#include "SysUtils.h"

std::function<TComponent*(const std::string& name)> rpFindGlobalComponent;

std::string rpTextFromAnsi(const std::string& bytes) { return TextFromBytes(bytes); }

// Text that is not UTF-8 is already bytes; text the code page cannot hold stays UTF-8.
std::string rpTextToAnsi(const std::string& utf8) {
    std::string bytes;
    return TryTextToAnsi(utf8, bytes) ? bytes : utf8;
}

namespace {

[[noreturn]] void ThrowShortRead(int64_t count, int64_t left, const char* what) {
    throw EReadError(std::string("Stream read error: ") + what + " needs " + std::to_string(count) + " bytes, " +
                     std::to_string(left < 0 ? 0 : left) + " left");
}

// Reads a field of a fixed size. Read first and checked after, as a page of
// objects is thousands of fields; a short read leaves the position as it was.
void ReadField(TStream* stream, void* buffer, int64_t count, const char* what) {
    const int64_t got = stream->Read(buffer, count);
    if (got == count) return;
    if (got > 0) stream->Seek(-got, soCurrent);
    ThrowShortRead(count, got, what);
}

}  // namespace

void rpCheckAvailable(TStream* stream, int64_t count, const char* what) {
    int64_t left = stream->GetSize() - stream->GetPosition();
    if (count < 0 || count > left) ThrowShortRead(count, left, what);
}

uint8_t ReadByteFromStream(TStream* stream) {
    uint8_t b = 0;
    ReadField(stream, &b, 1, "byte");
    return b;
}

void WriteByteToStream(TStream* stream, uint8_t b) { stream->WriteBuffer(&b, 1); }

uint16_t ReadWordFromStream(TStream* stream) {
    uint8_t b[2];
    ReadField(stream, b, 2, "word");
    return uint16_t(b[0] | (b[1] << 8));
}

void WriteWordToStream(TStream* stream, uint16_t w) {
    uint8_t b[2] = {uint8_t(w), uint8_t(w >> 8)};
    stream->WriteBuffer(b, 2);
}

int32_t ReadIntegerFromStream(TStream* stream) {
    uint8_t b[4];
    ReadField(stream, b, 4, "integer");
    return int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24));
}

void WriteIntegerToStream(TStream* stream, int32_t n) {
    uint32_t u = uint32_t(n);
    uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    stream->WriteBuffer(b, 4);
}

namespace {

// A text of a length read before it: at most 65535 bytes are set aside for it.
std::string ReadBytes(TStream* stream, uint16_t n, const char* what) {
    std::string s(n, '\0');
    if (n) ReadField(stream, s.data(), n, what);
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

}  // namespace

std::string ReadStringFromStream(TStream* stream) {
    uint16_t n = ReadWordFromStream(stream);
    std::string s = ReadBytes(stream, n, "string");
    ReadByteFromStream(stream);  // trailing byte, written 0
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
    if (owner && SameText(owner->GetName(), parts[0]))
        form = owner;
    else if (rpFindGlobalComponent)
        form = rpFindGlobalComponent(parts[0]);
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
