// The event mask, the queue sizes, the purge and the time-out record.
#include "comm_handle.h"
#include "comm_error.h"

#include <termios.h>

namespace {

constexpr DWORD kPurgeFlags = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

}  // namespace

// Nothing here waits for comm events, so the mask has no one to tell; the call only checks the handle.
BOOL SetCommMask(HANDLE file, DWORD)
{
    return FindCommDevice(file) ? TRUE : FALSE;
}

// The sizes are requests the driver may ignore; the kernel's tty buffers are fixed.
BOOL SetupComm(HANDLE file, DWORD, DWORD)
{
    return FindCommDevice(file) ? TRUE : FALSE;
}

// The abort flags have nothing to cancel: every transfer here completes within its own call.
BOOL PurgeComm(HANDLE file, DWORD flags)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (flags & ~kPurgeFlags)
        return FailWith(ERROR_INVALID_PARAMETER);
    const bool input = flags & PURGE_RXCLEAR;
    const bool output = flags & PURGE_TXCLEAR;
    if (!input && !output)
        return TRUE;
    const int queues = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return tcflush(device->fd, queues) == 0 ? TRUE : FailWithErrno();
}

BOOL SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (timeouts == nullptr)
        return FailWith(ERROR_INVALID_PARAMETER);
    device->timeouts = *timeouts;
    return TRUE;
}

BOOL GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (timeouts == nullptr)
        return FailWith(ERROR_INVALID_PARAMETER);
    *timeouts = device->timeouts;
    return TRUE;
}
