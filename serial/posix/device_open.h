// Opening a serial device for one holder at a time, as share mode 0 does on Windows. The kernel
// keeps later openers off only when they ask it to (flock, TIOCEXCL); the open also keeps off a
// device that another program has marked with a lock file or simply has open, or that the kernel
// uses as its console, and marks the device with a lock file of its own while it holds it.
#pragma once

#include "uucp_lock.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct HeldTty {
    int fd = -1;
    LineLock lock;  // removed with the object, after the caller has closed the descriptor
};

// The opened terminal device, or nothing with the thread's last error set (and, when a holder
// refused it, its words as the reason). What could not be checked goes to `notes` for the trace.
std::optional<HeldTty> OpenExclusiveTty(const std::filesystem::path& path, std::vector<std::string>* notes = nullptr);
// Gives up the exclusive hold before the descriptor is closed.
void ReleaseExclusiveTty(int fd);
