#include "process_files.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string_view>

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A folder of /proc read in large steps straight from the kernel: a scan reads hundreds of them.
class Entries {
public:
    explicit Entries(int folder) : m_folder(folder) {}
    Entries(const Entries&) = delete;
    Entries& operator=(const Entries&) = delete;

    // The next entry's name, or null at the end.
    const char* Next()
    {
        if (m_at >= m_length) {
            m_length = syscall(SYS_getdents64, m_folder, m_buffer, sizeof m_buffer);
            m_at = 0;
            if (m_length <= 0)
                return nullptr;
        }
        const auto* entry = reinterpret_cast<const Entry*>(m_buffer + m_at);
        m_at += entry->length;
        return entry->name;
    }

private:
    // The kernel's record of one entry (struct linux_dirent64).
    struct Entry {
        ino64_t inode;
        off64_t next;
        unsigned short length;
        unsigned char type;
        char name[1];
    };
    int m_folder;
    alignas(Entry) char m_buffer[16384];
    long m_length = 0;
    long m_at = 0;
};

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

// Every process but this one, by number; `processes` is /proc, open.
std::vector<pid_t> Processes(int processes)
{
    std::vector<pid_t> numbers;
    const pid_t self = getpid();
    Entries entries(processes);
    while (const char* name = entries.Next()) {
        const pid_t pid = ProcessNumber(name);
        if (pid > 0 && pid != self)
            numbers.push_back(pid);
    }
    return numbers;
}

// The wanted descriptors of one process, read through its fd folder; false when it may not be read.
bool LookInto(int processes, pid_t pid, const std::function<bool(const struct stat&)>& wanted, FoundFiles& found)
{
    char folder[32];
    std::snprintf(folder, sizeof folder, "%d/fd", static_cast<int>(pid));
    const int fds = openat(processes, folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fds < 0)
        return errno != EACCES && errno != EPERM;  // a process that ended meanwhile is no loss
    bool readable = true;
    Entries entries(fds);
    while (const char* name = entries.Next()) {
        if (name[0] == '.')
            continue;
        // The entries are links to the process's files: stat follows them and opens nothing.
        struct stat file {};
        if (fstatat(fds, name, &file, 0) == 0) {
            if (wanted(file))
                found.files.push_back({pid, file});
        } else if (errno == EACCES || errno == EPERM) {
            readable = false;
        }
    }
    close(fds);
    return readable;
}

}  // namespace

FoundFiles FindOpenFiles(const std::function<bool(const struct stat& file)>& wanted)
{
    FoundFiles found;
    const int processes = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (processes < 0)
        return found;
    for (const pid_t pid : Processes(processes))
        found.hidden += LookInto(processes, pid, wanted, found) ? 0 : 1;
    close(processes);
    return found;
}

std::vector<pid_t> ProcessesNamed(const std::string& program)
{
    std::vector<pid_t> named;
    const int processes = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (processes < 0)
        return named;
    for (const pid_t pid : Processes(processes)) {
        if (ProgramName(pid) == program)
            named.push_back(pid);
    }
    close(processes);
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
