#include "termios2_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

std::optional<std::uint32_t> ReadLineRate(int fd)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return std::nullopt;
    return settings.c_ospeed;
}

bool SetFreeLineRate(int fd, std::uint32_t rate)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    // The input rate field left zero makes input follow the output rate.
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER;
    settings.c_ospeed = rate;
    settings.c_ispeed = rate;
    return ioctl(fd, TCSETS2, &settings) == 0;
}
