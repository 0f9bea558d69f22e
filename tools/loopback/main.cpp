// vornikal-loopback: maps com1 to a pseudo-terminal and echoes what the tool sends, so the tool
// can be tried without a serial port or a plug.
#include "echo_loop.h"
#include "map_link.h"
#include "options.h"
#include "pty_pair.h"

#include "device_map.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// Written whole under another name first, so a waiting reader never sees half a path.
void WriteReadyFile(const fs::path& file, const std::string& devicePath)
{
    const fs::path staging = file.string() + ".part";
    {
        std::ofstream out(staging);
        out << devicePath << '\n';
        if (!out.flush())
            throw std::runtime_error("cannot write " + staging.string());
    }
    fs::rename(staging, file);
}

int Run(const LoopbackOptions& options)
{
    const StopSignals stop;
    const auto folder = options.mapFolder ? options.mapFolder : DeviceMapFolder();
    if (!folder)
        throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set; use --map-dir");
    const PtyPair pty;
    const MapLink link(*folder, pty.SlavePath());
    std::cout << "vornikal-loopback: com1 -> " << pty.SlavePath() << " (echoing; Ctrl+C to stop)"
              << std::endl;
    if (options.readyFile)
        WriteReadyFile(*options.readyFile, pty.SlavePath());
    EchoUntilStopped(pty.Master(), stop);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto options = ParseOptions(argc, argv);
    if (!options) {
        PrintUsage(std::cerr, argv[0]);
        return 2;
    }
    if (options->help) {
        PrintUsage(std::cout, argv[0]);
        return 0;
    }
    try {
        return Run(*options);
    } catch (const std::exception& error) {
        std::cerr << "vornikal-loopback: " << error.what() << '\n';
        return 1;
    }
}
