#include "win_error_map.h"

#include <cerrno>

#include "error_codes.h"

DWORD WindowsErrorFromErrno(int err) {
    switch (err) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case EINVAL:
        case EMSGSIZE:
            return ERROR_INVALID_PARAMETER;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case EFBIG:
            return ERROR_FILE_TOO_LARGE;
        case EIO:
            return ERROR_IO_DEVICE;
        case EFAULT:
            return ERROR_NOACCESS;
        case ELOOP:
            return ERROR_CANT_RESOLVE_FILENAME;
        case ENOSYS:
        case EOPNOTSUPP:
            return ERROR_NOT_SUPPORTED;
        case ETIMEDOUT:
            return ERROR_TIMEOUT;
        case EAGAIN:
        case ENOBUFS:
            return ERROR_NO_SYSTEM_RESOURCES;
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ENETDOWN:
            return ERROR_BAD_NETPATH;
        case ECONNREFUSED:
        case ECONNRESET:
        case EADDRNOTAVAIL:
            return ERROR_UNEXP_NET_ERR;
        default:
            return ERROR_GEN_FAILURE;
    }
}
