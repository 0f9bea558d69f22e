#include "pty_pair.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

// Both ends pass every byte untouched; with software flow control off, XON and XOFF too.
void MakeRaw(int fd)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        ThrowErrno("tcgetattr");
    cfmakeraw(&settings);
    settings.c_iflag &= ~(IXON | IXOFF);
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        ThrowErrno("tcsetattr");
}

}  // namespace

OwnedFd::~OwnedFd()
{
    if (fd >= 0)
        close(fd);
}

PtyPair::PtyPair()
{
    // Non-blocking: an echo the port has no room for is dropped, not waited on.
    m_master.fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master.fd < 0)
        ThrowErrno("posix_openpt");
    if (grantpt(m_master.fd) != 0 || unlockpt(m_master.fd) != 0)
        ThrowErrno("unlockpt");
    char path[256];
    if (ptsname_r(m_master.fd, path, sizeof path) != 0)
        ThrowErrno("ptsname");
    m_slavePath = path;
    // The slave's settings outlive its descriptor for as long as the master lives.
    OwnedFd slave;
    slave.fd = open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave.fd < 0)
        ThrowErrno(path);
    MakeRaw(m_master.fd);
    MakeRaw(slave.fd);
}
