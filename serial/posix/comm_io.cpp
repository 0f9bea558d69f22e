// ReadFile and WriteFile on a comm handle, timed by its COMMTIMEOUTS record. A time-out is a
// success with a short count, as on Windows; so is a hang-up, which ends the call at once.
#include "comm_error.h"
#include "comm_handle.h"
#include "comm_trace.h"
#include "comm_trace_format.h"
#include "fd_wait.h"
#include "transfer_timer.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace {

enum class Outcome { Moved, Retry, HungUp, Failed };

struct Step {
    Outcome outcome;
    DWORD bytes;
};

// What one read() or write() on the non-blocking descriptor amounts to.
Step Classify(ssize_t result)
{
    if (result > 0)
        return {Outcome::Moved, static_cast<DWORD>(result)};
    if (result < 0 && (errno == EINTR || errno == EAGAIN))
        return {Outcome::Retry, 0};
    // A hung-up terminal reads as end of file, a pseudo-terminal without its master as EIO.
    if (result == 0 || errno == EIO)
        return {Outcome::HungUp, 0};
    return {Outcome::Failed, 0};
}

bool EndsTransfer(Readiness readiness)
{
    return readiness == Readiness::TimedOut || readiness == Readiness::HungUp;
}

BOOL Read(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (bytesRead == nullptr || (buffer == nullptr && bytesToRead > 0))
        return FailWith(ERROR_INVALID_PARAMETER);
    *bytesRead = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    const ReadTimer timer(device->timeouts, bytesToRead);
    const Stopwatch clock;
    std::uint64_t lastByteMs = 0;
    while (*bytesRead < bytesToRead) {
        const Readiness readiness =
            AwaitReady(device->fd, POLLIN, timer.RemainingMs(clock.ElapsedMs(), *bytesRead, lastByteMs));
        if (readiness == Readiness::Failed)
            return FailWithErrno();
        if (EndsTransfer(readiness))
            break;
        if (readiness == Readiness::Retry)
            continue;
        const Step step = Classify(read(device->fd, bytes + *bytesRead, bytesToRead - *bytesRead));
        if (step.outcome == Outcome::Failed)
            return FailWithErrno();
        if (step.outcome == Outcome::HungUp)
            break;
        *bytesRead += step.bytes;
        if (step.bytes > 0)
            lastByteMs = clock.ElapsedMs();
    }
    return TRUE;
}

BOOL Write(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (bytesWritten == nullptr || (buffer == nullptr && bytesToWrite > 0))
        return FailWith(ERROR_INVALID_PARAMETER);
    *bytesWritten = 0;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    const WriteTimer timer(device->timeouts, bytesToWrite);
    const Stopwatch clock;
    while (*bytesWritten < bytesToWrite) {
        const Step step = Classify(write(device->fd, bytes + *bytesWritten, bytesToWrite - *bytesWritten));
        if (step.outcome == Outcome::Failed)
            return FailWithErrno();
        if (step.outcome == Outcome::HungUp)
            break;
        *bytesWritten += step.bytes;
        if (step.outcome == Outcome::Moved)
            continue;
        // The output queue is full: wait for room, as long as the time-out allows.
        const Readiness readiness = AwaitReady(device->fd, POLLOUT, timer.RemainingMs(clock.ElapsedMs()));
        if (readiness == Readiness::Failed)
            return FailWithErrno();
        if (EndsTransfer(readiness))
            break;
    }
    return TRUE;
}

}  // namespace

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED)
{
    if (!CommTraceOn())
        return Read(file, buffer, bytesToRead, bytesRead);
    CommTraceLine trace("ReadFile");
    trace.Handle(file).Argument("bytesToRead", std::to_string(bytesToRead));
    const BOOL result = Read(file, buffer, bytesToRead, bytesRead);
    if (result)
        trace.Output("bytesRead", std::to_string(*bytesRead)).Output("data", BytesText(buffer, *bytesRead));
    return trace.Finish(result);
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED)
{
    if (!CommTraceOn())
        return Write(file, buffer, bytesToWrite, bytesWritten);
    CommTraceLine trace("WriteFile");
    trace.Handle(file)
        .Argument("bytesToWrite", std::to_string(bytesToWrite))
        .Argument("data", BytesText(buffer, bytesToWrite));
    const BOOL result = Write(file, buffer, bytesToWrite, bytesWritten);
    if (result)
        trace.Output("bytesWritten", std::to_string(*bytesWritten));
    return trace.Finish(result);
}
