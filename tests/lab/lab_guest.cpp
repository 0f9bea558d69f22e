// vornikal-lab-guest: runs in a QEMU guest booted by tests/lab/lab_run.py and checks the comm calls,
// CCommPort and the project's programs against the guest kernel's real serial drivers. Each check
// prints one line for the runner; what to check comes from the runner's arguments (lab_plan.h).
#include "config_home.h"
#include "lab_clock.h"
#include "lab_plan.h"
#include "lab_report.h"
#include "line_checks.h"
#include "program_checks.h"

#include <filesystem>
#include <iostream>

namespace {

// USB devices appear once their bus has been enumerated, after the modules were loaded.
bool LinePresent(const LabLine& line, const Stopwatch& since)
{
    const bool present = WaitUntil([&] {
        return std::filesystem::exists(line.device) && std::filesystem::exists(line.farEnd);
    }, std::chrono::seconds(30));
    Report(line.driver, "device and far end present",
           Judge(present, line.device + " and " + line.farEnd + (present ? " after " : " missing after ") +
                              Milliseconds(since.Ms())));
    return present;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto plan = ParsePlan(argc, argv);
    if (!plan) {
        std::cerr << "vornikal-lab-guest: usage: --line DRIVER,DEVICE,FAR_END,SYSFS_DRIVER,UNPLUG ... "
                     "[--send-over DRIVER] [--console TTY]\n";
        return 2;
    }
    const ScopedConfigHome home;
    const Stopwatch since;
    std::vector<const LabLine*> present;
    for (const LabLine& line : plan->lines) {
        home.Map(line.portName, line.device);
        if (LinePresent(line, since))
            present.push_back(&line);
    }
    for (const LabLine* line : present)
        RunLineChecks(*line);
    if (!plan->console.empty())
        RunConsoleCheck(plan->console);
    RunListingChecks(*plan);
    for (const LabLine* line : present) {
        if (line->driver == plan->sendOver) {
            RunSendChecks(*line, home);
            RunFlockCheck(*line, home);
        }
    }
    for (const LabLine* line : present) {
        if (!line->unplug.empty())
            RunUnplugChecks(*line);
    }
    ReportEnd();
    return 0;
}
