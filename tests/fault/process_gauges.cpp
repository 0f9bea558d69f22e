#include "process_gauges.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

int OpenDescriptorCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    // The iterator's own descriptor on the folder was among them.
    return count - 1;
}

std::size_t ResidentKilobytes()
{
    std::size_t totalPages = 0;
    std::size_t residentPages = 0;
    std::ifstream("/proc/self/statm") >> totalPages >> residentPages;
    return residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) / 1024;
}
