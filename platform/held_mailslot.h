// The queue of one mailslot held by this process: filled by the receiver thread, read by
// GetMailslotInfo and ReadFile.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "windows_types.h"

namespace corvane::kernel {

class HeldMailslot {
public:
    // wakeReceiver is called when a read makes room in a full queue.
    HeldMailslot(std::string key, DWORD maxMessageSize, DWORD readTimeout,
                 std::function<void()> wakeReceiver);

    const std::string& Key() const { return key_; }
    DWORD MaxMessageSize() const { return maxMessageSize_; }

    // Queues one message; false when the mailslot is closed or its queue is full.
    bool Deliver(std::vector<std::uint8_t> message);
    // Whether the queue is filled up to its limit, so that the sockets should not be drained.
    bool IsFull() const;

    void Info(DWORD* maxMessageSize, DWORD* nextSize, DWORD* messageCount,
              DWORD* readTimeout) const;
    void SetReadTimeout(DWORD readTimeout);

    // Takes the oldest message into buffer, waiting as the read time-out says. Returns the
    // error code; bytesRead is the message size on success.
    DWORD Read(void* buffer, DWORD size, DWORD& bytesRead);

    // Ends every read that waits, and all later ones, with ERROR_INVALID_HANDLE.
    void Close();

private:
    static std::size_t Footprint(const std::vector<std::uint8_t>& message);

    const std::string key_;
    const DWORD maxMessageSize_;
    const std::function<void()> wakeReceiver_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::vector<std::uint8_t>> messages_;
    std::size_t queuedBytes_ = 0;
    DWORD readTimeout_;
    bool closed_ = false;
};

}  // namespace corvane::kernel
