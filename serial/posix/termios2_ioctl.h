// TCGETS2 and TCSETS2 pass through this one function, in a file of its own, so that a program can
// be linked against a kernel that lacks them: an emulator that does not translate them, or an
// architecture without them.
#pragma once

// ioctl(fd, request, record) for a termios2 record.
int Termios2Ioctl(int fd, unsigned long request, void* record);
