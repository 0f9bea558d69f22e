// What the kernel's driver holds for a device this process has open through the comm calls, read on
// the comm calls' own descriptor (found through /proc/self/fd): opening the device a second time
// would raise DTR and RTS again, as every open of a tty with a rate does.
#pragma once

#include <optional>
#include <string>

std::optional<int> HeldDescriptor(const std::string& device);
// TIOCM_* bits of the modem lines.
std::optional<int> ModemLines(int fd);
// "DTR low, RTS high"
std::string ModemLinesText(int lines);
// The output rate the driver reports (termios2).
std::optional<unsigned> DriverRate(int fd);
// Bytes received and not yet read.
int QueuedInput(int fd);
// Bytes written and not yet sent.
int QueuedOutput(int fd);
// Whether a received XOFF stops the output (IXON).
bool StopsOnXoff(int fd);
