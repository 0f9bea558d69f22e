// A pseudo-terminal pair: the plug keeps the master; the slave stands for the serial port. The plug
// is the far end of the line, like the other port of a null-modem pair: it holds only the master,
// so the slave is free for the tool, which keeps off a device another program has open.
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
    std::string m_slavePath;
};
