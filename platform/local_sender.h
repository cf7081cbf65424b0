// A writer's connection to the holder of a mailslot on this computer.
#pragma once

#include <cstddef>
#include <string>

#include "windows_types.h"

namespace corvane::kernel {

class LocalSender {
public:
    explicit LocalSender(std::string key);
    ~LocalSender();
    LocalSender(const LocalSender&) = delete;
    LocalSender& operator=(const LocalSender&) = delete;

    // ERROR_FILE_NOT_FOUND when no process on this computer holds the name.
    DWORD Connect();
    bool IsConnected() const { return connected_; }

    // Asks the holder for its largest message size (0: any size).
    DWORD QueryMaxMessageSize(DWORD& maxMessageSize);

    // Sends one message. While the holder's socket queue is full it waits for room, as long as
    // the holder's receiver thread is alive to make some. ERROR_FILE_NOT_FOUND when the holder
    // has gone since the connect.
    DWORD Send(const void* data, std::size_t size);

private:
    DWORD SendDatagram(const void* head, std::size_t headSize, const void* data, std::size_t size);

    const std::string key_;
    int fd_ = -1;  // kept across connects: a datagram socket can be connected again
    bool connected_ = false;
};

}  // namespace corvane::kernel
