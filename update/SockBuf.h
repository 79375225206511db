#pragma once
// The send queue of the socket layer: data copied once into blocks that the
// socket writes as the network accepts it.

#include <deque>
#include <vector>

// One block of the send queue.
class TBuffer {
public:
    explicit TBuffer(int Size);
    int GetSize() const { return int(FData.size()); }
    // 0 or less means 1514 bytes; written but unread bytes are kept.
    void SetSize(int Size);
    // Copies what fits and returns the count taken (0 when full).
    int Write(const char* Data, int Length);
    // The unread bytes and their count (0: nothing).
    int Peek(const char*& Data) const;
    // Drops up to Count unread bytes and returns the count dropped.
    int Remove(int Count);
    int Unread() const { return FWrOfs - FRdOfs; }

private:
    std::vector<char> FData;
    int FWrOfs = 0;
    int FRdOfs = 0;
};

// The send queue: data is appended into the last block while it has room, then
// into new blocks of BlockSize.
class TBufferList {
public:
    void Append(const char* Data, int Length, int BlockSize);
    bool Empty() const { return FBlocks.empty(); }
    void Clear() { FBlocks.clear(); }
    std::deque<TBuffer>& Blocks() { return FBlocks; }
    const std::deque<TBuffer>& Blocks() const { return FBlocks; }

private:
    std::deque<TBuffer> FBlocks;
};
