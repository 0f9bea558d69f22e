#include "com_port_name.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";

bool StartsWithComIgnoringCase(std::string_view name)
{
    return name.size() >= 3 && std::ranges::equal(name.substr(0, 3), std::string_view("com"),
                                                   [](char a, char b) { return (a | 0x20) == b; });
}

}  // namespace

std::optional<unsigned> ComPortNumber(std::string_view name)
{
    if (name.starts_with(kDevicePrefix))
        name.remove_prefix(kDevicePrefix.size());
    if (!StartsWithComIgnoringCase(name))
        return std::nullopt;
    const std::string_view digits = name.substr(3);
    // Digits only: from_chars alone would take a sign, and "com01" is not a name Windows gives.
    if (digits.empty() || digits.front() == '0' || !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    unsigned number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || number > kLastComPort)
        return std::nullopt;
    return number;
}

std::string ComPortOpenName(unsigned port)
{
    const std::string name = "com" + std::to_string(port);
    return port < 10 ? name : std::string(kDevicePrefix) + name;
}
