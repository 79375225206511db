#include "SockBuf.h"

#include <algorithm>

TBuffer::TBuffer(int Size) { SetSize(Size); }

void TBuffer::SetSize(int Size) {
    if (Size <= 0) Size = 1514;
    if (Size == GetSize()) return;
    if (FWrOfs == 0) {
        FData.assign(size_t(Size), 0);
        return;
    }
    std::vector<char> data(size_t(Size), 0);
    const int keep = std::min(FWrOfs, Size);
    std::copy(FData.begin(), FData.begin() + keep, data.begin());
    FData.swap(data);
    FWrOfs = keep;
    FRdOfs = std::min(FRdOfs, keep);
}

int TBuffer::Write(const char* Data, int Length) {
    const int n = std::min(Length, GetSize() - FWrOfs);
    if (n <= 0) return 0;
    std::copy(Data, Data + n, FData.begin() + FWrOfs);
    FWrOfs += n;
    return n;
}

int TBuffer::Peek(const char*& Data) const {
    const int n = FWrOfs - FRdOfs;
    Data = n > 0 ? FData.data() + FRdOfs : nullptr;
    return std::max(n, 0);
}

int TBuffer::Remove(int Count) {
    const int n = std::min(std::max(Count, 0), FWrOfs - FRdOfs);
    FRdOfs += n;
    if (FRdOfs == FWrOfs) FRdOfs = FWrOfs = 0;
    return n;
}

void TBufferList::Append(const char* Data, int Length, int BlockSize) {
    while (Length > 0) {
        if (FBlocks.empty()) FBlocks.emplace_back(BlockSize);
        int n = FBlocks.back().Write(Data, Length);
        if (n == 0) {
            FBlocks.emplace_back(BlockSize);
            n = FBlocks.back().Write(Data, Length);
        }
        Data += n;
        Length -= n;
    }
}
