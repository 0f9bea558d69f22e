// What the process holds, read from /proc: a Send must give back every descriptor it took, and a
// long run must not grow.
#pragma once

#include <cstddef>

int OpenDescriptorCount();
// The resident set in kilobytes.
std::size_t ResidentKilobytes();
