// What keeping off other holders costs an open: the checks alone (the console, the lock folders,
// every process's descriptors in /proc, the lock file written and removed) and CreateFileA with
// CloseHandle as a whole, on a pseudo-terminal mapped as com1, with the machine's own processes and
// then with a thousand more, each holding a few descriptors. scripts/bench.sh prints the table.
#include "line_claims.h"
#include "pty_peer.h"
#include "win32_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <csignal>
#include <ctime>
#include <utility>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 200;
constexpr int kCrowd = 1000;

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

// A thousand idle processes, each with the descriptors a small program has.
class Crowd {
public:
    Crowd()
    {
        for (int i = 0; i < kCrowd; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                // Standard input, output and error, as a small program has them.
                syscall(SYS_close_range, 3, ~0U, 0);
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
void PrintRow(const char* what, std::pair<double, double> times)
{
    char label[64];
    std::snprintf(label, sizeof label, "%s, %d processes", what, ProcessCount());
    std::printf("| %-52s | %9.3f | %9s | median of %d; %.3f ms of processor time |\n", label, times.first, "", kRuns,
                times.second);
}

void Measure(const PtyPeer& peer)
{
    struct stat device {};
    stat(peer.SlavePath().c_str(), &device);
    const DeviceToCheck checked{device, DeviceNamesOnTheWay(peer.SlavePath())};
    PrintRow("open: the holder checks alone", Times([&] { ClaimDevice(checked); }));
    PrintRow("open: CreateFileA and CloseHandle", Times([] {
                 CloseHandle(CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
             }));
}

}  // namespace

int main()
{
    const PtyPeer peer;
    Measure(peer);
    const Crowd crowd;
    Measure(peer);
    return 0;
}
