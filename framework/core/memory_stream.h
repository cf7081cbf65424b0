// A stream over one block of memory that grows on demand.
#pragma once

#include <cstdint>
#include <vector>

#include "component.h"

class TMemoryStream : public TObject {
public:
    std::int32_t Size() const { return static_cast<std::int32_t>(data_.size()); }
    // Keeps the first bytes up to the new size; new bytes are zero. The position is kept.
    void SetSize(std::int32_t size);
    std::int32_t Position() const { return position_; }
    void SetPosition(std::int32_t position) { position_ = position < 0 ? 0 : position; }

    // Copies at most count bytes from the position on, and advances the position by them.
    std::int32_t Read(void* buffer, std::int32_t count);
    // Writes count bytes at the position, growing the stream as needed.
    std::int32_t Write(const void* buffer, std::int32_t count);

    std::uint8_t* Memory() { return data_.data(); }
    const std::uint8_t* Memory() const { return data_.data(); }
    void Clear();

private:
    std::vector<std::uint8_t> data_;
    std::int32_t position_ = 0;
};
