#include "timeslot_server.h"

#include <cstring>

#include "kernel.h"
#include "system_text.h"
#include "timeslot_thread.h"

namespace {

constexpr std::size_t kMaxPathLength = 200;

}  // namespace

TTimeslotServer::TTimeslotServer(TComponent* owner)
    : TComponent(owner), watch_(std::make_shared<TSlotWatch>()) {
    thread_ = TThread::Create<TTimeslotThread>(false, watch_);
    thread_->SetOwner(this);
    thread_->SetInterval(interval_);
    thread_->SetPriority(threadPriority_);
    thread_->SetFreeOnTerminate(true);
    try {
        CreateSlot();
    } catch (...) {
        thread_->Terminate();
        CloseSlot();
        throw;
    }
}

TTimeslotServer::~TTimeslotServer() {
    thread_->Terminate();
    CloseSlot();
}

void TTimeslotServer::CreateSlot() {
    if (Designing()) {
        return;
    }
    SECURITY_ATTRIBUTES security{12, nullptr, inheritHandle_ ? WIN_TRUE : WIN_FALSE};
    const std::string path = "\\\\.\\Mailslot\\" + timeslotName_;
    char name[kMaxPathLength + 1] = {};
    std::memcpy(name, path.data(), std::min(path.size(), kMaxPathLength));
    const HANDLE handle = CreateMailslotA(name, static_cast<DWORD>(maxMessageSize_),
                                          static_cast<DWORD>(readTimeOut_), &security);
    std::lock_guard lock(watch_->Lock);
    if (handle == INVALID_HANDLE_VALUE) {
        watch_->Handle = 0;
        throw ETimeslotServerError(SystemText(GetLastError()));
    }
    watch_->Handle = handle;
}

void TTimeslotServer::CloseSlot() {
    std::lock_guard lock(watch_->Lock);
    if (watch_->Handle != 0) {
        CloseHandle(watch_->Handle);
    }
    watch_->Handle = 0;
}

// Only the main thread changes the handle, so reading it there needs no lock.
HANDLE TTimeslotServer::Handle() const {
    return watch_->Handle;
}

void TTimeslotServer::SetTimeslotName(const std::string& name) {
    if (name == timeslotName_) {
        return;
    }
    CloseSlot();
    timeslotName_ = name;
    CreateSlot();
}

void TTimeslotServer::SetMaxMessageSize(std::int32_t size) {
    if (size == maxMessageSize_) {
        return;
    }
    CloseSlot();
    maxMessageSize_ = size;
    CreateSlot();
}

void TTimeslotServer::SetInheritHandle(bool inherit) {
    if (inherit == inheritHandle_) {
        return;
    }
    CloseSlot();
    inheritHandle_ = inherit;
    CreateSlot();
}

void TTimeslotServer::SetReadTimeOut(std::int32_t timeOut) {
    if (timeOut == readTimeOut_) {
        return;
    }
    readTimeOut_ = timeOut;
    if (Handle() != 0) {
        SetMailslotInfo(Handle(), static_cast<DWORD>(timeOut));
    }
}

void TTimeslotServer::SetMessagePolling(bool polling) {
    if (polling == messagePolling_) {
        return;
    }
    messagePolling_ = polling;
    UpdatePolling();
}

void TTimeslotServer::SetThreadPriority(TThreadPriority priority) {
    if (priority == threadPriority_) {
        return;
    }
    threadPriority_ = priority;
    thread_->SetPriority(priority);
    UpdatePolling();
}

void TTimeslotServer::SetInterval(std::int32_t interval) {
    if (interval == interval_) {
        return;
    }
    interval_ = interval;
    thread_->SetInterval(interval);
    UpdatePolling();
}

void TTimeslotServer::SetOnNewMessage(TNotifyEvent handler) {
    onNewMessage_ = std::move(handler);
    UpdatePolling();
}

void TTimeslotServer::UpdatePolling() {
    if (!thread_->Suspended()) {
        thread_->Suspend();
    }
    if (interval_ != 0 && messagePolling_ && onNewMessage_ && !Designing()) {
        thread_->Resume();
    }
}

std::int32_t TTimeslotServer::MessageCount() {
    return watch_->Count();
}

std::int32_t TTimeslotServer::NextMessageSize() {
    if (Handle() == 0) {
        return 0;
    }
    DWORD nextSize = 0;
    GetMailslotInfo(Handle(), nullptr, &nextSize, nullptr, nullptr);
    return static_cast<std::int32_t>(nextSize);
}

std::int32_t TTimeslotServer::ReadMessage(void* buffer, std::int32_t size) {
    DWORD bytesRead = 0;
    if (Handle() == 0) {
        return 0;
    }
    if (!ReadFile(Handle(), buffer, static_cast<DWORD>(size), &bytesRead, nullptr)) {
        throw ETimeslotServerError(SystemText(GetLastError()));
    }
    --thread_->LastCount;
    return static_cast<std::int32_t>(bytesRead);
}

void TTimeslotServer::FireNewMessage() {
    if (onNewMessage_) {
        onNewMessage_(this);
    }
}
