#include "modem_lines.h"

#include <sys/ioctl.h>

void RaiseModemLines(int fd, int lines)
{
    ioctl(fd, TIOCMBIS, &lines);
}

void DropModemLines(int fd, int lines)
{
    ioctl(fd, TIOCMBIC, &lines);
}

std::optional<int> ReadModemLines(int fd)
{
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return lines;
}
