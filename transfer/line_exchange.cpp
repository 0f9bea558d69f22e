#include "line_exchange.h"

#include "comm_port.h"

#include <algorithm>
#include <array>

namespace transfer {

namespace {

PortFailure Failure(PortStep step, DWORD error, FailureWords words)
{
    return {step, error, words ? words(error) : std::string()};
}

}  // namespace

ExchangeOutcome ExchangeOnLine(const char* portName, DWORD rate, const Frame& frame, int count,
                               RefusedSettings refused, FailureWords words)
{
    ExchangeOutcome outcome;
    CCommPort port(portName);
    if (port.Open(rate) != 1) {
        // Nothing has run since the failed open, so the last error is still its own.
        outcome.failure = Failure(PortStep::Open, GetLastError(), words);
        return outcome;
    }
    if (port.SettingsError() != ERROR_SUCCESS && refused == RefusedSettings::Stop) {
        outcome.failure = Failure(PortStep::Settings, port.SettingsError(), words);
        return outcome;
    }

    port.Write(frame.data(), BytesToSend(count));
    std::array<std::uint8_t, kReceiveSize> buffer{};
    // A platform that claims more than was asked for cannot make the caller see bytes it never had.
    const int received = std::clamp(port.Read(buffer.data(), kReceiveSize), 0, kReceiveSize);
    outcome.received.assign(buffer.begin(), buffer.begin() + received);
    return outcome;
}

}  // namespace transfer
