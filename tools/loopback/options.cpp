#include "options.h"

#include <iostream>
#include <string_view>

std::optional<LoopbackOptions> ParseOptions(int argc, char** argv)
{
    LoopbackOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help") {
            options.help = true;
            continue;
        }
        if (i + 1 == argc)
            return std::nullopt;
        if (option == "--map-dir")
            options.mapFolder = argv[++i];
        else if (option == "--once-ready-file")
            options.readyFile = argv[++i];
        else
            return std::nullopt;
    }
    return options;
}

void PrintUsage(std::ostream& out, const char* program)
{
    out << "usage: " << program << " [--map-dir DIR] [--once-ready-file FILE]\n"
        << "Maps com1 to a pseudo-terminal and sends back every byte written to it,\n"
        << "like a plug that joins TX to RX, until interrupted.\n"
        << "  --map-dir DIR           the device map folder (default:\n"
        << "                          ${XDG_CONFIG_HOME:-$HOME/.config}/vornikal/dosdevices)\n"
        << "  --once-ready-file FILE  write the device path to FILE once it echoes\n"
        << "  --help                  show this and exit\n";
}
