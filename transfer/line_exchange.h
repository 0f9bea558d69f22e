// One exchange on a serial line without any window: open the port at a rate, write the first bytes
// of a frame, read the answer within the port's time-outs, release the port. The dialog's Send and
// vornikal-send both go through it.
#pragma once

#include "conversions.h"
#include "win32_comm.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace transfer {

// The most one exchange reads.
constexpr int kReceiveSize = 100;

// Which step of taking the port failed.
enum class PortStep { Open, Settings };

struct PortFailure {
    PortStep step;
    DWORD error;         // the system's code, as GetLastError gave it right after the step
    std::string reason;  // its words, when the caller asked for them
};

struct ExchangeOutcome {
    std::optional<PortFailure> failure;  // set when the port could not be used
    std::vector<std::uint8_t> received;  // the answer, at most kReceiveSize bytes
};

// What a port that opens but refuses the line settings gets: the dialog writes to it all the same,
// as it always has; the command stops before writing at a rate the device did not take.
enum class RefusedSettings { WriteAnyway, Stop };

// The system's words for the comm call that has just failed with `error`.
using FailureWords = std::string (*)(DWORD error);

// Sends the first `count` bytes of `frame` (none below 0, all four above 4) on `portName` at
// `rate` and reads one answer. `words`, when given, is asked right after a failed step.
ExchangeOutcome ExchangeOnLine(const char* portName, DWORD rate, const Frame& frame, int count,
                               RefusedSettings refused, FailureWords words = nullptr);

}  // namespace transfer
