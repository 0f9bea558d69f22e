// The Win32 time-out rules of one ReadFile or WriteFile, as times in milliseconds since the call
// began. 64-bit arithmetic throughout: a multiplier times a length does not fit in 32 bits.
#pragma once

#include "win32_comm.h"

#include <chrono>
#include <cstdint>
#include <optional>

class Stopwatch {
public:
    std::uint64_t ElapsedMs() const;

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

class ReadTimer {
public:
    ReadTimer(const COMMTIMEOUTS& timeouts, DWORD length);
    // How much longer the read may wait for more bytes at nowMs, given how many came and when
    // the last of them did; nothing when it may wait without limit.
    std::optional<std::uint64_t> RemainingMs(std::uint64_t nowMs, DWORD received,
                                             std::uint64_t lastByteMs) const;

private:
    std::optional<std::uint64_t> m_totalMs;
    std::optional<std::uint64_t> m_intervalMs;
    bool m_endOnceBytesCame = false;
};

class WriteTimer {
public:
    WriteTimer(const COMMTIMEOUTS& timeouts, DWORD length);
    // How much longer the write may wait for room at nowMs; nothing when it has no limit.
    std::optional<std::uint64_t> RemainingMs(std::uint64_t nowMs) const;

private:
    std::optional<std::uint64_t> m_totalMs;
};
