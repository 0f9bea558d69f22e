// The far end of a serial line, played by the master side of a pseudo-terminal pair; the slave
// is the device the comm calls open.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

class PtyPeer {
public:
    // Throws std::system_error when the system gives no pair.
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    // The slave, opened by the test itself as another holder would (before the port is opened, so
    // exclusivity does not shut it out): to set or read its line settings. Opened on first use.
    int HeldSlave();
    // The slave's settings, as another program would leave them.
    void SetSlaveRaw(bool softwareFlowControl);

    // Writes all bytes into the line within a deadline; throws when they do not fit in time.
    void Send(const Bytes& bytes);
    // What comes out of the line, until `count` bytes or `limit` passed.
    Bytes Receive(std::size_t count, std::chrono::milliseconds limit);
    // Whether `count` bytes are waiting on the slave side within `limit`.
    bool WaitForPortInput(std::size_t count, std::chrono::milliseconds limit);
    // Whether the port has taken everything that was waiting for it within `limit`.
    bool WaitUntilPortTookInput(std::chrono::milliseconds limit);
    // Closes the master: the line hangs up.
    void HangUp();

private:
    bool WaitForWaitingInput(const std::function<bool(std::size_t)>& enough, std::chrono::milliseconds limit);

    int m_master = -1;
    int m_heldSlave = -1;
    std::string m_slavePath;
};
