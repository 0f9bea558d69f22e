// The DTR and RTS output lines. Pseudo-terminals have none: there the calls fail and are ignored.
#pragma once

#include <optional>

void RaiseModemLines(int fd, int lines);
void DropModemLines(int fd, int lines);
// TIOCM_* bits of the lines' present state, when the device can report it.
std::optional<int> ReadModemLines(int fd);
