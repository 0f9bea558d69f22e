#include "board_uarts.h"

#include "device_node.h"
#include "host_paths.h"
#include "sysfs_files.h"

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

bool IsSerialAliasName(const std::string& name)
{
    return name.size() > 6 && name.starts_with("serial") &&
           name.find_first_not_of("0123456789", 6) == std::string::npos;
}

}  // namespace

bool OnRaspberryPi()
{
    std::ifstream in(OnHost("/sys/firmware/devicetree/base/model"));
    const std::string model{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return model.find("Raspberry Pi") != std::string::npos;
}

std::string BoardUartKind(const std::string& driver)
{
    if (driver == "uart-pl011")
        return "ARM PL011 UART";
    if (driver == "bcm2835-aux-uart")
        return "the Pi's mini UART";
    return {};
}

std::vector<BluetoothUart> FindBluetoothUarts()
{
    // Each client of the bus is serialN-M, below its controller serialN, below the UART.
    std::vector<BluetoothUart> found;
    std::error_code error;
    for (fs::directory_iterator entry(OnHost("/sys/bus/serial/devices"), error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code unresolved;
        const fs::path client = fs::canonical(entry->path(), unresolved);
        if (unresolved || client.filename().string().find('-') == std::string::npos ||
            !fs::exists(client / "bluetooth"))
            continue;
        const fs::path uart = client.parent_path().parent_path();
        found.push_back({uart.filename().string(), LinkName(uart / "driver"), LinkName(client / "driver")});
    }
    return found;
}

bool IsBluetoothAttachProgram(const std::string& program)
{
    return program == "hciattach" || program == "btattach";
}

std::optional<fs::path> SerialAlias(const fs::path& node)
{
    const auto device = StatNode(OnHost(node));
    if (!device)
        return std::nullopt;
    std::error_code error;
    for (fs::directory_iterator entry(OnHost("/dev"), error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!IsSerialAliasName(name) || !entry->is_symlink())
            continue;
        const auto aliased = StatNode(entry->path());
        if (aliased && aliased->SameAs(*device))
            return fs::path("/dev") / name;
    }
    return std::nullopt;
}

bool HeaderUartAliasPresent()
{
    return fs::exists(fs::symlink_status(OnHost("/dev/serial0")));
}

std::string ConsoleFix(const std::string& kernelName)
{
    if (OnRaspberryPi())
        return "turn the serial console off: sudo raspi-config, Interface Options, Serial Port, login shell "
               "No, hardware Yes; or remove console=serial0,115200 from /boot/firmware/cmdline.txt; then reboot";
    return "remove console=" + kernelName + " from the kernel command line (GRUB_CMDLINE_LINUX in "
           "/etc/default/grub, then sudo update-grub), then reboot";
}

std::string UartOnFix()
{
    return "add enable_uart=1 to /boot/firmware/config.txt (or sudo raspi-config, Interface Options, Serial "
           "Port, hardware Yes), then reboot";
}

std::string BluetoothFix()
{
    if (OnRaspberryPi())
        return "add dtoverlay=disable-bt (Bluetooth off; also sudo systemctl disable hciuart) or "
               "dtoverlay=miniuart-bt (Bluetooth on the mini UART) to /boot/firmware/config.txt, then reboot";
    return "turn Bluetooth off on this UART in the board's device tree, then reboot";
}
