// Which other programs have a device open, from /proc, without touching the device.
#pragma once

#include "device_node.h"

#include <string>
#include <vector>

#include <sys/types.h>

struct Holder {
    pid_t pid;
    std::string program;
    bool locked;  // holds an exclusive lock on it, as vornikal does while a Send runs
};

// One look at every open file and every lock of the system.
class OpenFiles {
public:
    static OpenFiles Scan();

    // The programs other than this one that hold `node`.
    std::vector<Holder> HoldersOf(const DeviceNode& node) const;
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
