// The command line of vornikal-port.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

struct PortCommand {
    enum class Action { List, Check, Map, Clear, Help, Version };
    Action action = Action::List;
    std::optional<std::filesystem::path> mapFolder;  // --map-dir
    bool noXonXoff = false;                          // --no-xonxoff
    unsigned port = 0;                               // comN
    std::string device;                              // DEVICE, or for --check DEVICE or comN
};

struct ParsedCommand {
    std::optional<PortCommand> command;
    std::string error;  // what is wrong, when there is no command
};

ParsedCommand ParsePortCommand(int argc, char** argv);
void PrintPortUsage(std::ostream& out);
