// The event mask, the queue sizes, the purge and the time-out record.
#include "comm_handle.h"
#include "comm_error.h"
#include "comm_trace.h"
#include "comm_trace_format.h"

#include <termios.h>

namespace {

constexpr DWORD kPurgeFlags = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// Nothing here waits for comm events, so the mask has no one to tell; the call only checks the handle.
BOOL SetMask(HANDLE file)
{
    return FindCommDevice(file) ? TRUE : FALSE;
}

// The sizes are requests the driver may ignore; the kernel's tty buffers are fixed.
BOOL SetUp(HANDLE file)
{
    return FindCommDevice(file) ? TRUE : FALSE;
}

// The abort flags have nothing to cancel: every transfer here completes within its own call.
BOOL Purge(HANDLE file, DWORD flags)
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

BOOL SetTimeouts(HANDLE file, const COMMTIMEOUTS* timeouts)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (timeouts == nullptr)
        return FailWith(ERROR_INVALID_PARAMETER);
    device->timeouts = *timeouts;
    return TRUE;
}

BOOL GetTimeouts(HANDLE file, COMMTIMEOUTS* timeouts)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (timeouts == nullptr)
        return FailWith(ERROR_INVALID_PARAMETER);
    *timeouts = device->timeouts;
    return TRUE;
}

}  // namespace

BOOL SetCommMask(HANDLE file, DWORD mask)
{
    if (!CommTraceOn())
        return SetMask(file);
    CommTraceLine trace("SetCommMask");
    trace.Handle(file).Argument("mask", EventMaskText(mask));
    return trace.Finish(SetMask(file));
}

BOOL SetupComm(HANDLE file, DWORD inQueue, DWORD outQueue)
{
    if (!CommTraceOn())
        return SetUp(file);
    CommTraceLine trace("SetupComm");
    trace.Handle(file).Argument("inQueue", std::to_string(inQueue)).Argument("outQueue", std::to_string(outQueue));
    return trace.Finish(SetUp(file));
}

BOOL PurgeComm(HANDLE file, DWORD flags)
{
    if (!CommTraceOn())
        return Purge(file, flags);
    CommTraceLine trace("PurgeComm");
    trace.Handle(file).Argument("flags", PurgeFlagsText(flags));
    return trace.Finish(Purge(file, flags));
}

BOOL SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    if (!CommTraceOn())
        return SetTimeouts(file, timeouts);
    CommTraceLine trace("SetCommTimeouts");
    trace.Handle(file).Argument("timeouts", timeouts ? TimeoutsText(*timeouts) : "NULL");
    return trace.Finish(SetTimeouts(file, timeouts));
}

BOOL GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    if (!CommTraceOn())
        return GetTimeouts(file, timeouts);
    CommTraceLine trace("GetCommTimeouts");
    trace.Handle(file);
    const BOOL result = GetTimeouts(file, timeouts);
    if (result)
        trace.Output("timeouts", TimeoutsText(*timeouts));
    return trace.Finish(result);
}
