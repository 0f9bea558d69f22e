// vornikal-loopback as another process, its com1 entry in the map folder given; stopped (SIGTERM,
// then SIGKILL past a deadline) when the object goes.
#pragma once

#include <filesystem>

#include <sys/types.h>

class LoopbackProcess {
public:
    // Throws std::runtime_error when the plug does not come up within a few seconds.
    LoopbackProcess(const std::filesystem::path& program, const std::filesystem::path& mapFolder);
    ~LoopbackProcess();
    LoopbackProcess(const LoopbackProcess&) = delete;
    LoopbackProcess& operator=(const LoopbackProcess&) = delete;

private:
    void Stop();

    pid_t m_pid = -1;
    int m_pidfd = -1;
};
