// The plug's work: every byte that arrives goes straight back, like a wire from TX to RX.
#pragma once

// Blocks SIGINT, SIGTERM and SIGHUP for the whole process and receives them as a descriptor, so
// they end the echo loop and the plug can tidy up after itself.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    int Fd() const { return m_fd; }

private:
    int m_fd;
};

// Echoes what the master reads back into it until a stop signal comes. Throws
// std::system_error when the pseudo-terminal fails.
void EchoUntilStopped(int master, const StopSignals& stop);
