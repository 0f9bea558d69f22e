// vornikal-port: lists the serial devices and the comN map, and maps comN to a device, as the COM
// number of an adapter is chosen in the device settings on Windows.
#include "device_map.h"
#include "port_listing.h"
#include "port_mapping.h"
#include "port_options.h"

#include <iostream>

namespace {

constexpr int kUsageError = 2;

int Run(const PortCommand& command)
{
    const auto folder = command.mapFolder ? command.mapFolder : DeviceMapFolder();
    if (!folder) {
        std::cerr << "vornikal-port: neither XDG_CONFIG_HOME nor HOME is set; use --map-dir\n";
        return kNotDone;
    }
    switch (command.action) {
    case PortCommand::Action::Map:
        return MapPort(*folder, command.port, command.device, command.noXonXoff, std::cout, std::cerr);
    case PortCommand::Action::Clear:
        return ClearPort(*folder, command.port, std::cout, std::cerr);
    case PortCommand::Action::Check:
        return CheckPort(*folder, command.device, std::cout, std::cerr);
    default:
        ListPorts(*folder, std::cout);
        return kDone;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedCommand parsed = ParsePortCommand(argc, argv);
    if (!parsed.command) {
        std::cerr << "vornikal-port: " << parsed.error << "\nTry 'vornikal-port --help'.\n";
        return kUsageError;
    }
    if (parsed.command->action == PortCommand::Action::Help) {
        PrintPortUsage(std::cout);
        return kDone;
    }
    if (parsed.command->action == PortCommand::Action::Version) {
        std::cout << "vornikal-port " << VORNIKAL_VERSION << "\n";
        return kDone;
    }
    try {
        return Run(*parsed.command);
    } catch (const std::exception& error) {
        std::cerr << "vornikal-port: " << error.what() << "\n";
        return kNotDone;
    }
}
