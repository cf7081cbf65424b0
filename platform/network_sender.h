// Sends mailslot writes as NetBIOS datagrams to UDP port 138 on the broadcast address of every
// IPv4 interface of this computer that has one.
#pragma once

#include <cstdint>
#include <vector>

#include "netbios_datagram.h"
#include "windows_types.h"

namespace corvane::kernel {

struct BroadcastTarget {
    std::uint32_t source = 0;     // the interface's own address, host byte order
    std::uint32_t broadcast = 0;  // its broadcast address, host byte order
};

// The up, non-loopback interfaces with a broadcast address (never 255.255.255.255).
std::vector<BroadcastTarget> BroadcastTargets();

class NetworkSender {
public:
    NetworkSender() = default;
    ~NetworkSender();
    NetworkSender(const NetworkSender&) = delete;
    NetworkSender& operator=(const NetworkSender&) = delete;

    // Sends write once per broadcast target, with that interface's address as the source.
    // Succeeds when there is no target; fails with the code of the last send that failed.
    DWORD Send(netbios::MailslotWrite write);

private:
    DWORD Open();
    DWORD SendTo(const std::vector<std::uint8_t>& datagram, std::uint32_t broadcast);

    int fd_ = -1;
};

}  // namespace corvane::kernel
