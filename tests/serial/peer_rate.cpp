#include "peer_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <system_error>

std::uint32_t PeerLineRate(int fd)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        throw std::system_error(errno, std::generic_category(), "TCGETS2");
    return settings.c_ospeed;
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
