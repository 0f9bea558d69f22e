// The signals stay blocked and are taken with sigtimedwait: nothing runs in a handler, and one
// that arrives during an exchange waits for its end.
#include "stop_request.h"
#include "stop_signals.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>

namespace {

bool g_requested = false;

}  // namespace

StopRequest::StopRequest()
{
    const sigset_t signals = StopSignalSet();
    sigprocmask(SIG_BLOCK, &signals, nullptr);
}

StopRequest::~StopRequest() = default;

bool StopRequest::Requested()
{
    return WaitFor(std::chrono::milliseconds(0));
}

bool StopRequest::WaitFor(std::chrono::milliseconds time)
{
    if (g_requested)
        return true;
    const sigset_t signals = StopSignalSet();
    const auto deadline = std::chrono::steady_clock::now() + time;
    for (;;) {
        const auto left = std::max(std::chrono::nanoseconds(0), deadline - std::chrono::steady_clock::now());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{static_cast<time_t>(seconds.count()), static_cast<long>((left - seconds).count())};
        if (sigtimedwait(&signals, nullptr, &wait) >= 0)
            return g_requested = true;
        // Another signal's handler may cut the wait short: wait out the rest.
        if (errno != EINTR || std::chrono::steady_clock::now() >= deadline)
            return false;
    }
}
