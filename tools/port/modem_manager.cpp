#include "modem_manager.h"

#include "host_paths.h"
#include "process_files.h"

#include <fstream>

#include <sys/sysmacros.h>

namespace {

constexpr const char* kService = "ModemManager";

// udev's record of the device: lines "E:KEY=VALUE".
bool UdevSays(dev_t rdev, const std::string& property)
{
    std::ifstream record(OnHost("/run/udev/data/c" + std::to_string(major(rdev)) + ":" + std::to_string(minor(rdev))));
    for (std::string line; std::getline(record, line);) {
        if (line == "E:" + property)
            return true;
    }
    return false;
}

// Whether it runs: one look at every process's name, once for the command's one listing.
bool ModemManagerRuns()
{
    static const bool runs = !ProcessesNamed(kService).empty();
    return runs;
}

}  // namespace

bool IsModemManager(const std::string& program)
{
    return program == kService;
}

bool ModemManagerMayProbe(const SerialDevice& device, dev_t rdev)
{
    return device.usb && ModemManagerRuns() && !UdevSays(rdev, "ID_MM_DEVICE_IGNORE=1");
}

std::vector<std::string> ModemManagerFix(const std::optional<UsbIdentity>& usb)
{
    const std::string match = usb ? "ATTRS{idVendor}==\"" + usb->vendorId + "\", ATTRS{idProduct}==\"" + usb->productId + "\", "
                                  : std::string("KERNEL==\"ttyACM*|ttyUSB*\", ");
    return {"keep ModemManager off it: put this line in /etc/udev/rules.d/99-vornikal-modemmanager.rules",
            "  ACTION==\"add|change\", SUBSYSTEM==\"" + std::string(usb ? "usb" : "tty") + "\", " + match +
                "ENV{ID_MM_DEVICE_IGNORE}=\"1\"",
            "then run 'sudo udevadm control --reload-rules' and plug the adapter in again;",
            "or stop ModemManager: sudo systemctl stop ModemManager"};
}
