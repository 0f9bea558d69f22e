// A pseudo-terminal pair: the plug keeps the master; the slave stands for the serial port.
#pragma once

#include <string>

// A descriptor closed with its owner, also when construction stops half-way.
struct OwnedFd {
    OwnedFd() = default;
    ~OwnedFd();
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int fd = -1;
};

class PtyPair {
public:
    // Throws std::system_error when the system gives no pair.
    PtyPair();

    int Master() const { return m_master.fd; }
    const std::string& SlavePath() const { return m_slavePath; }

private:
    OwnedFd m_master;
    // Held open so the master never sees a hang-up while the tool closes and reopens the port.
    OwnedFd m_slave;
    std::string m_slavePath;
};
