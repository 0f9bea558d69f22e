// What a comm HANDLE stands for: an open serial device and the state Win32 keeps with it.
// Handles are looked up in a registry, so a stale or made-up handle is refused, never followed.
#pragma once

#include "device_open.h"
#include "win32_comm.h"

#include <memory>
#include <string>

struct CommDevice {
    CommDevice(HeldTty held, std::string devicePath);
    ~CommDevice();
    CommDevice(const CommDevice&) = delete;
    CommDevice& operator=(const CommDevice&) = delete;

    const int fd;
    // This process's lock file on the device, removed once the descriptor is closed.
    LineLock lock;
    // The device the port name led to, for the trace.
    const std::string path;
    COMMTIMEOUTS timeouts{};
    // What was last asked for the lines, reported where the device cannot read them back.
    DWORD dtrControl = DTR_CONTROL_DISABLE;
    DWORD rtsControl = RTS_CONTROL_DISABLE;
};

// Takes ownership of an open device and hands out a new handle for it.
HANDLE RegisterCommDevice(HeldTty held, std::string devicePath);
// The device behind a handle; null with ERROR_INVALID_HANDLE set when there is none.
std::shared_ptr<CommDevice> FindCommDevice(HANDLE handle);
// The device a handle stands for, empty when none; the thread's last error stays as it is.
std::string CommDevicePath(HANDLE handle);
// Removes the handle, so it is invalid from now on; null with ERROR_INVALID_HANDLE when unknown.
std::shared_ptr<CommDevice> UnregisterCommDevice(HANDLE handle);
