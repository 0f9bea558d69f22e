// The command line of vornikal-loopback.
#pragma once

#include <filesystem>
#include <optional>

struct LoopbackOptions {
    std::optional<std::filesystem::path> mapFolder;  // --map-dir: instead of the user's map
    std::optional<std::filesystem::path> readyFile;  // --once-ready-file: gets the device path
};

// Nothing when the command line is not understood.
std::optional<LoopbackOptions> ParseOptions(int argc, char** argv);
void PrintUsage(const char* program);
