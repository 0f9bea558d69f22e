// vornikal-port run as a program, as a user runs it: its output, its errors and its exit code.
#pragma once

#include "process_tools.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using PortRun = ProgramRun;

struct PortRunOptions {
    std::optional<std::filesystem::path> root;  // VORNIKAL_PORT_ROOT
    bool asNobody = false;                      // as user and group 65534, without other groups
};

PortRun RunPort(const std::vector<std::string>& arguments, const PortRunOptions& options = {});
