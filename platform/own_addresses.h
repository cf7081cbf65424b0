// Tells whether an IPv4 address belongs to this computer (its network namespace).
#pragma once

#include <chrono>
#include <cstdint>
#include <unordered_map>

namespace corvane::kernel {

class OwnAddresses {
public:
    // address in host byte order. Answers are remembered for a second, so that a burst of
    // datagrams costs one look-up per sender while address changes are still seen.
    bool IsOwn(std::uint32_t address);

private:
    struct Answer {
        bool own;
        std::chrono::steady_clock::time_point at;
    };
    std::unordered_map<std::uint32_t, Answer> answers_;
};

}  // namespace corvane::kernel
