#include "termios2_ioctl.h"

#include <sys/ioctl.h>

int Termios2Ioctl(int fd, unsigned long request, void* record)
{
    return ioctl(fd, request, record);
}
