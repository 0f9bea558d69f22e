// Everything that holds a serial device apart from the kernel's own exclusive opens: the kernel's
// console, lock files of every form, flock and POSIX locks, and processes that simply have it
// open. The open refuses on the first holder found; vornikal-port lists them all. One list, so the
// two never disagree on what counts.
#pragma once

#include "process_files.h"
#include "uucp_lock.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

struct Holder {
    enum class Kind {
        Console,   // the kernel writes its messages there
        LockFile,  // a lock file that holds (uucp_lock.h)
        FileLock,  // a flock or POSIX lock on the node (/proc/locks)
        Open,      // a process with a descriptor on it
    };
    Kind kind;
    pid_t pid = 0;                    // the process, where one is named (not for the console, nor
                                      // for a lock file naming none)
    std::string program;              // its name, safe to print
    LockReading::State lockState{};   // for a lock file
    std::filesystem::path lockFile;   // for a lock file, as the system names it
};

// The holder a lock file stands for, `shown` being its path as the system names it.
Holder LockHolder(const LockReading& reading, const std::filesystem::path& shown);

// What the open says of the holder: "in use by minicom (pid 4242): its lock file /run/lock/LCK..ttyUSB0".
std::string RefusalText(const Holder& holder);
// Who a holder with no process is ("a lock file this user cannot read"); empty for one with a process.
std::string NamelessHolderText(const Holder& holder);

// The device to look for, by what stat said of its node.
struct DeviceToCheck {
    struct stat node;                          // st_rdev, and st_dev and st_ino for /proc/locks
    std::vector<std::filesystem::path> names;  // its paths below /dev, for the lock files
    std::string ttyName = {};                  // the kernel's name for it where a listing knows it;
                                               // otherwise sysfs is asked by the device's number
};

// The lock files that mark the device: by its number first (the lock library's order, so that
// aliases meet there), then one for each of its names.
std::vector<std::string> LockNamesOf(const DeviceToCheck& device);

// What /proc says of every process: taken once, it serves every device of a listing.
struct ProcessClaims {
    FoundFiles open;
    std::vector<FileLock> locks;
};
ProcessClaims LookAtProcesses();

struct HolderSearch {
    std::filesystem::path root = "/";      // where sys/ and the lock folders are read (tests: a fake tree)
    std::chrono::seconds youngLock = kYoungLock;
    bool all = false;                      // every holder, not only the first
    const ProcessClaims* processes = nullptr;  // a look already taken; otherwise one is taken
};

struct HolderList {
    std::vector<Holder> holders;
    std::vector<std::string> notes;  // what could not be looked at, for the trace
};
HolderList FindHolders(const DeviceToCheck& device, const HolderSearch& search);
