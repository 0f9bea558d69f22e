#include "serial_devices.h"

#include "board_uarts.h"
#include "device_node.h"
#include "host_paths.h"
#include "sysfs_files.h"
#include "tty_device.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path DevicesTop()
{
    std::error_code error;
    return fs::weakly_canonical(OnHost("/sys/devices"), error);
}

// The serial core puts devices of its own ("port", "ctrl" on the serial-base bus) between a tty and
// the driver of its hardware: look past them, up to the first real driver.
std::string DriverOf(fs::path device)
{
    const fs::path top = DevicesTop();
    for (; device.string().starts_with(top.string()) && device != top; device = device.parent_path()) {
        const std::string driver = LinkName(device / "driver");
        if (!driver.empty() && LinkName(device / "subsystem") != "serial-base")
            return driver;
    }
    return {};
}

std::optional<UsbIdentity> UsbIdentityOf(fs::path device)
{
    const fs::path top = DevicesTop();
    for (; device.string().starts_with(top.string()) && device != top; device = device.parent_path()) {
        if (!fs::exists(device / "idVendor"))
            continue;
        return ReadUsbIdentity(device);
    }
    return std::nullopt;
}

std::string UartName(const std::string& type)
{
    static const char* const kNames[] = {"", "8250", "16450", "16550", "16550A"};
    if (type.empty())
        return {};
    const int number = std::atoi(type.c_str());
    if (number >= 1 && number <= 4)
        return std::string(kNames[number]) + " UART";
    return "UART type " + type;
}

std::optional<fs::path> ByIdName(const fs::path& node)
{
    const auto device = StatNode(OnHost(node));
    std::error_code error;
    if (!device)
        return std::nullopt;
    for (fs::directory_iterator entry(OnHost("/dev/serial/by-id"), error), end; !error && entry != end;
         entry.increment(error)) {
        const auto named = StatNode(entry->path());
        if (named && named->SameAs(*device))
            return fs::path("/dev/serial/by-id") / entry->path().filename();
    }
    return std::nullopt;
}

// "ttyS10" after "ttyS2": the name's letters, then its number.
bool NameOrder(const SerialDevice& a, const SerialDevice& b)
{
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
            --digits;
        return std::make_pair(name.substr(0, digits),
                              digits < name.size() ? std::stoul(name.substr(digits)) : 0ul);
    };
    return split(a.kernelName) < split(b.kernelName);
}

SerialDevice Describe(const fs::path& classEntry)
{
    SerialDevice device;
    device.kernelName = classEntry.filename().string();
    device.node = fs::path("/dev") / device.kernelName;
    std::error_code error;
    const fs::path hardware = fs::canonical(classEntry / "device", error);
    if (!error) {
        device.driver = DriverOf(hardware);
        device.usb = UsbIdentityOf(hardware);
    }
    const std::string type = ReadAttribute(classEntry / "type");
    const std::string boardUart = BoardUartKind(device.driver);
    device.uart = boardUart.empty() ? UartName(type) : boardUart;
    // A board's UART driver registers only hardware it found, whatever type it reports.
    device.absent = type == "0" && boardUart.empty();
    device.console = IsKernelConsole(device.kernelName, OnHost("/sys"));
    device.byId = ByIdName(device.node);
    device.alias = SerialAlias(device.node);
    return device;
}

}  // namespace

std::vector<SerialDevice> FindSerialDevices()
{
    std::vector<SerialDevice> devices;
    std::error_code error;
    for (fs::directory_iterator entry(OnHost("/sys/class/tty"), error), end; !error && entry != end;
         entry.increment(error)) {
        // Virtual terminals, pseudo-terminals and the console alias have no device link.
        if (fs::exists(fs::symlink_status(entry->path() / "device")))
            devices.push_back(Describe(entry->path()));
    }
    std::sort(devices.begin(), devices.end(), NameOrder);
    return devices;
}
