// When a line's rate counts as the one asked for. A UART reaches most rates only through a divisor;
// like the Windows driver, a device that lands within 1% of the request has taken it.
#pragma once

#include "win32_comm.h"

#include <cstdint>

constexpr bool RateMatches(DWORD actual, DWORD requested)
{
    const std::uint64_t difference = actual > requested ? actual - requested : requested - actual;
    return difference * 100 <= requested;
}
