#include "process_tools.h"

#include "config_home.h"
#include "program_command.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using Clock = std::chrono::steady_clock;

namespace {

[[noreturn]] void ThrowErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

int OpenPidfd(pid_t pid)
{
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0)
        ThrowErrno("pidfd_open");
    return fd;
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool Readable(int fd, int timeoutMs)
{
    pollfd target{fd, POLLIN, 0};
    return poll(&target, 1, timeoutMs) > 0;
}

// The wait status once the process behind `pidfd` ended within the limit.
std::optional<int> Reap(pid_t pid, int pidfd, std::chrono::milliseconds limit)
{
    if (!Readable(pidfd, static_cast<int>(limit.count())))
        return std::nullopt;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        ThrowErrno("waitpid");
    return status;
}

constexpr uid_t kNobody = 65534;

std::string Contents(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs in the forked child: only async-signal-safe calls up to the exec.
int Exec(const std::vector<char*>& argv, const std::filesystem::path& out, const std::filesystem::path& err,
         bool asNobody)
{
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (outFd < 0 || errFd < 0 || dup2(outFd, STDOUT_FILENO) < 0 || dup2(errFd, STDERR_FILENO) < 0)
        return 126;
    if (asNobody && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
        return 126;
    execv(argv[0], argv.data());
    return 127;
}

// Another user may not enter the folders above the build tree (a home folder of mode 0700 or 0750):
// that user runs a copy from the run's own folder, which anyone may enter.
std::filesystem::path CopyForAnyone(const std::filesystem::path& program, const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    const fs::path copy = folder / program.filename();
    fs::copy_file(program, copy);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return copy;
}

}  // namespace

ProgramRun RunToEnd(std::vector<std::string> arguments, bool asNobody, std::chrono::milliseconds limit)
{
    // Files rather than pipes: the child can fill them without anyone reading.
    const std::filesystem::path folder = MakeTemporaryFolder();
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    if (asNobody)
        arguments.front() = CopyForAnyone(arguments.front(), folder).string();
    arguments = ProgramCommand(arguments);
    std::vector<char*> argv;
    for (std::string& word : arguments)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    ProgramRun run;
    const auto code = ExitCodeInChild([&] { return Exec(argv, folder / "out", folder / "err", asNobody); }, limit);
    run.exitCode = code.value_or(-1);
    run.out = Contents(folder / "out");
    run.err = Contents(folder / "err");
    std::filesystem::remove_all(folder);
    return run;
}

std::optional<std::string> FolderClosedToOthers(const std::string& path)
{
    namespace fs = std::filesystem;
    for (fs::path folder = fs::absolute(path).parent_path();; folder = folder.parent_path()) {
        std::error_code error;
        if ((fs::status(folder, error).permissions() & fs::perms::others_exec) == fs::perms::none)
            return folder.string();
        if (folder == folder.root_path())
            return std::nullopt;
    }
}

std::optional<int> ExitCodeInChild(const std::function<int()>& body, std::chrono::milliseconds limit)
{
    const pid_t pid = fork();
    if (pid < 0)
        ThrowErrno("fork");
    if (pid == 0)
        _exit(body());
    const int pidfd = OpenPidfd(pid);
    auto status = Reap(pid, pidfd, limit);
    if (!status) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(pidfd);
    if (!status || !WIFEXITED(*status))
        return std::nullopt;
    return WEXITSTATUS(*status);
}

ChildProcess::~ChildProcess()
{
    if (IsRunning()) {
        Signal(SIGKILL);
        WaitForExit(std::chrono::seconds(5));
    }
    if (m_pidfd >= 0)
        close(m_pidfd);
}

void ChildProcess::Started(pid_t pid)
{
    m_pid = pid;
    m_pidfd = OpenPidfd(pid);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds limit)
{
    if (!m_status)
        m_status = Reap(m_pid, m_pidfd, limit);
    return m_status;
}

bool ChildProcess::IsRunning()
{
    return m_pid > 0 && !WaitForExit(std::chrono::milliseconds(0));
}

void ChildProcess::Signal(int signal) const
{
    // Through the pidfd, so a reaped and reused process id is never hit.
    syscall(SYS_pidfd_send_signal, m_pidfd, signal, nullptr, 0);
}

ChildProgram::ChildProgram(const std::vector<std::string>& programArguments)
{
    const std::vector<std::string> arguments = ProgramCommand(programArguments);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        ThrowErrno("pipe2");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    m_output = pipeEnds[0];
    if (error != 0) {
        errno = error;
        ThrowErrno("posix_spawn");
    }
    Started(pid);
}

ChildProgram::~ChildProgram()
{
    close(m_output);
}

std::string ChildProgram::ReadLine(std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    std::string line;
    char c = 0;
    while (Readable(m_output, MillisecondsUntil(deadline)) && read(m_output, &c, 1) == 1) {
        if (c == '\n')
            return line;
        line += c;
    }
    return {};
}

TerminalProgram::TerminalProgram(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = forkpty(&m_terminal, nullptr, nullptr, nullptr);
    if (pid < 0)
        ThrowErrno("forkpty");
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    Started(pid);
}

TerminalProgram::~TerminalProgram()
{
    close(m_terminal);
}

std::string TerminalProgram::Screen(std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    char buffer[4096];
    // A terminal whose program has ended reads EIO once its output is taken.
    while (Readable(m_terminal, MillisecondsUntil(deadline))) {
        const ssize_t length = read(m_terminal, buffer, sizeof buffer);
        if (length <= 0)
            break;
        m_screen.append(buffer, static_cast<std::size_t>(length));
    }
    return m_screen;
}

ProgramHolding::ProgramHolding(const std::string& program, const std::string& device) : m_program(program)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sleep", program.c_str(), "60", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fd);
    if (pid < 0)
        ThrowErrno("fork");
    Started(pid);
    // Named and holding once it has exec'd: its command line then starts with the name.
    const std::string commandLine = "/proc/" + std::to_string(pid) + "/cmdline";
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Contents(commandLine).substr(0, program.size() + 1) != program + '\0' && Clock::now() < deadline &&
           !WaitForExit(std::chrono::milliseconds(1)))
        ;
}

ProgramHolding::~ProgramHolding() = default;

bool WaitForFile(const std::string& path, ChildProcess& process, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    constexpr std::chrono::milliseconds kLookAgain(10);
    for (;;) {
        if (std::filesystem::exists(path))
            return true;
        if (Clock::now() >= deadline)
            return false;
        // Waiting on the program's end, so a program that failed ends the wait at once.
        if (process.WaitForExit(std::min(kLookAgain, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                        deadline - Clock::now()))))
            return std::filesystem::exists(path);
    }
}
