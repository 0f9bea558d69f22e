#include "echo_loop.h"
#include "pty_pair.h"
#include "stop_signals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <system_error>

#include <sys/epoll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

// Echoes until nothing more waits. Without a holder of the slave the master reads EIO: the line
// is idle until the tool opens the port again.
void EchoWhatCame(int master)
{
    std::array<unsigned char, 4096> buffer;
    for (;;) {
        const ssize_t received = read(master, buffer.data(), buffer.size());
        if (received < 0 && errno == EINTR)
            continue;
        if (received < 0 && (errno == EAGAIN || errno == EIO))
            return;
        if (received <= 0)
            ThrowErrno("reading the pseudo-terminal");
        // A wire stores nothing: what the port has no room for is lost, as in an overrun.
        if (write(master, buffer.data(), static_cast<size_t>(received)) < 0 && errno != EAGAIN && errno != EIO)
            ThrowErrno("writing the pseudo-terminal");
    }
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
    // Edge-triggered: a master whose slave nobody holds reports a hang-up for as long as that
    // lasts, which a level-triggered wait would report again at once, for ever.
    OwnedFd events;
    events.fd = epoll_create1(EPOLL_CLOEXEC);
    if (events.fd < 0)
        ThrowErrno("epoll_create1");
    epoll_event line{};
    line.events = EPOLLIN | EPOLLET;
    line.data.fd = master;
    epoll_event signals{};
    signals.events = EPOLLIN;
    signals.data.fd = stop.Fd();
    if (epoll_ctl(events.fd, EPOLL_CTL_ADD, master, &line) != 0 ||
        epoll_ctl(events.fd, EPOLL_CTL_ADD, stop.Fd(), &signals) != 0)
        ThrowErrno("epoll_ctl");
    for (;;) {
        epoll_event ready{};
        const int count = epoll_wait(events.fd, &ready, 1, -1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            ThrowErrno("epoll_wait");
        if (ready.data.fd == stop.Fd())
            return;
        EchoWhatCame(master);
    }
}
