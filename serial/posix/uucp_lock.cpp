#include "uucp_lock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// The decimal number at the start of the text, after blanks, whatever follows it (a newline, CR
// LF, words); nothing when there are no digits. Eleven digits or more name no PID.
std::optional<long> LeadingNumber(const char* text, std::size_t length)
{
    std::size_t i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long value = 0;
    std::size_t digits = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
        value = digits < 11 ? value * 10 + (text[i] - '0') : value;
    if (digits == 0 || digits > 10)
        return std::nullopt;
    return value;
}

// The first bytes of a lock file, opened so that nothing is followed or waited on; nothing with
// errno set when it cannot be read.
std::optional<std::string> LockText(const fs::path& file, struct stat& status)
{
    const int fd = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::array<char, kReadLimit> text{};
    ssize_t length = -1;
    errno = EINVAL;  // for what is no plain file
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        length = read(fd, text.data(), text.size());
    const int error = errno;
    close(fd);
    errno = error;
    if (length < 0)
        return std::nullopt;
    return std::string(text.data(), static_cast<std::size_t>(length));
}

// Whether this process lives in a PID namespace of its own (a container's): the first one has a
// fixed number, and a PID that names no process here may then name one outside.
bool InNestedPidNamespace()
{
    static const bool nested = [] {
        std::error_code error;
        const fs::path own = fs::read_symlink("/proc/self/ns/pid", error);
        return !error && own != "pid:[4026531836]";
    }();
    return nested;
}

// A lock that names no PID: being written while it is young, left behind after.
LockReading Unnamed(const struct stat& status, std::chrono::seconds young)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const bool isYoung = now.tv_sec - status.st_ctim.tv_sec < young.count();
    return {isYoung ? LockReading::State::Young : LockReading::State::Stale};
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

std::string DeviceNumberLockName(dev_t device)
{
    char name[32];
    std::snprintf(name, sizeof name, "LCK.%03u.%03u", major(device), minor(device));
    return name;
}

LockReading ReadLockFile(const fs::path& file, std::chrono::seconds young)
{
    struct stat status {};
    if (lstat(file.c_str(), &status) != 0)
        return {errno == ENOENT ? LockReading::State::Absent : LockReading::State::Foreign};
    if (!S_ISREG(status.st_mode))
        return {LockReading::State::Foreign};
    // Not followed, never waited on, whatever was put there after the look above.
    const auto text = LockText(file, status);
    if (!text && errno == ENOENT)
        return {LockReading::State::Absent};
    if (!text && (errno == EACCES || errno == EPERM))
        return {LockReading::State::Unreadable};
    if (!S_ISREG(status.st_mode))
        return {LockReading::State::Foreign};
    const auto number = text ? LeadingNumber(text->data(), text->size()) : std::nullopt;
    if (!number || *number < 1 || *number > HighestPid())
        return Unnamed(status, young);
    const auto pid = static_cast<pid_t>(*number);
    if (Running(pid))
        return {LockReading::State::Live, pid};
    return {InNestedPidNamespace() ? LockReading::State::Unseen : LockReading::State::Stale, pid};
}

bool LockNamesThisProcess(const fs::path& file)
{
    struct stat status {};
    const auto text = LockText(file, status);
    return text && S_ISREG(status.st_mode) && LeadingNumber(text->data(), text->size()) == getpid();
}

LockAttempt TakeLockFile(const fs::path& file, std::chrono::seconds young)
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
        const LockReading there = ReadLockFile(file, young);
        if (there.Holds()) {
            attempt.holder = there;
            return attempt;
        }
        if (there.state == LockReading::State::Foreign) {
            attempt.why = file.string() + " is no plain file: not trusted, and no lock written there";
            return attempt;
        }
        // Another user's stale lock in the sticky folder stays: go on without one of our own.
        if (there.state == LockReading::State::Stale && unlink(file.c_str()) != 0 && errno != ENOENT) {
            attempt.why = ErrnoText("the stale lock " + file.string() + " cannot be removed", errno);
            return attempt;
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
        if (LockNamesThisProcess(file))
            unlink(file.c_str());
    }
    m_files.clear();
}
