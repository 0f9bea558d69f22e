#include "line_claims.h"

#include "printable_text.h"
#include "tty_device.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMostLinks = 16;

// Writes this process's lock in every folder, for each name and for the device's number; the
// refusal when a lock of someone else holds one of them.
std::optional<std::string> TakeLocks(const DeviceToCheck& device, const HolderSearch& search, ClaimCheck& check)
{
    const std::vector<std::string> names = LockNamesOf(device);
    const std::vector<fs::path> folders = LockFolders(search.root);
    if (folders.empty())
        check.notes.push_back("no lock folder: no lock file written");
    for (const fs::path& folder : folders) {
        for (const std::string& name : names) {
            const LockAttempt attempt = TakeLockFile(folder / name, search.youngLock);
            if (attempt.holder)
                return RefusalText(LockHolder(*attempt.holder, folder / name));
            if (attempt.taken)
                check.lock.Add(folder / name);
            else
                check.notes.push_back("no lock file: " + attempt.why);
        }
    }
    return std::nullopt;
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
    // Where the canonical form cannot be had, the names found on the way (or the path as given)
    // stand for it: the device-number lock and /proc need none.
    const fs::path end = fs::canonical(path, error);
    if (!error && (names.empty() || names.back() != end))
        names.push_back(end);
    if (names.empty() && path.lexically_normal().string().starts_with("/dev/"))
        names.push_back(path.lexically_normal());
    return names;
}

ClaimCheck ClaimDevice(const DeviceToCheck& device, const HolderSearch& search)
{
    ClaimCheck check;
    // Whatever is no terminal, the open itself turns away.
    if (!TtyName(device.node.st_rdev, search.root / "sys") && !IsPseudoTerminal(device.node.st_rdev))
        return check;
    HolderList found = FindHolders(device, search);
    check.notes = std::move(found.notes);
    if (!found.holders.empty())
        check.refusal = RefusalText(found.holders.front());
    else if ((check.refusal = TakeLocks(device, search, check)))
        check.lock.Release();
    return check;
}

std::optional<std::string> ConfirmClaim(int fd, const DeviceToCheck& device, const LineLock& lock)
{
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISCHR(opened.st_mode) || opened.st_rdev != device.node.st_rdev)
        return "replaced: another device took its name while it was being checked";
    for (const fs::path& file : lock.Files()) {
        if (LockNamesThisProcess(file))
            continue;
        const LockReading reading = ReadLockFile(file);
        if (reading.Holds())
            return RefusalText(LockHolder(reading, file));
        return "in use by another program, which took the lock file " + PrintableText(file.string()) + " away";
    }
    return std::nullopt;
}
