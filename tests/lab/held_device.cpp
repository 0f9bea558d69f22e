#include "held_device.h"

#include <filesystem>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

std::optional<int> HeldDescriptor(const std::string& device)
{
    struct stat wanted {};
    if (stat(device.c_str(), &wanted) != 0)
        return std::nullopt;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const int fd = std::stoi(entry.path().filename().string());
        struct stat held {};
        if (fstat(fd, &held) == 0 && S_ISCHR(held.st_mode) && held.st_rdev == wanted.st_rdev)
            return fd;
    }
    return std::nullopt;
}

std::optional<int> ModemLines(int fd)
{
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return lines;
}

std::string ModemLinesText(int lines)
{
    return std::string("DTR ") + (lines & TIOCM_DTR ? "high" : "low") + ", RTS " + (lines & TIOCM_RTS ? "high" : "low");
}

int QueuedInput(int fd)
{
    int count = 0;
    return ioctl(fd, FIONREAD, &count) == 0 ? count : -1;
}

int QueuedOutput(int fd)
{
    int count = 0;
    return ioctl(fd, TIOCOUTQ, &count) == 0 ? count : -1;
}

bool StopsOnXoff(int fd)
{
    termios settings{};
    return tcgetattr(fd, &settings) == 0 && (settings.c_iflag & IXON);
}
