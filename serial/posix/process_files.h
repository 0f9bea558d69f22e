// Which processes have a file open, from /proc, without touching the file: what the kernel itself
// does not stop (a program that opens a serial device and marks it in no way) shows only there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

// Calls `found` with each descriptor of every process but this one, as stat describes the file it
// is open on. Gives how many processes could not be looked into (another user's, for a user).
int ForEachOpenFile(const std::function<void(pid_t pid, const struct stat& file)>& found);

// The name a process was started by ("minicom"), as short as ps shows it; "?" when it is gone.
std::string ProgramName(pid_t pid);

// "minicom (pid 4242)".
std::string ProcessText(pid_t pid);

// The running processes started by the name `program`, this one included.
std::vector<pid_t> ProcessesNamed(const std::string& program);
