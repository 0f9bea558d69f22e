// One exchange on a serial line without any window, in the steps its callers take in their own
// order: take the port (open it at a rate with the line settings), then write some bytes and read
// the answer within a window. The caller owns the port and releases it by destroying it. The
// dialog's Send and vornikal-send both go through these steps.
#pragma once

#include "comm_port.h"
#include "conversions.h"
#include "win32_comm.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace transfer {

// The Send's one read: this many bytes, so it listens for ReadWindowMs(kReceiveSize).
constexpr int kReceiveSize = 100;

// Which step of taking the port failed.
enum class PortStep { Open, Settings };

struct PortFailure {
    PortStep step;
    DWORD error;         // the system's code, as GetLastError gave it right after the step
    std::string reason;  // its words, when the caller asked for them
};

// The system's words for the comm call that has just failed with `error`.
using FailureWords = std::string (*)(DWORD error);

// Opens `port` at `rate`. Nothing when it is open; otherwise why not, with `words`, when given,
// asked right after the failed open. The dialog writes to a port that refused the settings, as it
// always has; a caller that must not follows this with CheckSettings.
std::optional<PortFailure> TakePort(CCommPort& port, DWORD rate, FailureWords words = nullptr);
// Whether the port TakePort opened holds `rate` and 8N1; a Settings failure when it does not.
std::optional<PortFailure> CheckSettings(const CCommPort& port, DWORD rate, FailureWords words = nullptr);

// What one exchange listens for: the read ends when `most` bytes came or `waitMs` passed, whichever
// is first. The default is the Send's one read.
struct AnswerWindow {
    int most = kReceiveSize;
    DWORD waitMs = ReadWindowMs(kReceiveSize);
};

struct ExchangeResult {
    int written = 0;  // what the port reported written, when the write time-out cut it short
    std::vector<std::uint8_t> received;
};

// Writes `bytes` on a port TakePort has taken and reads its answer within `window`.
ExchangeResult Exchange(CCommPort& port, std::span<const std::uint8_t> bytes, AnswerWindow window = {});

}  // namespace transfer
