// The far end of a serial line for tests: the master of a raw pseudo-terminal pair, whose slave is
// the device the comm calls open. A test drives it by hand (from a thread of its own where the tool
// blocks): it answers, floods or hangs up at a chosen moment, and can hold the slave as another
// program would, to set its settings or watch its input queue. Every wait has a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class PtyLine {
public:
    // Throws std::system_error when the system gives no pair.
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    int MasterFd() const { return m_master; }

    // Writes all of `bytes` within a deadline; false when the line would not take them.
    [[nodiscard]] bool Send(const Bytes& bytes);
    // What the tool wrote: at least `count` bytes, or what came before `limit` passed.
    Bytes Receive(std::size_t count, std::chrono::milliseconds limit);
    // Writes up to `total` bytes of a known pattern (FloodByte) as fast as the line takes them, until
    // all went, the tool let go of the line, or `limit` passed. How many went.
    std::size_t Flood(std::size_t total, std::chrono::milliseconds limit);

    // The slave, opened by the test as another holder would (before the tool opens it, so
    // exclusivity does not keep it out). Opened on first use.
    int HoldSlave();
    void ReleaseSlave();
    // The slave's settings, as another program would leave them: raw, with or without XON/XOFF.
    void SetSlaveRaw(bool softwareFlowControl);
    // Whether at least `count` bytes wait in the slave's input queue within `limit`.
    bool WaitForPortInput(std::size_t count, std::chrono::milliseconds limit);
    // Whether the slave's input queue emptied (the tool read it) within `limit`.
    bool WaitUntilInputTaken(std::chrono::milliseconds limit);

    // Closes the master: the line hangs up and the pair goes away once nobody holds the slave.
    void HangUp();

private:
    bool WaitForWaitingInput(const std::function<bool(std::size_t)>& enough, std::chrono::milliseconds limit);

    int m_master = -1;
    int m_heldSlave = -1;
    std::string m_slavePath;
};

// Byte i of what Flood writes.
std::uint8_t FloodByte(std::size_t i);
