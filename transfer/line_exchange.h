// One exchange on a serial line without any window, in the steps its callers take in their own
// order: take the port (open it at a rate with the line settings), then write the first bytes of a
// frame and read the answer within the port's time-outs. The caller owns the port and releases it
// by destroying it. The dialog's Send and vornikal-send both go through these steps.
#pragma once

#include "comm_port.h"
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

// What a port that opens but refuses the line settings gets: the dialog writes to it all the same,
// as it always has; the command stops before writing at a rate the device did not take.
enum class RefusedSettings { WriteAnyway, Stop };

// The system's words for the comm call that has just failed with `error`.
using FailureWords = std::string (*)(DWORD error);

// Opens `port` at `rate`. Nothing when it is ready for Exchange; otherwise why it cannot be used,
// with `words`, when given, asked right after the failed step.
std::optional<PortFailure> TakePort(CCommPort& port, DWORD rate, RefusedSettings refused,
                                    FailureWords words = nullptr);

// Writes the first `count` bytes of `frame` (none below 0, all four above 4) on a port TakePort
// has taken, and reads one answer of at most kReceiveSize bytes.
std::vector<std::uint8_t> Exchange(CCommPort& port, const Frame& frame, int count);

}  // namespace transfer
