// The line rate as the far side of the test sees and sets it on the slave, through termios2 so
// that rates without a Bnnn constant show as they are.
#pragma once

#include <cstdint>

std::uint32_t PeerLineRate(int fd);
// Sets a free rate (BOTHER), as another program with termios2 would.
void SetPeerFreeRate(int fd, std::uint32_t rate);
