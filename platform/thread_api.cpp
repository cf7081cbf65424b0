// Sleeping and thread priorities. Linux thread ids stand in for thread handles.
#include <errno.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "kernel.h"
#include "win_error_map.h"

namespace {

constexpr int kThreadPriorityErrorReturn = 0x7FFFFFFF;
constexpr int kNicest = 19;
constexpr int kLeastNice = -20;

// The niceness by which each priority differs from the process's own.
int NiceOffset(int priority) {
    switch (priority) {
        case THREAD_PRIORITY_IDLE:
            return 19;
        case THREAD_PRIORITY_LOWEST:
            return 10;
        case THREAD_PRIORITY_BELOW_NORMAL:
            return 5;
        case THREAD_PRIORITY_ABOVE_NORMAL:
            return -5;
        case THREAD_PRIORITY_HIGHEST:
            return -10;
        case THREAD_PRIORITY_TIME_CRITICAL:
            return -20;
        default:
            return 0;
    }
}

bool IsPriority(int priority) {
    switch (priority) {
        case THREAD_PRIORITY_IDLE:
        case THREAD_PRIORITY_LOWEST:
        case THREAD_PRIORITY_BELOW_NORMAL:
        case THREAD_PRIORITY_NORMAL:
        case THREAD_PRIORITY_ABOVE_NORMAL:
        case THREAD_PRIORITY_HIGHEST:
        case THREAD_PRIORITY_TIME_CRITICAL:
            return true;
        default:
            return false;
    }
}

struct Recorded {
    int priority;
    int nice;  // what it was applied as: a thread id reused by a new thread will differ
};

struct PriorityBook {
    std::mutex mutex;
    std::map<long, Recorded> priorities;  // by thread id; a thread not in it runs at normal
    bool baseKnown = false;
    int baseNice = 0;  // the process's niceness, which normal priority stands for
};

PriorityBook& Book() {
    static PriorityBook* const book = new PriorityBook();
    return *book;
}

// The thread's niceness; false when there is no such thread.
bool NiceOf(long threadId, int& nice) {
    errno = 0;
    nice = getpriority(PRIO_PROCESS, static_cast<id_t>(threadId));
    return !(nice == -1 && errno != 0);
}

}  // namespace

DWORD SleepEx(DWORD dwMilliseconds, BOOL /*bAlertable*/) {
    if (dwMilliseconds == INFINITE) {
        for (;;) {
            pause();
        }
    }
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(dwMilliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(dwMilliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
    return 0;
}

BOOL SetThreadPriority(long threadId, int nPriority) {
    if (!IsPriority(nPriority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WIN_FALSE;
    }
    PriorityBook& book = Book();
    std::lock_guard lock(book.mutex);
    if (!book.baseKnown) {
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
        book.baseNice = (nice == -1 && errno != 0) ? 0 : nice;
        book.baseKnown = true;
    }
    const int nice = std::clamp(book.baseNice + NiceOffset(nPriority), kLeastNice, kNicest);
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), nice) != 0) {
        // Raising a thread's priority needs a right the process may lack; it keeps its own.
        SetLastError(errno == ESRCH ? ERROR_INVALID_HANDLE : WindowsErrorFromErrno(errno));
        return WIN_FALSE;
    }
    book.priorities[threadId] = Recorded{nPriority, nice};
    return WIN_TRUE;
}

int GetThreadPriority(long threadId) {
    int nice = 0;
    if (!NiceOf(threadId, nice)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return kThreadPriorityErrorReturn;
    }
    PriorityBook& book = Book();
    std::lock_guard lock(book.mutex);
    const auto found = book.priorities.find(threadId);
    if (found == book.priorities.end() || found->second.nice != nice) {
        return THREAD_PRIORITY_NORMAL;
    }
    return found->second.priority;
}

long GetCurrentThreadId() {
    return static_cast<long>(gettid());
}
