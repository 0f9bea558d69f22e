// Apart from held_device.cpp: <asm/termbits.h> clashes with <termios.h>.
#include "held_device.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

std::optional<unsigned> DriverRate(int fd)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return std::nullopt;
    return settings.c_ospeed;
}
