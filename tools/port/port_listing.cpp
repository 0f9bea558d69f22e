#include "port_listing.h"

#include "device_map.h"
#include "host_paths.h"
#include "port_state.h"

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
    if (state.serial && state.serial->console)
        users = "the kernel's console";
    if (!state.holders.empty())
        users += (users.empty() ? "" : ", ") + HoldersText(state.holders);
    return Field("in use", users.empty() ? "no" : "by " + users);
}

std::string FlowControlText(const PortState& state, const std::string& portName)
{
    const FlowControlReading& reading = state.flowControl;
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
    out << (device.byId ? device.byId->string() : device.node.string()) << "\n";
    out << Field("kernel name", device.kernelName + (device.byId ? " (" + device.node.string() + ")" : ""));
    out << Field("driver", DriverText(device));
    out << AccessText(state.access);
    out << InUseText(state);
    out << FlowControlText(state, names.empty() ? "comN" : names.front().substr(0, names.front().find(' ')));
    out << Field("com port", names.empty() ? "none" : Joined(names));
    out << "\n";
}

std::string MappedSummary(const MappedPort& port)
{
    const PortState& state = port.state;
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
        out << "  com" << port.link.port << " -> " << port.link.target.string() << ": " << MappedSummary(port) << "\n";
    out << "\n";
}

// Every device is opened at most once: a map entry or com1 that leads to a listed device takes
// what was found there.
class Inspector {
public:
    explicit Inspector(std::vector<SerialDevice> devices) : m_devices(std::move(devices)), m_openFiles(OpenFiles::Scan())
    {
        for (const SerialDevice& device : m_devices)
            m_states.push_back(InspectPort(device.node, m_devices, m_openFiles, &device));
    }

    const std::vector<PortState>& Listed() const { return m_states; }
    bool Partial() const { return m_openFiles.Partial(); }

    PortState Inspect(const fs::path& path) const
    {
        if (const auto node = StatNode(OnHost(path))) {
            for (const PortState& state : m_states) {
                if (state.node && state.node->SameAs(*node))
                    return state;
            }
        }
        return InspectPort(path, m_devices, m_openFiles);
    }

private:
    std::vector<SerialDevice> m_devices;
    OpenFiles m_openFiles;
    std::vector<PortState> m_states;
};

void PrintComOne(const fs::path& mapFolder, const std::vector<MappedPort>& mapped, const Inspector& inspector,
                 std::ostream& out)
{
    const MappedPort* entry = nullptr;
    for (const MappedPort& port : mapped)
        entry = port.link.port == kComOne ? &port : entry;
    const PortState state = entry ? entry->state : inspector.Inspect(UnmappedComPortDevice(kComOne));
    out << "com1 now means " << (entry ? entry->link.target.string() + " (map entry " + entry->link.entry.string() + ")"
                                       : state.path.string() + " (no map entry in " + mapFolder.string() + ")");
    const auto problems = state.Problems();
    if (problems.empty()) {
        out << ": ready for a Send.\n";
        return;
    }
    out << ", and a Send will not work:\n";
    for (const std::string& problem : problems)
        out << "  - " << problem << "\n";
    out << "Map com1 to a device listed above: vornikal-port com1 DEVICE\n";
}

}  // namespace

void ListPorts(const fs::path& mapFolder, std::ostream& out)
{
    const Inspector inspector(FindSerialDevices());
    std::vector<MappedPort> mapped;
    for (const ComPortLink& link : ComPortLinks(mapFolder))
        mapped.push_back({link, inspector.Inspect(TargetOf(mapFolder, link.target))});

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
    PrintMap(mapFolder, mapped, out);
    PrintComOne(mapFolder, mapped, inspector, out);
    if (inspector.Partial())
        out << "(in use: only your own programs, and every program's locks, are visible to you)\n";
}
