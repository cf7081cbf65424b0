// Translation of POSIX errno values into the Windows error codes that GetLastError reports.
#pragma once

#include "windows_types.h"

// The Windows code that stands for errno value err; ERROR_GEN_FAILURE when no closer code exists.
DWORD WindowsErrorFromErrno(int err);
