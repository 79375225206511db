#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SockBuf.h"

namespace {

TEST(SockBuf, SendQueueFillsBlocksOfItsSize) {
    TBufferList queue;
    const std::string data(5000, 'x');
    queue.Append(data.data(), int(data.size()), 1460);
    std::vector<int> sizes;
    for (const TBuffer& b : queue.Blocks()) sizes.push_back(b.Unread());
    EXPECT_EQ(sizes, (std::vector<int>{1460, 1460, 1460, 620}));
    TBuffer b(0);
    EXPECT_EQ(b.GetSize(), 1514);
    EXPECT_EQ(b.Write("abcdef", 6), 6);
    EXPECT_EQ(b.Remove(10), 6);
    const char* p;
    EXPECT_EQ(b.Peek(p), 0);
}

}  // namespace
