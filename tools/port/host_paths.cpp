#include "host_paths.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSystemFolders[] = {"/sys",      "/dev",          "/run",        "/etc/udev",
                                          "/lib/udev", "/usr/lib/udev", "/lib/modules", "/usr/lib/modules"};

bool Below(const fs::path& path, const char* top)
{
    const std::string text = path.string();
    const std::string prefix = top;
    return text == prefix || text.starts_with(prefix + "/");
}

}  // namespace

fs::path HostRoot()
{
    static const char* const root = std::getenv("VORNIKAL_PORT_ROOT");
    return root == nullptr || root[0] == '\0' ? fs::path("/") : fs::path(root);
}

fs::path OnHost(const fs::path& systemPath)
{
    const bool systems = std::any_of(std::begin(kSystemFolders), std::end(kSystemFolders),
                                     [&](const char* top) { return Below(systemPath, top); });
    return systems ? HostRoot() / systemPath.relative_path() : systemPath;
}

fs::path OnSystem(const fs::path& hostPath)
{
    return fs::path("/") / hostPath.lexically_relative(HostRoot());
}

fs::path DevicePath(const std::string& device)
{
    return device.find('/') == std::string::npos ? fs::path("/dev") / device : fs::path(device);
}
