#include "device_map.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <system_error>

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";
constexpr unsigned kLastPort = 255;

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

std::optional<unsigned> DecimalWithoutLeadingZero(std::string_view digits)
{
    if (digits.empty() || digits.size() > 3 || digits.front() == '0')
        return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

// XDG says a relative value is to be ignored.
std::optional<std::filesystem::path> AbsoluteFromEnvironment(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/')
        return std::nullopt;
    return std::filesystem::path(value);
}

std::optional<std::filesystem::path> MapEntry(const std::filesystem::path& folder, const std::string& name)
{
    // Error codes throughout: a folder that cannot be read is a map without entries, and no
    // exception may leave a Win32 call.
    std::error_code error;
    std::optional<std::filesystem::path> anySpelling;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string entryName = entry->path().filename().string();
        if (entryName == name)
            return entry->path();
        if (!anySpelling && EqualsIgnoringCase(entryName, name))
            anySpelling = entry->path();
    }
    return anySpelling;
}

}  // namespace

std::optional<unsigned> ComPortNumber(std::string_view name)
{
    if (name.starts_with(kDevicePrefix))
        name.remove_prefix(kDevicePrefix.size());
    if (name.size() < 4 || !EqualsIgnoringCase(name.substr(0, 3), "com"))
        return std::nullopt;
    auto number = DecimalWithoutLeadingZero(name.substr(3));
    if (!number || *number > kLastPort)
        return std::nullopt;
    return number;
}

std::optional<std::filesystem::path> DeviceMapFolder()
{
    auto configHome = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (!configHome) {
        auto home = AbsoluteFromEnvironment("HOME");
        if (!home)
            return std::nullopt;
        configHome = *home / ".config";
    }
    return *configHome / "vornikal" / "dosdevices";
}

std::filesystem::path ComPortDevice(unsigned portNumber)
{
    if (auto folder = DeviceMapFolder()) {
        if (auto entry = MapEntry(*folder, "com" + std::to_string(portNumber)))
            return *entry;
    }
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}
