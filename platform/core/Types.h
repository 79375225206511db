#pragma once
// Geometry and basic value types shared by every layer.

#include <cstdint>

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

// Right and bottom edges are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    bool operator==(const TRect&) const = default;
};

inline TPoint Point(int x, int y) { return TPoint{x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return TRect{left, top, left + width, top + height}; }

using TDateTime = double;  // days since 1899-12-30, fraction = time of day
using Cardinal = uint32_t;
using Word = uint16_t;
using Byte = uint8_t;
using LongInt = int32_t;
using SmallInt = int16_t;
using ShortInt = int8_t;
using Extended = long double;

#include <initializer_list>

// A set of enumeration values (at most 64), as the class library's sets:
// TFontStyles s{fsBold}; s.Contains(fsBold); s += fsItalic.
template <typename E>
class Set {
public:
    constexpr Set() = default;
    constexpr Set(std::initializer_list<E> items) {
        for (E e : items) Include(e);
    }
    static constexpr Set FromBits(uint64_t bits) {
        Set s;
        s.bits_ = bits;
        return s;
    }
    constexpr uint64_t Bits() const { return bits_; }
    constexpr bool Contains(E e) const { return (bits_ >> static_cast<unsigned>(e)) & 1u; }
    constexpr Set& Include(E e) {
        bits_ |= uint64_t(1) << static_cast<unsigned>(e);
        return *this;
    }
    constexpr Set& Exclude(E e) {
        bits_ &= ~(uint64_t(1) << static_cast<unsigned>(e));
        return *this;
    }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr Set operator+(Set o) const { return FromBits(bits_ | o.bits_); }
    constexpr Set operator-(Set o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr Set operator*(Set o) const { return FromBits(bits_ & o.bits_); }
    constexpr Set operator+(E e) const {
        Set s = *this;
        return s.Include(e);
    }
    constexpr Set operator-(E e) const {
        Set s = *this;
        return s.Exclude(e);
    }
    constexpr Set& operator+=(Set o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr Set& operator-=(Set o) {
        bits_ &= ~o.bits_;
        return *this;
    }
    constexpr Set& operator+=(E e) { return Include(e); }
    constexpr Set& operator-=(E e) { return Exclude(e); }
    constexpr bool operator==(const Set&) const = default;

private:
    uint64_t bits_ = 0;
};
