#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "event_pump.h"
#include "exceptions.h"
#include "main_thread.h"
#include "thread.h"

namespace {

// Counts its rounds; each round stops at the safe point and hands a method to the main thread.
class CountingThread : public TThread {
public:
    std::atomic<int> rounds{0};
    std::atomic<int> handedOver{0};
    std::atomic<std::thread::id> ranOn{};
    std::atomic<bool>* destroyed = nullptr;
    ~CountingThread() override {
        if (destroyed != nullptr) {
            destroyed->store(true);
        }
    }

protected:
    void Execute() override {
        while (!Terminated()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            CheckSuspended();
            Synchronize([this] {
                ranOn.store(std::this_thread::get_id());
                ++handedOver;
            });
            ++rounds;
        }
    }
};

TEST(Thread, RunsAtOnceAndHandsOverToTheMainThread) {
    auto* thread = TThread::Create<CountingThread>(false);
    ASSERT_TRUE(PumpUntil([&] { return thread->handedOver.load() >= 3; }));
    EXPECT_EQ(thread->ranOn.load(), std::this_thread::get_id());
    thread->Terminate();
    PumpUntil([&] { return thread->Finished(); });
    delete thread;
}

TEST(Thread, CreatedSuspendedWaitsForResume) {
    auto* thread = TThread::Create<CountingThread>(true);
    PumpFor(100);
    EXPECT_EQ(thread->rounds.load(), 0);
    EXPECT_TRUE(thread->Suspended());
    thread->Resume();
    EXPECT_TRUE(PumpUntil([&] { return thread->rounds.load() > 0; }));
    thread->Terminate();
    PumpUntil([&] { return thread->Finished(); });
    delete thread;
}

TEST(Thread, SuspendStopsTheThreadAtItsNextSafePoint) {
    auto* thread = TThread::Create<CountingThread>(false);
    ASSERT_TRUE(PumpUntil([&] { return thread->rounds.load() > 0; }));
    thread->Suspend();
    PumpFor(50);  // lets a round already past its safe point finish
    const int stoppedAt = thread->rounds.load();
    PumpFor(150);
    EXPECT_EQ(thread->rounds.load(), stoppedAt);
    thread->Resume();
    EXPECT_TRUE(PumpUntil([&] { return thread->rounds.load() > stoppedAt; }));
    thread->Terminate();
    PumpUntil([&] { return thread->Finished(); });
    delete thread;
}

TEST(Thread, FreeOnTerminateFreesTheObjectWhenExecuteReturns) {
    std::atomic<bool> destroyed{false};
    auto* thread = TThread::Create<CountingThread>(true);
    thread->destroyed = &destroyed;
    thread->SetFreeOnTerminate(true);
    thread->Terminate();
    thread->Resume();
    EXPECT_TRUE(PumpUntil([&] { return destroyed.load(); }));
}

class ThrowingThread : public TThread {
public:
    std::atomic<bool> caught{false};
    std::string message;

protected:
    void Execute() override {
        try {
            Synchronize([] { throw EConvertError("'x' is not a valid floating point value"); });
        } catch (const EConvertError& error) {
            message = error.Message();
            caught.store(true);
        }
    }
};

TEST(Thread, AnExceptionOfTheHandedOverMethodIsRaisedAgainInTheThread) {
    auto* thread = TThread::Create<ThrowingThread>(false);
    ASSERT_TRUE(PumpUntil([&] { return thread->caught.load(); }));
    EXPECT_EQ(thread->message, "'x' is not a valid floating point value");
    PumpUntil([&] { return thread->Finished(); });
    delete thread;
}

TEST(Thread, HandOversRunInsideANestedEventLoop) {
    auto* thread = TThread::Create<CountingThread>(false);
    QEventLoop nested;
    int seenInside = 0;
    QTimer::singleShot(300, &nested, [&] {
        seenInside = thread->handedOver.load();
        nested.quit();
    });
    nested.exec();
    EXPECT_GT(seenInside, 3);
    thread->Terminate();
    PumpUntil([&] { return thread->Finished(); });
    delete thread;
}

TEST(Thread, SynchronizeOnTheMainThreadRunsTheMethodDirectly) {
    int ran = 0;
    MainThread::Synchronize([&] { ++ran; });
    EXPECT_EQ(ran, 1);
}

}  // namespace
