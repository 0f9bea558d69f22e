// The device-map entry com1, pointed at the plug's device while the plug runs.
#pragma once

#include <filesystem>
#include <optional>

class MapLink {
public:
    // Creates the folder when needed and points com1 at `device`. An existing com1 link is
    // remembered and replaced; anything else named com1 is left alone (std::runtime_error).
    MapLink(const std::filesystem::path& folder, const std::filesystem::path& device);
    // Puts back the link that was there before, or removes ours; leaves alone a com1 that someone
    // else has pointed elsewhere meanwhile.
    ~MapLink();
    MapLink(const MapLink&) = delete;
    MapLink& operator=(const MapLink&) = delete;

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_device;
    std::optional<std::filesystem::path> m_previousTarget;
};
