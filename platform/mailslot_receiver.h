// The kernel side of the mailslots held by this process: one receiver thread that drains their
// local sockets and the computer's UDP port 138 into the mailslots' queues as soon as datagrams
// arrive, so that neither local nor network writers lose datagrams while a program is between
// two polls.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "held_mailslot.h"
#include "own_addresses.h"
#include "windows_types.h"

namespace corvane::kernel {

// What the receiver dropped since the process started, by reason.
struct ReceiveCounters {
    std::uint64_t malformed = 0;      // datagrams that are no well-formed mailslot write
    std::uint64_t otherComputer = 0;  // addressed to a name that is not this computer's
    std::uint64_t ownComputer = 0;    // broadcasts of this computer, delivered locally instead
    std::uint64_t notHeld = 0;        // for a mailslot this process does not hold
    std::uint64_t tooLarge = 0;       // larger than the mailslot's largest message size
    std::uint64_t queueFull = 0;      // network writes for a queue filled up to its limit
};

class MailslotReceiver {
public:
    static MailslotReceiver& Instance();

    // Claims the mailslot key on this computer and registers its queue. ERROR_ALREADY_EXISTS
    // when the name is held already, by this process or another.
    DWORD Hold(const std::string& key, DWORD maxMessageSize, DWORD readTimeout,
               std::shared_ptr<HeldMailslot>& slot);
    // Gives the name up; waiting reads end and unread messages are gone.
    void Release(const std::shared_ptr<HeldMailslot>& slot);
    // Moves what waits in the mailslot's local socket into its queue now: a local write that
    // has returned is in the mailslot, as a reader on Windows sees it, whether or not the
    // receiver thread has come round to it yet.
    void Collect(const std::shared_ptr<HeldMailslot>& slot);

    ReceiveCounters Counters() const;

    // Puts one UDP payload from the IPv4 address from (host byte order) through the same checks
    // and delivery as a datagram read from port 138; for tests and fuzzing of the receive path.
    void InjectNetworkDatagram(const std::uint8_t* bytes, std::size_t size, std::uint32_t from);

private:
    struct Entry {
        std::shared_ptr<HeldMailslot> slot;
        int fd = -1;
    };

    MailslotReceiver();
    void Wake();
    void Run();
    void DrainLocal(const Entry& entry);
    void DrainNetwork();
    void TakeNetworkDatagram(const std::uint8_t* bytes, std::size_t size, std::uint32_t from);
    void OpenNetworkSocket();
    DWORD Start();
    void Stop();

    std::mutex lifecycleMutex_;  // serialises Hold and Release, and with them start and stop
    mutable std::mutex registryMutex_;
    std::map<std::string, Entry> slots_;  // by key
    int wakeFd_ = -1;
    int udpFd_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    // Counts the receiver thread's returns from poll.
    std::mutex generationMutex_;
    std::condition_variable generationChanged_;
    std::uint64_t generation_ = 0;
    bool warnedAboutPort_ = false;

    // Read by the receiver thread only, fixed while it runs.
    std::string computerName_;
    std::string domainName_;
    OwnAddresses ownAddresses_;
    std::vector<std::uint8_t> buffer_;

    std::atomic<std::uint64_t> malformed_{0};
    std::atomic<std::uint64_t> otherComputer_{0};
    std::atomic<std::uint64_t> ownComputer_{0};
    std::atomic<std::uint64_t> notHeld_{0};
    std::atomic<std::uint64_t> tooLarge_{0};
    std::atomic<std::uint64_t> queueFull_{0};
};

}  // namespace corvane::kernel
