#include "netbios_datagram.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace corvane::netbios {

namespace {

constexpr std::uint8_t kFlagMoreFragments = 0x01;
constexpr std::uint8_t kFlagFirstFragment = 0x02;  // set alone: unfragmented, sent by a B node

constexpr std::uint8_t kSmbMagic[4] = {0xFF, 'S', 'M', 'B'};
constexpr std::uint8_t kSmbComTransaction = 0x25;
constexpr std::uint8_t kTransactionWordCount = 17;
constexpr std::uint8_t kMailslotSetupCount = 3;
constexpr std::uint16_t kMailslotWriteOpcode = 1;
constexpr std::uint16_t kSecondClass = 2;  // unreliable and broadcast
constexpr std::uint8_t kSmbFlags = 0x18;
constexpr std::uint16_t kSmbFlags2 = 0x0004;
constexpr std::uint16_t kSmbPidLow = 0xFEFF;

// Offsets inside the SMB message.
constexpr std::size_t kSmbCommand = 4;
constexpr std::size_t kSmbFlagsAt = 9;
constexpr std::size_t kSmbFlags2At = 10;
constexpr std::size_t kSmbPidLowAt = 26;
constexpr std::size_t kSmbWordCount = 32;
constexpr std::size_t kTotalParameterCount = 33;
constexpr std::size_t kTotalDataCount = 35;
constexpr std::size_t kParameterCount = 51;
constexpr std::size_t kDataCount = 55;
constexpr std::size_t kDataOffset = 57;
constexpr std::size_t kSetupCount = 59;
constexpr std::size_t kOpcode = 61;
constexpr std::size_t kClass = 65;
constexpr std::size_t kByteCount = 67;

void PutBig16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

void PutBig32(std::uint8_t* at, std::uint32_t value) {
    PutBig16(at, static_cast<std::uint16_t>(value >> 16));
    PutBig16(at + 2, static_cast<std::uint16_t>(value));
}

void PutLittle16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t Big16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}

std::uint32_t Big32(const std::uint8_t* at) {
    return (static_cast<std::uint32_t>(Big16(at)) << 16) | Big16(at + 2);
}

std::uint16_t Little16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

bool IsValidMailslotName(const std::string& name) {
    return name.size() > std::strlen(kMailslotPrefix) &&
           StartsWithIgnoringCase(name, kMailslotPrefix) && name.find('\0') == std::string::npos;
}

// First-level encoding (RFC 1001 14.1): blank-padded to 15 bytes, suffix, two letters a byte.
void PutName(std::uint8_t* at, const NetbiosName& name) {
    std::uint8_t raw[16];
    std::memset(raw, ' ', 15);
    for (std::size_t i = 0; i < name.name.size(); ++i) {
        raw[i] = static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(name.name[i])));
    }
    raw[15] = name.suffix;
    at[0] = 32;
    for (std::size_t i = 0; i < 16; ++i) {
        at[1 + 2 * i] = static_cast<std::uint8_t>('A' + (raw[i] >> 4));
        at[2 + 2 * i] = static_cast<std::uint8_t>('A' + (raw[i] & 0x0F));
    }
    at[33] = 0;  // no scope
}

// Reads an encoded name at bytes[offset]; only names without scope are taken.
DecodeStatus ReadName(const std::uint8_t* bytes, std::size_t size, std::size_t& offset,
                      NetbiosName& name) {
    if (size - offset < kEncodedNameSize) {
        return DecodeStatus::truncated;
    }
    const std::uint8_t* at = bytes + offset;
    if (at[0] != 32 || at[33] != 0) {
        return DecodeStatus::badName;
    }
    std::uint8_t raw[16];
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint8_t high = at[1 + 2 * i];
        const std::uint8_t low = at[2 + 2 * i];
        if (high < 'A' || high > 'P' || low < 'A' || low > 'P') {
            return DecodeStatus::badName;
        }
        raw[i] = static_cast<std::uint8_t>(((high - 'A') << 4) | (low - 'A'));
    }
    std::size_t length = 15;
    while (length > 0 && raw[length - 1] == ' ') {
        --length;
    }
    // Names compare in any case; they are kept in the upper case that they are sent in.
    name.name.assign(reinterpret_cast<const char*>(raw), length);
    for (char& c : name.name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    name.suffix = raw[15];
    if (!IsValidNetbiosName(name.name)) {
        return DecodeStatus::badName;
    }
    offset += kEncodedNameSize;
    return DecodeStatus::ok;
}

DecodeStatus ReadTransaction(const std::uint8_t* smb, std::size_t size, MailslotWrite& write) {
    if (size < kSmbFixedSize) {
        return DecodeStatus::truncated;
    }
    if (std::memcmp(smb, kSmbMagic, sizeof kSmbMagic) != 0) {
        return DecodeStatus::notSmb;
    }
    if (smb[kSmbCommand] != kSmbComTransaction || smb[kSmbWordCount] != kTransactionWordCount ||
        smb[kSetupCount] != kMailslotSetupCount ||
        Little16(smb + kOpcode) != kMailslotWriteOpcode || Little16(smb + kClass) != kSecondClass) {
        return DecodeStatus::notMailslotWrite;
    }
    const std::size_t dataCount = Little16(smb + kDataCount);
    const std::size_t dataOffset = Little16(smb + kDataOffset);
    const std::size_t byteCount = Little16(smb + kByteCount);
    // One whole message without parameters; bytes, name and data all inside the message.
    if (Little16(smb + kTotalParameterCount) != 0 || Little16(smb + kParameterCount) != 0 ||
        Little16(smb + kTotalDataCount) != dataCount || kSmbFixedSize + byteCount > size) {
        return DecodeStatus::badLayout;
    }
    const std::uint8_t* bytesStart = smb + kSmbFixedSize;
    const void* nul = std::memchr(bytesStart, 0, byteCount);
    if (nul == nullptr) {
        return DecodeStatus::badMailslotName;
    }
    const std::size_t nameLength = static_cast<const std::uint8_t*>(nul) - bytesStart;
    write.mailslotName.assign(reinterpret_cast<const char*>(bytesStart), nameLength);
    if (!IsValidMailslotName(write.mailslotName)) {
        return DecodeStatus::badMailslotName;
    }
    if (dataOffset < kSmbFixedSize + nameLength + 1 ||
        dataOffset + dataCount > kSmbFixedSize + byteCount) {
        return DecodeStatus::badLayout;
    }
    write.data.assign(smb + dataOffset, smb + dataOffset + dataCount);
    return DecodeStatus::ok;
}

}  // namespace

std::size_t MaxDataFor(std::size_t mailslotNameLength) {
    const std::size_t used = kSmbFixedSize + mailslotNameLength + 1;
    return used >= kMaxUserData ? 0 : kMaxUserData - used;
}

bool IsValidNetbiosName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxNameLength &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

std::vector<std::uint8_t> EncodeMailslotWrite(const MailslotWrite& write) {
    if (!IsValidNetbiosName(write.source.name) || !IsValidNetbiosName(write.destination.name) ||
        !IsValidMailslotName(write.mailslotName) ||
        write.data.size() > MaxDataFor(write.mailslotName.size())) {
        return {};
    }
    const std::size_t nameBytes = write.mailslotName.size() + 1;
    const std::size_t smbSize = kSmbFixedSize + nameBytes + write.data.size();
    std::vector<std::uint8_t> out(kHeaderSize + 2 * kEncodedNameSize + smbSize, 0);

    std::uint8_t* header = out.data();
    header[0] = write.type;
    header[1] = kFlagFirstFragment;
    PutBig16(header + 2, write.datagramId);
    PutBig32(header + 4, write.sourceIp);
    PutBig16(header + 8, write.sourcePort);
    PutBig16(header + 10, static_cast<std::uint16_t>(out.size() - kHeaderSize));
    PutBig16(header + 12, 0);  // packet offset
    PutName(header + kHeaderSize, write.source);
    PutName(header + kHeaderSize + kEncodedNameSize, write.destination);

    std::uint8_t* smb = header + kHeaderSize + 2 * kEncodedNameSize;
    const auto dataCount = static_cast<std::uint16_t>(write.data.size());
    const auto dataOffset = static_cast<std::uint16_t>(kSmbFixedSize + nameBytes);
    std::memcpy(smb, kSmbMagic, sizeof kSmbMagic);
    smb[kSmbCommand] = kSmbComTransaction;
    smb[kSmbFlagsAt] = kSmbFlags;
    PutLittle16(smb + kSmbFlags2At, kSmbFlags2);
    PutLittle16(smb + kSmbPidLowAt, kSmbPidLow);
    smb[kSmbWordCount] = kTransactionWordCount;
    PutLittle16(smb + kTotalDataCount, dataCount);
    PutLittle16(smb + kDataCount, dataCount);
    PutLittle16(smb + kDataOffset, dataOffset);
    smb[kSetupCount] = kMailslotSetupCount;
    PutLittle16(smb + kOpcode, kMailslotWriteOpcode);
    PutLittle16(smb + kClass, kSecondClass);
    PutLittle16(smb + kByteCount, static_cast<std::uint16_t>(nameBytes + write.data.size()));
    std::memcpy(smb + kSmbFixedSize, write.mailslotName.c_str(), nameBytes);
    if (!write.data.empty()) {
        std::memcpy(smb + dataOffset, write.data.data(), write.data.size());
    }
    return out;
}

DecodeResult DecodeMailslotWrite(const std::uint8_t* bytes, std::size_t size) {
    DecodeResult result;
    MailslotWrite& write = result.write;
    if (bytes == nullptr || size < kHeaderSize) {
        result.status = DecodeStatus::truncated;
        return result;
    }
    write.type = bytes[0];
    if (write.type != kDirectUnique && write.type != kDirectGroup && write.type != kBroadcast) {
        result.status = DecodeStatus::badType;
        return result;
    }
    const std::uint8_t flags = bytes[1];
    if ((flags & kFlagMoreFragments) != 0 || (flags & kFlagFirstFragment) == 0 ||
        Big16(bytes + 12) != 0) {
        result.status = DecodeStatus::fragment;
        return result;
    }
    write.datagramId = Big16(bytes + 2);
    write.sourceIp = Big32(bytes + 4);
    write.sourcePort = Big16(bytes + 8);
    if (Big16(bytes + 10) != size - kHeaderSize) {
        result.status = DecodeStatus::badLength;
        return result;
    }
    std::size_t offset = kHeaderSize;
    DecodeStatus status = ReadName(bytes, size, offset, write.source);
    if (status == DecodeStatus::ok) {
        status = ReadName(bytes, size, offset, write.destination);
    }
    if (status == DecodeStatus::ok && size - offset > kMaxUserData) {
        status = DecodeStatus::badLength;
    }
    if (status == DecodeStatus::ok) {
        status = ReadTransaction(bytes + offset, size - offset, write);
    }
    result.status = status;
    if (status != DecodeStatus::ok) {
        result.write = MailslotWrite{};
    }
    return result;
}

const char* DecodeStatusName(DecodeStatus status) {
    switch (status) {
        case DecodeStatus::ok:
            return "ok";
        case DecodeStatus::truncated:
            return "truncated";
        case DecodeStatus::badType:
            return "bad type";
        case DecodeStatus::fragment:
            return "fragment";
        case DecodeStatus::badLength:
            return "bad length";
        case DecodeStatus::badName:
            return "bad name";
        case DecodeStatus::notSmb:
            return "not SMB";
        case DecodeStatus::notMailslotWrite:
            return "not a mailslot write";
        case DecodeStatus::badLayout:
            return "bad layout";
        case DecodeStatus::badMailslotName:
            return "bad mailslot name";
    }
    return "unknown";
}

}  // namespace corvane::netbios
