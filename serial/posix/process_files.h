// Which processes have a file open, from /proc, without touching the file: what the kernel itself
// does not stop (a program that opens a serial device and marks it in no way) shows only there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

// A descriptor of another process, as stat describes the file it is open on.
struct OpenFile {
    pid_t pid;
    struct stat file;
};

struct FoundFiles {
    std::vector<OpenFile> files;
    int hidden = 0;  // processes that could not be looked into (another user's, for a user)
};

// The descriptors of every process but this one that are open on a file `wanted` takes. The kernel
// makes up each process's fd folder as it is read: some microseconds a process.
FoundFiles FindOpenFiles(const std::function<bool(const struct stat& file)>& wanted);

// The name a process was started by ("minicom"), as short as ps shows it; "?" when it is gone.
std::string ProgramName(pid_t pid);

// "minicom (pid 4242)".
std::string ProcessText(pid_t pid);

// The running processes, other than this one, started by the name `program`.
std::vector<pid_t> ProcessesNamed(const std::string& program);
