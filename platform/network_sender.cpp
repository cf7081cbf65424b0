#include "network_sender.h"

#include <errno.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "win_error_map.h"

namespace corvane::kernel {

namespace {

// Interfaces are looked up again after this long, so that a burst of writes costs one look-up.
constexpr auto kTargetsLifetime = std::chrono::seconds(1);
// How long a send may wait for room in the socket's buffer.
constexpr auto kSendPatience = std::chrono::seconds(5);

std::vector<BroadcastTarget> ReadBroadcastTargets() {
    std::vector<BroadcastTarget> targets;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return targets;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            (flags & IFF_UP) == 0 || (flags & IFF_LOOPBACK) != 0 || (flags & IFF_BROADCAST) == 0 ||
            entry->ifa_broadaddr == nullptr) {
            continue;
        }
        BroadcastTarget target;
        target.source =
            ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
        target.broadcast =
            ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr)->sin_addr.s_addr);
        if (target.broadcast != INADDR_BROADCAST && target.broadcast != INADDR_ANY) {
            targets.push_back(target);
        }
    }
    freeifaddrs(list);
    return targets;
}

}  // namespace

std::vector<BroadcastTarget> BroadcastTargets() {
    static std::mutex mutex;
    static std::vector<BroadcastTarget> targets;
    static std::chrono::steady_clock::time_point readAt;
    static bool read = false;
    std::lock_guard lock(mutex);
    const auto now = std::chrono::steady_clock::now();
    if (!read || now - readAt >= kTargetsLifetime) {
        targets = ReadBroadcastTargets();
        readAt = now;
        read = true;
    }
    return targets;
}

NetworkSender::~NetworkSender() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

DWORD NetworkSender::Open() {
    if (fd_ >= 0) {
        return ERROR_SUCCESS;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return WindowsErrorFromErrno(errno);
    }
    const int on = 1;
    if (setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        const int err = errno;
        close(fd);
        return WindowsErrorFromErrno(err);
    }
    fd_ = fd;
    return ERROR_SUCCESS;
}

DWORD NetworkSender::SendTo(const std::vector<std::uint8_t>& datagram, std::uint32_t broadcast) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(broadcast);
    to.sin_port = htons(netbios::kDatagramPort);
    const auto deadline = std::chrono::steady_clock::now() + kSendPatience;
    for (;;) {
        if (sendto(fd_, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0) {
            return ERROR_SUCCESS;
        }
        const int err = errno;
        if (err == EINTR) {
            continue;
        }
        // The interface went down or lost its address since the look-up: the broadcast is lost,
        // as any datagram may be, and the write still succeeds, as a domain write does when no
        // computer hears it.
        if (err == ENETUNREACH || err == ENETDOWN || err == EADDRNOTAVAIL) {
            return ERROR_SUCCESS;
        }
        if ((err != EAGAIN && err != ENOBUFS) || std::chrono::steady_clock::now() >= deadline) {
            return WindowsErrorFromErrno(err);
        }
        // The socket's buffer (EAGAIN) or the device queue (ENOBUFS) drains within moments.
        if (err == EAGAIN) {
            pollfd entry{fd_, POLLOUT, 0};
            poll(&entry, 1, 10);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

DWORD NetworkSender::Send(netbios::MailslotWrite write) {
    const std::vector<BroadcastTarget> targets = BroadcastTargets();
    if (targets.empty()) {
        return ERROR_SUCCESS;
    }
    const DWORD opened = Open();
    if (opened != ERROR_SUCCESS) {
        return opened;
    }
    // A failure on any interface is reported, even when other interfaces carried the write.
    DWORD failure = ERROR_SUCCESS;
    for (const BroadcastTarget& target : targets) {
        write.sourceIp = target.source;
        const std::vector<std::uint8_t> datagram = netbios::EncodeMailslotWrite(write);
        if (datagram.empty()) {
            return ERROR_BAD_NETPATH;
        }
        const DWORD sent = SendTo(datagram, target.broadcast);
        if (sent != ERROR_SUCCESS) {
            failure = sent;
        }
    }
    return failure;
}

}  // namespace corvane::kernel
