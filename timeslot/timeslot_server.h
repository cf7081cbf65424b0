// The receiving endpoint: holds the local mailslot of its name and raises OnNewMessage, through its
// polling thread, when the number of waiting messages has changed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "component.h"
#include "exceptions.h"
#include "thread.h"
#include "windows_types.h"

CORVANE_EXCEPTION_CLASS(ETimeslotServerError, Exception);

class TTimeslotThread;
struct TSlotWatch;

class TTimeslotServer : public TComponent {
public:
    explicit TTimeslotServer(TComponent* owner);
    ~TTimeslotServer() override;

    const TNotifyEvent& OnNewMessage() const { return onNewMessage_; }
    void SetOnNewMessage(TNotifyEvent handler);
    const std::string& TimeslotName() const { return timeslotName_; }
    void SetTimeslotName(const std::string& name);
    std::int32_t MaxMessageSize() const { return maxMessageSize_; }
    void SetMaxMessageSize(std::int32_t size);
    bool InheritHandle() const { return inheritHandle_; }
    void SetInheritHandle(bool inherit);
    std::int32_t ReadTimeOut() const { return readTimeOut_; }
    void SetReadTimeOut(std::int32_t timeOut);
    HANDLE Handle() const;
    bool MessagePolling() const { return messagePolling_; }
    void SetMessagePolling(bool polling);
    std::int32_t Interval() const { return interval_; }
    void SetInterval(std::int32_t interval);
    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority priority);

    TTimeslotThread* Thread() const { return thread_; }

    std::int32_t MessageCount();
    std::int32_t NextMessageSize();
    std::int32_t ReadMessage(void* buffer, std::int32_t size);

    void CreateSlot();
    void CloseSlot();
    void FireNewMessage();
    void UpdatePolling();

private:
    std::string timeslotName_ = "Timebox";
    std::int32_t maxMessageSize_ = 0;
    bool inheritHandle_ = false;
    std::int32_t readTimeOut_ = -1;
    bool messagePolling_ = true;
    TThreadPriority threadPriority_ = tpNormal;
    std::int32_t interval_ = 1000;
    std::shared_ptr<TSlotWatch> watch_;
    TTimeslotThread* thread_ = nullptr;
    TNotifyEvent onNewMessage_;
};
