// The writing end of a mailslot, as CreateFileA opens it: a local mailslot, or a mailslot name
// on every computer of a domain or on one named computer.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "handle_table.h"
#include "local_sender.h"
#include "mailslot_path.h"
#include "network_sender.h"
#include "windows_types.h"

namespace corvane::kernel {

// The most bytes one write to a domain or a computer may carry.
constexpr DWORD kMaxNetworkWrite = 424;

class MailslotClient : public KernelObject {
public:
    MailslotClient(MailslotPath path, DWORD access);

    // A local mailslot must be held on this computer; network ones are opened unchecked.
    DWORD Open();
    DWORD Write(const void* data, DWORD size);
    bool CanWrite() const;

private:
    DWORD ConnectLocal();
    DWORD WriteLocal(const void* data, DWORD size);
    DWORD WriteNetwork(const void* data, DWORD size);

    const MailslotPath path_;
    const std::string key_;
    const DWORD access_;
    std::mutex mutex_;  // one write at a time through this handle
    DWORD maxMessageSize_ = 0;
    std::string computerName_;
    std::string domainName_;
    LocalSender local_;
    NetworkSender network_;
};

}  // namespace corvane::kernel
