#include "device_holders.h"

#include "host_paths.h"
#include "process_files.h"
#include "uucp_lock.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

OpenFiles OpenFiles::Scan()
{
    OpenFiles scan;
    // Only device nodes and files can be what a map entry names.
    const FoundFiles open = FindOpenFiles([](const struct stat& file) { return S_ISCHR(file.st_mode) || S_ISREG(file.st_mode); });
    for (const ::OpenFile& descriptor : open.files)
        scan.m_files.push_back({descriptor.pid, DeviceNode{descriptor.file}});
    scan.m_partial = open.hidden > 0;
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

std::vector<Holder> OpenFiles::HoldersOf(const DeviceNode& node, const std::vector<fs::path>& names) const
{
    std::vector<Holder> holders;
    const auto holder = [&](pid_t pid) -> Holder& {
        auto known = std::find_if(holders.begin(), holders.end(), [&](const Holder& h) { return h.pid == pid; });
        return known != holders.end() ? *known : holders.emplace_back(Holder{pid, ProgramName(pid), false, {}});
    };
    for (const OpenFile& file : m_files) {
        if (file.node.SameAs(node))
            holder(file.pid);
    }
    for (const Lock& lock : m_locks) {
        if (lock.devMajor == major(node.status.st_dev) && lock.devMinor == minor(node.status.st_dev) &&
            lock.inode == node.status.st_ino)
            holder(lock.pid).locked = true;
    }
    for (const fs::path& folder : LockFolders(HostRoot())) {
        for (const fs::path& name : names) {
            const auto file = LockFileName(name);
            const LockReading reading = file ? ReadLockFile(folder / *file) : LockReading{LockReading::State::Absent};
            if (reading.state == LockReading::State::Live && reading.pid != getpid())
                holder(reading.pid).lockFile = OnSystem(folder / *file).string();
        }
    }
    return holders;
}

std::string HoldersText(const std::vector<Holder>& holders)
{
    std::string text;
    for (const Holder& holder : holders) {
        text += text.empty() ? "" : ", ";
        text += holder.program + " (pid " + std::to_string(holder.pid) + (holder.locked ? ", locked" : "") +
                (holder.lockFile.empty() ? "" : ", lock file " + holder.lockFile) + ")";
    }
    return text;
}
