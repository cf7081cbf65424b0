#include "local_sender.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <chrono>

#include "local_transport.h"
#include "win_error_map.h"

namespace corvane::kernel {

namespace {

// How long a writer waits for room, or for an answer, from a holder that does not drain its
// socket; its receiver thread does so within microseconds unless the process is stopped.
constexpr auto kHolderPatience = std::chrono::seconds(5);

// Waits for events on fd until deadline; false when the time ran out.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(left.count()) + 1);
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

LocalSender::LocalSender(std::string key) : key_(std::move(key)) {}

LocalSender::~LocalSender() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

DWORD LocalSender::Connect() {
    connected_ = false;
    if (fd_ < 0) {
        const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            return WindowsErrorFromErrno(errno);
        }
        // An address of its own (autobind) lets the holder answer a size query.
        const sa_family_t family = AF_UNIX;
        if (bind(fd, reinterpret_cast<const sockaddr*>(&family), sizeof family) != 0) {
            const int err = errno;
            close(fd);
            return WindowsErrorFromErrno(err);
        }
        fd_ = fd;
    }
    const LocalAddress holder = HolderAddress(key_);
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&holder.address), holder.length) != 0) {
        const int err = errno;
        return err == ECONNREFUSED || err == ENOENT ? ERROR_FILE_NOT_FOUND
                                                    : WindowsErrorFromErrno(err);
    }
    connected_ = true;
    return ERROR_SUCCESS;
}

DWORD LocalSender::SendDatagram(const void* head, std::size_t headSize, const void* data,
                                std::size_t size) {
    iovec parts[2] = {{const_cast<void*>(head), headSize}, {const_cast<void*>(data), size}};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = size > 0 ? 2 : 1;
    const auto deadline = std::chrono::steady_clock::now() + kHolderPatience;
    for (;;) {
        if (sendmsg(fd_, &message, MSG_DONTWAIT | MSG_NOSIGNAL) >= 0) {
            return ERROR_SUCCESS;
        }
        const int err = errno;
        if (err == EINTR) {
            continue;
        }
        if (err == EAGAIN) {
            // The holder's queue is full; its receiver thread empties it at once.
            if (!WaitFor(fd_, POLLOUT, deadline)) {
                return ERROR_TIMEOUT;
            }
            continue;
        }
        if (err == ECONNREFUSED || err == ENOTCONN || err == ECONNRESET) {
            connected_ = false;
            return ERROR_FILE_NOT_FOUND;
        }
        return WindowsErrorFromErrno(err);
    }
}

DWORD LocalSender::Send(const void* data, std::size_t size) {
    if (!connected_) {
        return ERROR_FILE_NOT_FOUND;
    }
    const std::uint8_t kind = kLocalMessage;
    return SendDatagram(&kind, 1, data, size);
}

DWORD LocalSender::QueryMaxMessageSize(DWORD& maxMessageSize) {
    if (!connected_) {
        return ERROR_FILE_NOT_FOUND;
    }
    const std::uint8_t kind = kLocalSizeQuery;
    const DWORD sent = SendDatagram(&kind, 1, nullptr, 0);
    if (sent != ERROR_SUCCESS) {
        return sent;
    }
    const auto deadline = std::chrono::steady_clock::now() + kHolderPatience;
    for (;;) {
        std::uint8_t answer[8];
        const ssize_t got = recv(fd_, answer, sizeof answer, MSG_DONTWAIT);
        if (got == 5 && answer[0] == kLocalSizeAnswer) {
            maxMessageSize = static_cast<DWORD>(answer[1]) | static_cast<DWORD>(answer[2]) << 8 |
                             static_cast<DWORD>(answer[3]) << 16 |
                             static_cast<DWORD>(answer[4]) << 24;
            return ERROR_SUCCESS;
        }
        if (got < 0 && errno == ECONNREFUSED) {
            connected_ = false;
            return ERROR_FILE_NOT_FOUND;
        }
        if (got < 0 && errno != EAGAIN && errno != EINTR) {
            return WindowsErrorFromErrno(errno);
        }
        if (got < 0 && errno == EAGAIN && !WaitFor(fd_, POLLIN, deadline)) {
            return ERROR_TIMEOUT;
        }
    }
}

}  // namespace corvane::kernel
