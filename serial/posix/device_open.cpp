#include "device_open.h"

#include "comm_error.h"
#include "line_claims.h"
#include "modem_lines.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A check of our own turned the device away.
std::nullopt_t Refuse(int fd, DWORD error, std::string reason)
{
    if (fd >= 0)
        close(fd);
    FailWith(error, std::move(reason));
    return std::nullopt;
}

// A system call failed with `cause`, taken before close() could change errno.
std::nullopt_t RefuseWithErrno(int fd, int cause, DWORD error)
{
    if (fd >= 0)
        close(fd);
    FailWithErrnoAs(error, cause);
    return std::nullopt;
}

std::nullopt_t RefuseWithErrno(int fd, int cause)
{
    return RefuseWithErrno(fd, cause, Win32ErrorFromErrno(cause));
}

}  // namespace

std::optional<HeldTty> OpenExclusiveTty(const std::filesystem::path& path, std::vector<std::string>* notes)
{
    // Opening some devices has effects of its own (a watchdog starts, a tape rewinds), so
    // nothing but a character device is even tried; isatty below turns away the other kinds.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return RefuseWithErrno(-1, errno);
    if (!S_ISCHR(status.st_mode))
        return Refuse(-1, ERROR_FILE_NOT_FOUND, "not a character device");

    // Before the open: opening raises DTR and RTS, and lowering them again would disturb a holder.
    const DeviceToCheck device{status, DeviceNamesOnTheWay(path)};
    ClaimCheck claims = ClaimDevice(device);
    if (notes)
        notes->insert(notes->end(), claims.notes.begin(), claims.notes.end());
    if (claims.refusal)
        return Refuse(-1, ERROR_SHARING_VIOLATION, *claims.refusal);

    // Non-blocking: neither the open nor any later call may wait for carrier.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return RefuseWithErrno(-1, errno);
    if (!isatty(fd))
        return Refuse(fd, ERROR_FILE_NOT_FOUND, "not a terminal");
    // TIOCEXCL keeps out later openers, except root; the lock keeps out root too.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return RefuseWithErrno(fd, errno, errno == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : Win32ErrorFromErrno(errno));
    if (const auto changed = ConfirmClaim(fd, device, claims.lock))
        return Refuse(fd, ERROR_SHARING_VIOLATION, *changed);
    ioctl(fd, TIOCEXCL);
    // Linux raises DTR and RTS in open(); the Windows driver leaves them down until asked.
    DropModemLines(fd, TIOCM_DTR | TIOCM_RTS);
    return HeldTty{fd, std::move(claims.lock)};
}

void ReleaseExclusiveTty(int fd)
{
    // A pseudo-terminal's slave keeps the flag after its last close while the master lives.
    ioctl(fd, TIOCNXCL);
    flock(fd, LOCK_UN);
}
