#include <gtest/gtest.h>

#include <cstring>

#include "memory_stream.h"

namespace {

TEST(MemoryStream, ReadCopiesAtMostWhatRemainsAndAdvances) {
    TMemoryStream stream;
    stream.Write("abcdef", 6);
    EXPECT_EQ(stream.Position(), 6);
    stream.SetPosition(4);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(stream.Position(), 6);
    EXPECT_EQ(stream.Read(buffer, 8), 0);
}

TEST(MemoryStream, SetSizeKeepsTheStartAndZeroesNewBytes) {
    TMemoryStream stream;
    stream.Write("xyz", 3);
    stream.SetSize(2);
    stream.SetSize(4);
    ASSERT_EQ(stream.Size(), 4);
    EXPECT_EQ(std::memcmp(stream.Memory(), "xy\0\0", 4), 0);
    stream.SetSize(-1);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(MemoryStream, WriteBeyondTheEndGrowsTheStream) {
    TMemoryStream stream;
    stream.SetPosition(4);
    stream.Write("ab", 2);
    ASSERT_EQ(stream.Size(), 6);
    EXPECT_EQ(std::memcmp(stream.Memory(), "\0\0\0\0ab", 6), 0);
}

}  // namespace
