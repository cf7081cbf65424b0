#include "own_addresses.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvane::kernel {

namespace {

constexpr auto kAnswerLifetime = std::chrono::seconds(1);
constexpr std::size_t kMaxAnswers = 4096;

// The kernel lets a socket bind only to an address of its own network namespace.
bool CanBindTo(std::uint32_t address) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    local.sin_port = 0;
    const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    close(fd);
    return bound;
}

}  // namespace

bool OwnAddresses::IsOwn(std::uint32_t address) {
    // No address (a limited broadcast sent out of the loopback device) and loopback addresses
    // can only come from this computer.
    if (address == INADDR_ANY || (address >> 24) == 127) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto found = answers_.find(address);
    if (found != answers_.end() && now - found->second.at < kAnswerLifetime) {
        return found->second.own;
    }
    if (answers_.size() >= kMaxAnswers) {
        answers_.clear();
    }
    const bool own = CanBindTo(address);
    answers_[address] = Answer{own, now};
    return own;
}

}  // namespace corvane::kernel
