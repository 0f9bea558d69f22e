// DOS serial device names ("com1", "\\.\COM12") and the per-user map that says which Unix device
// each one is: a folder of symlinks named after the ports.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The port number of a comN name (N from 1 to 255, case-insensitive, "\\.\" prefix allowed);
// nothing for any other name.
std::optional<unsigned> ComPortNumber(std::string_view name);

// ${XDG_CONFIG_HOME:-$HOME/.config}/vornikal/dosdevices; nothing when neither variable is usable.
std::optional<std::filesystem::path> DeviceMapFolder();

// The device that port N stands for: the map entry named comN (an exact lower-case name first,
// then any spelling), else /dev/ttyS(N-1).
std::filesystem::path ComPortDevice(unsigned portNumber);
