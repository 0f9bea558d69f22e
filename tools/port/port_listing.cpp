#include "port_listing.h"

#include "board_uarts.h"
#include "device_map.h"
#include "host_paths.h"
#include "modem_manager.h"
#include "port_mapping.h"
#include "port_state.h"
#include "ttyless_adapters.h"

#include <algorithm>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kComOne = 1;

// A map entry and the device it leads to.
struct MappedPort {
    ComPortLink link;
    PortState state;
};

fs::path TargetOf(const fs::path& mapFolder, const fs::path& target)
{
    return target.is_absolute() ? target : mapFolder / target;
}

std::string Field(const char* name, const std::string& value)
{
    std::string padded = std::string("  ") + name;
    padded.resize(15, ' ');
    return padded + value + "\n";
}

std::string MoreLine(const std::string& value)
{
    return std::string(15, ' ') + value + "\n";
}

std::string DriverText(const SerialDevice& device)
{
    std::string text = device.driver.empty() ? "unknown" : device.driver;
    if (!device.uart.empty())
        text += ", " + device.uart;
    if (device.usb) {
        const UsbIdentity& usb = *device.usb;
        text += ", USB " + usb.vendorId + ":" + usb.productId;
        for (const std::string& part : {usb.manufacturer, usb.product}) {
            if (!part.empty())
                text += " " + part;
        }
        if (!usb.serial.empty())
            text += ", serial " + usb.serial;
    }
    return text;
}

std::string AccessText(const AccessVerdict& access)
{
    if (access.allowed)
        return Field("may open", "yes");
    std::string text = Field("may open", "no: " + access.why);
    if (!access.fix.empty())
        text += MoreLine("fix: " + access.fix);
    return text;
}

std::string InUseText(const PortState& state)
{
    std::string users;
    if (state.console)
        users = "the kernel's console";
    if (!state.holders.empty())
        users += (users.empty() ? "" : ", ") + HoldersText(state.holders);
    std::string text = Field("in use", users.empty() ? "no" : "by " + users);
    if (state.console && state.serial)
        text += MoreLine("fix: " + ConsoleFix(state.serial->kernelName));
    if (!state.BluetoothHolders().empty())
        text += MoreLine("fix: " + BluetoothFix());
    const bool probing = std::any_of(state.holders.begin(), state.holders.end(),
                                     [](const PortHolder& holder) { return IsModemManager(holder.program); });
    const bool mayProbe = !probing && state.serial && ModemManagerMayProbe(*state.serial, state.node->status.st_rdev);
    if (mayProbe)
        text += Field("ModemManager", "may open it for a few seconds after it is plugged in, to probe for a modem");
    if (probing || mayProbe) {
        const auto fix = ModemManagerFix(state.serial ? state.serial->usb : std::nullopt);
        text += MoreLine("fix: " + fix.front());
        for (auto line = fix.begin() + 1; line != fix.end(); ++line)
            text += MoreLine("     " + *line);
    }
    return text;
}

std::string FlowControlText(const PortState& state, const std::string& portName, const fs::path& shownName)
{
    const FlowControlReading& reading = state.flowControl;
    if (!reading.on && reading.why.empty())
        return Field("XON/XOFF", "not read, as that opens the device: vornikal-port --check " + shownName.string());
    if (!reading.on)
        return Field("XON/XOFF", "not read: " + reading.why);
    if (!*reading.on)
        return Field("XON/XOFF", "off");
    return Field("XON/XOFF", "on: 0x11 and 0x13 vanish from answers, and a 0x13 received stops the output") +
           MoreLine("fix: vornikal-port --no-xonxoff " + portName + " " + state.path.string());
}

// The comN names that lead to `state`: map entries, and the default name of a ttyS port whose
// comN has no entry.
std::vector<std::string> PortNames(const PortState& state, const std::vector<MappedPort>& mapped,
                                   const fs::path& mapFolder)
{
    std::vector<std::string> names;
    for (const MappedPort& port : mapped) {
        if (port.state.node && state.node && port.state.node->SameAs(*state.node))
            names.push_back("com" + std::to_string(port.link.port));
    }
    const std::string name = state.serial ? state.serial->kernelName : std::string();
    if (name.starts_with("ttyS") && name.size() > 4) {
        const auto number = ComPortNumber("com" + std::to_string(std::stoul(name.substr(4)) + 1));
        if (number && !ComPortEntry(mapFolder, *number))
            names.push_back("com" + std::to_string(*number) + " (no map entry)");
    }
    return names;
}

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

void PrintDevice(const PortState& state, const std::vector<std::string>& names, std::ostream& out)
{
    const SerialDevice& device = *state.serial;
    const fs::path& shown = device.PreferredName();
    out << shown.string() << "\n";
    out << Field("kernel name", device.kernelName + (shown != device.node ? " (" + device.node.string() + ")" : ""));
    out << Field("driver", DriverText(device));
    out << AccessText(state.access);
    out << InUseText(state);
    out << FlowControlText(state, names.empty() ? "comN" : names.front().substr(0, names.front().find(' ')), shown);
    out << Field("com port", names.empty() ? "none" : Joined(names));
    out << "\n";
}

// A device the listing has no block for: a pseudo-terminal, say, or one that is gone.
std::string Summary(const PortState& state)
{
    if (!state.Present())
        return "not present (adapter unplugged?)";
    if (state.serial)
        return state.serial->kernelName + ", listed above";
    std::string text = state.PseudoTerminal() ? "a pseudo-terminal" : (state.terminal ? "a terminal" : "not a terminal");
    if (!state.holders.empty())
        text += "; held by " + HoldersText(state.holders);
    if (!state.access.allowed)
        text += "; you may not open it: " + state.access.why;
    if (state.flowControl.on)
        text += std::string("; XON/XOFF ") + (*state.flowControl.on ? "on" : "off");
    return text;
}

void PrintMap(const fs::path& mapFolder, const std::vector<MappedPort>& mapped, std::ostream& out)
{
    out << "Map folder " << mapFolder.string() << (mapped.empty() ? ": no entries\n" : ":\n");
    for (const MappedPort& port : mapped)
        out << "  com" << port.link.port << " -> " << port.link.target.string() << ": " << Summary(port.state) << "\n";
    out << "\n";
}

// One look at sysfs and /proc serves every device, map entry and com1; nothing is opened unless
// XON/XOFF is asked for.
class Inspector {
public:
    explicit Inspector(std::vector<SerialDevice> devices) : m_devices(std::move(devices)), m_processes(LookAtProcesses())
    {
        for (const SerialDevice& device : m_devices)
            m_states.push_back(InspectPort(device.node, m_devices, m_processes, false, &device));
    }

    const std::vector<PortState>& Listed() const { return m_states; }
    bool Partial() const { return m_processes.open.hidden > 0 || m_processes.open.late > 0; }

    PortState Inspect(const fs::path& path, bool readFlowControl = false) const
    {
        if (const auto node = StatNode(OnHost(path))) {
            for (const PortState& state : m_states) {
                if (state.node && state.node->SameAs(*node))
                    return readFlowControl ? InspectPort(state.path, m_devices, m_processes, true, &*state.serial)
                                           : state;
            }
        }
        return InspectPort(path, m_devices, m_processes, readFlowControl);
    }

private:
    std::vector<SerialDevice> m_devices;
    ProcessClaims m_processes;
    std::vector<PortState> m_states;
};

// Whether a Send can work on the device, after the caller's "com1 now means ..." or "DEVICE";
// true when it cannot.
bool PrintVerdict(const PortState& state, const std::string& name, const char* cannot, std::ostream& out)
{
    const auto problems = state.Problems();
    if (problems.empty()) {
        if (state.flowControl.on || !state.flowControl.why.empty())
            out << ": ready for a Send.\n";
        else
            out << ": ready for a Send, if XON/XOFF is off (vornikal-port --check " << name << " reads it).\n";
        return false;
    }
    out << cannot << "\n";
    for (const std::string& problem : problems)
        out << "  - " << problem << "\n";
    return true;
}

// A board UART that Bluetooth has not taken: on a system without the Pi's aliases, the header's
// UART may be on although /dev/serial0 is missing.
bool FreeBoardUart(const PortState& state)
{
    return state.serial && !state.serial->absent && !BoardUartKind(state.serial->driver).empty() &&
           state.BluetoothHolders().empty();
}

// What the listing cannot show as a device: UARTs that Bluetooth took without a tty, and on a Pi
// the header's UART switched off.
void PrintBoardNotes(const std::vector<PortState>& listed, std::ostream& out)
{
    for (const BluetoothUart& uart : FindBluetoothUarts()) {
        const std::string kind = BoardUartKind(uart.driver);
        out << "Taken by Bluetooth: " << uart.hardware << " (" << (kind.empty() ? uart.driver : kind)
            << ") belongs to the Bluetooth driver " << uart.bluetoothDriver << " and has no device node.\n"
            << "  To use it: " << BluetoothFix() << "\n\n";
    }
    if (!OnRaspberryPi() || HeaderUartAliasPresent() || std::any_of(listed.begin(), listed.end(), FreeBoardUart))
        return;
    out << "The UART on the header (GPIO14 and 15) is off: there is no /dev/serial0.\n"
        << "  To use it: " << UartOnFix() << "\n\n";
}

// Adapters that are plugged in but got no tty, so the listing has no block for them.
void PrintTtylessAdapters(std::ostream& out)
{
    for (const TtylessAdapter& adapter : FindTtylessAdapters()) {
        for (const std::string& line : TtylessAdapterText(adapter))
            out << line << "\n";
        out << "\n";
    }
}

void PrintComOne(const fs::path& mapFolder, const std::vector<MappedPort>& mapped, const Inspector& inspector,
                 std::ostream& out)
{
    const MappedPort* entry = nullptr;
    for (const MappedPort& port : mapped)
        entry = port.link.port == kComOne ? &port : entry;
    const PortState state = entry ? entry->state : inspector.Inspect(UnmappedComPortDevice(kComOne));
    out << "com1 now means " << (entry ? entry->link.target.string() + " (map entry " + entry->link.entry.string() + ")"
                                       : state.path.string() + " (no map entry in " + mapFolder.string() + ")");
    if (PrintVerdict(state, "com1", ", and a Send will not work:", out))
        out << "Map com1 to a device listed above: vornikal-port com1 DEVICE\n";
}

std::vector<MappedPort> MappedPorts(const fs::path& mapFolder, const Inspector& inspector)
{
    std::vector<MappedPort> mapped;
    for (const ComPortLink& link : ComPortLinks(mapFolder))
        mapped.push_back({link, inspector.Inspect(TargetOf(mapFolder, link.target))});
    return mapped;
}

// What comN leads to: its map entry's target, else the device it means unmapped.
fs::path PortTarget(const fs::path& mapFolder, unsigned port)
{
    const auto entry = ComPortEntry(mapFolder, port);
    if (!entry)
        return UnmappedComPortDevice(port);
    std::error_code error;
    const fs::path target = fs::read_symlink(*entry, error);
    return error ? *entry : TargetOf(mapFolder, target);
}

}  // namespace

void ListPorts(const fs::path& mapFolder, std::ostream& out)
{
    const Inspector inspector(FindSerialDevices());
    const std::vector<MappedPort> mapped = MappedPorts(mapFolder, inspector);

    std::vector<std::string> absent;
    for (const PortState& state : inspector.Listed()) {
        if (state.serial->absent)
            absent.push_back(state.serial->kernelName);
        else
            PrintDevice(state, PortNames(state, mapped, mapFolder), out);
    }
    if (absent.size() == inspector.Listed().size())
        out << "No serial devices found. Plug in the adapter, or try the tool on vornikal-loopback.\n\n";
    if (!absent.empty())
        out << "Not offered: " << Joined(absent) << " (UART ports the kernel registered with no hardware behind them)\n\n";
    PrintBoardNotes(inspector.Listed(), out);
    PrintTtylessAdapters(out);
    PrintMap(mapFolder, mapped, out);
    PrintComOne(mapFolder, mapped, inspector, out);
    if (inspector.Partial())
        out << "(in use: only your own programs, and every program's locks, are visible to you)\n";
}

int CheckPort(const fs::path& mapFolder, const std::string& device, std::ostream& out, std::ostream& err)
{
    const Inspector inspector(FindSerialDevices());
    const auto port = device.find('/') == std::string::npos ? ComPortNumber(device) : std::nullopt;
    const fs::path path = port ? PortTarget(mapFolder, *port) : DevicePath(device);
    const PortState state = inspector.Inspect(path, true);
    if (!state.Present()) {
        err << "vornikal-port: " << path.string() << " is not present (run vornikal-port to list the devices present)\n";
        PrintTtylessAdapters(err);
        return kNotDone;
    }
    if (state.serial)
        PrintDevice(state, PortNames(state, MappedPorts(mapFolder, inspector), mapFolder), out);
    else
        out << path.string() << ": " << Summary(state) << "\n\n";
    out << device;
    return PrintVerdict(state, device, ": a Send will not work:", out) ? kNotDone : kDone;
}
