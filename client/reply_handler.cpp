#include "reply_handler.h"

#include "error_report.h"
#include "kernel.h"
#include "time_messages.h"
#include "timeslot_terminal.h"

void SetClockFromReply(TTimeslotTerminal& terminal, std::uint16_t /*msgSize*/) {
    BYTE bytes[kSystemTimeSize] = {};
    const std::int32_t read = terminal.MessageStream().Read(bytes, sizeof bytes);
    const auto time = ReadSystemTime(bytes, static_cast<std::size_t>(read));
    if (!time) {
        return;
    }
    if (SetSystemTime(&*time) || GetLastError() != ERROR_PRIVILEGE_NOT_HELD) {
        return;
    }
    static bool reported = false;
    if (!reported) {
        reported = true;
        ReportError(
            "cannot set the clock: the program needs the cap_sys_time capability "
            "(setcap cap_sys_time+ep on its file) or to run as root");
    }
}
