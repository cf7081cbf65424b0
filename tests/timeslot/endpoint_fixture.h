// Helpers for tests that run endpoints on this computer's mailslots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windows_types.h"

// Writes raw datagrams to the local mailslot of a name, as any other process could.
class LocalWriter {
public:
    explicit LocalWriter(const std::string& slotName);
    ~LocalWriter();
    void Write(const std::vector<std::uint8_t>& bytes);
    void WriteFramed(std::uint32_t senderId, std::int32_t sequence, const std::string& payload);

private:
    HANDLE handle_ = 0;
};

std::vector<std::uint8_t> Framed(std::uint32_t senderId, std::int32_t sequence,
                                 const std::string& payload);
