// Where the command reads the system's /sys and /dev: the real ones, or for tests a fake tree
// named by VORNIKAL_PORT_ROOT. Paths the command shows and writes are always the system's.
#pragma once

#include <filesystem>

// The file behind a system path: under the fake root for paths in /sys and /dev.
std::filesystem::path OnHost(const std::filesystem::path& systemPath);
