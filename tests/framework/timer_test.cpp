#include <gtest/gtest.h>

#include <thread>

#include "exceptions.h"
#include "timer.h"
#include "ui_helpers.h"

namespace {

struct CountingTimer {
    explicit CountingTimer(std::uint32_t interval) : timer(nullptr) {
        timer.SetInterval(interval);
        timer.SetOnTimer([this](TObject* sender) {
            EXPECT_EQ(sender, &timer);
            ++ticks;
        });
    }
    TTimer timer;
    int ticks = 0;
};

// A second timer as the yardstick: "while the reference ticked n times" needs no clock.
struct ReferenceTimer {
    explicit ReferenceTimer(std::function<void()> onTick = {}) : timer(nullptr) {
        timer.SetInterval(10);
        timer.SetOnTimer([this, onTick](TObject*) {
            ++ticks;
            if (onTick) {
                onTick();
            }
        });
    }
    TTimer timer;
    int ticks = 0;
};

}  // namespace

TEST(Timer, DefaultsAndTicksWithAHandler) {
    TTimer idle(nullptr);
    EXPECT_EQ(idle.Interval(), 1000u);
    EXPECT_TRUE(idle.Enabled());

    CountingTimer counting(20);
    EXPECT_TRUE(PumpUntil([&] { return counting.ticks >= 3; }));
}

TEST(Timer, NoTicksWithIntervalZeroDisabledOrWithoutHandler) {
    CountingTimer zero(0);
    CountingTimer disabled(20);
    disabled.timer.SetEnabled(false);
    CountingTimer handlerRemoved(20);
    handlerRemoved.timer.SetOnTimer(nullptr);
    ReferenceTimer reference;
    ASSERT_TRUE(PumpUntil([&] { return reference.ticks >= 30; }));
    EXPECT_EQ(zero.ticks, 0);
    EXPECT_EQ(disabled.ticks, 0);
    EXPECT_EQ(handlerRemoved.ticks, 0);

    // Enabled again, it ticks.
    disabled.timer.SetEnabled(true);
    zero.timer.SetInterval(20);
    EXPECT_TRUE(PumpUntil([&] { return disabled.ticks >= 2 && zero.ticks >= 2; }));
}

TEST(Timer, ANewIntervalRestartsTheCountdownAndTheSameValueDoesNot) {
    // Set to a new value every 10 ms, a 500 ms timer never comes to tick.
    CountingTimer restarted(500);
    // Set to its own value every 10 ms, a 60 ms timer goes on ticking.
    CountingTimer kept(60);
    // Given its handler again every 10 ms, a 500 ms timer never ticks either.
    CountingTimer rehandled(500);
    bool flip = false;
    ReferenceTimer reference([&] {
        flip = !flip;
        restarted.timer.SetInterval(flip ? 501 : 500);
        kept.timer.SetInterval(60);
        rehandled.timer.SetOnTimer(rehandled.timer.OnTimer());
    });
    ASSERT_TRUE(PumpUntil([&] { return reference.ticks >= 150 && kept.ticks >= 3; }));
    EXPECT_EQ(restarted.ticks, 0);
    EXPECT_EQ(rehandled.ticks, 0);
}

TEST(Timer, IntervalsBeyondTheLongestPeriodAreKept) {
    CountingTimer longest(0xFFFFFFFFu);
    EXPECT_EQ(longest.timer.Interval(), 0xFFFFFFFFu);
}

TEST(Timer, NotEnoughTimersWhereNoEventLoopCanServeOne) {
    std::string message;
    std::thread noLoop([&] {
        TTimer timer(nullptr);
        try {
            timer.SetOnTimer([](TObject*) {});
        } catch (const EOutOfResources& e) {
            message = e.Message();
        }
    });
    noLoop.join();
    EXPECT_EQ(message, "Not enough timers available");
}
