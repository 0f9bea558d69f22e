#include "comm_port.h"
#include "lab_clock.h"
#include "lab_report.h"
#include "line_checks.h"

#include <atomic>
#include <fstream>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr DWORD kLongReadMs = 10000;
constexpr double kAtOnceMs = 2000;  // the read waits 10 s; the unplug has to reach the kernel first

// Whether thread `tid` of this process sleeps in the poll that a read waits in.
bool WaitingInPoll(pid_t tid)
{
    std::ifstream syscall("/proc/self/task/" + std::to_string(tid) + "/syscall");
    long number = -1;
    syscall >> number;
#ifdef SYS_poll
    if (number == SYS_poll)
        return true;
#endif
    return number == SYS_ppoll;
}

void Unplug(const LabLine& line)
{
    if (line.unplug.starts_with("qmp="))
        AskHost("unplug|" + line.unplug.substr(4));
    else
        std::ofstream(line.unplug) << "disconnect\n";
}

// A read of one byte that may wait 10 s, with the device pulled out once the read waits.
Outcome ReadEndsOnUnplug(const LabLine& line)
{
    const HANDLE device = CreateFileA(line.portName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return Judge(false, "CreateFileA failed");
    COMMTIMEOUTS timeouts{0, 0, kLongReadMs, 0, 0};
    SetCommTimeouts(device, &timeouts);
    const pid_t reader = static_cast<pid_t>(syscall(SYS_gettid));
    const Stopwatch clock;
    std::atomic<double> unpluggedMs = 0;
    bool waited = false;
    std::thread unplugger([&] {
        waited = WaitUntil([&] { return WaitingInPoll(reader); }, std::chrono::seconds(5));
        unpluggedMs = clock.Ms();
        Unplug(line);
    });
    std::uint8_t byte = 0;
    DWORD got = 0;
    ReadFile(device, &byte, 1, &got, nullptr);
    const double endedMs = clock.Ms();
    unplugger.join();
    CloseHandle(device);
    const double afterMs = endedMs - unpluggedMs;
    return Judge(waited && got == 0 && afterMs < kAtOnceMs,
                 std::string(waited ? "" : "the read never waited; ") + "ended " + Milliseconds(afterMs) +
                     " after the unplug was asked, " + std::to_string(got) + " bytes");
}

Outcome NextOpenFails(const LabLine& line)
{
    CCommPort port(line.portName.c_str());
    const Stopwatch clock;
    const int opened = port.Open(CBR_57600);
    const double ms = clock.Ms();
    return Judge(opened == 0 && ms < kAtOnceMs, "Open returned " + std::to_string(opened) + " in " + Milliseconds(ms));
}

}  // namespace

void RunUnplugChecks(const LabLine& line)
{
    Report(line.driver, "unplugged mid-read: the read ends at once", ReadEndsOnUnplug(line));
    Report(line.driver, "unplugged: the next Open fails at once", NextOpenFails(line));
}
