// Feeds arbitrary bytes to the decoder of network mailslot writes, as any host on the network
// can. Whatever it accepts must encode back to the very same bytes' meaning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "netbios_datagram.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane::netbios;
    const DecodeResult decoded = DecodeMailslotWrite(data, size);
    if (decoded.status != DecodeStatus::ok) {
        return 0;
    }
    // A datagram the receiver takes fits in one datagram again, and decodes to the same write.
    const std::vector<std::uint8_t> encoded = EncodeMailslotWrite(decoded.write);
    if (encoded.empty() || encoded.size() > size) {
        std::abort();
    }
    const DecodeResult again = DecodeMailslotWrite(encoded.data(), encoded.size());
    if (again.status != DecodeStatus::ok || !(again.write == decoded.write)) {
        std::abort();
    }
    return 0;
}
