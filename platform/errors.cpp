// The calling thread's last error and the English system texts of the codes this layer reports.
#include <cstring>
#include <string_view>

#include "error_codes.h"
#include "kernel.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

struct SystemMessage {
    DWORD code;
    const char* text;
};

// The system message table of an English system, one line per text.
constexpr SystemMessage kSystemMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "Incorrect function."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_BAD_NETPATH, "The network path was not found."},
    {ERROR_UNEXP_NET_ERR, "An unexpected network error occurred."},
    {ERROR_BAD_NET_NAME, "The network name cannot be found."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_BUFFER_OVERFLOW, "The file name is too long."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_SEM_TIMEOUT, "The semaphore timeout period has expired."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_BAD_PATHNAME, "The specified path is invalid."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved."},
    {ERROR_MR_MID_NOT_FOUND,
     "The system cannot find message text for message number 0x%1 in the message file for %2."},
    {ERROR_NOACCESS, "Invalid access to memory location."},
    {ERROR_IO_DEVICE, "The request could not be performed because of an I/O device error."},
    {ERROR_PRIVILEGE_NOT_HELD, "A required privilege is not held by the client."},
    {ERROR_NO_SYSTEM_RESOURCES,
     "Insufficient system resources exist to complete the requested service."},
    {ERROR_TIMEOUT, "This operation returned because the timeout period expired."},
    {ERROR_RESOURCE_LANG_NOT_FOUND,
     "The specified resource language ID cannot be found in the image file."},
    {ERROR_CANT_RESOLVE_FILENAME, "The name of the file cannot be resolved by the system."},
};

const char* SystemMessageText(DWORD code) {
    for (const SystemMessage& message : kSystemMessages) {
        if (message.code == code) {
            return message.text;
        }
    }
    return nullptr;
}

// Language 0 picks the system's language, which is English here; only English texts exist.
bool IsEnglishOrNeutral(DWORD languageId) {
    constexpr DWORD kPrimaryLanguageMask = 0x3FF;
    constexpr DWORD kLangEnglish = 0x09;
    return languageId == 0 || (languageId & kPrimaryLanguageMask) == kLangEnglish;
}

DWORD Fail(DWORD code) {
    SetLastError(code);
    return 0;
}

}  // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
}

DWORD FormatMessageA(DWORD dwFlags, const void* /*lpSource*/, DWORD dwMessageId, DWORD dwLanguageId,
                     char* lpBuffer, DWORD nSize, va_list* /*Arguments*/) {
    constexpr DWORD kUnsupported =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE;
    if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || (dwFlags & kUnsupported) != 0 ||
        lpBuffer == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!IsEnglishOrNeutral(dwLanguageId)) {
        return Fail(ERROR_RESOURCE_LANG_NOT_FOUND);
    }
    const char* text = SystemMessageText(dwMessageId);
    if (text == nullptr) {
        return Fail(ERROR_MR_MID_NOT_FOUND);
    }
    const std::string_view body(text);
    // Inserts are not implemented: a text that has some is given only with IGNORE_INSERTS,
    // rather than with its place holders silently left in.
    if (body.find('%') != std::string_view::npos &&
        (dwFlags & FORMAT_MESSAGE_IGNORE_INSERTS) == 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    // With no width limit the table's own line end, CR LF, comes along, as on Windows.
    const bool withLineEnd = (dwFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK) == 0;
    const std::size_t length = body.size() + (withLineEnd ? 2 : 0);
    if (length + 1 > nSize) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(lpBuffer, body.data(), body.size());
    if (withLineEnd) {
        std::memcpy(lpBuffer + body.size(), "\r\n", 2);
    }
    lpBuffer[length] = '\0';
    return static_cast<DWORD>(length);
}
