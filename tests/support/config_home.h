// A configuration home of the test's own: XDG_CONFIG_HOME points at a fresh temporary folder for
// the object's lifetime, so the device map the comm calls read is the test's, never the user's.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Sets (or, given nothing, removes) an environment variable, and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

class ScopedConfigHome {
public:
    ScopedConfigHome();
    ~ScopedConfigHome();

    const std::filesystem::path& Root() const { return m_root; }
    std::filesystem::path MapFolder() const { return m_root / "vornikal" / "dosdevices"; }
    std::filesystem::path Com1() const { return MapFolder() / "com1"; }
    // Makes the map entry `name` a symlink to `target`, replacing what was there.
    void Map(const std::string& name, const std::filesystem::path& target) const;

private:
    std::filesystem::path m_root;
    std::optional<ScopedEnvironment> m_variable;
};

// A fresh empty folder under the system's temporary folder.
std::filesystem::path MakeTemporaryFolder();
