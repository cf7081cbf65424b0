// The wire format of a network mailslot write: a NetBIOS datagram (RFC 1002) whose user data is
// an SMB "write mailslot" transaction. Pure functions over byte buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::netbios {

constexpr std::uint16_t kDatagramPort = 138;

constexpr std::uint8_t kDirectUnique = 0x10;
constexpr std::uint8_t kDirectGroup = 0x11;
constexpr std::uint8_t kBroadcast = 0x12;

constexpr std::size_t kMaxNameLength = 15;
constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kEncodedNameSize = 34;  // length byte, 32 letters, empty scope
constexpr std::size_t kMaxUserData = 512;     // the SMB part of one datagram
constexpr std::size_t kSmbFixedSize = 69;     // SMB header, 17 parameter words, byte count
constexpr std::size_t kMaxDatagramSize = kHeaderSize + 2 * kEncodedNameSize + kMaxUserData;

constexpr const char* kMailslotPrefix = "\\MAILSLOT\\";

struct NetbiosName {
    std::string name;  // upper case, without the padding blanks
    std::uint8_t suffix = 0;
    bool operator==(const NetbiosName&) const = default;
};

struct MailslotWrite {
    std::uint8_t type = kDirectGroup;
    std::uint16_t datagramId = 0;
    std::uint32_t sourceIp = 0;  // host byte order
    std::uint16_t sourcePort = kDatagramPort;
    NetbiosName source;
    NetbiosName destination;
    std::string mailslotName;  // as on the wire, "\MAILSLOT\NAME"
    std::vector<std::uint8_t> data;
    bool operator==(const MailslotWrite&) const = default;
};

// The most data bytes one datagram can carry next to a mailslot name of that many characters.
std::size_t MaxDataFor(std::size_t mailslotNameLength);

// Whether name can be sent as a NetBIOS name: 1 to 15 printable ASCII characters, no blank.
bool IsValidNetbiosName(const std::string& name);

// The UDP payload for write; empty when a name is invalid or the data does not fit.
std::vector<std::uint8_t> EncodeMailslotWrite(const MailslotWrite& write);

enum class DecodeStatus {
    ok,
    truncated,         // shorter than its fields or its own lengths say
    badType,           // not a direct unique, direct group or broadcast datagram
    fragment,          // a part of a fragmented datagram
    badLength,         // DGM_LENGTH or user data size inconsistent
    badName,           // a NetBIOS name that is not well formed, or one with a scope
    notSmb,            // user data that is no SMB message
    notMailslotWrite,  // an SMB message that is no second-class mailslot write
    badLayout,         // counts and offsets of the transaction that do not fit together
    badMailslotName,   // no NUL-terminated "\MAILSLOT\..." name
};

const char* DecodeStatusName(DecodeStatus status);

struct DecodeResult {
    DecodeStatus status = DecodeStatus::truncated;
    MailslotWrite write;  // filled only when status is ok
};

// Checks every field of a received UDP payload and extracts the mailslot write it carries.
DecodeResult DecodeMailslotWrite(const std::uint8_t* bytes, std::size_t size);

}  // namespace corvane::netbios
