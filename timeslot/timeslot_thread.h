// The polling thread of a receiving endpoint. It pauses, looks whether the number of waiting
// messages has changed, and only then hands the check to the main thread; reading and the event
// happen there. An idle endpoint so never wakes the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "thread.h"
#include "windows_types.h"

class TTimeslotServer;

// The endpoint's mailslot handle, shared with the polling thread. The endpoint changes it (and
// closes the mailslot) only under the lock, and counts are taken under it: the thread, which
// outlives the endpoint, never looks at a closed handle.
struct TSlotWatch {
    std::mutex Lock;
    HANDLE Handle = 0;

    // The messages waiting in the mailslot; 0 without one.
    std::int32_t Count();
};

class TTimeslotThread : public TThread {
public:
    explicit TTimeslotThread(std::shared_ptr<TSlotWatch> watch) : watch_(std::move(watch)) {}

    void SetOwner(TTimeslotServer* owner) { owner_ = owner; }
    TTimeslotServer* Owner() const { return owner_; }
    void SetInterval(std::int32_t interval) { interval_.store(interval); }
    std::int32_t Interval() const { return interval_.load(); }

    // Waiting messages as the endpoint last knew them; written on the main thread only.
    std::atomic<std::int32_t> LastCount{0};

    // The check; runs on the main thread only.
    void DoNewMessage();

protected:
    void Execute() override;

private:
    std::shared_ptr<TSlotWatch> watch_;
    TTimeslotServer* owner_ = nullptr;
    std::atomic<std::int32_t> interval_{0};
};
