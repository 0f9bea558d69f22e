#include "peer_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace {

bool NoTermios2(int error)
{
    return error == ENOSYS || error == ENOTTY || error == EINVAL;
}

std::uint32_t CodedRate(const termios& settings)
{
    switch (settings.c_cflag & CBAUD) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    }
    throw std::runtime_error("the peer's line has a rate this helper does not name");
}

}  // namespace

std::uint32_t PeerLineRate(int fd)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) == 0)
        return settings.c_ospeed;
    if (!NoTermios2(errno))
        throw std::system_error(errno, std::generic_category(), "TCGETS2");
    termios plain{};
    if (ioctl(fd, TCGETS, &plain) != 0)
        throw std::system_error(errno, std::generic_category(), "TCGETS");
    return CodedRate(plain);
}

bool LineTakesFreeRates(int fd)
{
    termios2 settings{};
    return ioctl(fd, TCGETS2, &settings) == 0 || !NoTermios2(errno);
}

void SetPeerFreeRate(int fd, std::uint32_t rate)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        throw std::system_error(errno, std::generic_category(), "TCGETS2");
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER;
    settings.c_ospeed = settings.c_ispeed = rate;
    if (ioctl(fd, TCSETS2, &settings) != 0)
        throw std::system_error(errno, std::generic_category(), "TCSETS2");
}
