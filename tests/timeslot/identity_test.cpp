#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

#include "crc32.h"
#include "date_time.h"
#include "terminal_identity.h"

namespace {

std::uint32_t ZlibCrc(const void* data, std::size_t size) {
    return static_cast<std::uint32_t>(
        crc32(0L, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
}

TEST(Crc32, MatchesAnIndependentImplementation) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    std::mt19937 random(7);
    for (int size : {1, 2, 59, 60, 61, 1000}) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        EXPECT_EQ(Crc32(bytes.data(), size), ZlibCrc(bytes.data(), bytes.size())) << size;
    }
}

TEST(Crc32, ACountOfZeroOrLessGivesZero) {
    EXPECT_EQ(Crc32("abc", 0), 0u);
    EXPECT_EQ(Crc32("abc", -5), 0u);
}

TEST(DateTime, CountsDaysSinceTheEndOf1899) {
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime({1899, 12, 0, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime({1900, 1, 0, 1, 6, 0, 0, 0}), 2.25);
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime({2000, 1, 6, 1, 12, 0, 0, 0}), 36526.5);
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime({2026, 12, 4, 10, 18, 30, 15, 500}),
                     46366.0 + (18 * 3600000.0 + 30 * 60000.0 + 15 * 1000.0 + 500) / 86400000.0);
}

const SYSTEMTIME kNoon2026{2026, 12, 4, 10, 12, 0, 0, 0};

TEST(IdentityRecord, HoldsItsFieldsAtTheirOffsets) {
    const TIdentityRecord record = FillIdentityRecord(0x01020304u, "operator", "COMPA", kNoon2026);
    EXPECT_EQ(record[0], 0x04);
    EXPECT_EQ(record[3], 0x01);
    EXPECT_STREQ(reinterpret_cast<const char*>(record.data() + 4), "operator");
    EXPECT_STREQ(reinterpret_cast<const char*>(record.data() + 36), "COMPA");
    double stamp = 0;
    std::memcpy(&stamp, record.data() + 52, 8);
    EXPECT_DOUBLE_EQ(stamp, SystemTimeToDateTime(kNoon2026));
    for (int i = 4 + 9; i < 36; ++i) {
        EXPECT_EQ(record[i], 0) << i;
    }
    EXPECT_EQ(TerminalIdOf(record), ZlibCrc(record.data(), 60));
}

TEST(IdentityRecord, NamesThatDoNotFitTheirBufferLeaveTheFieldEmpty) {
    const std::string user31(31, 'u');
    const std::string user32(32, 'u');
    const char* computer14 = "ABCDEFGHIJKLMN";
    const char* computer15 = "ABCDEFGHIJKLMNO";
    TIdentityRecord fits = FillIdentityRecord(1, user31.c_str(), computer14, kNoon2026);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(fits.data() + 4)), user31);
    EXPECT_STREQ(reinterpret_cast<const char*>(fits.data() + 36), computer14);

    TIdentityRecord tooLong = FillIdentityRecord(1, user32.c_str(), computer15, kNoon2026);
    for (int i = 4; i < 52; ++i) {
        EXPECT_EQ(tooLong[i], 0) << i;
    }
    EXPECT_EQ(TerminalIdOf(tooLong), ZlibCrc(tooLong.data(), 60));
}

TEST(IdentityRecord, ADifferentMomentOrProcessGivesADifferentId) {
    const SYSTEMTIME later{2026, 12, 4, 10, 12, 0, 0, 1};
    const auto id = TerminalIdOf(FillIdentityRecord(42, "u", "C", kNoon2026));
    EXPECT_NE(id, TerminalIdOf(FillIdentityRecord(42, "u", "C", later)));
    EXPECT_NE(id, TerminalIdOf(FillIdentityRecord(43, "u", "C", kNoon2026)));
    EXPECT_EQ(id, TerminalIdOf(FillIdentityRecord(42, "u", "C", kNoon2026)));
}

}  // namespace
