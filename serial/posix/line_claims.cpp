#include "line_claims.h"

#include "process_files.h"
#include "tty_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kMostLinks = 16;

// "in use by minicom (pid 4242): its lock file /run/lock/LCK..ttyUSB0".
std::string LockRefusal(pid_t holder, const fs::path& file)
{
    return "in use by " + ProcessText(holder) + ": its lock file " + file.string();
}

// A live lock of another program on any of the names; stale ones on the way are removed.
std::optional<std::string> ForeignLock(const std::vector<fs::path>& names, std::vector<std::string>& notes)
{
    for (const fs::path& folder : LockFolders()) {
        for (const fs::path& name : names) {
            const auto file = LockFileName(name);
            if (!file)
                continue;
            const LockReading reading = ReadLockFile(folder / *file);
            if (reading.state == LockReading::State::Live)
                return LockRefusal(reading.pid, folder / *file);
            if (reading.state == LockReading::State::Stale && unlink((folder / *file).c_str()) != 0)
                notes.push_back("the stale lock " + (folder / *file).string() + " stays (" + std::strerror(errno) + ")");
            if (reading.state == LockReading::State::Foreign)
                notes.push_back((folder / *file).string() + " is no lock file this user can read; not trusted");
        }
    }
    return std::nullopt;
}

// This process's lock on `device` in every lock folder; the refusal when a live process has one.
std::optional<std::string> TakeLock(const fs::path& device, ClaimCheck& check)
{
    const auto name = LockFileName(device);
    const std::vector<fs::path> folders = LockFolders();
    if (!name || folders.empty()) {
        check.notes.push_back(name ? "no lock folder: no lock file written" : "not below /dev: no lock file written");
        return std::nullopt;
    }
    for (const fs::path& folder : folders) {
        const LockAttempt attempt = TakeLockFile(folder / *name);
        if (attempt.holder)
            return LockRefusal(*attempt.holder, folder / *name);
        if (attempt.taken)
            check.lock.Add(folder / *name);
        else
            check.notes.push_back("no lock file: " + attempt.why);
    }
    return std::nullopt;
}

// The other processes that have the device open; those of other users are left to the kernel's
// own checks where they cannot be looked into.
std::optional<std::string> OpenElsewhere(dev_t rdev, std::vector<std::string>& notes)
{
    const FoundFiles open =
        FindOpenFiles([rdev](const struct stat& file) { return S_ISCHR(file.st_mode) && file.st_rdev == rdev; });
    std::vector<pid_t> holders;
    for (const OpenFile& descriptor : open.files) {
        if (std::find(holders.begin(), holders.end(), descriptor.pid) == holders.end())
            holders.push_back(descriptor.pid);
    }
    const int hidden = open.hidden;
    if (hidden > 0)
        notes.push_back(std::to_string(hidden) + " processes could not be looked into (other users' programs): the kernel's own checks stand for them");
    if (holders.empty())
        return std::nullopt;
    std::string text;
    for (const pid_t pid : holders)
        text += (text.empty() ? "" : ", ") + ProcessText(pid);
    return "in use by " + text + (holders.size() == 1 ? ", which has it open" : ", which have it open");
}

}  // namespace

std::vector<fs::path> DeviceNamesOnTheWay(const fs::path& path)
{
    std::vector<fs::path> names;
    fs::path at = path;
    std::error_code error;
    for (int link = 0; link < kMostLinks && fs::is_symlink(at, error); ++link) {
        const fs::path target = fs::read_symlink(at, error);
        if (error)
            break;
        at = (target.is_absolute() ? target : at.parent_path() / target).lexically_normal();
        if (at.string().starts_with("/dev/"))
            names.push_back(at);
    }
    const fs::path end = fs::canonical(path, error);
    if (!error && (names.empty() || names.back() != end))
        names.push_back(end);
    return names;
}

ClaimCheck ClaimDevice(dev_t rdev, const std::vector<fs::path>& names)
{
    ClaimCheck check;
    const auto tty = TtyName(rdev);
    // Whatever is no terminal, the open itself turns away.
    if ((!tty && !IsPseudoTerminal(rdev)) || names.empty())
        return check;
    if (tty && IsKernelConsole(*tty)) {
        check.refusal = "in use by the kernel's console";
        return check;
    }
    const std::vector<fs::path> others(names.begin(), names.end() - 1);
    if ((check.refusal = ForeignLock(others, check.notes)) || (check.refusal = TakeLock(names.back(), check)) ||
        (check.refusal = OpenElsewhere(rdev, check.notes)))
        check.lock.Release();
    return check;
}
