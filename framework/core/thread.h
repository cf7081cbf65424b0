// A thread object whose body is Execute. Linux cannot suspend another thread, so suspension is
// cooperative: a suspended thread stops at its next call of CheckSuspended and goes on when it
// is resumed. Hand-overs already waiting for the main thread still run.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "component.h"

enum TThreadPriority : unsigned char {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

// The operating-system priority that each TThreadPriority is set as.
int ThreadPriorityValue(TThreadPriority priority);

class TThread : public TObject {
public:
    // Builds a thread object of class T and starts it unless createSuspended.
    template <class T, class... Args>
    static T* Create(bool createSuspended, Args&&... args) {
        T* thread = new T(std::forward<Args>(args)...);
        static_cast<TThread*>(thread)->Start(createSuspended);
        return thread;
    }

    // Asks the thread to end and waits for it; only for threads that do not free themselves.
    ~TThread() override;

    void Suspend();
    void Resume();
    bool Suspended() const { return suspended_.load(); }

    // Sets the terminated flag, and nothing more.
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

    void SetFreeOnTerminate(bool value) { freeOnTerminate_.store(value); }
    bool FreeOnTerminate() const { return freeOnTerminate_.load(); }

    void SetPriority(TThreadPriority priority);
    TThreadPriority Priority() const { return priority_.load(); }

    bool Finished() const { return finished_.load(); }
    // The exception that escaped Execute, if any.
    std::exception_ptr FatalException() const { return fatalException_; }

protected:
    TThread() = default;
    virtual void Execute() = 0;
    // Stops here while the thread is suspended.
    void CheckSuspended();
    // Runs method on the main thread and waits for it; its exception is raised here.
    void Synchronize(const std::function<void()>& method);

private:
    void Start(bool createSuspended);
    void ThreadProc();

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool started_ = false;
    std::atomic<long> threadId_{0};
    std::atomic<bool> suspended_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> freeOnTerminate_{false};
    std::atomic<bool> finished_{false};
    std::atomic<TThreadPriority> priority_{tpNormal};
    std::exception_ptr fatalException_;
};
