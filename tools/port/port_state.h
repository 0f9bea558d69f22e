// All the listing says about one device: what it is, whether this user may open it, who holds it,
// and its XON/XOFF setting.
#pragma once

#include "device_access.h"
#include "port_holders.h"
#include "line_flags.h"
#include "serial_devices.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct PortState {
    std::filesystem::path path;              // as the system names it
    std::optional<DeviceNode> node;          // nothing when it is not present
    std::optional<SerialDevice> serial;      // when sysfs lists it
    bool terminal = false;
    AccessVerdict access;
    bool console = false;  // the kernel's console is on it
    std::vector<PortHolder> holders;
    FlowControlReading flowControl;  // unread unless asked; `why` is empty when only not asked

    bool Present() const { return node.has_value(); }
    bool PseudoTerminal() const { return node && IsPseudoTerminal(*node); }
    // What stands between this device and a working Send, one phrase each; empty when nothing.
    std::vector<std::string> Problems() const;
    // The programs that hand it to Bluetooth.
    std::vector<PortHolder> BluetoothHolders() const;
};

// Looks at `path` (a system path) without opening it. Opening raises DTR and RTS, and boards that
// reset on DTR would reset because someone looked; so XON/XOFF is read only with `readFlowControl`,
// and then only from a device that this user may open, that no other program holds and that is
// not the console. `listed` is the device's sysfs entry when known; otherwise it is looked up among
// `devices`.
PortState InspectPort(const std::filesystem::path& path, const std::vector<SerialDevice>& devices,
                      const ProcessClaims& processes, bool readFlowControl, const SerialDevice* listed = nullptr);
