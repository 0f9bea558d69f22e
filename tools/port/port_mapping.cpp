#include "port_mapping.h"

#include "board_uarts.h"
#include "device_access.h"
#include "device_map.h"
#include "device_node.h"
#include "host_paths.h"
#include "line_flags.h"
#include "port_holders.h"
#include "serial_devices.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const char* const kProgram = "vornikal-port: ";

std::optional<SerialDevice> ListedDevice(const DeviceNode& node)
{
    for (SerialDevice& device : FindSerialDevices()) {
        const auto listed = StatNode(OnHost(device.node));
        if (listed && listed->SameAs(node))
            return std::move(device);
    }
    return std::nullopt;
}

// Why `path` cannot stand for a comm port, or nothing when it can.
std::optional<std::string> Unusable(const fs::path& path, const std::optional<DeviceNode>& node, int statError,
                                    const std::optional<SerialDevice>& listed)
{
    if (!node)
        return path.string() + ": " + std::strerror(statError) + " (run vornikal-port to list the devices present)";
    if (IsTerminalAlias(*node))
        return path.string() + " stands for another terminal, not a serial device of its own";
    if (!IsTerminalDevice(*node))
        return path.string() + " is not a terminal device";
    if (listed && listed->absent)
        return path.string() + " is a UART port with no hardware behind it";
    const AccessVerdict access = MayOpen(OnHost(path));
    if (!access.allowed)
        return "you may not open " + path.string() + ": " + access.why + (access.fix.empty() ? "" : "\n  fix: " + access.fix);
    return std::nullopt;
}

// Changing the line settings under another program would disturb it; a pseudo-terminal's holder
// is the plug or terminal it belongs to, which expects it.
bool DisturbsHolder(const DeviceNode& node, const std::vector<PortHolder>& holders)
{
    return !holders.empty() && !IsPseudoTerminal(node);
}

std::string TurnFlowControlOff(const fs::path& path, const DeviceNode& node, const std::vector<PortHolder>& holders)
{
    if (DisturbsHolder(node, holders))
        return "another program holds it: " + HoldersText(holders);
    return TurnSoftwareFlowControlOff(OnHost(path));
}

// What will still be in the way of a Send on a device just mapped.
void PrintNotes(const fs::path& path, const std::optional<SerialDevice>& listed, const std::vector<PortHolder>& holders,
                std::ostream& out)
{
    if (listed && listed->console)
        out << "  note: " << path.string() << " is the system console; kernel messages go out on it too\n"
            << "  fix: " << ConsoleFix(listed->kernelName) << "\n";
    for (const PortHolder& holder : holders) {
        if (IsBluetoothAttachProgram(holder.program))
            out << "  note: Bluetooth has " << path.string() << ": " << HoldersText({holder}) << "\n"
                << "  fix: " << BluetoothFix() << "\n";
    }
}

// Mapping is a moment to open the device (the user is about to use it): say whether XON/XOFF
// will take bytes out of the answers.
void ReportFlowControl(const std::string& name, const fs::path& path, const DeviceNode& node, bool console,
                       const std::vector<PortHolder>& holders, std::ostream& out)
{
    if (console || DisturbsHolder(node, holders))
        return;
    const FlowControlReading reading = ReadSoftwareFlowControl(OnHost(path));
    if (reading.on.value_or(false))
        out << "XON/XOFF is on: 0x11 and 0x13 vanish from answers; turn it off with vornikal-port --no-xonxoff "
            << name << " " << path.string() << "\n";
}

}  // namespace

int MapPort(const fs::path& mapFolder, unsigned port, const std::string& device, bool noXonXoff, std::ostream& out,
            std::ostream& err)
{
    const fs::path path = DevicePath(device);
    const auto node = StatNode(OnHost(path));
    const int statError = node ? 0 : errno;
    const auto listed = node ? ListedDevice(*node) : std::nullopt;
    if (const auto problem = Unusable(path, node, statError, listed)) {
        err << kProgram << *problem << "\n";
        return kNotDone;
    }
    const fs::path target = listed ? listed->PreferredName() : path;
    const std::string name = "com" + std::to_string(port);
    try {
        MapComPort(mapFolder, port, target);
    } catch (const std::exception& error) {
        err << kProgram << "cannot write the map folder " << mapFolder.string() << ": " << error.what() << "\n";
        return kNotDone;
    }
    out << name << " -> " << target.string() << (target != path ? " (" + path.string() + ")" : "") << "\n"
        << "  in " << mapFolder.string() << "\n";
    const PortHolders held = HoldersOf(*node, {path, target}, listed ? listed->kernelName : std::string());
    PrintNotes(path, listed, held.holders, out);
    if (!noXonXoff) {
        ReportFlowControl(name, path, *node, held.console, held.holders, out);
        return kDone;
    }
    if (const std::string problem = TurnFlowControlOff(path, *node, held.holders); !problem.empty()) {
        err << kProgram << name << " is mapped, but XON/XOFF could not be turned off on " << path.string() << ": "
            << problem << "\n";
        return kNotDone;
    }
    out << "XON/XOFF is off on " << path.string()
        << " now; it holds until the adapter is replugged or the machine restarts.\n";
    return kDone;
}

int ClearPort(const fs::path& mapFolder, unsigned port, std::ostream& out, std::ostream& err)
{
    const std::string name = "com" + std::to_string(port);
    bool removed = false;
    try {
        removed = UnmapComPort(mapFolder, port);
    } catch (const std::exception& error) {
        err << kProgram << "cannot change the map folder " << mapFolder.string() << ": " << error.what() << "\n";
        return kNotDone;
    }
    out << name << (removed ? " is no longer mapped" : " was not mapped") << "; it means "
        << UnmappedComPortDevice(port).string() << "\n";
    return kDone;
}
