#include "transfer_timer.h"

#include <algorithm>

namespace {

std::uint64_t Total(DWORD multiplier, DWORD length, DWORD constant)
{
    return std::uint64_t{multiplier} * length + constant;
}

std::uint64_t Until(std::uint64_t deadlineMs, std::uint64_t nowMs)
{
    return deadlineMs > nowMs ? deadlineMs - nowMs : 0;
}

}  // namespace

std::uint64_t Stopwatch::ElapsedMs() const
{
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

ReadTimer::ReadTimer(const COMMTIMEOUTS& timeouts, DWORD length)
{
    const DWORD interval = timeouts.ReadIntervalTimeout;
    const DWORD multiplier = timeouts.ReadTotalTimeoutMultiplier;
    const DWORD constant = timeouts.ReadTotalTimeoutConstant;
    if (interval == MAXDWORD && multiplier == 0 && constant == 0) {
        // Hand back at once whatever is waiting, even nothing.
        m_totalMs = 0;
        return;
    }
    if (interval == MAXDWORD && multiplier == MAXDWORD && constant != 0 && constant != MAXDWORD) {
        // Hand back what is waiting; when nothing is, the first bytes to come within the constant.
        m_totalMs = constant;
        m_endOnceBytesCame = true;
        return;
    }
    // Otherwise MAXDWORD, like 0, sets no interval limit.
    if (multiplier != 0 || constant != 0)
        m_totalMs = Total(multiplier, length, constant);
    if (interval != 0 && interval != MAXDWORD)
        m_intervalMs = interval;
}

std::optional<std::uint64_t> ReadTimer::RemainingMs(std::uint64_t nowMs, DWORD received,
                                                    std::uint64_t lastByteMs) const
{
    std::optional<std::uint64_t> deadline = m_totalMs;
    if (received > 0 && m_endOnceBytesCame)
        deadline = 0;
    // The interval limit runs between bytes, so only once the first has come.
    if (received > 0 && m_intervalMs) {
        const std::uint64_t intervalEnd = lastByteMs + *m_intervalMs;
        deadline = deadline ? std::min(*deadline, intervalEnd) : intervalEnd;
    }
    if (!deadline)
        return std::nullopt;
    return Until(*deadline, nowMs);
}

WriteTimer::WriteTimer(const COMMTIMEOUTS& timeouts, DWORD length)
{
    const DWORD multiplier = timeouts.WriteTotalTimeoutMultiplier;
    const DWORD constant = timeouts.WriteTotalTimeoutConstant;
    if (multiplier != 0 || constant != 0)
        m_totalMs = Total(multiplier, length, constant);
}

std::optional<std::uint64_t> WriteTimer::RemainingMs(std::uint64_t nowMs) const
{
    if (!m_totalMs)
        return std::nullopt;
    return Until(*m_totalMs, nowMs);
}
