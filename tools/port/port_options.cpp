#include "port_options.h"

#include "device_map.h"

#include <ostream>
#include <string_view>
#include <vector>

namespace {

ParsedCommand Refuse(std::string error)
{
    return {std::nullopt, std::move(error)};
}

// Which action the words and flags ask for, once the options are taken off.
ParsedCommand Resolve(PortCommand command, const std::vector<std::string>& words, bool clear)
{
    if (command.action == PortCommand::Action::Check) {
        if (!words.empty() || clear || command.noXonXoff)
            return Refuse("--check takes a device or a port and nothing else");
        return {command, {}};
    }
    if (words.empty()) {
        if (clear || command.noXonXoff)
            return Refuse(clear ? "--clear needs a port: comN --clear" : "--no-xonxoff needs a port and a device");
        return {command, {}};
    }
    const auto port = ComPortNumber(words[0]);
    if (!port || words[0].starts_with("\\"))
        return Refuse("'" + words[0] + "' is not a port name: com1 to com255");
    command.port = *port;
    if (clear) {
        if (words.size() != 1 || command.noXonXoff)
            return Refuse("--clear takes a port and nothing else");
        command.action = PortCommand::Action::Clear;
        return {command, {}};
    }
    if (words.size() != 2)
        return Refuse(words.size() == 1 ? "missing DEVICE after " + words[0] : "too many arguments");
    command.action = PortCommand::Action::Map;
    command.device = words[1];
    return {command, {}};
}

}  // namespace

ParsedCommand ParsePortCommand(int argc, char** argv)
{
    PortCommand command;
    std::vector<std::string> words;
    bool clear = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || !argument.starts_with("--")) {
            words.emplace_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "--version") {
            command.action = argument == "--help" ? PortCommand::Action::Help : PortCommand::Action::Version;
            return {command, {}};
        } else if (argument == "--map-dir") {
            if (++i == argc)
                return Refuse("--map-dir needs a folder");
            command.mapFolder = argv[i];
        } else if (argument == "--check") {
            if (++i == argc)
                return Refuse("--check needs a device or a port");
            command.action = PortCommand::Action::Check;
            command.device = argv[i];
        } else if (argument == "--no-xonxoff") {
            command.noXonXoff = true;
        } else if (argument == "--clear") {
            clear = true;
        } else {
            return Refuse("unknown option '" + std::string(argument) + "'");
        }
    }
    return Resolve(command, words, clear);
}

void PrintPortUsage(std::ostream& out)
{
    out << "usage: vornikal-port [--map-dir DIR]\n"
           "       vornikal-port [--map-dir DIR] --check DEVICE|comN\n"
           "       vornikal-port [--map-dir DIR] [--no-xonxoff] comN DEVICE\n"
           "       vornikal-port [--map-dir DIR] comN --clear\n"
           "       vornikal-port --help | --version\n"
           "\n"
           "Without a port, lists the serial devices present: their names, driver, whether you may\n"
           "open them, whether another program, the console or Bluetooth holds them, which comN maps\n"
           "to them, and what com1 means now. It opens no device: opening raises DTR and RTS, and\n"
           "boards that reset on DTR would reset.\n"
           "\n"
           "  --check DEVICE|comN\n"
           "                 the same for one device, with its XON/XOFF read (this opens it), and\n"
           "                 whether a Send can work on it: exit status 0 when it can, 1 when not\n"
           "  comN DEVICE    map comN (com1 to com255, any case) to DEVICE, a terminal device you can\n"
           "                 open; its /dev/serial/by-id or /dev/serialN name is written when it has\n"
           "                 one; says whether XON/XOFF is on (this opens it)\n"
           "  comN --clear   remove comN's mapping (comN then means /dev/ttyS(N-1))\n"
           "  --no-xonxoff   also turn XON/XOFF off on DEVICE now, until it is replugged or the\n"
           "                 machine restarts\n"
           "  --map-dir DIR  the map folder (default: ${XDG_CONFIG_HOME:-$HOME/.config}/vornikal/dosdevices)\n"
           "\n"
           "Exit status: 0 done, 1 the request could not be carried out (for --check: a Send cannot\n"
           "work), 2 usage error.\n";
}
