// The NetBIOS datagram and SMB mailslot-write codec: exact layout, round trips, and the
// decoder's refusal of everything that is not a well-formed, whole mailslot write.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "netbios_datagram.h"

namespace {

using namespace corvane::netbios;

MailslotWrite SampleWrite(std::size_t dataSize = 5) {
    MailslotWrite write;
    write.type = kDirectGroup;
    write.datagramId = 0x1234;
    write.sourceIp = 0x0A4D0001;  // 10.77.0.1
    write.source = {"COMPA", 0x00};
    write.destination = {"WORKGROUP", 0x00};
    write.mailslotName = "\\MAILSLOT\\TimeTerminal";
    for (std::size_t i = 0; i < dataSize; ++i) {
        write.data.push_back(static_cast<std::uint8_t>(i * 7));
    }
    return write;
}

std::uint16_t Little16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint16_t Big16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

constexpr std::size_t kSmb = 82;  // the SMB message starts after header and two names

TEST(NetbiosEncodeTest, LaysOutHeaderNamesAndTransactionAsOnTheWire) {
    const std::vector<std::uint8_t> bytes = EncodeMailslotWrite(SampleWrite());
    const std::size_t nameLength = std::strlen("\\MAILSLOT\\TimeTerminal");
    const std::size_t smbLength = 69 + nameLength + 1 + 5;
    ASSERT_EQ(bytes.size(), 82 + smbLength);
    EXPECT_EQ(bytes[0], 0x11);
    EXPECT_EQ(bytes[1], 0x02);
    EXPECT_EQ(Big16(bytes, 2), 0x1234);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 4, bytes.begin() + 8),
              (std::vector<std::uint8_t>{10, 77, 0, 1}));
    EXPECT_EQ(Big16(bytes, 8), 138);
    EXPECT_EQ(Big16(bytes, 10), 68 + smbLength);
    EXPECT_EQ(Big16(bytes, 12), 0);
    EXPECT_EQ(std::string(bytes.begin() + 48, bytes.begin() + 82),
              std::string("\x20"
                          "FHEPFCELEHFCEPFFFACACACACACACAAA",
                          33) +
                  '\0');
    EXPECT_EQ(std::string(bytes.begin() + kSmb, bytes.begin() + kSmb + 4), "\xFFSMB");
    EXPECT_EQ(bytes[kSmb + 4], 0x25);
    EXPECT_EQ(bytes[kSmb + 32], 17);
    EXPECT_EQ(Little16(bytes, kSmb + 35), 5);                   // total data count
    EXPECT_EQ(Little16(bytes, kSmb + 55), 5);                   // data count
    EXPECT_EQ(Little16(bytes, kSmb + 57), 70 + nameLength);     // data offset
    EXPECT_EQ(bytes[kSmb + 59], 3);                             // setup count
    EXPECT_EQ(Little16(bytes, kSmb + 61), 1);                   // write mailslot
    EXPECT_EQ(Little16(bytes, kSmb + 65), 2);                   // second class
    EXPECT_EQ(Little16(bytes, kSmb + 67), nameLength + 1 + 5);  // byte count
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[kSmb + 69])),
              "\\MAILSLOT\\TimeTerminal");
    EXPECT_EQ(bytes[kSmb + 70 + nameLength + 4], 28);  // the last data byte
}

TEST(NetbiosEncodeTest, RefusesWhatCannotBeSent) {
    struct Case {
        const char* what;
        void (*spoil)(MailslotWrite&);
    };
    const Case cases[] = {
        {"empty source", [](MailslotWrite& w) { w.source.name.clear(); }},
        {"16-character destination",
         [](MailslotWrite& w) { w.destination.name = std::string(16, 'A'); }},
        {"blank in name", [](MailslotWrite& w) { w.destination.name = "WORK GROUP"; }},
        {"no \\MAILSLOT\\ prefix", [](MailslotWrite& w) { w.mailslotName = "\\PIPE\\x"; }},
        {"prefix alone", [](MailslotWrite& w) { w.mailslotName = "\\MAILSLOT\\"; }},
        {"one byte beyond 512",
         [](MailslotWrite& w) { w.data.resize(MaxDataFor(w.mailslotName.size()) + 1); }},
    };
    for (const Case& c : cases) {
        MailslotWrite write = SampleWrite();
        c.spoil(write);
        EXPECT_TRUE(EncodeMailslotWrite(write).empty()) << c.what;
    }
}

TEST(NetbiosEncodeTest, TheLargestWriteFillsExactly512BytesOfUserData) {
    MailslotWrite write = SampleWrite();
    EXPECT_EQ(MaxDataFor(write.mailslotName.size()), 420u);  // 443 minus name and NUL
    EXPECT_EQ(MaxDataFor(std::strlen("\\MAILSLOT\\12345678")), 424u);
    write.data.assign(420, 0xAB);
    const std::vector<std::uint8_t> bytes = EncodeMailslotWrite(write);
    ASSERT_EQ(bytes.size(), kMaxDatagramSize);
    const DecodeResult decoded = DecodeMailslotWrite(bytes.data(), bytes.size());
    ASSERT_EQ(decoded.status, DecodeStatus::ok);
    EXPECT_EQ(decoded.write, write);
}

TEST(NetbiosDecodeTest, RoundTripsEveryTypeAndSize) {
    for (std::uint8_t type : {kDirectUnique, kDirectGroup, kBroadcast}) {
        for (std::size_t size : {0u, 1u, 17u, 25u, 420u}) {
            MailslotWrite write = SampleWrite(size);
            write.type = type;
            write.destination = {"COMPB", 0x03};
            const std::vector<std::uint8_t> bytes = EncodeMailslotWrite(write);
            const DecodeResult decoded = DecodeMailslotWrite(bytes.data(), bytes.size());
            ASSERT_EQ(decoded.status, DecodeStatus::ok) << int(type) << " " << size;
            EXPECT_EQ(decoded.write, write);
        }
    }
}

TEST(NetbiosDecodeTest, TakesDataFromTheDataOffsetAfterPadding) {
    MailslotWrite write = SampleWrite(4);
    std::vector<std::uint8_t> bytes = EncodeMailslotWrite(write);
    const std::size_t dataAt = kSmb + Little16(bytes, kSmb + 57);
    bytes.insert(bytes.begin() + dataAt, {0xEE, 0xEE});  // two padding bytes
    const std::uint16_t offset = Little16(bytes, kSmb + 57) + 2;
    bytes[kSmb + 57] = offset & 0xFF;
    bytes[kSmb + 58] = offset >> 8;
    const std::uint16_t byteCount = Little16(bytes, kSmb + 67) + 2;
    bytes[kSmb + 67] = byteCount & 0xFF;
    bytes[kSmb + 68] = byteCount >> 8;
    const std::uint16_t length = Big16(bytes, 10) + 2;
    bytes[10] = length >> 8;
    bytes[11] = length & 0xFF;
    const DecodeResult decoded = DecodeMailslotWrite(bytes.data(), bytes.size());
    ASSERT_EQ(decoded.status, DecodeStatus::ok);
    EXPECT_EQ(decoded.write.data, write.data);
}

TEST(NetbiosDecodeTest, EveryShorterPrefixIsRefused) {
    const std::vector<std::uint8_t> bytes = EncodeMailslotWrite(SampleWrite());
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_NE(DecodeMailslotWrite(bytes.data(), size).status, DecodeStatus::ok) << size;
    }
    EXPECT_EQ(DecodeMailslotWrite(nullptr, 0).status, DecodeStatus::truncated);
}

TEST(NetbiosDecodeTest, RefusesEachSpoiledField) {
    using Bytes = std::vector<std::uint8_t>;
    struct Case {
        const char* what;
        void (*spoil)(Bytes&);
        DecodeStatus expected;
    };
    const Case cases[] = {
        {"datagram error type", [](Bytes& b) { b[0] = 0x13; }, DecodeStatus::badType},
        {"query type", [](Bytes& b) { b[0] = 0x14; }, DecodeStatus::badType},
        {"more fragments", [](Bytes& b) { b[1] = 0x03; }, DecodeStatus::fragment},
        {"not the first fragment", [](Bytes& b) { b[1] = 0x00; }, DecodeStatus::fragment},
        {"packet offset", [](Bytes& b) { b[13] = 0x40; }, DecodeStatus::fragment},
        {"DGM_LENGTH one more", [](Bytes& b) { ++b[11]; }, DecodeStatus::badLength},
        {"name length byte", [](Bytes& b) { b[14] = 0x21; }, DecodeStatus::badName},
        {"letter beyond P", [](Bytes& b) { b[15] = 'Q'; }, DecodeStatus::badName},
        {"lower-case letter", [](Bytes& b) { b[49] = 'f'; }, DecodeStatus::badName},
        {"scope label", [](Bytes& b) { b[81] = 0x03; }, DecodeStatus::badName},
        {"SMB magic", [](Bytes& b) { b[kSmb] = 0xFE; }, DecodeStatus::notSmb},
        {"command", [](Bytes& b) { b[kSmb + 4] = 0x32; }, DecodeStatus::notMailslotWrite},
        {"word count", [](Bytes& b) { b[kSmb + 32] = 16; }, DecodeStatus::notMailslotWrite},
        {"setup count", [](Bytes& b) { b[kSmb + 59] = 2; }, DecodeStatus::notMailslotWrite},
        {"opcode", [](Bytes& b) { b[kSmb + 61] = 2; }, DecodeStatus::notMailslotWrite},
        {"first class", [](Bytes& b) { b[kSmb + 65] = 1; }, DecodeStatus::notMailslotWrite},
        {"parameters", [](Bytes& b) { b[kSmb + 51] = 1; }, DecodeStatus::badLayout},
        {"total data differs", [](Bytes& b) { b[kSmb + 35] = 4; }, DecodeStatus::badLayout},
        {"byte count too large", [](Bytes& b) { b[kSmb + 68] = 1; }, DecodeStatus::badLayout},
        {"data offset inside the name", [](Bytes& b) { b[kSmb + 57] = 75; },
         DecodeStatus::badLayout},
        {"data offset beyond the end", [](Bytes& b) { b[kSmb + 57] = 200; },
         DecodeStatus::badLayout},
        {"data count beyond the end", [](Bytes& b) { b[kSmb + 55] = b[kSmb + 35] = 6; },
         DecodeStatus::badLayout},
        {"not a mailslot", [](Bytes& b) { b[kSmb + 70] = 'P'; }, DecodeStatus::badMailslotName},
    };
    for (const Case& c : cases) {
        Bytes bytes = EncodeMailslotWrite(SampleWrite());
        c.spoil(bytes);
        EXPECT_EQ(DecodeMailslotWrite(bytes.data(), bytes.size()).status, c.expected) << c.what;
    }
}

TEST(NetbiosDecodeTest, RefusesANameWithoutNulAndOversizedUserData) {
    std::vector<std::uint8_t> bytes = EncodeMailslotWrite(SampleWrite(0));
    // Without data, the name's NUL is the last byte: replace it and the name runs off the end.
    bytes.back() = 'X';
    EXPECT_EQ(DecodeMailslotWrite(bytes.data(), bytes.size()).status,
              DecodeStatus::badMailslotName);

    std::vector<std::uint8_t> big = EncodeMailslotWrite(SampleWrite(420));
    big.push_back(0);
    const std::uint16_t length = Big16(big, 10) + 1;
    big[10] = length >> 8;
    big[11] = length & 0xFF;
    EXPECT_EQ(DecodeMailslotWrite(big.data(), big.size()).status, DecodeStatus::badLength);
}

TEST(NetbiosDecodeTest, MatchesTheMailslotPrefixInAnyCase) {
    MailslotWrite write = SampleWrite();
    write.mailslotName = "\\mailslot\\browse";
    const std::vector<std::uint8_t> bytes = EncodeMailslotWrite(write);
    const DecodeResult decoded = DecodeMailslotWrite(bytes.data(), bytes.size());
    ASSERT_EQ(decoded.status, DecodeStatus::ok);
    EXPECT_EQ(decoded.write.mailslotName, "\\mailslot\\browse");
}

}  // namespace
