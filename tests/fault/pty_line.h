// The far end of a serial line that a test drives by hand from a thread of its own: the master of
// a raw pseudo-terminal pair, which can answer, flood or hang up at a chosen moment of a Send.
// Every wait has a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using LineBytes = std::vector<std::uint8_t>;

class PtyLine {
public:
    // Throws std::system_error when the system gives no pair.
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }

    // What the tool wrote: at least `count` bytes, or what came before `limit` passed.
    LineBytes Receive(std::size_t count, std::chrono::milliseconds limit);
    // Writes all of `bytes` within a deadline; false when the line would not take them.
    bool Send(const LineBytes& bytes);
    // Writes up to `total` bytes of a known pattern (FloodByte) as fast as the line takes them, until
    // all went, the tool let go of the line, or `limit` passed. How many went.
    std::size_t Flood(std::size_t total, std::chrono::milliseconds limit);
    // Opens the slave as a second holder (before the tool opens it, so exclusivity does not keep
    // it out) to see how much input waits there.
    void HoldSlave();
    // Whether the slave's input queue emptied (the tool read it) within `limit`. Needs HoldSlave.
    bool WaitUntilInputTaken(std::chrono::milliseconds limit) const;
    // Closes the master: the line hangs up and the pair goes away once nobody holds the slave.
    void HangUp();
    void ReleaseSlave();

private:
    int m_master = -1;
    int m_heldSlave = -1;
    std::string m_slavePath;
};

// Byte i of what Flood writes.
std::uint8_t FloodByte(std::size_t i);
