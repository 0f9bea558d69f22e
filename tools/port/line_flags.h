// Software flow control (XON/XOFF) on a device. Reading or changing it means opening the device,
// which on Linux raises DTR and RTS; both are lowered again at once, as the comm calls do.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

struct FlowControlReading {
    std::optional<bool> on;  // nothing when it could not be read
    std::string why;         // why not
};

FlowControlReading ReadSoftwareFlowControl(const std::filesystem::path& hostPath);
// Turns IXON and IXOFF off; an empty string when done, else why not.
std::string TurnSoftwareFlowControlOff(const std::filesystem::path& hostPath);
