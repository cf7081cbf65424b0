// Who and when: the process id, the account name and the local time.
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "kernel.h"

namespace {

// The account name of the effective user; its decimal id when the user database has no entry,
// so that a process always has a name to report.
std::string EffectiveUserName() {
    const uid_t uid = geteuid();
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(size > 0 ? static_cast<std::size_t>(size) : 1024);
    passwd entry{};
    passwd* found = nullptr;
    int rc = 0;
    while ((rc = getpwuid_r(uid, &entry, scratch.data(), scratch.size(), &found)) == ERANGE) {
        scratch.resize(scratch.size() * 2);
    }
    if (rc == 0 && found != nullptr && found->pw_name != nullptr) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

}  // namespace

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}

BOOL GetUserNameA(char* lpBuffer, DWORD* pcbBuffer) {
    if (pcbBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WIN_FALSE;
    }
    const std::string name = EffectiveUserName();
    const DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (*pcbBuffer < needed) {
        // The buffer stays as it was; the caller learns the size it needs.
        *pcbBuffer = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return WIN_FALSE;
    }
    if (lpBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WIN_FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), needed);
    *pcbBuffer = needed;
    SetLastError(ERROR_SUCCESS);
    return WIN_TRUE;
}

void GetLocalTime(SYSTEMTIME* lpSystemTime) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    lpSystemTime->wYear = static_cast<WORD>(local.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(local.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(local.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(local.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(local.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(local.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}
