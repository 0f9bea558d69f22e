// Waiting for a descriptor to become readable or writable within a time limit.
#pragma once

#include <cstdint>
#include <optional>

enum class Readiness {
    Ready,     // the events asked for are there
    Retry,     // no news yet (a signal, or one slice of a long wait passed): recompute and wait again
    TimedOut,  // the limit passed
    HungUp,    // the other end is gone
    Failed,    // errno tells
};

// Waits for `events` (POLLIN, POLLOUT) up to remainingMs, or without a limit when it is empty. No
// single wait lasts longer than a second, so the caller's loop always gets control back.
Readiness AwaitReady(int fd, short events, std::optional<std::uint64_t> remainingMs);
