// vornikal-port with no arguments: the serial devices present, the comN map, and what com1 means;
// and one device looked at closer.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

// Opens no device: opening raises DTR and RTS, and many boards reset on DTR.
void ListPorts(const std::filesystem::path& mapFolder, std::ostream& out);
// vornikal-port --check DEVICE (or comN): the device's entry with its XON/XOFF read, and whether a
// Send can work on it; kDone when it can.
int CheckPort(const std::filesystem::path& mapFolder, const std::string& device, std::ostream& out,
              std::ostream& err);
