#include "map_link.h"

#include <stdexcept>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Through a temporary name and a rename, so a reader never finds com1 missing or half made.
void PointLinkAt(const fs::path& link, const fs::path& target)
{
    const fs::path staging = link.parent_path() / (".com1.loopback." + std::to_string(getpid()));
    fs::remove(staging);
    fs::create_symlink(target, staging);
    fs::rename(staging, link);
}

}  // namespace

MapLink::MapLink(const fs::path& folder, const fs::path& device) : m_link(folder / "com1"), m_device(device)
{
    fs::create_directories(folder);
    const fs::file_status existing = fs::symlink_status(m_link);
    if (fs::is_symlink(existing))
        m_previousTarget = fs::read_symlink(m_link);
    else if (fs::exists(existing))
        throw std::runtime_error(m_link.string() + " is not a symlink; leaving it alone");
    PointLinkAt(m_link, m_device);
}

MapLink::~MapLink()
{
    std::error_code error;
    if (fs::read_symlink(m_link, error) != m_device || error)
        return;
    try {
        if (m_previousTarget)
            PointLinkAt(m_link, *m_previousTarget);
        else
            fs::remove(m_link);
    } catch (const fs::filesystem_error&) {
        // Nothing left to do on the way out: the stale link only names a device that is gone.
    }
}
