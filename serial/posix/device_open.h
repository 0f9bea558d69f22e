// Opening a serial device for one holder at a time, as share mode 0 does on Windows.
#pragma once

#include <filesystem>

// The descriptor of the opened terminal device, or -1 with the thread's last error set.
int OpenExclusiveTty(const std::filesystem::path& path);
// Gives up the exclusive hold before the descriptor is closed.
void ReleaseExclusiveTty(int fd);
