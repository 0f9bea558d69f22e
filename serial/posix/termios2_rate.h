// Line rates in bits per second through the kernel's termios2 records, which carry any rate, not
// only those with a Bnnn constant. Kept apart because <asm/termbits.h> clashes with <termios.h>.
#pragma once

#include <cstdint>
#include <optional>

// The output rate the device reports; nothing (errno set) when it cannot be read.
std::optional<std::uint32_t> ReadLineRate(int fd);
// Sets input and output to `rate` as a free rate (BOTHER); false (errno set) when refused.
bool SetFreeLineRate(int fd, std::uint32_t rate);
