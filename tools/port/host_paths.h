// Where the command reads the system's /sys and /dev: the real ones, or for tests a fake tree
// named by VORNIKAL_PORT_ROOT. Paths the command shows and writes are always the system's.
#pragma once

#include <filesystem>
#include <string>

// The file behind a system path: under the fake root for paths in /sys and /dev.
std::filesystem::path OnHost(const std::filesystem::path& systemPath);
// DEVICE as the user gave it: a path, or a name in /dev.
std::filesystem::path DevicePath(const std::string& device);
