// The two payloads of the time protocol: the client's request and the server's reply.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "windows_types.h"

// "GIVE ZEIT" and its terminating NUL.
constexpr std::size_t kTimeRequestSize = 10;
// A SYSTEMTIME in UTC and one byte that carries nothing.
constexpr std::size_t kTimeReplySize = 17;
// Bytes of a payload that hold a SYSTEMTIME.
constexpr std::size_t kSystemTimeSize = 16;

std::array<BYTE, kTimeRequestSize> BuildTimeRequest();

// True when the payload's first nine bytes are exactly "GIVE ZEIT"; what follows is not looked at.
bool IsTimeRequest(const BYTE* payload, std::size_t size);

std::array<BYTE, kTimeReplySize> BuildTimeReply(const SYSTEMTIME& utc);

// The SYSTEMTIME in the first 16 bytes of a payload (little-endian fields); none when the
// payload is shorter than that.
std::optional<SYSTEMTIME> ReadSystemTime(const BYTE* payload, std::size_t size);
