// What the system says of a terminal device by its number, without opening it: whether it is one,
// its kernel name, and whether the kernel uses it as its console, which a probe must never
// reconfigure, whatever the map says. `sys` is where sysfs is read.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <sys/types.h>

// A Unix98 pseudo-terminal slave (/dev/pts/N).
bool IsPseudoTerminal(dev_t device);

// The kernel's name of the tty with device number `device` ("ttyS0"); nothing for a device of any
// other kind, and for pseudo-terminals, which sysfs does not list.
std::optional<std::string> TtyName(dev_t device, const std::filesystem::path& sys = "/sys");

// Whether the tty `name` is one of the kernel's consoles: listed in the console's class entry
// (where tty0 stands for the virtual terminal in front), or marked so by its own attribute.
bool IsKernelConsole(const std::string& name, const std::filesystem::path& sys = "/sys");
