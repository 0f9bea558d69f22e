// What --port names on this platform: which values it takes, how the command opens the port, and
// how its messages and records name the port and the device behind it.
#pragma once

#include <string>
#include <string_view>

// The values --port takes, for the usage text.
const char* PortValuesText();
// What is wrong with `text` as a port, looked at before anything is opened; empty when nothing.
// A path that does not exist passes: opening it says so, as for a map entry that leads nowhere.
std::string PortProblem(std::string_view text);
// The name CCommPort opens the port by.
std::string PortOpenName(const std::string& port);
// The port and what stands behind it, for messages: "com1 (/dev/pts/3, map entry ...)".
std::string PortDescription(const std::string& port);
// The device behind the port as the system names it; empty when it cannot tell.
std::string DeviceBehind(const std::string& port);
