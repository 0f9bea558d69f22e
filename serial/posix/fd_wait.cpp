#include "fd_wait.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>

namespace {
constexpr std::uint64_t kLongestWaitMs = 1000;
}

Readiness AwaitReady(int fd, short events, std::optional<std::uint64_t> remainingMs)
{
    const std::uint64_t waitMs = std::min(remainingMs.value_or(kLongestWaitMs), kLongestWaitMs);
    pollfd target{fd, events, 0};
    const int result = poll(&target, 1, static_cast<int>(waitMs));
    if (result < 0)
        return errno == EINTR ? Readiness::Retry : Readiness::Failed;
    if (result == 0)
        return remainingMs && *remainingMs <= kLongestWaitMs ? Readiness::TimedOut : Readiness::Retry;
    if (target.revents & events)
        return Readiness::Ready;
    if (target.revents & POLLNVAL) {
        errno = EBADF;
        return Readiness::Failed;
    }
    return Readiness::HungUp;
}
