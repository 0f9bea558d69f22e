// The device map's answer, as the comm calls will find it when they open the port.
#include "device_map.h"
#include "port_name.h"

#include <system_error>

std::string PortDescription(unsigned port)
{
    const std::string name = "com" + std::to_string(port);
    const std::filesystem::path device = ComPortDevice(port);
    if (device == UnmappedComPortDevice(port))
        return name + " (" + device.string() + ", no map entry)";
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(device, error);
    return name + " (" + (error ? device.string() : target.string()) + ", map entry " + device.string() + ")";
}
