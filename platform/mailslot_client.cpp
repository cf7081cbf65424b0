#include "mailslot_client.h"

#include <atomic>
#include <chrono>
#include <cstring>

#include "computer_name.h"
#include "netbios_datagram.h"

namespace corvane::kernel {

namespace {

std::uint16_t NextDatagramId() {
    static std::atomic<std::uint32_t> next{
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    return static_cast<std::uint16_t>(next.fetch_add(1) & 0x7FFF);
}

}  // namespace

MailslotClient::MailslotClient(MailslotPath path, DWORD access)
    : path_(std::move(path)), key_(MailslotKey(path_.name)), access_(access), local_(key_) {}

bool MailslotClient::CanWrite() const {
    return (access_ & GENERIC_WRITE) != 0;
}

DWORD MailslotClient::Open() {
    std::lock_guard lock(mutex_);
    if (path_.scope == MailslotScope::local) {
        return ConnectLocal();
    }
    computerName_ = ComputerNetbiosName();
    domainName_ = PrimaryDomainName();
    return computerName_.empty() ? ERROR_BAD_NETPATH : ERROR_SUCCESS;
}

DWORD MailslotClient::ConnectLocal() {
    const DWORD connected = local_.Connect();
    if (connected != ERROR_SUCCESS) {
        return connected;
    }
    return local_.QueryMaxMessageSize(maxMessageSize_);
}

DWORD MailslotClient::Write(const void* data, DWORD size) {
    std::lock_guard lock(mutex_);
    return path_.scope == MailslotScope::local ? WriteLocal(data, size) : WriteNetwork(data, size);
}

DWORD MailslotClient::WriteLocal(const void* data, DWORD size) {
    // A holder that went away may have been replaced by a new holder of the name: try it once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!local_.IsConnected()) {
            const DWORD connected = ConnectLocal();
            if (connected != ERROR_SUCCESS) {
                return connected;
            }
        }
        if (maxMessageSize_ != 0 && size > maxMessageSize_) {
            return ERROR_INVALID_PARAMETER;
        }
        const DWORD sent = local_.Send(data, size);
        if (sent != ERROR_FILE_NOT_FOUND) {
            return sent;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

DWORD MailslotClient::WriteNetwork(const void* data, DWORD size) {
    netbios::MailslotWrite write;
    write.mailslotName = std::string(netbios::kMailslotPrefix) + path_.name;
    if (size > kMaxNetworkWrite || size > netbios::MaxDataFor(write.mailslotName.size())) {
        return ERROR_BAD_NETPATH;
    }
    const std::string& destination =
        path_.scope == MailslotScope::primaryDomain ? domainName_ : path_.server;
    // Only this computer's own domain is known to be a group; any other name is taken for a
    // computer, which members of a workgroup of that name accept as well.
    write.type = destination == domainName_ ? netbios::kDirectGroup : netbios::kDirectUnique;
    write.datagramId = NextDatagramId();
    write.source = netbios::NetbiosName{computerName_, 0x00};
    write.destination = netbios::NetbiosName{destination, 0x00};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    write.data.assign(bytes, bytes + size);

    DWORD result = network_.Send(std::move(write));
    // This computer gets its copy through the local socket; its own broadcasts are not taken.
    if (destination == domainName_ || destination == computerName_) {
        DWORD delivered = local_.IsConnected() ? local_.Send(data, size) : ERROR_FILE_NOT_FOUND;
        if (delivered == ERROR_FILE_NOT_FOUND && local_.Connect() == ERROR_SUCCESS) {
            delivered = local_.Send(data, size);
        }
        // Nobody holding the name here is no failure: a domain write is heard by whoever listens.
        if (delivered != ERROR_SUCCESS && delivered != ERROR_FILE_NOT_FOUND &&
            result == ERROR_SUCCESS) {
            result = delivered;
        }
    }
    return result;
}

}  // namespace corvane::kernel
