#include "loopback_process.h"

#include "program_command.h"

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <string>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kStartLimitMs = 10000;
constexpr int kStopLimitMs = 5000;
constexpr int kLookAgainMs = 10;

bool EndedWithin(int pidfd, int limitMs)
{
    pollfd process{pidfd, POLLIN, 0};
    return poll(&process, 1, limitMs) > 0;
}

}  // namespace

LoopbackProcess::LoopbackProcess(const fs::path& program, const fs::path& mapFolder)
{
    const fs::path readyFile = mapFolder.parent_path() / "loopback-ready";
    std::vector<std::string> arguments = ProgramCommand({program.string(), "--map-dir", mapFolder.string(),
                                                         "--once-ready-file", readyFile.string()});
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + program.string());
    m_pidfd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    for (int waited = 0; !fs::exists(readyFile); waited += kLookAgainMs) {
        if (waited > kStartLimitMs || EndedWithin(m_pidfd, kLookAgainMs)) {
            Stop();
            throw std::runtime_error("the loopback plug did not come up");
        }
    }
}

LoopbackProcess::~LoopbackProcess()
{
    Stop();
}

void LoopbackProcess::Stop()
{
    kill(m_pid, SIGTERM);
    if (!EndedWithin(m_pidfd, kStopLimitMs))
        kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    close(m_pidfd);
}
