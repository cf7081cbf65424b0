#include <gtest/gtest.h>

#include <vector>

#include "message_framing.h"

namespace {

TEST(Framing, AnEmptyPayloadGivesAnEightByteDatagram) {
    TMemoryStream buffer;
    buffer.Write("leftover bytes", 14);
    FrameDatagram(buffer, {0xA1B2C3D4u, 1}, nullptr, 0);
    ASSERT_EQ(buffer.Size(), 8);
    const std::vector<std::uint8_t> expected{0xD4, 0xC3, 0xB2, 0xA1, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.Memory(), buffer.Memory() + 8), expected);
}

TEST(Framing, AFullPayloadFollowsTheHeaderWhole) {
    std::vector<std::uint8_t> payload(65535);
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<std::uint8_t>(i * 7);
    }
    TMemoryStream buffer;
    FrameDatagram(buffer, {7u, -2}, payload.data(), 65535);
    ASSERT_EQ(buffer.Size(), 65543);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.Memory() + 4, buffer.Memory() + 8),
              (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), buffer.Memory() + 8));

    buffer.SetPosition(0);
    const TMessageHeader header = ReadHeader(buffer);
    EXPECT_EQ(header.SenderId, 7u);
    EXPECT_EQ(header.Sequence, -2);
    EXPECT_EQ(buffer.Position(), 8);
}

TEST(Framing, OnlyDatagramsWithAHeaderAndAtMost65535PayloadBytesHaveTheFormat) {
    EXPECT_FALSE(IsWellFormedSize(0));
    EXPECT_FALSE(IsWellFormedSize(7));
    EXPECT_TRUE(IsWellFormedSize(8));
    EXPECT_TRUE(IsWellFormedSize(65543));
    EXPECT_FALSE(IsWellFormedSize(65544));
}

}  // namespace
