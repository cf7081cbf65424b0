// How the holder of a mailslot and the writers on the same computer meet: an abstract AF_UNIX
// datagram socket per held name, and a one-byte kind in front of every datagram.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <cstdint>
#include <string>

namespace corvane::kernel {

enum LocalDatagramKind : std::uint8_t {
    kLocalMessage = 0x00,     // followed by the message
    kLocalSizeQuery = 0x01,   // asks the holder for its largest message size
    kLocalSizeAnswer = 0x02,  // followed by that size, 32-bit little-endian
};

struct LocalAddress {
    sockaddr_un address{};
    socklen_t length = 0;
};

// The address of the holder of a mailslot, from its key (the lower-cased name). Long keys are
// replaced by a hash of them so that the address fits.
LocalAddress HolderAddress(const std::string& key);

}  // namespace corvane::kernel
