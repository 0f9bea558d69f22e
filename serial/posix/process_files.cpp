#include "process_files.h"

#include <cctype>
#include <cerrno>
#include <fstream>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A /proc entry that is a process: digits only.
pid_t ProcessNumber(std::string_view name)
{
    if (name.empty() || name.size() > 9)
        return 0;
    pid_t pid = 0;
    for (const char c : name) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// Every descriptor of one process, read through its fd folder; false when it may not be read.
bool ForEachDescriptor(int processes, pid_t pid, const std::function<void(pid_t, const struct stat&)>& found)
{
    const std::string folder = std::to_string(pid) + "/fd";
    const int fds = openat(processes, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fds < 0)
        return errno != EACCES && errno != EPERM;  // a process that ended meanwhile is no loss
    DIR* entries = fdopendir(fds);
    if (entries == nullptr) {
        close(fds);
        return true;
    }
    while (const dirent* entry = readdir(entries)) {
        struct stat file {};
        // The entries are links into the process's files: stat follows them without opening any.
        if (entry->d_name[0] != '.' && fstatat(dirfd(entries), entry->d_name, &file, 0) == 0)
            found(pid, file);
    }
    closedir(entries);
    return true;
}

}  // namespace

int ForEachOpenFile(const std::function<void(pid_t pid, const struct stat& file)>& found)
{
    DIR* processes = opendir("/proc");
    if (processes == nullptr)
        return 0;
    int hidden = 0;
    const pid_t self = getpid();
    while (const dirent* entry = readdir(processes)) {
        const pid_t pid = ProcessNumber(entry->d_name);
        if (pid > 0 && pid != self && !ForEachDescriptor(dirfd(processes), pid, found))
            ++hidden;
    }
    closedir(processes);
    return hidden;
}

std::vector<pid_t> ProcessesNamed(const std::string& program)
{
    std::vector<pid_t> named;
    DIR* processes = opendir("/proc");
    while (processes != nullptr) {
        const dirent* entry = readdir(processes);
        if (entry == nullptr)
            break;
        const pid_t pid = ProcessNumber(entry->d_name);
        if (pid > 0 && ProgramName(pid) == program)
            named.push_back(pid);
    }
    if (processes != nullptr)
        closedir(processes);
    return named;
}

std::string ProgramName(pid_t pid)
{
    const std::string process = "/proc/" + std::to_string(pid);
    // The name it was started by; comm would cut it to 15 characters.
    std::ifstream commandLine(process + "/cmdline");
    std::string first;
    std::getline(commandLine, first, '\0');
    if (const auto slash = first.rfind('/'); slash != std::string::npos)
        first.erase(0, slash + 1);
    if (!first.empty())
        return first;
    std::ifstream comm(process + "/comm");
    std::getline(comm, first);
    return first.empty() ? "?" : first;
}

std::string ProcessText(pid_t pid)
{
    return ProgramName(pid) + " (pid " + std::to_string(pid) + ")";
}
