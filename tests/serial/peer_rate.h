// The line rate as the far side of the test sees it on the slave, read through termios2 so that
// rates without a Bnnn constant show as they are.
#pragma once

#include <cstdint>

std::uint32_t PeerLineRate(int fd);
