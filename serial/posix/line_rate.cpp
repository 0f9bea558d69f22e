#include "line_rate.h"

#include "dcb_termios.h"

#include <string>

std::optional<LineRate> ReadLineRate(int fd)
{
    const auto found = ReadRecordRate(fd);
    if (!found)
        return std::nullopt;
    if (found->rate)
        return LineRate{*found->rate, found->record == RateRecord::Termios2 ? "TCGETS2" : "TCGETS"};
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return std::nullopt;
    return LineRate{StandardRate(cfgetospeed(&settings)).value_or(0), "TCGETS"};
}

std::optional<RatePlan> PlanLineRate(int fd, DWORD rate)
{
    if (const auto code = StandardSpeed(rate))
        return RatePlan{code, RateRecord::CodesOnly, "TCSETS/B" + std::to_string(rate)};
    // A record that will not even be read is left for the setting to fail on, with its errno.
    const auto found = ReadRecordRate(fd);
    const RateRecord record = found ? found->record : RateRecord::Termios2;
    if (record == RateRecord::CodesOnly)
        return std::nullopt;
    return RatePlan{std::nullopt, record, record == RateRecord::Termios2 ? "TCSETS2/BOTHER" : "TCSETS/BOTHER"};
}
