// The serial devices the kernel has registered, read from sysfs without opening any of them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct UsbIdentity {
    std::string vendorId;
    std::string productId;
    std::string manufacturer;
    std::string product;
    std::string serial;
};

struct SerialDevice {
    std::string kernelName;                   // ttyUSB0
    std::filesystem::path node;               // /dev/ttyUSB0
    std::optional<std::filesystem::path> byId;  // /dev/serial/by-id/..., the name that survives replugging
    std::optional<std::filesystem::path> alias; // /dev/serial0, the name a board's UART keeps across its setups
    std::string driver;                       // the kernel driver behind it, "" when sysfs names none
    std::string uart;                         // for a UART port, its type ("16550A", "ARM PL011 UART")
    std::optional<UsbIdentity> usb;
    bool absent = false;                      // a UART port with no hardware behind it (type 0)
    bool console = false;                     // the kernel writes its console messages here

    // The name to show and to map: by-id, else the alias, else the kernel's node.
    const std::filesystem::path& PreferredName() const { return byId ? *byId : (alias ? *alias : node); }
};

// Every tty in /sys/class/tty with a device behind it, in name order (ttyS2 before ttyS10).
std::vector<SerialDevice> FindSerialDevices();
