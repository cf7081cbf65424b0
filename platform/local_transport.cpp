#include "local_transport.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace corvane::kernel {

namespace {

constexpr char kPlainPrefix[] = "corvane-mailslot/";
constexpr char kHashedPrefix[] = "corvane-mailslot#";

std::uint64_t Fnv1a(const std::string& text, std::uint64_t basis) {
    std::uint64_t hash = basis;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

}  // namespace

LocalAddress HolderAddress(const std::string& key) {
    LocalAddress result;
    result.address.sun_family = AF_UNIX;
    // The first byte stays NUL: the abstract namespace, private to this network namespace.
    char* path = result.address.sun_path + 1;
    const std::size_t room = sizeof result.address.sun_path - 1;
    std::string text = kPlainPrefix + key;
    if (text.size() > room) {
        // Two independent 64-bit hashes, with the key's length, make a collision implausible.
        char digest[64];
        std::snprintf(digest, sizeof digest, "%zu-%016llx%016llx", key.size(),
                      static_cast<unsigned long long>(Fnv1a(key, 0xcbf29ce484222325ULL)),
                      static_cast<unsigned long long>(Fnv1a(key, 0x84222325cbf29ce4ULL)));
        text = std::string(kHashedPrefix) + digest;
    }
    std::memcpy(path, text.data(), text.size());
    result.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + text.size());
    return result;
}

}  // namespace corvane::kernel
