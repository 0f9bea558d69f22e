// COMn or \\.\COMn: Windows names the device itself.
#include "com_port_name.h"
#include "port_name.h"

#include <windows.h>

const char* PortValuesText()
{
    return "COM1 to COM4096 in any case, or \\\\.\\COMn (default COM1)";
}

std::string PortProblem(std::string_view text)
{
    if (ComPortNumber(text))
        return {};
    std::string problem = "'";
    return problem.append(text).append("' is not a port: COM1 to COM4096, or \\\\.\\COMn");
}

std::string PortOpenName(const std::string& port)
{
    return ComPortOpenName(*ComPortNumber(port));
}

std::string PortDescription(const std::string& port)
{
    return "COM" + std::to_string(*ComPortNumber(port));
}

std::string DeviceBehind(const std::string& port)
{
    // The first of the names the DOS device stands for ("\Device\Serial0", "\Device\VCP0").
    char target[1024] = {};
    const std::string name = "COM" + std::to_string(*ComPortNumber(port));
    return QueryDosDeviceA(name.c_str(), target, sizeof target) ? std::string(target) : std::string();
}
