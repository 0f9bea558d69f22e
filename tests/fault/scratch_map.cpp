#include "scratch_map.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

ScratchMap::ScratchMap()
{
    std::string pattern = (fs::temp_directory_path() / "vornikal-fault-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    m_root = pattern;
    fs::create_directories(Com1().parent_path());
    fs::create_directories(Scratch());
    if (const char* old = std::getenv("XDG_CONFIG_HOME"))
        m_previous = old;
    setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
}

ScratchMap::~ScratchMap()
{
    if (m_previous)
        setenv("XDG_CONFIG_HOME", m_previous->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

void ScratchMap::MapCom1(const fs::path& target) const
{
    UnmapCom1();
    fs::create_symlink(target, Com1());
}

void ScratchMap::UnmapCom1() const
{
    std::error_code ignored;
    fs::remove(Com1(), ignored);
}
