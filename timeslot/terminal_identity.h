// The identity record of a terminal and the id derived from it.
#pragma once

#include <array>
#include <cstdint>

#include "windows_types.h"

constexpr int kIdentityRecordSize = 60;
using TIdentityRecord = std::array<std::uint8_t, kIdentityRecordSize>;

// Process id, user name (buffer size 32), computer name (buffer size 15: a 15-character name
// leaves its field unfilled), local date-time as a double. Unfilled bytes are zero.
TIdentityRecord FillIdentityRecord(DWORD processId, const char* userName, const char* computerName,
                                   const SYSTEMTIME& localTime);
// The record of this process, this moment.
TIdentityRecord CurrentIdentityRecord();

std::uint32_t TerminalIdOf(const TIdentityRecord& record);
