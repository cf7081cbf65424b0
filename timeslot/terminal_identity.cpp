#include "terminal_identity.h"

#include <cstring>

#include "crc32.h"
#include "date_time.h"
#include "kernel.h"

namespace {

constexpr int kUserNameOffset = 4;
constexpr DWORD kUserNameBufferSize = 32;
constexpr int kComputerNameOffset = 36;
constexpr DWORD kComputerNameBufferSize = 15;
constexpr int kDateTimeOffset = 52;

void PutUint32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void PutDouble(std::uint8_t* out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

// Copies name with its NUL when it fits bufferSize, as the name queries do; else leaves zeros.
void PutName(std::uint8_t* out, const char* name, DWORD bufferSize) {
    const std::size_t length = std::strlen(name);
    if (length + 1 <= bufferSize) {
        std::memcpy(out, name, length + 1);
    }
}

}  // namespace

TIdentityRecord FillIdentityRecord(DWORD processId, const char* userName, const char* computerName,
                                   const SYSTEMTIME& localTime) {
    TIdentityRecord record{};
    PutUint32(record.data(), processId);
    PutName(record.data() + kUserNameOffset, userName, kUserNameBufferSize);
    PutName(record.data() + kComputerNameOffset, computerName, kComputerNameBufferSize);
    PutDouble(record.data() + kDateTimeOffset, SystemTimeToDateTime(localTime));
    return record;
}

TIdentityRecord CurrentIdentityRecord() {
    TIdentityRecord record{};
    PutUint32(record.data(), GetCurrentProcessId());
    DWORD size = kUserNameBufferSize;
    GetUserNameA(reinterpret_cast<char*>(record.data() + kUserNameOffset), &size);
    size = kComputerNameBufferSize;
    GetComputerNameA(reinterpret_cast<char*>(record.data() + kComputerNameOffset), &size);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    PutDouble(record.data() + kDateTimeOffset, SystemTimeToDateTime(now));
    return record;
}

std::uint32_t TerminalIdOf(const TIdentityRecord& record) {
    return Crc32(record.data(), kIdentityRecordSize);
}
