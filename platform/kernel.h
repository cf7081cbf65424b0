// The kernel calls the programs make, with their Windows names and argument shapes.
#pragma once

#include <cstdarg>

#include "windows_types.h"

// Errors (errors.cpp)
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
// Only FORMAT_MESSAGE_FROM_SYSTEM is supported: copies the English system text of
// dwMessageId, followed by CR LF, into lpBuffer (nSize characters at most, NUL included).
// Returns the number of characters stored without the NUL, 0 when the code has no text.
DWORD FormatMessageA(DWORD dwFlags, const void* lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                     char* lpBuffer, DWORD nSize, va_list* Arguments);

// Mailslots and handles (mailslot_api.cpp)
HANDLE CreateMailslotA(const char* lpName, DWORD nMaxMessageSize, DWORD lReadTimeout,
                       const SECURITY_ATTRIBUTES* lpSecurityAttributes);
BOOL GetMailslotInfo(HANDLE hMailslot, DWORD* lpMaxMessageSize, DWORD* lpNextSize,
                     DWORD* lpMessageCount, DWORD* lpReadTimeout);
BOOL SetMailslotInfo(HANDLE hMailslot, DWORD lReadTimeout);
HANDLE CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   const SECURITY_ATTRIBUTES* lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
              void* lpOverlapped);
BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
               DWORD* lpNumberOfBytesWritten, void* lpOverlapped);
BOOL CloseHandle(HANDLE hObject);

// Threads (thread_api.cpp). Linux thread ids stand in for thread handles here.
DWORD SleepEx(DWORD dwMilliseconds, BOOL bAlertable);
BOOL SetThreadPriority(long threadId, int nPriority);
int GetThreadPriority(long threadId);
long GetCurrentThreadId();

// Identity (identity.cpp, computer_name.cpp)
DWORD GetCurrentProcessId();
BOOL GetUserNameA(char* lpBuffer, DWORD* pcbBuffer);
BOOL GetComputerNameA(char* lpBuffer, DWORD* nSize);
void GetLocalTime(SYSTEMTIME* lpSystemTime);

// Clock (system_time.cpp)
void GetSystemTime(SYSTEMTIME* lpSystemTime);
BOOL SetSystemTime(const SYSTEMTIME* lpSystemTime);
