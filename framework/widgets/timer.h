// The window timer: OnTimer runs on the main thread every Interval milliseconds, in whatever
// event loop runs (main, modal dialog, message box).
#pragma once

#include <cstdint>
#include <memory>

#include "component.h"
#include "events.h"

class TimerHost;

class TTimer : public TComponent {
public:
    // Interval 1000, enabled, no handler: no ticks yet.
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    // A changed Interval or Enabled kills the timer and creates it anew, so the countdown starts
    // again; the same value changes nothing. Assigning OnTimer always does the same. Ticks come
    // only while enabled, with an interval other than 0 and a handler. Raises EOutOfResources
    // "Not enough timers available" when the system has no timer to give.
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t interval);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);

    // For the timer's host object.
    void Expired(int timerId);

private:
    void UpdateTimer();
    void Tick(unsigned generation);

    std::uint32_t interval_ = 1000;
    bool enabled_ = true;
    TNotifyEvent onTimer_;
    std::unique_ptr<TimerHost> host_;
    int timerId_ = 0;
    // Counts the timers created, so that a tick of an earlier one is known.
    unsigned generation_ = 0;
    bool tickPending_ = false;
};
