#include "thread.h"

#include "kernel.h"
#include "main_thread.h"

int ThreadPriorityValue(TThreadPriority priority) {
    switch (priority) {
        case tpIdle:
            return THREAD_PRIORITY_IDLE;
        case tpLowest:
            return THREAD_PRIORITY_LOWEST;
        case tpLower:
            return THREAD_PRIORITY_BELOW_NORMAL;
        case tpNormal:
            return THREAD_PRIORITY_NORMAL;
        case tpHigher:
            return THREAD_PRIORITY_ABOVE_NORMAL;
        case tpHighest:
            return THREAD_PRIORITY_HIGHEST;
        case tpTimeCritical:
            return THREAD_PRIORITY_TIME_CRITICAL;
    }
    return THREAD_PRIORITY_NORMAL;
}

void TThread::Start(bool createSuspended) {
    suspended_.store(createSuspended);
    thread_ = std::thread(&TThread::ThreadProc, this);
    std::lock_guard lock(mutex_);
    started_ = true;
    wake_.notify_all();
}

TThread::~TThread() {
    if (thread_.joinable()) {
        Terminate();
        Resume();
        thread_.join();
    }
}

void TThread::ThreadProc() {
    {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return started_; });
    }
    threadId_.store(GetCurrentThreadId());
    SetThreadPriority(threadId_.load(), ThreadPriorityValue(priority_.load()));
    CheckSuspended();
    try {
        Execute();
    } catch (...) {
        fatalException_ = std::current_exception();
    }
    finished_.store(true);
    if (freeOnTerminate_.load()) {
        thread_.detach();
        delete this;
    }
}

void TThread::Suspend() {
    std::lock_guard lock(mutex_);
    suspended_.store(true);
}

void TThread::Resume() {
    std::lock_guard lock(mutex_);
    suspended_.store(false);
    wake_.notify_all();
}

void TThread::CheckSuspended() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !suspended_.load(); });
}

void TThread::SetPriority(TThreadPriority priority) {
    priority_.store(priority);
    if (long id = threadId_.load()) {
        SetThreadPriority(id, ThreadPriorityValue(priority));
    }
}

void TThread::Synchronize(const std::function<void()>& method) {
    MainThread::Synchronize(method);
}
