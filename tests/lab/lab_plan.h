// What the runner asks this guest to check, from the command line (tests/lab/lab_run.py):
//   --line DRIVER,DEVICE,FAR_END,SYSFS_DRIVER,UNPLUG ...  [--send-over DRIVER] [--console TTY]
// UNPLUG is "-" (not unplugged), "qmp=ID" (the runner removes QEMU's device ID) or a file that
// takes "disconnect" (a USB gadget's soft_connect).
#pragma once

#include <optional>
#include <string>
#include <vector>

struct LabLine {
    std::string driver;       // the name its checks report under: "8250", "ftdi_sio"
    std::string device;       // the device under test
    std::string farEnd;       // the other end of its cable, never the same device
    std::string sysfsDriver;  // the driver vornikal-port must name for it
    std::string unplug;
    std::string portName;     // the comN mapped to the device
};

struct LabPlan {
    std::vector<LabLine> lines;
    std::string sendOver;               // the driver of the line vornikal-send is run over
    std::string console;                // the kernel's console ("ttyS0"), whose unmapped comN is tried
};

// Nothing when the arguments do not make a plan.
std::optional<LabPlan> ParsePlan(int argc, char** argv);
// The comN that means the kernel's console ttySn when it has no map entry.
std::string UnmappedPortOf(const std::string& tty);
