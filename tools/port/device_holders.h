// Which other programs hold a device, from /proc and the lock folders, without touching the device.
#pragma once

#include "device_node.h"

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

struct Holder {
    pid_t pid;
    std::string program;
    bool locked = false;  // holds an exclusive lock on it, as vornikal does while a Send runs
    std::string lockFile; // the UUCP lock file it left, as minicom does
};

// One look at every open file and every lock of the system.
class OpenFiles {
public:
    static OpenFiles Scan();

    // The programs other than this one that hold `node`, or whose live lock file names one of
    // `names` (the device's paths in /dev).
    std::vector<Holder> HoldersOf(const DeviceNode& node, const std::vector<std::filesystem::path>& names) const;
    // Whether some processes could not be looked into (other users' programs, for a user).
    bool Partial() const { return m_partial; }

private:
    struct OpenFile {
        pid_t pid;
        DeviceNode node;
    };
    struct Lock {
        pid_t pid;
        unsigned devMajor;
        unsigned devMinor;
        unsigned long inode;
    };
    std::vector<OpenFile> m_files;
    std::vector<Lock> m_locks;
    bool m_partial = false;
};

// "minicom (pid 4242)", joined by commas.
std::string HoldersText(const std::vector<Holder>& holders);
