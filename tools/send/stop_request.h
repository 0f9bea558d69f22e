// Ctrl+C and its kin, taken between exchanges rather than in the middle of one, so the port is
// always released before the command ends.
#pragma once

#include <chrono>

class StopRequest {
public:
    // From now on the interrupt and termination signals (the console's Ctrl+C and Ctrl+Break on
    // Windows) only set the request.
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    bool Requested();
    // Waits `time`, or less when a stop is asked for meanwhile; whether one was.
    bool WaitFor(std::chrono::milliseconds time);
};
