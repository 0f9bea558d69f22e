// vornikal-port with no arguments: the serial devices present, the comN map, and what com1 means.
#pragma once

#include <filesystem>
#include <ostream>

void ListPorts(const std::filesystem::path& mapFolder, std::ostream& out);
