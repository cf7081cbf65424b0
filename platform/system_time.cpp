// The system clock: read in UTC, and stepped to a calendar time given in UTC.
#include <cerrno>
#include <ctime>

#include "kernel.h"
#include "system_time_calc.h"
#include "win_error_map.h"

void GetSystemTime(SYSTEMTIME* lpSystemTime) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    *lpSystemTime = system_time_calc::TimespecToSystemTime(now);
}

BOOL SetSystemTime(const SYSTEMTIME* lpSystemTime) {
    if (lpSystemTime == nullptr || !system_time_calc::IsValidSystemTime(*lpSystemTime)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WIN_FALSE;
    }
    const timespec target = system_time_calc::SystemTimeToTimespec(*lpSystemTime);
    if (clock_settime(CLOCK_REALTIME, &target) != 0) {
        const int err = errno;
        // EINVAL: a valid record that the kernel's clock cannot hold (before 1970, after 2262).
        SetLastError(err == EPERM    ? ERROR_PRIVILEGE_NOT_HELD
                     : err == EINVAL ? ERROR_INVALID_PARAMETER
                                     : WindowsErrorFromErrno(err));
        return WIN_FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return WIN_TRUE;
}
