// Which processes have a device open or locked, from /proc alone: what the kernel itself does not
// stop (a program that opens a serial device and marks it in no way) shows only there.
#pragma once

#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

// A descriptor of another process on a device node, as its attributes describe the node.
struct OpenFile {
    pid_t pid;
    struct stat file;  // st_mode, st_rdev, st_dev and st_ino
};

struct FoundFiles {
    std::vector<OpenFile> files;
    int hidden = 0;  // processes that could not be looked into (another user's, for a user)
    int late = 0;    // processes left unread when the scan's time ran out
};

// The descriptors of every process but this one that are open on a device node below /dev. Each
// descriptor's link text is read, which asks no file system; only a node below /dev, on devtmpfs
// or devpts, is asked for its attributes (and then for cached ones only), so a file on a network
// or FUSE mount whose server stopped answering cannot hold the scan. The kernel makes up each
// process's fd folder as it is read: some tens of microseconds a process, a few a descriptor.
FoundFiles FindOpenDevices();

// A flock or POSIX lock from /proc/locks: the holder, and the file system and inode of the file.
struct FileLock {
    pid_t pid;  // 0 for a holder of another PID namespace
    unsigned devMajor;
    unsigned devMinor;
    unsigned long inode;
};
// The locks held (not those waited for) by processes other than this one.
std::vector<FileLock> FindFileLocks();

// The name a process was started by ("minicom"), as short as ps shows it and safe to print; "?"
// when it is gone.
std::string ProgramName(pid_t pid);

// "minicom (pid 4242)".
std::string ProcessText(pid_t pid);

// The running processes, other than this one, started by the name `program`.
std::vector<pid_t> ProcessesNamed(const std::string& program);
