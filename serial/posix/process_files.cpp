#include "process_files.h"

#include "printable_text.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr std::size_t kLongestName = 64;

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

// The descriptor's attributes when its link text names a node below /dev; false for any other file.
// The entry itself is asked, not the path in the text: the process may see another /dev (a
// container's). Cached attributes are enough, so even a node there on a remote mount cannot wait.
bool DeviceAttributes(int fds, const char* name, const char* target, struct stat& file)
{
    if (std::string_view(target, 5) != "/dev/")
        return false;
    struct statx attributes {};
    if (statx(fds, name, AT_STATX_DONT_SYNC, STATX_TYPE | STATX_INO, &attributes) != 0)
        return false;
    file.st_mode = attributes.stx_mode;
    file.st_rdev = makedev(attributes.stx_rdev_major, attributes.stx_rdev_minor);
    file.st_dev = makedev(attributes.stx_dev_major, attributes.stx_dev_minor);
    file.st_ino = attributes.stx_ino;
    return S_ISCHR(file.st_mode);
}

// The device descriptors of one process, read through its fd folder; false when it may not be read.
bool LookInto(int processes, pid_t pid, FoundFiles& found)
{
    char folder[32];
    std::snprintf(folder, sizeof folder, "%d/fd", static_cast<int>(pid));
    const int fds = openat(processes, folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fds < 0)
        return errno != EACCES && errno != EPERM;  // a process that ended meanwhile is no loss
    bool readable = true;
    Entries entries(fds);
    while (const char* name = entries.Next()) {
        // The beginning of the link text is all that is needed: whether it is "/dev/".
        char target[8] = {};
        struct stat file {};
        if (name[0] == '.')
            continue;
        if (readlinkat(fds, name, target, sizeof target) < 0)
            readable = readable && errno != EACCES && errno != EPERM;
        else if (DeviceAttributes(fds, name, target, file))
            found.files.push_back({pid, file});
    }
    close(fds);
    return readable;
}

// Whatever the machine holds, an open waits for the scan no longer than this.
constexpr auto kScanLimit = std::chrono::seconds(2);

}  // namespace

FoundFiles FindOpenDevices()
{
    FoundFiles found;
    const int processes = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (processes < 0)
        return found;
    const auto deadline = std::chrono::steady_clock::now() + kScanLimit;
    const std::vector<pid_t> numbers = Processes(processes);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (std::chrono::steady_clock::now() > deadline) {
            found.late = static_cast<int>(numbers.size() - i);
            break;
        }
        found.hidden += LookInto(processes, numbers[i], found) ? 0 : 1;
    }
    close(processes);
    return found;
}

std::vector<FileLock> FindFileLocks()
{
    std::vector<FileLock> locks;
    // "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF"; waiters are marked "->" and hold nothing.
    // The kernel makes each reader wait for an RCU grace period: well under a millisecond on an
    // idle machine, some on a busy one, but no processor time.
    std::ifstream table("/proc/locks");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> number >> kind) || kind == "->" || !(fields >> mode >> access >> pid >> where))
            continue;
        FileLock lock{static_cast<pid_t>(pid), 0, 0, 0};
        if (std::sscanf(where.c_str(), "%x:%x:%lu", &lock.devMajor, &lock.devMinor, &lock.inode) == 3 &&
            pid != getpid())
            locks.push_back(lock);
    }
    return locks;
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
    if (first.empty()) {
        std::ifstream comm(process + "/comm");
        std::getline(comm, first);
    }
    // Another user chose these bytes, escapes for the reader's terminal among them perhaps.
    return first.empty() ? "?" : PrintableText(first, kLongestName);
}

std::string ProcessText(pid_t pid)
{
    return ProgramName(pid) + " (pid " + std::to_string(pid) + ")";
}
