#include "comm_error.h"

#include <utility>

namespace {
thread_local FailureCause lastCause;
}

DWORD Win32ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
    case ELOOP:
    case EIO:  // a serial port node without hardware behind it refuses opens with EIO
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOTTY:
        return ERROR_NOT_SUPPORTED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

BOOL FailWith(DWORD error, std::string reason)
{
    lastCause = {0, std::move(reason)};
    SetLastError(error);
    return FALSE;
}

BOOL FailWithErrno(int error)
{
    return FailWithErrnoAs(Win32ErrorFromErrno(error), error);
}

BOOL FailWithErrnoAs(DWORD error, int cause)
{
    lastCause = {cause, {}};
    SetLastError(error);
    return FALSE;
}

const FailureCause& LastFailureCause()
{
    return lastCause;
}
