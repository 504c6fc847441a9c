#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "web/WSockBuf.h"

namespace {

std::string ReadAll(TBuffer& buffer) {
    char bytes[64];
    const int count = buffer.Read(bytes, sizeof bytes);
    return std::string(bytes, static_cast<size_t>(count));
}

TEST(WSockBuf, WritesWhatFitsAndReadsItBack) {
    TBuffer buffer(8);
    EXPECT_EQ(buffer.Write("abcdefghij", 10), 8);
    EXPECT_EQ(buffer.Write("k", 1), 0) << "full";
    char two[2];
    EXPECT_EQ(buffer.Read(two, 2), 2);
    EXPECT_EQ(std::string(two, 2), "ab");
    EXPECT_EQ(buffer.Write("k", 1), 0) << "room is made only by taking everything";
    EXPECT_EQ(ReadAll(buffer), "cdefgh");
    EXPECT_EQ(buffer.WrCount(), 0);
    EXPECT_EQ(buffer.RdCount(), 0);
    EXPECT_EQ(buffer.Write("xyz", 3), 3);
    EXPECT_EQ(ReadAll(buffer), "xyz");
}

TEST(WSockBuf, PeekAndRemoveTakeFromTheFront) {
    TBuffer buffer(16);
    int length = -1;
    EXPECT_EQ(buffer.Peek(length), nullptr);
    EXPECT_EQ(length, 0);
    buffer.Write("hello world", 11);
    const char* data = buffer.Peek(length);
    ASSERT_EQ(length, 11);
    EXPECT_EQ(std::string(data, 5), "hello");
    EXPECT_EQ(buffer.Remove(6), 6);
    data = buffer.Peek(length);
    EXPECT_EQ(std::string(data, static_cast<size_t>(length)), "world");
    EXPECT_EQ(buffer.Remove(100), 5);
    EXPECT_EQ(buffer.Peek(length), nullptr);
    EXPECT_EQ(buffer.WrCount(), 0);
}

TEST(WSockBuf, SizesAndResizing) {
    EXPECT_EQ(TBuffer(0).BufSize(), 1514);
    EXPECT_EQ(TBuffer(-5).BufSize(), 1514);
    TBuffer buffer(4);
    buffer.Write("abcd", 4);
    buffer.SetBufSize(10);
    EXPECT_EQ(buffer.BufSize(), 10);
    EXPECT_EQ(buffer.Write("ef", 2), 2);
    EXPECT_EQ(ReadAll(buffer), "abcdef");
    // Never smaller than what it holds: nothing is cut off.
    buffer.Write("123456", 6);
    buffer.SetBufSize(2);
    EXPECT_EQ(buffer.BufSize(), 6);
    EXPECT_EQ(ReadAll(buffer), "123456");
}

TEST(WSockBuf, NonsenseLengthsCopyNothing) {
    TBuffer buffer(8);
    EXPECT_EQ(buffer.Write("abc", -1), 0);
    EXPECT_EQ(buffer.Write(nullptr, 3), 0);
    buffer.Write("abc", 3);
    char byte;
    EXPECT_EQ(buffer.Read(&byte, 0), 0);
    EXPECT_EQ(buffer.Read(&byte, -4), 0);
    EXPECT_EQ(buffer.Remove(-1), 0);
    EXPECT_EQ(ReadAll(buffer), "abc");
}

} // namespace
