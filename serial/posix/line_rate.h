// The rate of a line, read and set through whichever kernel record carries it, with the calls that
// did it named for the trace: "TCGETS2", "TCSETS/B19200", "TCSETS2/BOTHER". Without termios2 (an
// emulator that does not translate it, an architecture without it) the rates of the Bnnn codes
// still work, and a free rate works only where the plain record carries one.
#pragma once

#include "kernel_rate.h"
#include "win32_comm.h"

#include <optional>
#include <string>

#include <termios.h>

struct LineRate {
    DWORD bitsPerSecond;  // 0 when the line runs at a free rate that no record here can tell
    std::string via;
};

// Nothing (errno set) when the line answers no record.
std::optional<LineRate> ReadLineRate(int fd);

// How a rate reaches the line: its Bnnn code in the plain record, or else as a free rate through
// a record that carries one.
struct RatePlan {
    std::optional<speed_t> code;
    RateRecord record;  // for a free rate
    std::string via;
};

// Nothing when the line cannot take `rate` at all.
std::optional<RatePlan> PlanLineRate(int fd, DWORD rate);
