// Time on the guest's monotonic clock, and waiting for a condition with a deadline.
#pragma once

#include <chrono>
#include <thread>

class Stopwatch {
public:
    double Ms() const { return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_start = Clock::now();
};

// True once `ready` holds; false when `limit` passed first. Looks again every few milliseconds.
template <typename Predicate>
bool WaitUntil(Predicate ready, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
