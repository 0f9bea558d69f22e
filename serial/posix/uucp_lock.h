// UUCP lock files, the convention by which serial programs (minicom among many) keep off a device
// that another program holds: LCK..NAME in the lock folder, NAME the device's path below /dev with
// '/' made '_', and beside it LCK.MMM.mmm by the device's number (a lock library writes that one, so
// that every alias of a device meets one lock). Writers put the owner's PID first, in ASCII: ten
// digits, right-aligned, and a newline (this program, minicom), or followed by words ("%10d minicom
// user"), by more lines, or by CR LF.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3; nothing for a path outside /dev.
std::optional<std::string> LockFileName(const std::filesystem::path& device);
// "LCK.188.000" for the device numbered 188:0.
std::string DeviceNumberLockName(dev_t device);

// The lock folders this system has below `root`: run/lock, and var/lock where it is not the same
// folder (on Debian it is a link to run/lock).
std::vector<std::filesystem::path> LockFolders(const std::filesystem::path& root = "/");

// Programs create their lock (O_CREAT|O_EXCL) and write their PID a moment later: a lock that names
// no PID counts as being written this long after its last change, and as left behind after that.
constexpr std::chrono::seconds kYoungLock{5};

// What a lock file says. It is never followed as a link, never waited on, and read only as far as
// its first line's leading number.
struct LockReading {
    enum class State {
        Absent,      // there is no such file
        Live,        // it names a running process
        Young,       // it names no PID yet, and was changed less than the young time ago
        Unreadable,  // this user may not read it (a root program's 0600 lock)
        Unseen,      // it names a PID this PID namespace has no process for: perhaps one outside it
        Stale,       // it names a process that ended, or nothing for longer than the young time: it may go
        Foreign,     // not a plain file (a link, a folder): no lock, and left alone
    };
    State state;
    pid_t pid = 0;  // the PID it names, when Live or Unseen

    // Whether the lock keeps other programs off the device.
    bool Holds() const { return state != State::Absent && state != State::Stale && state != State::Foreign; }
};
LockReading ReadLockFile(const std::filesystem::path& file, std::chrono::seconds young = kYoungLock);

// What became of an attempt to write this process's lock.
struct LockAttempt {
    bool taken = false;
    std::optional<LockReading> holder;  // the lock of someone else, when it holds
    std::string why;                    // why no lock was written, when neither
};
// Writes the lock `file` atomically (a file of its own in the folder, then linked to the lock's
// name, which fails when the name exists); a stale lock is removed first.
LockAttempt TakeLockFile(const std::filesystem::path& file, std::chrono::seconds young = kYoungLock);

// Whether the lock `file` names this process, by its leading number alone.
bool LockNamesThisProcess(const std::filesystem::path& file);

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
