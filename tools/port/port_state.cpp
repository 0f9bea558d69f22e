#include "port_state.h"

#include "board_uarts.h"
#include "host_paths.h"
#include "modem_manager.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

std::optional<SerialDevice> ListedDevice(const DeviceNode& node, const std::vector<SerialDevice>& devices)
{
    for (const SerialDevice& device : devices) {
        const auto listed = StatNode(OnHost(device.node));
        if (listed && listed->SameAs(node))
            return device;
    }
    return std::nullopt;
}

// Why the flags are left unread, or nothing when reading them disturbs no one.
std::optional<std::string> ReasonNotToProbe(const PortState& state)
{
    if (!state.Present())
        return "not present";
    if (state.serial && state.serial->absent)
        return "no UART behind it";
    if (!state.terminal)
        return "not a terminal";
    if (!state.access.allowed)
        return "you may not open it";
    if (state.console)
        return "it is the system console";
    if (!state.BluetoothHolders().empty())
        return "Bluetooth has it";
    // Opening would pulse the holder's DTR and RTS; a pseudo-terminal has no such lines.
    if (!state.holders.empty() && !state.PseudoTerminal())
        return "another program holds it";
    return std::nullopt;
}

// The device's names in /dev that programs may have locked.
std::vector<fs::path> NamesOf(const PortState& state)
{
    std::vector<fs::path> names{state.path};
    if (state.serial) {
        for (const auto& name : {std::optional<fs::path>(state.serial->node), state.serial->byId, state.serial->alias}) {
            if (name && std::find(names.begin(), names.end(), *name) == names.end())
                names.push_back(*name);
        }
    }
    return names;
}

}  // namespace

std::vector<std::string> PortState::Problems() const
{
    std::vector<std::string> problems;
    if (!Present())
        return {"it is not present (adapter unplugged?)"};
    if (serial && serial->absent)
        return {"it is a UART port with no hardware behind it"};
    if (!terminal)
        return {"it is not a terminal device"};
    if (!access.allowed)
        problems.push_back("you may not open it: " + access.why);
    if (console)
        problems.push_back("it is the system console");
    // A Send keeps off a device any other program holds, however it holds it.
    for (const PortHolder& holder : holders) {
        if (IsBluetoothAttachProgram(holder.program))
            continue;
        if (IsModemManager(holder.program))
            problems.push_back(HoldersText({holder}) + " has it open, probing it for a modem");
        else if (holder.locked || !holder.lockFile.empty())
            problems.push_back("it is locked by " + HoldersText({holder}));
        else
            problems.push_back("another program has it open: " + HoldersText({holder}));
    }
    if (const auto bluetooth = BluetoothHolders(); !bluetooth.empty())
        problems.push_back("Bluetooth has it: " + HoldersText(bluetooth));
    if (flowControl.on.value_or(false))
        problems.push_back("XON/XOFF is on, so 0x11 and 0x13 vanish from answers");
    return problems;
}

std::vector<PortHolder> PortState::BluetoothHolders() const
{
    std::vector<PortHolder> bluetooth;
    for (const PortHolder& holder : holders) {
        if (IsBluetoothAttachProgram(holder.program))
            bluetooth.push_back(holder);
    }
    return bluetooth;
}

PortState InspectPort(const fs::path& path, const std::vector<SerialDevice>& devices, const ProcessClaims& processes,
                      bool readFlowControl, const SerialDevice* listed)
{
    PortState state;
    state.path = path;
    const fs::path host = OnHost(path);
    state.node = StatNode(host);
    if (listed)
        state.serial = *listed;
    if (state.node) {
        if (!listed)
            state.serial = ListedDevice(*state.node, devices);
        state.terminal = IsTerminalDevice(*state.node);
        state.access = MayOpen(host);
        PortHolders held = HoldersOf(*state.node, NamesOf(state), state.serial ? state.serial->kernelName : std::string(), &processes);
        state.console = held.console;
        state.holders = std::move(held.holders);
    }
    if (const auto reason = ReasonNotToProbe(state))
        state.flowControl = {std::nullopt, *reason};
    else if (readFlowControl)
        state.flowControl = ReadSoftwareFlowControl(host);
    return state;
}
