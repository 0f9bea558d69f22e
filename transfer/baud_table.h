// The rates the baud list offers, in list order: the list position selects the rate.
#pragma once

#include "win32_comm.h"

#include <array>

namespace transfer {

struct BaudEntry {
    const char* text;
    DWORD rate;
};

inline constexpr std::array<BaudEntry, 5> kBaudTable = {{
    {"CBR_14400", CBR_14400},
    {"CBR_19200", CBR_19200},
    {"CBR_38400", CBR_38400},
    {"CBR_56000", CBR_56000},
    {"CBR_57600", CBR_57600},
}};

}  // namespace transfer
