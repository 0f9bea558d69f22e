// Where the command reads the system's own files (sysfs, /dev, /run, udev's rules, the kernel's
// module lists): the real ones, or for tests a fake tree named by VORNIKAL_PORT_ROOT. Paths the
// command shows and writes are always the system's; /proc is always the real one.
#pragma once

#include <filesystem>
#include <string>

// The top of the tree the command reads: / or the fake root.
std::filesystem::path HostRoot();
// The file behind a system path: under the fake root for the system's own folders.
std::filesystem::path OnHost(const std::filesystem::path& systemPath);
// The system's name for a file under HostRoot().
std::filesystem::path OnSystem(const std::filesystem::path& hostPath);
// DEVICE as the user gave it: a path, or a name in /dev.
std::filesystem::path DevicePath(const std::string& device);
