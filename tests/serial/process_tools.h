// Other processes for the tests, each waited on with a deadline through a pidfd.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// A program run to its end: its exit code (-1 when it did not end in time), output and errors.
struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Runs the program, as user and group 65534 without other groups when `asNobody`, and kills it past `limit`.
ProgramRun RunToEnd(std::vector<std::string> arguments, bool asNobody = false,
                    std::chrono::milliseconds limit = std::chrono::seconds(20));

// The first folder on the way to `path` that other users may not enter, if any: a program there
// cannot be run as another user.
std::optional<std::string> FolderClosedToOthers(const std::string& path);

// Runs `body` in a forked child and gives its exit code, or nothing when it did not end in time
// (it is then killed).
std::optional<int> ExitCodeInChild(const std::function<int()>& body, std::chrono::milliseconds limit);

// One of this build's programs started with posix_spawn (through the emulator where the tests run
// under one), its standard output on a pipe; killed if still running when the object goes.
class ChildProgram {
public:
    explicit ChildProgram(const std::vector<std::string>& arguments);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // The raw wait status once the program ended within `limit`.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);
    bool IsRunning();
    void Signal(int signal) const;
    // One line of its output, without the line break; empty when none came in time.
    std::string ReadLine(std::chrono::milliseconds limit);

private:
    pid_t m_pid = -1;
    int m_pidfd = -1;
    int m_output = -1;
    std::optional<int> m_status;
};

// Waits until `path` exists, or `limit` passes, or `program` ends; true when it exists.
bool WaitForFile(const std::string& path, ChildProgram& program, std::chrono::milliseconds limit);
