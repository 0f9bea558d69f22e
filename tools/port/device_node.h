// A device node as the kernel knows it, so that two paths (a by-id link, a map entry, the kernel
// name) can be recognised as the same device without opening anything.
#pragma once

#include <filesystem>
#include <optional>

#include <sys/stat.h>

struct DeviceNode {
    struct stat status;

    bool IsCharacterDevice() const { return S_ISCHR(status.st_mode); }
    bool SameAs(const DeviceNode& other) const;
};

// What `hostPath` leads to after every link; nothing when it leads nowhere (errno tells why).
std::optional<DeviceNode> StatNode(const std::filesystem::path& hostPath);
// A terminal device a comm port can stand for: the kernel's tty class or a pseudo-terminal, not
// /dev/tty, /dev/console or /dev/ptmx.
bool IsTerminalDevice(const DeviceNode& node);
bool IsPseudoTerminal(const DeviceNode& node);
// /dev/tty, /dev/console or /dev/ptmx: names for other terminals, not devices of their own.
bool IsTerminalAlias(const DeviceNode& node);
