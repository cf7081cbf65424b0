#include "memory_stream.h"

#include <algorithm>
#include <cstring>

void TMemoryStream::SetSize(std::int32_t size) {
    data_.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
}

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count) {
    if (count <= 0 || position_ >= Size()) {
        return 0;
    }
    std::int32_t n = std::min(count, Size() - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count) {
    if (count <= 0) {
        return 0;
    }
    std::size_t end = static_cast<std::size_t>(position_) + static_cast<std::size_t>(count);
    if (end > data_.size()) {
        data_.resize(end);
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ += count;
    return count;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}
