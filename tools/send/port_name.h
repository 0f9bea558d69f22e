// Port N as the comm calls open it, and as the command's messages name it.
#pragma once

#include <string>

// "comN"; from com10 on with the "\\.\" prefix, without which Windows opens only com1 to com9.
std::string PortOpenName(unsigned port);
// The port and, where a device map decides it, the device behind it.
std::string PortDescription(unsigned port);
