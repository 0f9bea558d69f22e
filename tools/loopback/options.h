// The command line of vornikal-loopback.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

struct LoopbackOptions {
    std::optional<std::filesystem::path> mapFolder;  // --map-dir: instead of the user's map
    std::optional<std::filesystem::path> readyFile;  // --once-ready-file: gets the device path
    bool help = false;                                // --help: the usage on standard output, nothing else
};

// Nothing when the command line is not understood.
std::optional<LoopbackOptions> ParseOptions(int argc, char** argv);
// On standard error after a bad command line, on standard output for --help.
void PrintUsage(std::ostream& out, const char* program);
