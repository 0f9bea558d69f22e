#include "program_checks.h"

#include "config_home.h"
#include "far_end.h"
#include "held_device.h"
#include "lab_report.h"
#include "modem_lines.h"
#include "process_tools.h"

#include <cstring>
#include <filesystem>
#include <set>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const std::string kPort = "/usr/bin/vornikal-port";
const std::string kSend = "/usr/bin/vornikal-send";
const char* const kMissingPort = "com9";

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

// The value of the "driver" field in the listing's block for `device`, if it has one.
std::string ListedDriver(const std::string& listing, const std::string& device)
{
    const std::size_t block = ("\n" + listing).find("\n" + device + "\n");
    if (block == std::string::npos)
        return {};
    const std::size_t end = listing.find("\n\n", block);
    const std::size_t field = listing.find("  driver", block);
    if (field == std::string::npos || field > end)
        return {};
    const std::size_t value = listing.find_first_not_of(' ', field + std::strlen("  driver"));
    return FirstLine(listing.substr(value));
}

// The watched devices that were opened, from the inotify events waiting on `watch`.
std::set<std::string> OpenedDevices(int watch, const std::vector<std::pair<int, std::string>>& watched)
{
    std::set<std::string> opened;
    alignas(inotify_event) char events[4096];
    ssize_t length = 0;
    while ((length = read(watch, events, sizeof events)) > 0) {
        for (char* at = events; at < events + length; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(at)->len) {
            for (const auto& [descriptor, device] : watched) {
                if (descriptor == reinterpret_cast<inotify_event*>(at)->wd)
                    opened.insert(device);
            }
        }
    }
    return opened;
}

bool SameSettings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

}  // namespace

void RunListingChecks(const LabPlan& plan)
{
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    std::vector<std::pair<int, std::string>> watched;
    for (const LabLine& line : plan.lines) {
        for (const std::string& device : {line.device, line.farEnd})
            watched.emplace_back(inotify_add_watch(watch, device.c_str(), IN_OPEN), device);
    }
    const ProgramRun run = RunToEnd({kPort});
    const std::set<std::string> opened = OpenedDevices(watch, watched);
    close(watch);
    std::string openedText;
    for (const std::string& device : opened)
        openedText += " " + device;
    Report("vornikal-port", "lists, opening no device", Judge(run.exitCode == 0 && opened.empty(),
        "exit " + std::to_string(run.exitCode) + "; opened:" + (opened.empty() ? " none" : openedText)));
    for (const LabLine& line : plan.lines) {
        const std::string driver = ListedDriver(run.out, line.device);
        Report(line.driver, "vornikal-port lists it with its driver",
               Judge(driver.substr(0, driver.find(',')) == line.sysfsDriver,
                     driver.empty() ? "not listed" : "driver " + driver));
    }
}

void RunSendChecks(const LabLine& line, const ScopedConfigHome& home)
{
    const std::vector<std::string> send = {kSend, "--port", line.portName, "--baud", "57600", "7E", "81"};
    {
        FarEnd far(line.farEnd);
        far.StartEcho();
        const ProgramRun run = RunToEnd(send);
        Report(line.driver, "vornikal-send, echoed: the answer, exit 0",
               Judge(run.exitCode == 0 && run.out == "01111110\n10000001\n",
                     "exit " + std::to_string(run.exitCode) + ", " + std::to_string(run.out.size()) + " characters"));
    }
    {
        // By the device's own path, as a bench names it: an eight-byte request echoed whole.
        FarEnd far(line.farEnd);
        far.StartEcho();
        const ProgramRun run = RunToEnd({kSend, "--port", line.device, "--baud", "57600", "--frame", "0103000000010A84",
                                         "--max", "8", "--wait", "1000", "--expect", "0103000000010A84", "--hex"});
        Report(line.driver, "vornikal-send --port " + line.device + ", eight bytes and --expect: exit 0",
               Judge(run.exitCode == 0 && run.out == "01 03 00 00 00 01 0A 84\n",
                     "exit " + std::to_string(run.exitCode) + ": " + FirstLine(run.out) + FirstLine(run.err)));
    }
    {
        FarEnd far(line.farEnd);
        const ProgramRun run = RunToEnd(send);
        Report(line.driver, "vornikal-send, silence: exit 1",
               Judge(run.exitCode == 1 && run.out.empty(), "exit " + std::to_string(run.exitCode)));
    }
    home.Map(kMissingPort, "/dev/ttyUSB9");
    const ProgramRun run = RunToEnd({kSend, "--port", kMissingPort, "--baud", "57600", "7E"});
    Report(line.driver, "vornikal-send, missing device: exit 3",
           Judge(run.exitCode == 3, "exit " + std::to_string(run.exitCode) + ": " + FirstLine(run.err)));
}

void RunFlockCheck(const LabLine& line, const ScopedConfigHome& home)
{
    // Held as pyserial's exclusive=True holds a port: flock, with the lines as the holder set them.
    const int held = open(line.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    DropModemLines(held, TIOCM_DTR | TIOCM_RTS);
    const bool locked = flock(held, LOCK_EX | LOCK_NB) == 0;
    const int before = ModemLines(held).value_or(-1);
    // The other user may reach the map and the device, not this process's descriptors.
    namespace fs = std::filesystem;
    for (const fs::path& folder : {home.Root(), home.Root() / "vornikal", home.MapFolder()})
        fs::permissions(folder, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(line.device, fs::perms::others_read | fs::perms::others_write, fs::perm_options::add);
    const ProgramRun run = RunToEnd({kSend, "--port", line.portName, "--baud", "57600", "7E"}, true);
    const int after = ModemLines(held).value_or(-1);
    close(held);
    Report(line.driver, "vornikal-send as another user, line flocked: refused, lines unchanged",
           Judge(locked && run.exitCode == 3 && run.err.find("which has locked it") != std::string::npos && before == after,
                 "exit " + std::to_string(run.exitCode) + " (" + FirstLine(run.err) + "); " + ModemLinesText(before) +
                     " before, " + ModemLinesText(after) + " after"));
}

void RunConsoleCheck(const std::string& console)
{
    // This process's standard output is the kernel's console.
    termios before{}, after{};
    tcgetattr(STDOUT_FILENO, &before);
    const int linesBefore = ModemLines(STDOUT_FILENO).value_or(-1);
    const ProgramRun run = RunToEnd({kSend, "--port", UnmappedPortOf(console), "--baud", "57600", "7E"});
    tcgetattr(STDOUT_FILENO, &after);
    const int linesAfter = ModemLines(STDOUT_FILENO).value_or(-1);
    // Whatever the Send did, the console gets back what it had, for the lines still to come.
    tcsetattr(STDOUT_FILENO, TCSANOW, &before);
    ioctl(STDOUT_FILENO, TIOCMSET, &linesBefore);
    const bool same = SameSettings(before, after) && linesBefore == linesAfter;
    Report("console " + console, "unmapped " + UnmappedPortOf(console) + ": refused, console untouched",
           Judge(run.exitCode == 3 && same,
                 "exit " + std::to_string(run.exitCode) + " (" + FirstLine(run.err) + "); settings " +
                     (SameSettings(before, after) ? "same" : "changed") + "; " + ModemLinesText(linesBefore) +
                     " before, " + ModemLinesText(linesAfter) + " after"));
}
