#include "foreign_holder.h"

#include "win32_names.h"

#include <cerrno>
#include <csignal>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kChildLimitMs = 10000;

[[noreturn]] void ThrowErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

bool ReadableWithin(int fd, int limitMs)
{
    pollfd target{fd, POLLIN, 0};
    return poll(&target, 1, limitMs) > 0;
}

// The child: open com1, say whether that worked, hold it until the parent closes its end of the
// pipe (or gives no sign for too long), then close it.
[[noreturn]] void HoldInChild(int toParent, int fromParent)
{
    const HANDLE device = CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    const char answer = device != INVALID_HANDLE_VALUE ? 'y' : 'n';
    const bool told = write(toParent, &answer, 1) == 1;
    if (told)
        ReadableWithin(fromParent, kChildLimitMs);
    if (device != INVALID_HANDLE_VALUE)
        CloseHandle(device);
    _exit(0);
}

}  // namespace

ForeignHolder::ForeignHolder()
{
    int fromChild[2];
    int toChild[2];
    if (pipe2(fromChild, O_CLOEXEC) != 0)
        ThrowErrno("pipe2");
    if (pipe2(toChild, O_CLOEXEC) != 0) {
        close(fromChild[0]);
        close(fromChild[1]);
        ThrowErrno("pipe2");
    }
    m_pid = fork();
    if (m_pid == 0) {
        close(fromChild[0]);
        close(toChild[1]);
        HoldInChild(fromChild[1], toChild[0]);
    }
    close(fromChild[1]);
    close(toChild[0]);
    m_toChild = toChild[1];
    if (m_pid < 0) {
        close(fromChild[0]);
        close(m_toChild);
        ThrowErrno("fork");
    }
    m_pidfd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    char answer = 'n';
    if (ReadableWithin(fromChild[0], kChildLimitMs) && read(fromChild[0], &answer, 1) != 1)
        answer = 'n';
    close(fromChild[0]);
    m_holds = answer == 'y';
}

ForeignHolder::~ForeignHolder()
{
    if (!Release() && m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_pidfd >= 0)
        close(m_pidfd);
}

bool ForeignHolder::Release()
{
    if (m_toChild >= 0) {
        close(m_toChild);
        m_toChild = -1;
    }
    if (m_pid <= 0)
        return true;
    if (m_pidfd < 0 || !ReadableWithin(m_pidfd, kChildLimitMs))
        return false;
    const bool reaped = waitpid(m_pid, nullptr, 0) == m_pid;
    m_pid = -1;
    return reaped;
}
