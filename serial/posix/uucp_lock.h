// UUCP lock files, the convention by which serial programs (minicom among many) keep off a device
// that another program holds: LCK..NAME in the lock folder, NAME the device's path below /dev with
// '/' made '_', holding the owner's PID as ten ASCII digits, right-aligned, and a newline.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3; nothing for a path outside /dev.
std::optional<std::string> LockFileName(const std::filesystem::path& device);

// The lock folders this system has below `root`: run/lock, and var/lock where it is not the same
// folder (on Debian it is a link to run/lock).
std::vector<std::filesystem::path> LockFolders(const std::filesystem::path& root = "/");

// What a lock file says. It is never followed as a link, never waited on, and read only as far as
// its first line; nothing in it is trusted to name a process unless it is a live PID.
struct LockReading {
    enum class State {
        Absent,   // there is no such file
        Live,     // it names a running process
        Stale,    // it names none (a dead PID, or nothing readable as a PID): it may be removed
        Foreign,  // not a plain file this user can read (a link, a folder): left alone
    };
    State state;
    pid_t pid = 0;  // when Live
};
LockReading ReadLockFile(const std::filesystem::path& file);

// What became of an attempt to write this process's lock.
struct LockAttempt {
    bool taken = false;
    std::optional<pid_t> holder;  // a live process holds the lock
    std::string why;              // why no lock was written, when neither
};
// Writes the lock `file` atomically (a file of its own in the folder, then linked to the lock's
// name, which fails when the name exists); a stale lock is removed first.
LockAttempt TakeLockFile(const std::filesystem::path& file);

// The lock files this process wrote for one open device, removed when the object goes.
class LineLock {
public:
    LineLock() = default;
    ~LineLock();
    LineLock(LineLock&& other) noexcept;
    LineLock& operator=(LineLock&& other) noexcept;

    void Add(std::filesystem::path file) { m_files.push_back(std::move(file)); }
    const std::vector<std::filesystem::path>& Files() const { return m_files; }
    // Removes the files that still name this process.
    void Release();

private:
    std::vector<std::filesystem::path> m_files;
};
