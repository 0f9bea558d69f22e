#include "line_exchange.h"

#include <algorithm>
#include <chrono>

namespace transfer {

namespace {

using Clock = std::chrono::steady_clock;

PortFailure Failure(PortStep step, DWORD error, FailureWords words)
{
    return {step, error, words ? words(error) : std::string()};
}

DWORD MsUntil(Clock::time_point end)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

// Reads of the port's own time-out, each asking for no more bytes than the rest of the window
// allows, so the window's end is a read's end. The Send's window is one read of kReceiveSize bytes.
std::vector<std::uint8_t> ReadAnswer(CCommPort& port, AnswerWindow window)
{
    std::vector<std::uint8_t> answer(static_cast<std::size_t>(std::max(window.most, 0)));
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(window.waitMs);
    int received = 0;
    DWORD left = window.waitMs;  // the first read has the whole window, to the millisecond
    while (received < window.most && left >= ReadWindowMs(1)) {
        const int byTime = static_cast<int>(left / ReadWindowMs(1));
        const int ask = std::min(window.most - received, byTime);
        // A platform that claims more than was asked for cannot make the caller see bytes it never had.
        const int got = std::clamp(port.Read(answer.data() + received, ask), 0, ask);
        received += got;
        // A read that came back short waited out its time, and that was the rest of the window.
        if (got < ask && ask == byTime)
            break;
        left = MsUntil(end);
    }
    answer.resize(static_cast<std::size_t>(received));
    return answer;
}

}  // namespace

std::optional<PortFailure> TakePort(CCommPort& port, DWORD rate, FailureWords words)
{
    // Nothing runs between a failed open and GetLastError, so the error is still the open's own.
    if (port.Open(rate) != 1)
        return Failure(PortStep::Open, GetLastError(), words);
    return std::nullopt;
}

std::optional<PortFailure> CheckSettings(const CCommPort& port, DWORD rate, FailureWords words)
{
    const DWORD error = port.CheckLineSettings(rate);
    if (error != ERROR_SUCCESS)
        return Failure(PortStep::Settings, error, words);
    return std::nullopt;
}

ExchangeResult Exchange(CCommPort& port, std::span<const std::uint8_t> bytes, AnswerWindow window)
{
    ExchangeResult result;
    result.written = port.Write(bytes.data(), static_cast<int>(bytes.size()));
    result.received = ReadAnswer(port, window);
    return result;
}

}  // namespace transfer
