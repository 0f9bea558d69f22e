// How long a Send takes, pressed as a user presses it, and the bounds it must keep.
#pragma once

#include "dialog_driver.h"

// The read's own time-out is 100 ms and the write's 4 ms at most; everything above is margin for a
// loaded machine and the sanitizers.
constexpr double kSendBoundMs = 1000;
// A Send that opened nothing waited for nothing: well below the read's time-out.
constexpr double kNoWaitMs = 60;

// Clicks Send and gives the milliseconds until the click returned (the Send runs inside it).
double TimedSend(DialogDriver& dialog);
