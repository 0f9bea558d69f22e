#include "tty_device.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

// Unix98 pseudo-terminal slaves.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

}  // namespace

bool IsPseudoTerminal(dev_t device)
{
    return major(device) >= kFirstPtySlaveMajor && major(device) <= kLastPtySlaveMajor;
}

std::optional<std::string> TtyName(dev_t device, const fs::path& sys)
{
    const fs::path entry = sys / "dev/char" / (std::to_string(major(device)) + ":" + std::to_string(minor(device)));
    std::error_code error;
    const fs::path subsystem = fs::read_symlink(entry / "subsystem", error);
    if (error || subsystem.filename() != "tty")
        return std::nullopt;
    const fs::path tty = fs::read_symlink(entry, error);
    if (error || tty.filename().empty())
        return std::nullopt;
    return tty.filename().string();
}

bool IsKernelConsole(const std::string& name, const fs::path& sys)
{
    // /dev/console itself, and the tty's own mark (newer kernels set it).
    if (name == "console" || FirstLine(sys / "class/tty" / name / "console") == "Y")
        return true;
    for (const std::string& console : Words(FirstLine(sys / "class/tty/console/active"))) {
        if (console == name)
            return true;
        if (console == "tty0" && Words(FirstLine(sys / "class/tty/tty0/active")) == std::vector<std::string>{name})
            return true;
    }
    return false;
}
