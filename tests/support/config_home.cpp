#include "config_home.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

ScopedEnvironment::ScopedEnvironment(const char* name, const std::optional<std::string>& value) : m_name(name)
{
    if (const char* old = std::getenv(name))
        m_previous = old;
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_previous)
        setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

std::filesystem::path MakeTemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vornikal-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    return pattern;
}

ScopedConfigHome::ScopedConfigHome() : m_root(MakeTemporaryFolder())
{
    m_variable.emplace("XDG_CONFIG_HOME", m_root.string());
}

ScopedConfigHome::~ScopedConfigHome()
{
    m_variable.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

void ScopedConfigHome::Map(const std::string& name, const std::filesystem::path& target) const
{
    std::filesystem::create_directories(MapFolder());
    std::error_code ignored;
    std::filesystem::remove(MapFolder() / name, ignored);
    std::filesystem::create_symlink(target, MapFolder() / name);
}

