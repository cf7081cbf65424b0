#include "message_framing.h"

namespace {

void PutUint32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetUint32(const std::uint8_t* in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return value;
}

}  // namespace

void FrameDatagram(TMemoryStream& buffer, const TMessageHeader& header, const void* payload,
                   std::uint16_t size) {
    buffer.SetSize(0);
    buffer.SetSize(kHeaderSize + size);
    buffer.SetPosition(0);
    std::uint8_t bytes[kHeaderSize];
    PutUint32(bytes, header.SenderId);
    PutUint32(bytes + 4, static_cast<std::uint32_t>(header.Sequence));
    buffer.Write(bytes, kHeaderSize);
    buffer.Write(payload, size);
}

TMessageHeader ReadHeader(TMemoryStream& stream) {
    std::uint8_t bytes[kHeaderSize] = {};
    stream.Read(bytes, kHeaderSize);
    return TMessageHeader{GetUint32(bytes), static_cast<std::int32_t>(GetUint32(bytes + 4))};
}

bool IsWellFormedSize(std::int32_t datagramSize) {
    return datagramSize >= kHeaderSize && datagramSize <= kHeaderSize + kMaxPayloadSize;
}
