// The claims on a serial device that the kernel does not enforce: the kernel's console, the UUCP
// lock files of other programs, and processes that simply have it open. A Send keeps off a device
// any of them claims, as Windows keeps a second program off a port, and leaves a lock of its own.
#pragma once

#include "uucp_lock.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// The paths below /dev on the way from `path` through its links to the device: a by-id name a
// map entry points at, then the device's own name. Programs lock either.
std::vector<std::filesystem::path> DeviceNamesOnTheWay(const std::filesystem::path& path);

// What the claims on one device came to.
struct ClaimCheck {
    std::optional<std::string> refusal;  // "in use by ...", when the device is someone else's
    LineLock lock;                       // this process's lock, while the device is held
    std::vector<std::string> notes;      // what could not be checked or written, for the trace
};

// Looks for a claim on device `rdev` reached through `names` and, finding none, locks the last name.
ClaimCheck ClaimDevice(dev_t rdev, const std::vector<std::filesystem::path>& names);
