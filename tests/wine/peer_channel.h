// The Windows side of the pty peer (tests/wine/pty_peer.py): requests go out as "@peer ..." lines on
// standard output, each answer comes back as one line on standard input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

namespace peer {

using Bytes = std::vector<std::uint8_t>;

// The line settings as the far side's pseudo-terminal has them. Data bits and parity are not among
// them: Linux keeps a pseudo-terminal at 8 bits without parity whatever is asked.
struct LineSettings {
    unsigned rate = 0;
    int stopBits = 0;
    bool rtsCtsFlow = true;
};

// The next bytes to arrive are answered with `answer`, in one write.
void Arm(const Bytes& answer);
// Bytes written to the line now, for the Windows side to read.
void Send(const Bytes& bytes);
// Everything that has arrived since the last call, once at least `count` bytes have (2 s at most).
Bytes Seen(std::size_t count);
LineSettings Line();
// Back to 4800 baud, 2 stop bits and RTS/CTS flow control, settings no Send ever makes, and
// nothing seen or armed.
void Sentinel();
// Saves the screen rectangle as <screenshot folder>/<name>.png; false when that failed.
bool Shot(const std::string& name, const RECT& area);

std::string Hex(const Bytes& bytes);

}  // namespace peer
