#include "timeslot_thread.h"

#include "error_report.h"
#include "kernel.h"
#include "timeslot_server.h"

void TTimeslotThread::Execute() {
    for (;;) {
        SleepEx(static_cast<DWORD>(interval_.load()), WIN_FALSE);
        CheckSuspended();
        if (CountChanged()) {
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

bool TTimeslotThread::CountChanged() {
    DWORD count = 0;
    {
        std::lock_guard lock(watch_->Lock);
        if (watch_->Handle != 0) {
            DWORD nextSize = 0;
            GetMailslotInfo(watch_->Handle, nullptr, &nextSize, &count, nullptr);
        }
    }
    return static_cast<std::int32_t>(count) != LastCount.load();
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
