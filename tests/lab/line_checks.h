// The checks on one line under test, each reported under the line's driver.
#pragma once

#include "lab_plan.h"

// The five rates, the modem lines while held, the data, the time-outs, XOFF and a second opener.
void RunLineChecks(const LabLine& line);
// Unplugging while a read waits; run last, as the device is gone afterwards.
void RunUnplugChecks(const LabLine& line);
