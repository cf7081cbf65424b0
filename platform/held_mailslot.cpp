#include "held_mailslot.h"

#include <chrono>
#include <cstring>

namespace corvane::kernel {

namespace {

// A queue holds at most this much (messages plus bookkeeping); the receiver stops draining the
// local socket of a full queue, which holds local writers back instead of losing their writes.
constexpr std::size_t kMaxQueueFootprint = 64u << 20;
constexpr std::size_t kMessageOverhead = 64;

}  // namespace

HeldMailslot::HeldMailslot(std::string key, DWORD maxMessageSize, DWORD readTimeout,
                           std::function<void()> wakeReceiver)
    : key_(std::move(key)),
      maxMessageSize_(maxMessageSize),
      wakeReceiver_(std::move(wakeReceiver)),
      readTimeout_(readTimeout) {}

std::size_t HeldMailslot::Footprint(const std::vector<std::uint8_t>& message) {
    return message.size() + kMessageOverhead;
}

bool HeldMailslot::Deliver(std::vector<std::uint8_t> message) {
    {
        std::lock_guard lock(mutex_);
        // One message may go beyond the limit, so that a large one is never refused for good.
        if (closed_ || queuedBytes_ >= kMaxQueueFootprint) {
            return false;
        }
        queuedBytes_ += Footprint(message);
        messages_.push_back(std::move(message));
    }
    arrived_.notify_all();
    return true;
}

bool HeldMailslot::IsFull() const {
    std::lock_guard lock(mutex_);
    return queuedBytes_ >= kMaxQueueFootprint;
}

void HeldMailslot::Info(DWORD* maxMessageSize, DWORD* nextSize, DWORD* messageCount,
                        DWORD* readTimeout) const {
    std::lock_guard lock(mutex_);
    if (maxMessageSize != nullptr) {
        *maxMessageSize = maxMessageSize_;
    }
    if (nextSize != nullptr) {
        *nextSize =
            messages_.empty() ? MAILSLOT_NO_MESSAGE : static_cast<DWORD>(messages_.front().size());
    }
    if (messageCount != nullptr) {
        *messageCount = static_cast<DWORD>(messages_.size());
    }
    if (readTimeout != nullptr) {
        *readTimeout = readTimeout_;
    }
}

void HeldMailslot::SetReadTimeout(DWORD readTimeout) {
    std::lock_guard lock(mutex_);
    readTimeout_ = readTimeout;
}

DWORD HeldMailslot::Read(void* buffer, DWORD size, DWORD& bytesRead) {
    bytesRead = 0;
    bool wasFull = false;
    {
        std::unique_lock lock(mutex_);
        const auto ready = [this] { return closed_ || !messages_.empty(); };
        if (readTimeout_ == MAILSLOT_WAIT_FOREVER) {
            arrived_.wait(lock, ready);
        } else {
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(readTimeout_);
            arrived_.wait_until(lock, deadline, ready);
        }
        if (closed_) {
            return ERROR_INVALID_HANDLE;
        }
        if (messages_.empty()) {
            return ERROR_SEM_TIMEOUT;
        }
        std::vector<std::uint8_t>& message = messages_.front();
        if (message.size() > size) {
            return ERROR_INSUFFICIENT_BUFFER;  // the message stays for a larger buffer
        }
        if (!message.empty()) {
            if (buffer == nullptr) {
                return ERROR_INVALID_PARAMETER;
            }
            std::memcpy(buffer, message.data(), message.size());
        }
        bytesRead = static_cast<DWORD>(message.size());
        wasFull = queuedBytes_ >= kMaxQueueFootprint;
        queuedBytes_ -= Footprint(message);
        messages_.pop_front();
    }
    if (wasFull && wakeReceiver_) {
        wakeReceiver_();
    }
    return ERROR_SUCCESS;
}

void HeldMailslot::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        messages_.clear();
        queuedBytes_ = 0;
    }
    arrived_.notify_all();
}

}  // namespace corvane::kernel
