// What keeping off other holders costs an open: the checks alone and CreateFileA with CloseHandle as
// a whole, on a pseudo-terminal mapped as com1, with the machine's own processes, a thousand more,
// or one more with 20,000 descriptors; so each process and each descriptor. scripts/bench.sh prints it.
#include "line_claims.h"
#include "pty_peer.h"
#include "win32_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <csignal>
#include <ctime>
#include <utility>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 100;
constexpr int kCrowd = 1000;
constexpr int kDescriptors = 20000;

double ProcessorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The median wall time and the mean processor time of the work, in milliseconds.
std::pair<double, double> Times(const std::function<void()>& work)
{
    std::vector<double> times;
    const double processorStart = ProcessorMs();
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], (ProcessorMs() - processorStart) / kRuns};
}

// Idle processes, each with the descriptors a small program has, or one with many more.
class Crowd {
public:
    Crowd(int processes, int descriptors)
    {
        for (int i = 0; i < processes; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                // Standard input, output and error, as a small program has them, and more on a plain file.
                syscall(SYS_close_range, 3, ~0U, 0);
                const rlimit enough{descriptors + 16UL, descriptors + 16UL};
                setrlimit(RLIMIT_NOFILE, &enough);
                for (int i = 1, file = open("/proc/self/exe", O_RDONLY); i < descriptors; ++i)
                    dup(file);
                pause();
                _exit(0);
            }
            if (pid > 0)
                m_pids.push_back(pid);
        }
    }
    ~Crowd()
    {
        for (const pid_t pid : m_pids)
            kill(pid, SIGKILL);
        for (const pid_t pid : m_pids)
            waitpid(pid, nullptr, 0);
    }
    Crowd(const Crowd&) = delete;
    Crowd& operator=(const Crowd&) = delete;

private:
    std::vector<pid_t> m_pids;
};

int ProcessCount()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
        count += std::isdigit(static_cast<unsigned char>(entry.path().filename().string()[0])) ? 1 : 0;
    return count;
}

// Wall time depends on what else the machine runs; processor time less so.
void PrintRow(const std::string& what, std::pair<double, double> times)
{
    const std::string label = what + ", " + std::to_string(ProcessCount()) + " processes";
    std::printf("| %-72s | %9.3f | %9s | median of %d; %.3f ms of processor time |\n", label.c_str(), times.first, "",
                kRuns, times.second);
}

// The checks alone, and the whole open and close, while the crowd idles; the checks' median.
double Measure(const PtyPeer& peer, const std::string& what, const Crowd& = Crowd(0, 0))
{
    struct stat device {};
    stat(peer.SlavePath().c_str(), &device);
    const DeviceToCheck checked{device, DeviceNamesOnTheWay(peer.SlavePath())};
    const auto checks = Times([&] { ClaimDevice(checked); });
    PrintRow("open: the holder checks alone, " + what, checks);
    PrintRow("open: CreateFileA and CloseHandle, " + what, Times([] {
                 CloseHandle(CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
             }));
    return checks.first;
}

}  // namespace

int main()
{
    const PtyPeer peer;
    const double alone = Measure(peer, "the machine's own");
    const double crowded = Measure(peer, "a thousand more", Crowd(kCrowd, 0));
    const double busy = Measure(peer, "one more with 20,000 descriptors", Crowd(1, kDescriptors));
    std::printf("| %-72s | %9.2f | %9s | µs, from the medians above |\n", "the holder checks: each idle process",
                (crowded - alone) * 1000 / kCrowd, "");
    std::printf("| %-72s | %9.2f | %9s | µs, from the medians above |\n", "the holder checks: each descriptor",
                (busy - alone) * 1000 / kDescriptors, "");
    return 0;
}
