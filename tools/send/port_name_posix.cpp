// comN through the device map, or any terminal device by its path. A path does not fit the 19
// characters of a port's name (/dev/serial/by-id/... never does), so the command opens it as com1
// with this process's own map entry pointing there: the comm calls take the same road as for a
// folder entry, and check and lock every name from the path to the device.
#include "device_map.h"
#include "port_name.h"
#include "tty_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kPathPort = 1;

// Whether the system lists the character device `device` as something other than a terminal. A
// device it does not list (sysfs missing) is left to the open, which turns away what is no terminal.
bool ListedAsNoTerminal(dev_t device)
{
    if (IsPseudoTerminal(device) || TtyName(device))
        return false;
    std::error_code error;
    return fs::exists("/sys/dev/char/" + std::to_string(major(device)) + ":" + std::to_string(minor(device)), error);
}

std::string NoTerminal(std::string_view text, const char* what)
{
    std::string problem = "'";
    problem.append(text).append("' is ").append(what).append(", not a terminal device");
    return problem;
}

// The path, and where it leads when that is another name.
std::string PathDescription(const std::string& path)
{
    std::error_code error;
    const fs::path end = fs::canonical(path, error);
    return error || end == fs::path(path) ? path : path + " (" + end.string() + ")";
}

}  // namespace

const char* PortValuesText()
{
    return "com1 to com255 (default com1), or a terminal device's path:\n"
           "                /dev/ttyUSB0, /dev/serial/by-id/...";
}

std::string PortProblem(std::string_view text)
{
    if (ComPortNumber(text))
        return {};
    if (text.find('/') == std::string_view::npos) {
        std::string problem = "'";
        return problem.append(text).append("' is not a port: com1 to com255, or a device's path such as /dev/ttyUSB0");
    }
    struct stat status {};
    if (stat(std::string(text).c_str(), &status) != 0)
        return {};
    if (S_ISDIR(status.st_mode))
        return NoTerminal(text, "a folder");
    if (S_ISREG(status.st_mode))
        return NoTerminal(text, "a file");
    if (!S_ISCHR(status.st_mode) || ListedAsNoTerminal(status.st_rdev))
        return NoTerminal(text, "another kind of device");
    return {};
}

std::string PortOpenName(const std::string& port)
{
    if (const auto number = ComPortNumber(port))
        return ComPortOpenName(*number);
    // Absolute, so the name checked and locked does not depend on where the command ran.
    MapComPortInThisProcess(kPathPort, fs::absolute(port));
    return ComPortOpenName(kPathPort);
}

std::string PortDescription(const std::string& port)
{
    const auto number = ComPortNumber(port);
    if (!number)
        return PathDescription(port);
    const fs::path device = ComPortDevice(*number);
    const std::string name = "com" + std::to_string(*number);
    if (device == UnmappedComPortDevice(*number))
        return name + " (" + device.string() + ", no map entry)";
    std::error_code error;
    const fs::path target = fs::read_symlink(device, error);
    return name + " (" + (error ? device.string() : target.string()) + ", map entry " + device.string() + ")";
}

std::string DeviceBehind(const std::string& port)
{
    const auto number = ComPortNumber(port);
    std::error_code error;
    const fs::path end = fs::canonical(number ? ComPortDevice(*number) : fs::path(port), error);
    return error ? std::string() : end.string();
}
