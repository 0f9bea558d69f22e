// Whether this user may open a device for reading and writing, and if not, why and what fixes it.
#pragma once

#include <filesystem>
#include <string>

struct AccessVerdict {
    bool allowed = false;
    std::string why;  // when not allowed
    std::string fix;  // the command or step that fixes it, when there is one
};

AccessVerdict MayOpen(const std::filesystem::path& hostPath);
