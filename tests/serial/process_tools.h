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

// A process the test started, waited on through a pidfd and killed if still running when the
// object goes.
class ChildProcess {
public:
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    // The raw wait status once the process ended within `limit`.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);
    bool IsRunning();
    void Signal(int signal) const;

protected:
    ChildProcess() = default;
    ~ChildProcess();
    void Started(pid_t pid);

private:
    pid_t m_pid = -1;
    int m_pidfd = -1;
    std::optional<int> m_status;
};

// One of this build's programs started with posix_spawn (through the emulator where the tests run
// under one), its standard output on a pipe.
class ChildProgram : public ChildProcess {
public:
    explicit ChildProgram(const std::vector<std::string>& arguments);
    ~ChildProgram();

    // One line of its output, without the line break; empty when none came in time.
    std::string ReadLine(std::chrono::milliseconds limit);

private:
    int m_output = -1;
};

// A program of the system on a pseudo-terminal of its own, as in a user's terminal window (a
// terminal program such as minicom needs one).
class TerminalProgram : public ChildProcess {
public:
    explicit TerminalProgram(const std::vector<std::string>& arguments);
    ~TerminalProgram();

    // What it has shown so far, waiting up to `limit` for more while it runs.
    std::string Screen(std::chrono::milliseconds limit);

private:
    int m_terminal = -1;
    std::string m_screen;
};

// A program by the name `program` (a sleep under that name) holding `device` open, as hciattach
// holds the UART it gave to Bluetooth, or a logger a port it reads.
class ProgramHolding : public ChildProcess {
public:
    ProgramHolding(const std::string& program, const std::string& device);
    ~ProgramHolding();

    // "ModemManager (pid 4242)", as the tools name it.
    std::string Text() const { return m_program + " (pid " + std::to_string(Pid()) + ")"; }

private:
    std::string m_program;
};

// Waits until `path` exists, or `limit` passes, or `process` ends; true when it exists.
bool WaitForFile(const std::string& path, ChildProcess& process, std::chrono::milliseconds limit);
