#include "device_node.h"

#include "host_paths.h"
#include "tty_device.h"

#include <string>

#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

// Major 5 holds /dev/tty, /dev/console and /dev/ptmx.
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
    return node.IsCharacterDevice() && IsPseudoTerminal(node.status.st_rdev);
}

bool IsTerminalAlias(const DeviceNode& node)
{
    return node.IsCharacterDevice() && major(node.status.st_rdev) == kTtyAliasMajor;
}

bool IsTerminalDevice(const DeviceNode& node)
{
    if (!node.IsCharacterDevice() || IsTerminalAlias(node))
        return false;
    return IsPseudoTerminal(node) || TtyName(node.status.st_rdev, OnHost("/sys"));
}
