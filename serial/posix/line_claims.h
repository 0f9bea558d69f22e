// The open's claim on a serial device beyond what the kernel enforces: no other holder may have it
// (device_holders.h), and this process marks it with lock files of its own while it holds it.
#pragma once

#include "device_holders.h"
#include "uucp_lock.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

// The paths below /dev on the way from `path` through its links to the device: a by-id name a
// map entry points at, then the device's own name. Programs lock either.
std::vector<std::filesystem::path> DeviceNamesOnTheWay(const std::filesystem::path& path);

// What the claims on one device came to.
struct ClaimCheck {
    std::optional<std::string> refusal;  // "in use by ...", when the device is someone else's
    LineLock lock;                       // this process's locks, while the device is held
    std::vector<std::string> notes;      // what could not be checked or written, for the trace
};

// Looks for a holder of the device and, finding none, writes this process's lock for each of its
// names and for its number, as the lock library does, so that a program given any alias keeps off.
ClaimCheck ClaimDevice(const DeviceToCheck& device, const HolderSearch& search = {});

// After the open: whether the descriptor `fd` is the device that was checked (not a device plugged
// in under the same name meanwhile), and every lock still names this process (another program
// that took a stale lock away at the same moment as this one would have replaced it).
std::optional<std::string> ConfirmClaim(int fd, const DeviceToCheck& device, const LineLock& lock);
