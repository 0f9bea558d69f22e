// ModemManager, a desktop service that opens new USB serial devices (ttyACM, ttyUSB) for a few
// seconds to probe them with AT commands: a board's answer to a Send is then an echo of "AT", or
// the open fails while it probes. A udev property keeps it off one adapter.
#pragma once

#include "serial_devices.h"

#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

bool IsModemManager(const std::string& program);

// Whether it may take `device` (number `rdev`) when it is plugged in: it runs, the device is a
// USB one, and udev's database does not tell ModemManager to leave it alone.
bool ModemManagerMayProbe(const SerialDevice& device, dev_t rdev);

// How to keep it off the adapter with these ids (any USB serial device, without them), in lines.
std::vector<std::string> ModemManagerFix(const std::optional<UsbIdentity>& usb);
