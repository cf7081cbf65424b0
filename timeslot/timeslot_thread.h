// The polling thread of a receiving endpoint. It only pauses and hands its check to the main
// thread; counting, reading and the event all happen there.
#pragma once

#include <atomic>
#include <cstdint>

#include "thread.h"

class TTimeslotServer;

class TTimeslotThread : public TThread {
public:
    TTimeslotThread() = default;

    void SetOwner(TTimeslotServer* owner) { owner_ = owner; }
    TTimeslotServer* Owner() const { return owner_; }
    void SetInterval(std::int32_t interval) { interval_.store(interval); }
    std::int32_t Interval() const { return interval_.load(); }

    // Waiting messages as the endpoint last knew them; main thread only.
    std::int32_t LastCount = 0;

    // The check; runs on the main thread only.
    void DoNewMessage();

protected:
    void Execute() override;

private:
    TTimeslotServer* owner_ = nullptr;
    std::atomic<std::int32_t> interval_{0};
};
