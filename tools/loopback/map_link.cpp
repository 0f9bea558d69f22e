#include "map_link.h"

#include "device_map.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kComOne = 1;

}  // namespace

MapLink::MapLink(const fs::path& folder, const fs::path& device) : m_folder(folder), m_device(device)
{
    if (const auto existing = ComPortEntry(m_folder, kComOne); existing && fs::is_symlink(*existing))
        m_previousTarget = fs::read_symlink(*existing);
    MapComPort(m_folder, kComOne, m_device);
}

MapLink::~MapLink()
{
    const auto entry = ComPortEntry(m_folder, kComOne);
    std::error_code error;
    if (!entry || fs::read_symlink(*entry, error) != m_device || error)
        return;
    try {
        if (m_previousTarget)
            MapComPort(m_folder, kComOne, *m_previousTarget);
        else
            UnmapComPort(m_folder, kComOne);
    } catch (const std::exception&) {
        // Nothing left to do on the way out: the stale link only names a device that is gone.
    }
}
