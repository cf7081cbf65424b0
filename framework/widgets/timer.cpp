#include "timer.h"

#include <QMetaObject>
#include <QObject>
#include <QTimerEvent>
#include <algorithm>

#include "exceptions.h"

// Windows keeps timer periods between 10 ms and 0x7FFFFFFF ms.
constexpr std::uint32_t kShortestInterval = 10;
constexpr std::uint32_t kLongestInterval = 0x7FFFFFFF;

class TimerHost : public QObject {
public:
    explicit TimerHost(TTimer* timer) : timer_(timer) {}

protected:
    void timerEvent(QTimerEvent* event) override { timer_->Expired(event->timerId()); }

private:
    TTimer* timer_;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), host_(std::make_unique<TimerHost>(this)) {}

TTimer::~TTimer() {
    if (timerId_ != 0) {
        host_->killTimer(timerId_);
    }
}

void TTimer::SetInterval(std::uint32_t interval) {
    if (interval != interval_) {
        interval_ = interval;
        UpdateTimer();
    }
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (timerId_ != 0) {
        host_->killTimer(timerId_);
        timerId_ = 0;
    }
    ++generation_;
    tickPending_ = false;
    if (enabled_ && interval_ != 0 && onTimer_) {
        int period = static_cast<int>(std::clamp(interval_, kShortestInterval, kLongestInterval));
        timerId_ = host_->startTimer(period, Qt::PreciseTimer);
        if (timerId_ == 0) {
            throw EOutOfResources("Not enough timers available");
        }
    }
}

void TTimer::Expired(int timerId) {
    // The handler runs from a queued call rather than inside the timer event: Qt does not
    // deliver a timer's events again while one of them is being handled, and a handler that
    // opens a box must see the next ticks, as with Windows timers. Ticks that come while one
    // waits are merged into it.
    if (timerId != timerId_ || tickPending_) {
        return;
    }
    tickPending_ = true;
    QMetaObject::invokeMethod(
        host_.get(), [this, generation = generation_] { Tick(generation); }, Qt::QueuedConnection);
}

void TTimer::Tick(unsigned generation) {
    // A timer killed or created anew since drops the tick.
    if (generation != generation_) {
        return;
    }
    tickPending_ = false;
    if (!onTimer_) {
        return;
    }
    TNotifyEvent handler = onTimer_;
    CallHandler([&] { handler(this); });
}
