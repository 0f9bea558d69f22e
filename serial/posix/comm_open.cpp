// CreateFileA and CloseHandle for the comN devices.
#include "comm_error.h"
#include "comm_handle.h"
#include "device_map.h"
#include "device_open.h"

#include <termios.h>

// Comm devices are always opened for reading and writing, exclusively, as existing devices, and
// without overlapped I/O, whatever the access, share mode, disposition and flags ask.
HANDLE CreateFileA(LPCSTR fileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    if (fileName == nullptr) {
        FailWith(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const auto port = ComPortNumber(fileName);
    if (!port) {
        FailWith(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = OpenExclusiveTty(ComPortDevice(*port));
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    return RegisterCommDevice(fd);
}

BOOL CloseHandle(HANDLE object)
{
    auto device = UnregisterCommDevice(object);
    if (!device)
        return FALSE;
    // Linux would hold close() for up to 30 s while output drains; Windows throws it away.
    tcflush(device->fd, TCOFLUSH);
    ReleaseExclusiveTty(device->fd);
    // The descriptor itself closes with the last reference to the device.
    return TRUE;
}
