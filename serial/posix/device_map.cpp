#include "device_map.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// XDG says a relative value is to be ignored.
std::optional<std::filesystem::path> AbsoluteFromEnvironment(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/')
        return std::nullopt;
    return std::filesystem::path(value);
}

struct ProcessEntry {
    unsigned port = 0;
    fs::path device;
};

ProcessEntry& TheProcessEntry()
{
    static ProcessEntry entry;
    return entry;
}

std::string PortName(unsigned portNumber)
{
    return "com" + std::to_string(portNumber);
}

std::optional<fs::path> MapEntry(const fs::path& folder, const std::string& name)
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

// Every entry named `name` in any spelling. Throws when the folder exists but cannot be read.
std::vector<fs::path> Spellings(const fs::path& folder, const std::string& name)
{
    std::vector<fs::path> found;
    if (!fs::exists(folder))
        return found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (EqualsIgnoringCase(entry.path().filename().string(), name))
            found.push_back(entry.path());
    }
    return found;
}

}  // namespace

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

void MapComPortInThisProcess(unsigned portNumber, const std::filesystem::path& device)
{
    TheProcessEntry() = {portNumber, device};
}

std::optional<std::filesystem::path> ThisProcessComPortEntry(unsigned portNumber)
{
    const ProcessEntry& entry = TheProcessEntry();
    if (entry.port != portNumber)
        return std::nullopt;
    return entry.device;
}

std::filesystem::path ComPortDevice(unsigned portNumber)
{
    if (auto own = ThisProcessComPortEntry(portNumber))
        return *own;
    if (auto folder = DeviceMapFolder())
        return ComPortDevice(*folder, portNumber);
    return UnmappedComPortDevice(portNumber);
}

std::filesystem::path ComPortDevice(const std::filesystem::path& folder, unsigned portNumber)
{
    if (auto entry = ComPortEntry(folder, portNumber))
        return *entry;
    return UnmappedComPortDevice(portNumber);
}

std::filesystem::path UnmappedComPortDevice(unsigned portNumber)
{
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::optional<std::filesystem::path> ComPortEntry(const std::filesystem::path& folder, unsigned portNumber)
{
    return MapEntry(folder, PortName(portNumber));
}

std::vector<ComPortLink> ComPortLinks(const std::filesystem::path& folder)
{
    std::map<unsigned, ComPortLink> links;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const auto port = ComPortNumber(entry->path().filename().string());
        if (!port || links.contains(*port))
            continue;
        const auto chosen = ComPortEntry(folder, *port);
        std::error_code notLink;
        const fs::path target = chosen ? fs::read_symlink(*chosen, notLink) : fs::path();
        if (chosen && !notLink)
            links.emplace(*port, ComPortLink{*port, *chosen, target});
    }
    std::vector<ComPortLink> sorted;
    for (auto& [port, link] : links)
        sorted.push_back(std::move(link));
    return sorted;
}

void MapComPort(const std::filesystem::path& folder, unsigned portNumber, const std::filesystem::path& target)
{
    fs::create_directories(folder);
    const fs::path link = folder / PortName(portNumber);
    if (const auto existing = ComPortEntry(folder, portNumber); existing && !fs::is_symlink(*existing))
        throw std::runtime_error(existing->string() + " is not a symlink; leaving it alone");
    const fs::path staging = folder / ("." + PortName(portNumber) + "." + std::to_string(getpid()));
    fs::remove(staging);
    fs::create_symlink(target, staging);
    fs::rename(staging, link);
    // Other spellings would only mislead a reader of the folder: the lower-case name wins anyway.
    for (const fs::path& other : Spellings(folder, PortName(portNumber))) {
        if (other != link && fs::is_symlink(other))
            fs::remove(other);
    }
}

bool UnmapComPort(const std::filesystem::path& folder, unsigned portNumber)
{
    const auto entries = Spellings(folder, PortName(portNumber));
    for (const fs::path& entry : entries) {
        if (!fs::is_symlink(entry))
            throw std::runtime_error(entry.string() + " is not a symlink; leaving it alone");
    }
    for (const fs::path& entry : entries)
        fs::remove(entry);
    return !entries.empty();
}
