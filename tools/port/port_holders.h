// The holders of a device as the listing names them: one entry a process, with everything it
// holds the device by, and one for each lock file that names no process.
#pragma once

#include "device_holders.h"
#include "device_node.h"

#include <filesystem>
#include <string>
#include <vector>

struct PortHolder {
    pid_t pid = 0;
    std::string program;   // its name, or who a lock file naming no process stands for
    bool named = true;     // a process; false for a lock file naming none
    bool locked = false;   // holds a flock or POSIX lock on it, as vornikal does while a Send runs
    std::string lockFile;  // the lock file it left, as minicom does
};

struct PortHolders {
    bool console = false;  // the kernel's console
    std::vector<PortHolder> holders;
};

// Every holder of `node` by the open's own rules (device_holders.h), from the look at /proc
// `processes`, or from one taken now; `names` are the device's paths in /dev, `ttyName` its kernel
// name where sysfs listed it.
PortHolders HoldersOf(const DeviceNode& node, const std::vector<std::filesystem::path>& names,
                      const std::string& ttyName, const ProcessClaims* processes = nullptr);

// "minicom (pid 4242, lock file /run/lock/LCK..ttyUSB0)", joined by commas.
std::string HoldersText(const std::vector<PortHolder>& holders);
