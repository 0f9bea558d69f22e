#include "echo_loop.h"
#include "stop_signals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <system_error>

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

void EchoWhatCame(int master)
{
    std::array<unsigned char, 4096> buffer;
    const ssize_t received = read(master, buffer.data(), buffer.size());
    if (received < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (received <= 0)
        ThrowErrno("reading the pseudo-terminal");
    // A wire stores nothing: what the port has no room for is lost, as in an overrun.
    if (write(master, buffer.data(), static_cast<size_t>(received)) < 0 && errno != EAGAIN)
        ThrowErrno("writing the pseudo-terminal");
}

}  // namespace

StopSignals::StopSignals()
{
    const sigset_t signals = StopSignalSet();
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    m_fd = signalfd(-1, &signals, SFD_CLOEXEC);
    if (m_fd < 0)
        ThrowErrno("signalfd");
}

StopSignals::~StopSignals()
{
    close(m_fd);
}

void EchoUntilStopped(int master, const StopSignals& stop)
{
    std::array<pollfd, 2> watched{{{master, POLLIN, 0}, {stop.Fd(), POLLIN, 0}}};
    for (;;) {
        if (poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno("poll");
        }
        if (watched[1].revents != 0)
            return;
        // The plug holds the slave open itself, so the master never hangs up; if it does anyway,
        // the read below reports it rather than the loop spinning.
        if (watched[0].revents != 0)
            EchoWhatCame(master);
    }
}
