// The project's programs run in the guest: vornikal-port's listing, vornikal-send over a line, and a
// Send on the unmapped port that means the kernel's console.
#pragma once

#include "lab_plan.h"

class ScopedConfigHome;

// Every line's device listed with its driver, and no device opened.
void RunListingChecks(const LabPlan& plan);
// An echoed Send exits 0 with the answer, a silent one 1, one on a missing device 3.
void RunSendChecks(const LabLine& line, const ScopedConfigHome& home);
// A line held with flock alone, by a process the Send's user cannot look into: the Send is refused
// before it opens the device, so the holder's DTR and RTS stay as they were.
void RunFlockCheck(const LabLine& line, const ScopedConfigHome& home);
// The Send is refused and the console's settings and modem lines stay as they were.
void RunConsoleCheck(const std::string& console);
