#include "host_paths.h"

#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

bool Below(const fs::path& path, const char* top)
{
    const std::string text = path.string();
    const std::string prefix = top;
    return text == prefix || text.starts_with(prefix + "/");
}

}  // namespace

fs::path OnHost(const fs::path& systemPath)
{
    static const char* const root = std::getenv("VORNIKAL_PORT_ROOT");
    if (root == nullptr || root[0] == '\0' || !(Below(systemPath, "/sys") || Below(systemPath, "/dev")))
        return systemPath;
    return fs::path(root) / systemPath.relative_path();
}

fs::path DevicePath(const std::string& device)
{
    return device.find('/') == std::string::npos ? fs::path("/dev") / device : fs::path(device);
}
