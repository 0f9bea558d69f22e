// The DOS names of serial ports: "comN" in any case, with or without the "\\.\" device prefix. One
// reading serves the Linux device map and vornikal-send's --port on both platforms.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
// The most ports the system's COM database hands out numbers for (COMDB_MAX_PORTS_ARBITRATED).
inline constexpr unsigned kLastComPort = 4096;
#else
// The device map's ports, as Wine's: com1 to com255.
inline constexpr unsigned kLastComPort = 255;
#endif

// The port number of a comN name (N from 1 to kLastComPort, no leading zero); nothing for any
// other name.
std::optional<unsigned> ComPortNumber(std::string_view name);

// "comN" as CreateFileA opens it: from com10 on with the "\\.\" prefix, without which Windows opens
// only com1 to com9.
std::string ComPortOpenName(unsigned port);
