#include "timeslot_thread.h"

#include "error_report.h"
#include "kernel.h"
#include "timeslot_server.h"

void TTimeslotThread::Execute() {
    for (;;) {
        SleepEx(static_cast<DWORD>(interval_.load()), WIN_FALSE);
        CheckSuspended();
        // Only a changed count is worth waking the main thread for its check.
        if (watch_->Count() != LastCount.load()) {
            // An error raised while the main thread handled the messages comes back here. The
            // thread must outlive it, or the program would stop receiving for good: report it and
            // go on.
            try {
                Synchronize([this] { DoNewMessage(); });
            } catch (const std::exception& error) {
                ReportError(std::string("error while handling received messages: ") + error.what());
            } catch (...) {
                ReportError("unknown error while handling received messages");
            }
        }
        if (Terminated()) {
            return;
        }
    }
}

std::int32_t TSlotWatch::Count() {
    std::lock_guard lock(Lock);
    if (Handle == 0) {
        return 0;
    }
    DWORD nextSize = 0;
    DWORD count = 0;
    GetMailslotInfo(Handle, nullptr, &nextSize, &count, nullptr);
    return static_cast<std::int32_t>(count);
}

void TTimeslotThread::DoNewMessage() {
    if (Terminated()) {
        return;
    }
    if (owner_->MessageCount() == LastCount) {
        return;
    }
    owner_->FireNewMessage();
    LastCount = owner_->MessageCount();
}
