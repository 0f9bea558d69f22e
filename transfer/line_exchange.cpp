#include "line_exchange.h"

#include <algorithm>
#include <array>

namespace transfer {

namespace {

PortFailure Failure(PortStep step, DWORD error, FailureWords words)
{
    return {step, error, words ? words(error) : std::string()};
}

}  // namespace

std::optional<PortFailure> TakePort(CCommPort& port, DWORD rate, RefusedSettings refused, FailureWords words)
{
    // Nothing runs between a failed open and GetLastError, so the error is still the open's own.
    if (port.Open(rate) != 1)
        return Failure(PortStep::Open, GetLastError(), words);
    if (port.SettingsError() != ERROR_SUCCESS && refused == RefusedSettings::Stop)
        return Failure(PortStep::Settings, port.SettingsError(), words);
    return std::nullopt;
}

std::vector<std::uint8_t> Exchange(CCommPort& port, const Frame& frame, int count)
{
    port.Write(frame.data(), BytesToSend(count));
    std::array<std::uint8_t, kReceiveSize> buffer{};
    // A platform that claims more than was asked for cannot make the caller see bytes it never had.
    const int received = std::clamp(port.Read(buffer.data(), kReceiveSize), 0, kReceiveSize);
    return {buffer.begin(), buffer.begin() + received};
}

}  // namespace transfer
