#include "time_messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "system_time_calc.h"

namespace {

std::vector<BYTE> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(TimeRequestTest, IsGiveZeitWithItsNul) {
    const auto request = BuildTimeRequest();
    const std::vector<BYTE> expected{0x47, 0x49, 0x56, 0x45, 0x20, 0x5A, 0x45, 0x49, 0x54, 0x00};
    EXPECT_EQ(std::vector<BYTE>(request.begin(), request.end()), expected);
    EXPECT_TRUE(IsTimeRequest(request.data(), request.size()));
}

TEST(TimeRequestTest, RecognisesExactlyTheNineBytes) {
    struct Case {
        const char* name;
        std::vector<BYTE> payload;
        bool isRequest;
    };
    const Case cases[] = {
        {"with NUL", Bytes(std::string("GIVE ZEIT\0", 10)), true},
        {"without NUL", Bytes("GIVE ZEIT"), true},
        {"longer, text after", Bytes("GIVE ZEIT, please"), true},
        {"longer, binary after", Bytes(std::string("GIVE ZEIT\xff\x00\x01", 12)), true},
        {"lower case", Bytes(std::string("give zeit\0", 10)), false},
        {"one lower-case letter", Bytes("GIVE ZEIt"), false},
        {"two blanks", Bytes(std::string("GIVE  ZEIT\0", 11)), false},
        {"tab for the blank", Bytes("GIVE\tZEIT"), false},
        {"NUL for the blank", Bytes(std::string("GIVE\0ZEIT", 9)), false},
        {"underscore for the blank", Bytes("GIVE_ZEIT"), false},
        {"first eight bytes", Bytes("GIVE ZEI"), false},
        {"leading blank", Bytes(" GIVE ZEIT"), false},
        {"first byte differs", Bytes("FIVE ZEIT"), false},
        {"empty", {}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsTimeRequest(c.payload.data(), c.payload.size()), c.isRequest) << c.name;
    }
}

TEST(TimeRequestTest, LooksNoFurtherThanTheSizeItIsGiven) {
    // The bytes after the size would complete the text; they must not count.
    const std::vector<BYTE> buffer = Bytes("GIVE ZEIT");
    for (std::size_t size = 0; size < 9; ++size) {
        EXPECT_FALSE(IsTimeRequest(buffer.data(), size)) << size;
    }
    EXPECT_FALSE(IsTimeRequest(nullptr, 0));
}

TEST(TimeReplyTest, CarriesTheRecordLittleEndianThenOneZeroByte) {
    const SYSTEMTIME time{2024, 2, 4, 29, 23, 59, 58, 999};
    const auto reply = BuildTimeReply(time);
    const std::vector<BYTE> expected{0xE8, 0x07, 0x02, 0x00, 0x04, 0x00, 0x1D, 0x00, 0x17,
                                     0x00, 0x3B, 0x00, 0x3A, 0x00, 0xE7, 0x03, 0x00};
    EXPECT_EQ(std::vector<BYTE>(reply.begin(), reply.end()), expected);

    const auto read = ReadSystemTime(reply.data(), reply.size());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(std::memcmp(&*read, &time, sizeof time), 0);
}

TEST(TimeReplyTest, ReadsOnlyAWholeRecord) {
    const auto reply = BuildTimeReply(SYSTEMTIME{2030, 1, 2, 1, 0, 0, 0, 0});
    EXPECT_FALSE(ReadSystemTime(reply.data(), 15).has_value());
    EXPECT_FALSE(ReadSystemTime(nullptr, 0).has_value());
    EXPECT_TRUE(ReadSystemTime(reply.data(), 16).has_value());
}

TEST(TimeReplyTest, NeverPassesAsARequest) {
    // A reply would have to start with "GI", the year 18759, to be taken for a request; try
    // every year a clock can give, and that one as well.
    SYSTEMTIME time{0, 12, 6, 31, 23, 59, 59, 999};
    for (unsigned year = 0; year <= 0xFFFF; ++year) {
        time.wYear = static_cast<WORD>(year);
        const auto reply = BuildTimeReply(time);
        ASSERT_FALSE(IsTimeRequest(reply.data(), reply.size())) << year;
    }
}

TEST(TimeRequestTest, NeverPassesTheClockCheck) {
    // Whatever a receiver had in the rest of its record, and whatever follows the nine bytes,
    // the month reads "VE" (17750).
    const auto request = BuildTimeRequest();
    const SYSTEMTIME before[] = {
        {},
        {2024, 6, 1, 15, 12, 30, 30, 500},
        {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
    };
    for (const SYSTEMTIME& start : before) {
        SYSTEMTIME record = start;
        std::memcpy(&record, request.data(), request.size());
        EXPECT_EQ(record.wMonth, 17750);
        EXPECT_FALSE(system_time_calc::IsValidSystemTime(record));
    }
    std::vector<BYTE> longer = Bytes(std::string("GIVE ZEIT\x01\x00\x01\x00\x00\x00\x00", 16));
    ASSERT_TRUE(IsTimeRequest(longer.data(), longer.size()));
    const auto read = ReadSystemTime(longer.data(), longer.size());
    ASSERT_TRUE(read.has_value());
    EXPECT_FALSE(system_time_calc::IsValidSystemTime(*read));
}

}  // namespace
