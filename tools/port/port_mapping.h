// vornikal-port comN DEVICE and comN --clear: writing and removing map entries.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

// Exit codes shared with the command line: done, or the request could not be carried out.
constexpr int kDone = 0;
constexpr int kNotDone = 1;

// Maps comN to DEVICE (a path, or a name in /dev) after checking that it is a terminal device this
// user can open; writes its /dev/serial/by-id name when it has one. With `noXonXoff`, also turns
// XON/XOFF off on it.
int MapPort(const std::filesystem::path& mapFolder, unsigned port, const std::string& device, bool noXonXoff,
            std::ostream& out, std::ostream& err);
int ClearPort(const std::filesystem::path& mapFolder, unsigned port, std::ostream& out, std::ostream& err);
