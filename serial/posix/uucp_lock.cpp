#include "uucp_lock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Enough for ten digits, a newline and what some programs write after them.
constexpr std::size_t kReadLimit = 64;

pid_t HighestPid()
{
    std::ifstream limit("/proc/sys/kernel/pid_max");
    long highest = 0;
    return limit >> highest && highest > 1 ? static_cast<pid_t>(highest) : 4194304;
}

// The number on the first line, spaces around it allowed; 0 for anything else.
pid_t FirstLinePid(const char* text, std::size_t length)
{
    std::size_t i = 0;
    while (i < length && text[i] == ' ')
        ++i;
    long value = 0;
    std::size_t digits = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9' && digits < 10; ++i, ++digits)
        value = value * 10 + (text[i] - '0');
    while (i < length && text[i] == ' ')
        ++i;
    const bool lineEnds = i == length || text[i] == '\n';
    // PID 1 is init, which holds no serial device: such a lock is made up.
    if (digits == 0 || !lineEnds || value < 2 || value > HighestPid())
        return 0;
    return static_cast<pid_t>(value);
}

bool Running(pid_t pid)
{
    return kill(pid, 0) == 0 || errno == EPERM;
}

std::string ErrnoText(const std::string& what, int error)
{
    return what + ": " + std::strerror(error);
}

// A file of this process's own in `folder` holding its PID, ready to be linked; empty on failure.
fs::path WritePidFile(const fs::path& folder, std::string& why)
{
    std::string name = (folder / "LTMP.XXXXXX").string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        why = ErrnoText("cannot write in " + folder.string(), errno);
        return {};
    }
    std::array<char, 16> content{};
    const int length = std::snprintf(content.data(), content.size(), "%10d\n", static_cast<int>(getpid()));
    // Other programs must be able to read who holds the device.
    const bool written = fchmod(fd, 0644) == 0 && write(fd, content.data(), static_cast<size_t>(length)) == length;
    const int error = errno;
    close(fd);
    if (!written) {
        unlink(name.c_str());
        why = ErrnoText("cannot write " + name, error);
        return {};
    }
    return name;
}

}  // namespace

std::optional<std::string> LockFileName(const fs::path& device)
{
    const std::string path = device.lexically_normal().string();
    if (!path.starts_with("/dev/") || path.size() == 5)
        return std::nullopt;
    std::string name = "LCK.." + path.substr(5);
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return name;
}

std::vector<fs::path> LockFolders(const fs::path& root)
{
    std::vector<fs::path> folders;
    std::vector<std::pair<dev_t, ino_t>> seen;
    for (const char* candidate : {"run/lock", "var/lock"}) {
        struct stat folder {};
        if (stat((root / candidate).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
            continue;
        const std::pair<dev_t, ino_t> identity{folder.st_dev, folder.st_ino};
        if (std::find(seen.begin(), seen.end(), identity) == seen.end()) {
            seen.push_back(identity);
            folders.push_back(root / candidate);
        }
    }
    return folders;
}

LockReading ReadLockFile(const fs::path& file)
{
    struct stat status {};
    if (lstat(file.c_str(), &status) != 0)
        return {errno == ENOENT ? LockReading::State::Absent : LockReading::State::Foreign};
    if (!S_ISREG(status.st_mode))
        return {LockReading::State::Foreign};
    // Not followed, never waited on, whatever was put there after the look above.
    const int fd = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? LockReading::State::Absent : LockReading::State::Foreign};
    std::array<char, kReadLimit> text{};
    const ssize_t length = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? read(fd, text.data(), text.size()) : -1;
    close(fd);
    if (length < 0)
        return {LockReading::State::Foreign};
    const pid_t pid = FirstLinePid(text.data(), static_cast<std::size_t>(length));
    if (pid == 0 || !Running(pid))
        return {LockReading::State::Stale};
    return {LockReading::State::Live, pid};
}

LockAttempt TakeLockFile(const fs::path& file)
{
    LockAttempt attempt;
    // Twice at most: a stale lock removed, then the name taken by someone else in between.
    for (int round = 0; round < 2; ++round) {
        const fs::path mine = WritePidFile(file.parent_path(), attempt.why);
        if (mine.empty())
            return attempt;
        const int linked = link(mine.c_str(), file.c_str()) == 0 ? 0 : errno;
        unlink(mine.c_str());
        if (linked == 0) {
            attempt.taken = true;
            return attempt;
        }
        if (linked != EEXIST) {
            attempt.why = ErrnoText("cannot write " + file.string(), linked);
            return attempt;
        }
        const LockReading there = ReadLockFile(file);
        switch (there.state) {
        case LockReading::State::Live:
            attempt.holder = there.pid;
            return attempt;
        case LockReading::State::Foreign:
            attempt.why = file.string() + " is not a lock file this user can read";
            return attempt;
        case LockReading::State::Stale:
            // Another user's stale lock in the sticky folder stays: go on without one of our own.
            if (unlink(file.c_str()) != 0 && errno != ENOENT) {
                attempt.why = ErrnoText("the stale lock " + file.string() + " cannot be removed", errno);
                return attempt;
            }
            break;
        case LockReading::State::Absent:
            break;
        }
    }
    attempt.why = file.string() + " kept being made by another program";
    return attempt;
}

LineLock::~LineLock()
{
    Release();
}

LineLock::LineLock(LineLock&& other) noexcept : m_files(std::exchange(other.m_files, {})) {}

LineLock& LineLock::operator=(LineLock&& other) noexcept
{
    if (this != &other) {
        Release();
        m_files = std::exchange(other.m_files, {});
    }
    return *this;
}

void LineLock::Release()
{
    for (const fs::path& file : m_files) {
        const LockReading reading = ReadLockFile(file);
        if (reading.state == LockReading::State::Live && reading.pid == getpid())
            unlink(file.c_str());
    }
    m_files.clear();
}
