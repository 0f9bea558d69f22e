// USB serial adapters that are plugged in but have no tty: no serial driver took the interface,
// or brltty claimed it first (its udev rules take some common adapter chips, the CH340 among them,
// for braille displays, and the adapter's tty disappears a second after it appears). Read from
// sysfs, udev's rules and the kernel's module lists, opening nothing.
#pragma once

#include "serial_devices.h"

#include <string>
#include <vector>

struct TtylessAdapter {
    std::string usbPath;       // where it is plugged in, as sysfs names it ("1-1.2")
    UsbIdentity identity;
    std::string serialDriver;  // the serial driver the kernel has for it ("ch341"), when known
    std::string brlttyRules;   // the brltty rules file that claims its ids, when one does
};

std::vector<TtylessAdapter> FindTtylessAdapters();

// What it is and what to do, in lines.
std::vector<std::string> TtylessAdapterText(const TtylessAdapter& adapter);
