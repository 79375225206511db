#pragma once
// Between the sources of the grids only.

#include <algorithm>
#include <vector>

constexpr int kGridScrollBarSize = 16;

// One direction of the grid: the columns (or rows) with their sizes, the fixed
// ones at the start, the scrolled ones from First, in Extent pixels of client.
struct TGridAxis {
    const std::vector<int>& Sizes;
    int Fixed;
    int First;
    int Extent;
    int Line;

    int Count() const { return int(Sizes.size()); }
    int Step(int i) const { return Sizes[size_t(i)] + Line; }
    int FixedExtent() const {
        int x = 0;
        for (int i = 0; i < Fixed && i < Count(); ++i) x += Step(i);
        return x;
    }
    // Start of line i in pixels; -1 when it is scrolled away or beyond the client.
    int Pos(int i) const {
        if (i < 0 || i >= Count()) return -1;
        int x = 0;
        if (i < Fixed) {
            for (int j = 0; j < i; ++j) x += Step(j);
        } else {
            if (i < First) return -1;
            x = FixedExtent();
            for (int j = First; j < i && x < Extent; ++j) x += Step(j);
        }
        return x < Extent ? x : -1;
    }
    // The line at pixel p (its grid line belongs to it); -1 when none.
    int IndexAt(int p) const {
        if (p < 0 || p >= Extent) return -1;
        int x = 0;
        for (int i = 0; i < Fixed && i < Count(); ++i) {
            x += Step(i);
            if (p < x) return i;
        }
        for (int i = First; i < Count(); ++i) {
            x += Step(i);
            if (p < x) return i;
        }
        return -1;
    }
    // The last scrolled line wholly inside the client; First - 1 when none.
    int LastFull() const {
        int x = FixedExtent();
        int last = First - 1;
        for (int i = First; i < Count(); ++i) {
            if (x + Sizes[size_t(i)] > Extent) break;
            x += Step(i);
            last = i;
        }
        return last;
    }
    // The greatest First that still shows the last line wholly (at least Fixed).
    int MaxFirst() const {
        int room = Extent - FixedExtent();
        int first = Count() - 1;
        int used = 0;
        for (int i = Count() - 1; i >= Fixed; --i) {
            used += (i == Count() - 1) ? Sizes[size_t(i)] : Step(i);
            if (used > room) break;
            first = i;
        }
        return std::max(first, Fixed);
    }
};
