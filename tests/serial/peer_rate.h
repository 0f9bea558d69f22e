// The line rate as the far side of the test sees and sets it on the slave, through termios2 so
// that rates without a Bnnn constant show as they are. Where the kernel answers no termios2 call
// (qemu-user), only the coded rates can be on the line, and they are read through the plain record.
#pragma once

#include <cstdint>

std::uint32_t PeerLineRate(int fd);
// Whether this kernel answers termios2 calls, so free rates can be on the line at all.
bool LineTakesFreeRates(int fd);
// Sets a free rate (BOTHER), as another program with termios2 would.
void SetPeerFreeRate(int fd, std::uint32_t rate);
