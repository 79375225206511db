// TStream and its file, memory and string kinds.

#include "Classes.h"
#include "ClassesIO.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------------------
// TStream

int64_t TStream::GetSize() {
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t NewSize) {}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->GetSize();
    }
    const int64_t result = Count;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(Count, 0xF000)));
    while (Count > 0) {
        int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(buffer.size()));
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}

namespace {

template <typename T>
T ReadLE(TStream* s) {
    uint8_t b[sizeof(T)];
    s->ReadBuffer(b, sizeof(T));
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(b[i]) << (8 * i);
    return static_cast<T>(v);
}

template <typename T>
void WriteLE(TStream* s, T value) {
    uint8_t b[sizeof(T)];
    auto v = static_cast<uint64_t>(value);
    for (size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
    s->WriteBuffer(b, sizeof(T));
}

constexpr int kExtBias = 16383;

}  // namespace

uint8_t TStream::ReadByte() { return ReadLE<uint8_t>(this); }
uint16_t TStream::ReadWord() { return ReadLE<uint16_t>(this); }
int16_t TStream::ReadInt16() { return static_cast<int16_t>(ReadLE<uint16_t>(this)); }
int32_t TStream::ReadInt32() { return static_cast<int32_t>(ReadLE<uint32_t>(this)); }
uint32_t TStream::ReadUInt32() { return ReadLE<uint32_t>(this); }
int64_t TStream::ReadInt64() { return static_cast<int64_t>(ReadLE<uint64_t>(this)); }

float TStream::ReadSingle() {
    uint32_t bits = ReadLE<uint32_t>(this);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double TStream::ReadDouble() {
    uint64_t bits = ReadLE<uint64_t>(this);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

long double TStream::ReadExtended() {
    uint8_t b[10];
    ReadBuffer(b, 10);
    return BytesToExtended(b);
}

void TStream::WriteByte(uint8_t Value) { WriteLE(this, Value); }
void TStream::WriteWord(uint16_t Value) { WriteLE(this, Value); }
void TStream::WriteInt16(int16_t Value) { WriteLE(this, static_cast<uint16_t>(Value)); }
void TStream::WriteInt32(int32_t Value) { WriteLE(this, static_cast<uint32_t>(Value)); }
void TStream::WriteUInt32(uint32_t Value) { WriteLE(this, Value); }
void TStream::WriteInt64(int64_t Value) { WriteLE(this, static_cast<uint64_t>(Value)); }

void TStream::WriteSingle(float Value) {
    uint32_t bits;
    std::memcpy(&bits, &Value, sizeof bits);
    WriteLE(this, bits);
}

void TStream::WriteDouble(double Value) {
    uint64_t bits;
    std::memcpy(&bits, &Value, sizeof bits);
    WriteLE(this, bits);
}

void TStream::WriteExtended(long double Value) {
    uint8_t b[10];
    ExtendedToBytes(Value, b);
    WriteBuffer(b, 10);
}

// Built from frexp/ldexp rather than the in-memory layout, so the format is the
// same whatever long double is on the machine.
void ExtendedToBytes(long double Value, uint8_t Bytes[10]) {
    uint64_t mantissa = 0;
    int exponent = 0;
    if (std::isnan(Value)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(Value)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (Value != 0) {
        int e = 0;
        long double m = std::frexp(std::fabs(Value), &e);  // [0.5, 1)
        exponent = e + kExtBias - 1;
        // Below the normal range the exponent field is 0 and the integer bit clear.
        long double scaled = std::nearbyint(std::ldexp(m, exponent > 0 ? 64 : 63 + exponent));
        if (exponent <= 0) exponent = 0;
        if (scaled >= 18446744073709551616.0L) {  // rounding carried into a new bit
            scaled = std::ldexp(scaled, -1);
            ++exponent;
        }
        mantissa = static_cast<uint64_t>(scaled);
        if (exponent == 0 && (mantissa >> 63) != 0) exponent = 1;
        if (exponent >= 0x7FFF) {
            exponent = 0x7FFF;
            mantissa = 0x8000000000000000ull;
        }
    }
    uint16_t signExp = static_cast<uint16_t>(exponent | (std::signbit(Value) ? 0x8000 : 0));
    for (int i = 0; i < 8; ++i) Bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    Bytes[8] = static_cast<uint8_t>(signExp);
    Bytes[9] = static_cast<uint8_t>(signExp >> 8);
}

long double BytesToExtended(const uint8_t Bytes[10]) {
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(Bytes[i]) << (8 * i);
    int signExp = Bytes[8] | (Bytes[9] << 8);
    bool negative = (signExp & 0x8000) != 0;
    int exponent = signExp & 0x7FFF;
    long double v;
    if (exponent == 0x7FFF) {
        v = (mantissa << 1) == 0 ? HUGE_VALL : std::nanl("");
    } else {
        int e = (exponent == 0 ? 1 : exponent) - kExtBias - 63;
        v = std::ldexp(static_cast<long double>(mantissa), e);
    }
    return negative ? -v : v;
}

// ---------------------------------------------------------------------------
// Streams held in memory (a byte vector or a string)

namespace {

template <typename Bytes>
int64_t ReadHeld(const Bytes& data, int64_t& position, void* buffer, int64_t count) {
    const int64_t size = static_cast<int64_t>(data.size());
    if (position < 0 || count <= 0 || position >= size) return 0;
    int64_t n = std::min(count, size - position);
    std::memcpy(buffer, data.data() + position, static_cast<size_t>(n));
    position += n;
    return n;
}

// Writing past the end grows the data; writing at the end appends without
// clearing the new room first, as streams are mostly written field by field.
template <typename Bytes>
int64_t WriteHeld(Bytes& data, int64_t& position, const void* buffer, int64_t count) {
    if (position < 0 || count <= 0) return 0;
    int64_t end = position + count;
    if (position == static_cast<int64_t>(data.size())) {
        const auto* bytes = static_cast<const typename Bytes::value_type*>(buffer);
        data.insert(data.end(), bytes, bytes + count);
    } else {
        if (end > static_cast<int64_t>(data.size())) data.resize(static_cast<size_t>(end));
        std::memcpy(data.data() + position, buffer, static_cast<size_t>(count));
    }
    position = end;
    return count;
}

int64_t SeekHeld(int64_t size, int64_t& position, int64_t offset, TSeekOrigin origin) {
    switch (origin) {
    case soBeginning: position = offset; break;
    case soCurrent: position += offset; break;
    case soEnd: position = size + offset; break;
    }
    return position;
}

}  // namespace

// ---------------------------------------------------------------------------
// TMemoryStream

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) { return ReadHeld(FData, FPosition, Buffer, Count); }

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) { return WriteHeld(FData, FPosition, Buffer, Count); }

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    return SeekHeld(GetSize(), FPosition, Offset, Origin);
}

void TMemoryStream::SetSize(int64_t NewSize) {
    FData.resize(static_cast<size_t>(std::max<int64_t>(NewSize, 0)));
    if (FPosition > GetSize()) FPosition = GetSize();
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    int64_t count = Stream->GetSize();
    FData.assign(static_cast<size_t>(count), 0);
    FPosition = 0;
    Stream->ReadBuffer(FData.data(), count);
}

void TMemoryStream::SaveToStream(TStream* Stream) { Stream->WriteBuffer(FData.data(), GetSize()); }

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
    std::string data(reinterpret_cast<const char*>(FData.data()), FData.size());
    if (int err = classes_io::WriteFileAtomic(FileName, data))
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(err));
}

// ---------------------------------------------------------------------------
// TFileStream

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName) {
    if ((Mode & fmCreate) == fmCreate) {
        FHandle = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0) throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
        return;
    }
    int access = O_RDONLY;
    if ((Mode & 3) == fmOpenWrite) access = O_WRONLY;
    if ((Mode & 3) == fmOpenReadWrite) access = O_RDWR;
    FHandle = ::open(FileName.c_str(), access | O_CLOEXEC);
    struct stat st {};
    if (FHandle >= 0 && ::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        errno = EISDIR;
    }
    if (FHandle < 0) throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

namespace {

// Runs Step (a read or write of up to n bytes after the first done) until
// Count bytes are moved, the file ends or a call fails; an interrupted call
// is repeated.
template <typename F>
int64_t TransferAll(int64_t Count, F Step) {
    if (Count <= 0) return 0;
    int64_t done = 0;
    while (done < Count) {
        ssize_t n = Step(done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

}  // namespace

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
    auto* p = static_cast<char*>(Buffer);
    return TransferAll(Count, [&](int64_t done, size_t n) { return ::read(FHandle, p + done, n); });
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
    const auto* p = static_cast<const char*>(Buffer);
    return TransferAll(Count, [&](int64_t done, size_t n) { return ::write(FHandle, p + done, n); });
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == soBeginning ? SEEK_SET : (Origin == soCurrent ? SEEK_CUR : SEEK_END);
    return static_cast<int64_t>(::lseek(FHandle, static_cast<off_t>(Offset), whence));
}

void TFileStream::SetSize(int64_t NewSize) {
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EStreamError("Cannot set the size of \"" + FFileName + "\". " + std::strerror(errno));
    if (GetPosition() > NewSize) SetPosition(NewSize);
}

// ---------------------------------------------------------------------------
// TStringStream

int64_t TStringStream::Read(void* Buffer, int64_t Count) { return ReadHeld(FDataString, FPosition, Buffer, Count); }

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
    return WriteHeld(FDataString, FPosition, Buffer, Count);
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    return SeekHeld(static_cast<int64_t>(FDataString.size()), FPosition, Offset, Origin);
}

void TStringStream::SetSize(int64_t NewSize) {
    FDataString.resize(static_cast<size_t>(std::max<int64_t>(NewSize, 0)));
    if (FPosition > NewSize) FPosition = static_cast<int64_t>(FDataString.size());
}

std::string TStringStream::ReadString(int64_t Count) {
    int64_t size = static_cast<int64_t>(FDataString.size());
    int64_t n = std::clamp<int64_t>(std::min(Count, size - FPosition), 0, size);
    std::string result = FPosition >= 0 && n > 0
                             ? FDataString.substr(static_cast<size_t>(FPosition), static_cast<size_t>(n))
                             : std::string();
    FPosition += static_cast<int64_t>(result.size());
    return result;
}
