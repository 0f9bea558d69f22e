// The other end of the cable under test, driven raw as a peer would drive it. Its settings are put
// back when it closes: a far end may be the device another line's checks run on later.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <termios.h>

class FarEnd {
public:
    explicit FarEnd(const std::string& device);
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    // Empty when it opened; else why not.
    const std::string& Failure() const { return m_failure; }
    bool Write(const std::vector<std::uint8_t>& bytes);
    // Up to `count` bytes, whatever came before `limit` passed.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds limit);
    // From now until it closes, sends back every byte it receives.
    void StartEcho();

private:
    void EchoUntilStopped();

    int m_fd = -1;
    termios m_found{};
    std::string m_failure;
    int m_stop[2] = {-1, -1};
    std::thread m_echo;
};
