// Reading sysfs (and the other small files of the system the command looks at): one line of an
// attribute, the name a link points at, a USB device's identity.
#pragma once

#include "serial_devices.h"

#include <filesystem>
#include <string>

// The file's first line without trailing white space; empty when it cannot be read.
std::string ReadAttribute(const std::filesystem::path& file);
// The last part of what the link points at ("ftdi_sio" for a driver link); empty for no link.
std::string LinkName(const std::filesystem::path& link);
// The ids and texts of the USB device whose sysfs folder is `device`.
UsbIdentity ReadUsbIdentity(const std::filesystem::path& device);
