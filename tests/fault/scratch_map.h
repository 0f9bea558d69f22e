// A device map of the test's own: XDG_CONFIG_HOME points at a fresh temporary folder while the
// object lives, and its com1 entry can be pointed at anything, or taken away.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

class ScratchMap {
public:
    ScratchMap();
    ~ScratchMap();
    ScratchMap(const ScratchMap&) = delete;
    ScratchMap& operator=(const ScratchMap&) = delete;

    // A folder outside the map for the odd things com1 is pointed at.
    std::filesystem::path Scratch() const { return m_root / "scratch"; }
    std::filesystem::path Com1() const { return m_root / "vornikal" / "dosdevices" / "com1"; }
    // Replaces the com1 entry with a symlink to `target`.
    void MapCom1(const std::filesystem::path& target) const;
    void UnmapCom1() const;

private:
    std::filesystem::path m_root;
    std::optional<std::string> m_previous;
};
