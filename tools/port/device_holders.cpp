#include "device_holders.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The name it was started by; comm would cut it to 15 characters.
std::string ProgramName(pid_t pid)
{
    const std::string process = "/proc/" + std::to_string(pid);
    std::ifstream commandLine(process + "/cmdline");
    std::string first;
    std::getline(commandLine, first, '\0');
    if (!first.empty())
        return fs::path(first).filename().string();
    std::ifstream comm(process + "/comm");
    std::getline(comm, first);
    return first.empty() ? "?" : first;
}

std::optional<pid_t> ProcessNumber(const fs::path& entry)
{
    const std::string name = entry.filename().string();
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    return static_cast<pid_t>(std::stol(name));
}

}  // namespace

OpenFiles OpenFiles::Scan()
{
    OpenFiles scan;
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end; process.increment(error)) {
        const auto pid = ProcessNumber(process->path());
        if (!pid || *pid == getpid())
            continue;
        std::error_code unreadable;
        fs::directory_iterator descriptors(process->path() / "fd", unreadable);
        if (unreadable) {
            // A process that ended meanwhile is no loss; one of another user's is.
            scan.m_partial = scan.m_partial || unreadable != std::errc::no_such_file_or_directory;
            continue;
        }
        for (const fs::directory_iterator none; !unreadable && descriptors != none; descriptors.increment(unreadable)) {
            // Only device nodes and files can be what a map entry names.
            const auto node = StatNode(descriptors->path());
            if (node && (node->IsCharacterDevice() || S_ISREG(node->status.st_mode)))
                scan.m_files.push_back({*pid, *node});
        }
    }
    // "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF"; waiters are marked "->" and hold nothing.
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> number >> kind) || kind == "->" || !(fields >> mode >> access >> pid >> where))
            continue;
        unsigned devMajor = 0, devMinor = 0;
        unsigned long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%lu", &devMajor, &devMinor, &inode) == 3 && pid != getpid())
            scan.m_locks.push_back({static_cast<pid_t>(pid), devMajor, devMinor, inode});
    }
    return scan;
}

std::vector<Holder> OpenFiles::HoldersOf(const DeviceNode& node) const
{
    std::vector<Holder> holders;
    const auto add = [&](pid_t pid, bool locked) {
        auto known = std::find_if(holders.begin(), holders.end(), [&](const Holder& h) { return h.pid == pid; });
        if (known == holders.end())
            holders.push_back({pid, ProgramName(pid), locked});
        else
            known->locked = known->locked || locked;
    };
    for (const OpenFile& file : m_files) {
        if (file.node.SameAs(node))
            add(file.pid, false);
    }
    for (const Lock& lock : m_locks) {
        if (lock.devMajor == major(node.status.st_dev) && lock.devMinor == minor(node.status.st_dev) &&
            lock.inode == node.status.st_ino)
            add(lock.pid, true);
    }
    return holders;
}

std::string HoldersText(const std::vector<Holder>& holders)
{
    std::string text;
    for (const Holder& holder : holders) {
        text += text.empty() ? "" : ", ";
        text += holder.program + " (pid " + std::to_string(holder.pid) + (holder.locked ? ", locked" : "") + ")";
    }
    return text;
}
