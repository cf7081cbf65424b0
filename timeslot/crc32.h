// The standard CRC-32 (reflected, polynomial 0xEDB88320), as in IEEE 802.3.
#pragma once

#include <cstdint>

// Gives 0 for a count of 0 or less.
std::uint32_t Crc32(const void* data, std::int32_t count);
