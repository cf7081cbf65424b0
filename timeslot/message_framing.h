// The datagram of the messaging layer: sender's terminal id and sequence number, both 32-bit
// little-endian, in front of a payload of 0 to 65535 bytes.
#pragma once

#include <cstdint>

#include "memory_stream.h"

constexpr std::int32_t kHeaderSize = 8;
constexpr std::int32_t kMaxPayloadSize = 65535;

struct TMessageHeader {
    std::uint32_t SenderId = 0;
    std::int32_t Sequence = 0;
};

// Makes buffer exactly the datagram: header, then the payload.
void FrameDatagram(TMemoryStream& buffer, const TMessageHeader& header, const void* payload,
                   std::uint16_t size);

// Reads the header at the stream's position and leaves the position at the payload.
TMessageHeader ReadHeader(TMemoryStream& stream);

// Whether a datagram of this size has the format: a header and at most 65535 payload bytes.
bool IsWellFormedSize(std::int32_t datagramSize);
