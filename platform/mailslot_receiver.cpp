#include "mailslot_receiver.h"

#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "computer_name.h"
#include "local_transport.h"
#include "mailslot_path.h"
#include "netbios_datagram.h"
#include "win_error_map.h"

namespace corvane::kernel {

namespace {

// Datagrams taken from one socket before the others get their turn.
constexpr int kDrainBatch = 512;
// Room for bursts from the network while the receiver thread is busy elsewhere.
constexpr int kNetworkReceiveBuffer = 16 << 20;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

MailslotReceiver& MailslotReceiver::Instance() {
    // Never destroyed: a program may end while it still holds mailslots.
    static MailslotReceiver* const instance = new MailslotReceiver();
    return *instance;
}

MailslotReceiver::MailslotReceiver() {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

void MailslotReceiver::Wake() {
    const std::uint64_t one = 1;
    // A failed write means the counter is already non-zero: the thread wakes anyway.
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

DWORD MailslotReceiver::Hold(const std::string& key, DWORD maxMessageSize, DWORD readTimeout,
                             std::shared_ptr<HeldMailslot>& slot) {
    std::lock_guard lifecycle(lifecycleMutex_);
    if (wakeFd_ < 0 && (wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) < 0) {
        return WindowsErrorFromErrno(errno);
    }
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return WindowsErrorFromErrno(errno);
    }
    const LocalAddress address = HolderAddress(key);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address.address), address.length) != 0) {
        const int err = errno;
        close(fd);
        return err == EADDRINUSE ? ERROR_ALREADY_EXISTS : WindowsErrorFromErrno(err);
    }
    slot = std::make_shared<HeldMailslot>(key, maxMessageSize, readTimeout, [this] { Wake(); });
    bool first = false;
    {
        std::lock_guard registry(registryMutex_);
        first = slots_.empty();
        slots_[key] = Entry{slot, fd};
    }
    if (!first) {
        Wake();
        return ERROR_SUCCESS;
    }
    const DWORD started = Start();
    if (started != ERROR_SUCCESS) {
        std::lock_guard registry(registryMutex_);
        close(slots_[key].fd);
        slots_.erase(key);
        slot.reset();
    }
    return started;
}

void MailslotReceiver::Release(const std::shared_ptr<HeldMailslot>& slot) {
    std::lock_guard lifecycle(lifecycleMutex_);
    bool last = false;
    {
        std::lock_guard registry(registryMutex_);
        const auto found = slots_.find(slot->Key());
        if (found != slots_.end() && found->second.slot == slot) {
            close(found->second.fd);
            slots_.erase(found);
        }
        last = slots_.empty();
    }
    slot->Close();
    if (last) {
        Stop();
        return;
    }
    // A poll that started before the close still holds the socket, and with it the name: wait
    // until it has returned, so that the name is free when Release returns.
    std::unique_lock lock(generationMutex_);
    const std::uint64_t seen = generation_;
    Wake();
    generationChanged_.wait(lock, [&] { return generation_ > seen; });
}

void MailslotReceiver::Collect(const std::shared_ptr<HeldMailslot>& slot) {
    std::lock_guard registry(registryMutex_);
    const auto found = slots_.find(slot->Key());
    if (found != slots_.end() && found->second.slot == slot) {
        DrainLocal(found->second);
    }
}

void MailslotReceiver::InjectNetworkDatagram(const std::uint8_t* bytes, std::size_t size,
                                             std::uint32_t from) {
    std::lock_guard registry(registryMutex_);
    TakeNetworkDatagram(bytes, size, from);
}

ReceiveCounters MailslotReceiver::Counters() const {
    ReceiveCounters counters;
    counters.malformed = malformed_.load();
    counters.otherComputer = otherComputer_.load();
    counters.ownComputer = ownComputer_.load();
    counters.notHeld = notHeld_.load();
    counters.tooLarge = tooLarge_.load();
    counters.queueFull = queueFull_.load();
    return counters;
}

DWORD MailslotReceiver::Start() {
    computerName_ = ComputerNetbiosName();
    domainName_ = PrimaryDomainName();
    OpenNetworkSocket();
    stopping_ = false;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        if (udpFd_ >= 0) {
            close(udpFd_);
            udpFd_ = -1;
        }
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    return ERROR_SUCCESS;
}

void MailslotReceiver::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    stopping_ = true;
    Wake();
    thread_.join();
    if (udpFd_ >= 0) {
        close(udpFd_);
        udpFd_ = -1;
    }
}

void MailslotReceiver::OpenNetworkSocket() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        std::fprintf(stderr, "%s: cannot open a UDP socket for network mailslot writes: %s\n",
                     program_invocation_short_name, std::strerror(errno));
        return;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // Forcing the size needs CAP_NET_ADMIN; without it the kernel's own limit applies.
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &kNetworkReceiveBuffer,
                   sizeof kNetworkReceiveBuffer) != 0) {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kNetworkReceiveBuffer, sizeof kNetworkReceiveBuffer);
    }
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    any.sin_port = htons(netbios::kDatagramPort);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        const int err = errno;
        close(fd);
        if (!warnedAboutPort_) {
            warnedAboutPort_ = true;
            std::fprintf(stderr,
                         "%s: cannot receive mailslot writes from other computers: binding UDP "
                         "port %u failed (%s); the program needs the capability "
                         "cap_net_bind_service (setcap cap_net_bind_service+ep) or root; "
                         "writes from this computer still arrive\n",
                         program_invocation_short_name, netbios::kDatagramPort, std::strerror(err));
        }
        return;
    }
    udpFd_ = fd;
}

void MailslotReceiver::Run() {
    std::vector<pollfd> fds;
    std::vector<std::string> keys;  // the key of fds[i], empty for the wake and UDP sockets
    while (!stopping_) {
        fds.clear();
        keys.clear();
        fds.push_back(pollfd{wakeFd_, POLLIN, 0});
        keys.emplace_back();
        if (udpFd_ >= 0) {
            fds.push_back(pollfd{udpFd_, POLLIN, 0});
            keys.emplace_back();
        }
        {
            std::lock_guard registry(registryMutex_);
            for (const auto& [key, entry] : slots_) {
                // A full queue leaves its datagrams in the socket, where they hold writers back.
                if (!entry.slot->IsFull()) {
                    fds.push_back(pollfd{entry.fd, POLLIN, 0});
                    keys.push_back(key);
                }
            }
        }
        const int polled = poll(fds.data(), fds.size(), -1);
        // Wakes are consumed before the return is counted: a wake that comes after the count
        // stays pending and ends the next poll at once.
        std::uint64_t wakes = 0;
        [[maybe_unused]] const ssize_t got = read(wakeFd_, &wakes, sizeof wakes);
        {
            std::lock_guard lock(generationMutex_);
            ++generation_;
        }
        generationChanged_.notify_all();
        if (polled < 0) {
            continue;  // EINTR; anything else would show up again at once
        }
        std::lock_guard registry(registryMutex_);
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            if (fds[i].fd == udpFd_ && keys[i].empty()) {
                DrainNetwork();
                continue;
            }
            // The mailslot may have been released, and its name held anew, since the poll.
            const auto found = slots_.find(keys[i]);
            if (found != slots_.end() && found->second.fd == fds[i].fd) {
                DrainLocal(found->second);
            }
        }
    }
}

void MailslotReceiver::DrainLocal(const Entry& entry) {
    HeldMailslot& slot = *entry.slot;
    for (int taken = 0; taken < kDrainBatch && !slot.IsFull(); ++taken) {
        const ssize_t size = recv(entry.fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
        if (size < 0) {
            return;  // EAGAIN: drained
        }
        buffer_.resize(static_cast<std::size_t>(size));
        sockaddr_un from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = recvfrom(entry.fd, buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0) {
            return;
        }
        if (got == 0) {
            ++malformed_;
            continue;
        }
        const std::uint8_t kind = buffer_[0];
        if (kind == kLocalMessage) {
            if (slot.MaxMessageSize() != 0 &&
                static_cast<std::size_t>(got - 1) > slot.MaxMessageSize()) {
                ++tooLarge_;
                continue;
            }
            slot.Deliver(std::vector<std::uint8_t>(buffer_.begin() + 1, buffer_.begin() + got));
        } else if (kind == kLocalSizeQuery && fromLength > sizeof(sa_family_t)) {
            const DWORD max = slot.MaxMessageSize();
            const std::uint8_t answer[5] = {kLocalSizeAnswer, static_cast<std::uint8_t>(max),
                                            static_cast<std::uint8_t>(max >> 8),
                                            static_cast<std::uint8_t>(max >> 16),
                                            static_cast<std::uint8_t>(max >> 24)};
            // The asker waits for the answer and reports its absence itself.
            sendto(entry.fd, answer, sizeof answer, MSG_DONTWAIT,
                   reinterpret_cast<const sockaddr*>(&from), fromLength);
        } else {
            ++malformed_;
        }
    }
}

void MailslotReceiver::DrainNetwork() {
    buffer_.resize(65536);
    for (int taken = 0; taken < kDrainBatch; ++taken) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = recvfrom(udpFd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0) {
            return;
        }
        TakeNetworkDatagram(buffer_.data(), static_cast<std::size_t>(got),
                            ntohl(from.sin_addr.s_addr));
    }
}

void MailslotReceiver::TakeNetworkDatagram(const std::uint8_t* bytes, std::size_t size,
                                           std::uint32_t from) {
    // This computer's own writes reach its mailslots through their local sockets.
    if (ownAddresses_.IsOwn(from)) {
        ++ownComputer_;
        return;
    }
    const netbios::DecodeResult decoded = netbios::DecodeMailslotWrite(bytes, size);
    if (decoded.status != netbios::DecodeStatus::ok) {
        ++malformed_;
        return;
    }
    const netbios::MailslotWrite& write = decoded.write;
    if (!SameNameIgnoringCase(write.destination.name, computerName_) &&
        !SameNameIgnoringCase(write.destination.name, domainName_)) {
        ++otherComputer_;
        return;
    }
    const std::string key =
        MailslotKey(write.mailslotName.substr(std::strlen(netbios::kMailslotPrefix)));
    const auto found = slots_.find(key);
    if (found == slots_.end()) {
        ++notHeld_;
        return;
    }
    HeldMailslot& slot = *found->second.slot;
    if (slot.MaxMessageSize() != 0 && write.data.size() > slot.MaxMessageSize()) {
        ++tooLarge_;
        return;
    }
    if (slot.IsFull() || !slot.Deliver(write.data)) {
        ++queueFull_;
    }
}

}  // namespace corvane::kernel
