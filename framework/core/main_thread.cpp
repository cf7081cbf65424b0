#include "main_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {

struct Request {
    std::function<void()> method;
    std::exception_ptr error;
    bool done = false;
};

// Lives until the process ends: worker threads may still wait on it while statics are torn down.
struct Queue {
    std::mutex mutex;
    std::condition_variable finished;
    std::deque<Request*> waiting;
    std::thread::id mainThread;
    bool mainThreadKnown = false;
};

Queue& TheQueue() {
    static Queue* queue = new Queue;
    return *queue;
}

bool OnMainThread(Queue& q) {
    std::lock_guard lock(q.mutex);
    if (q.mainThreadKnown) {
        return q.mainThread == std::this_thread::get_id();
    }
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && app->thread() == QThread::currentThread();
}

// Posts a wake-up to the event loop; harmless when several are posted for one request.
void WakeMainThread() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [] { MainThread::CheckSynchronize(); }, Qt::QueuedConnection);
    }
}

}  // namespace

namespace MainThread {

void Register() {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    q.mainThread = std::this_thread::get_id();
    q.mainThreadKnown = true;
}

bool IsMainThread() {
    return OnMainThread(TheQueue());
}

void Synchronize(const std::function<void()>& method) {
    Queue& q = TheQueue();
    if (OnMainThread(q)) {
        method();
        return;
    }
    Request request{method, nullptr, false};
    {
        std::lock_guard lock(q.mutex);
        q.waiting.push_back(&request);
    }
    WakeMainThread();
    std::unique_lock lock(q.mutex);
    q.finished.wait(lock, [&] { return request.done; });
    if (request.error) {
        std::rethrow_exception(request.error);
    }
}

int CheckSynchronize() {
    Queue& q = TheQueue();
    int ran = 0;
    for (;;) {
        Request* request = nullptr;
        {
            std::lock_guard lock(q.mutex);
            if (q.waiting.empty()) {
                return ran;
            }
            request = q.waiting.front();
            q.waiting.pop_front();
        }
        try {
            request->method();
        } catch (...) {
            request->error = std::current_exception();
        }
        ++ran;
        {
            std::lock_guard lock(q.mutex);
            request->done = true;
        }
        q.finished.notify_all();
    }
}

int Pending() {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    return static_cast<int>(q.waiting.size());
}

}  // namespace MainThread
