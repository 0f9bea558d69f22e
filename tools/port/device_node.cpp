#include "device_node.h"

#include "host_paths.h"

#include <string>

#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

// Unix98 pseudo-terminal slaves; major 5 holds /dev/tty, /dev/console and /dev/ptmx.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;
constexpr unsigned kTtyAliasMajor = 5;

}  // namespace

bool DeviceNode::SameAs(const DeviceNode& other) const
{
    if (IsCharacterDevice() && other.IsCharacterDevice())
        return status.st_rdev == other.status.st_rdev;
    return status.st_dev == other.status.st_dev && status.st_ino == other.status.st_ino;
}

std::optional<DeviceNode> StatNode(const fs::path& hostPath)
{
    DeviceNode node{};
    if (stat(hostPath.c_str(), &node.status) != 0)
        return std::nullopt;
    return node;
}

bool IsPseudoTerminal(const DeviceNode& node)
{
    const unsigned number = major(node.status.st_rdev);
    return node.IsCharacterDevice() && number >= kFirstPtySlaveMajor && number <= kLastPtySlaveMajor;
}

bool IsTerminalAlias(const DeviceNode& node)
{
    return node.IsCharacterDevice() && major(node.status.st_rdev) == kTtyAliasMajor;
}

bool IsTerminalDevice(const DeviceNode& node)
{
    if (!node.IsCharacterDevice() || IsTerminalAlias(node))
        return false;
    if (IsPseudoTerminal(node))
        return true;
    const std::string number =
        std::to_string(major(node.status.st_rdev)) + ":" + std::to_string(minor(node.status.st_rdev));
    std::error_code error;
    const fs::path subsystem = fs::read_symlink(OnHost("/sys/dev/char/" + number + "/subsystem"), error);
    return !error && subsystem.filename() == "tty";
}
