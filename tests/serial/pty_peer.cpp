#include "pty_peer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kSendLimit = std::chrono::seconds(5);

[[noreturn]] void ThrowErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void MakeRaw(int fd, bool softwareFlowControl)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        ThrowErrno("tcgetattr");
    cfmakeraw(&settings);
    if (softwareFlowControl)
        settings.c_iflag |= IXON | IXOFF;
    else
        settings.c_iflag &= ~(IXON | IXOFF);
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        ThrowErrno("tcsetattr");
}

}  // namespace

PtyPeer::PtyPeer()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0)
        ThrowErrno("posix_openpt");
    char path[256];
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 || ptsname_r(m_master, path, sizeof path) != 0) {
        close(m_master);
        ThrowErrno("unlockpt");
    }
    m_slavePath = path;
    MakeRaw(m_master, false);
}

PtyPeer::~PtyPeer()
{
    if (m_heldSlave >= 0)
        close(m_heldSlave);
    HangUp();
}

int PtyPeer::HeldSlave()
{
    if (m_heldSlave < 0) {
        m_heldSlave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_heldSlave < 0)
            ThrowErrno("open slave");
    }
    return m_heldSlave;
}

void PtyPeer::SetSlaveRaw(bool softwareFlowControl)
{
    MakeRaw(HeldSlave(), softwareFlowControl);
}

void PtyPeer::Send(const Bytes& bytes)
{
    const auto deadline = Clock::now() + kSendLimit;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t result = write(m_master, bytes.data() + sent, bytes.size() - sent);
        if (result > 0) {
            sent += static_cast<std::size_t>(result);
            continue;
        }
        if (result < 0 && errno != EAGAIN && errno != EINTR)
            ThrowErrno("write master");
        pollfd room{m_master, POLLOUT, 0};
        if (poll(&room, 1, MillisecondsUntil(deadline)) == 0)
            throw std::runtime_error("the line took no more bytes before the deadline");
    }
}

Bytes PtyPeer::Receive(std::size_t count, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    Bytes received;
    while (received.size() < count) {
        pollfd input{m_master, POLLIN, 0};
        if (poll(&input, 1, MillisecondsUntil(deadline)) <= 0 || !(input.revents & POLLIN))
            break;
        unsigned char buffer[4096];
        const ssize_t result = read(m_master, buffer, std::min(sizeof buffer, count - received.size()));
        if (result > 0)
            received.insert(received.end(), buffer, buffer + result);
        else if (result == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return received;
}

bool PtyPeer::WaitForPortInput(std::size_t count, std::chrono::milliseconds limit)
{
    return WaitForWaitingInput([count](std::size_t waiting) { return waiting >= count; }, limit);
}

bool PtyPeer::WaitUntilPortTookInput(std::chrono::milliseconds limit)
{
    return WaitForWaitingInput([](std::size_t waiting) { return waiting == 0; }, limit);
}

bool PtyPeer::WaitForWaitingInput(const std::function<bool(std::size_t)>& enough, std::chrono::milliseconds limit)
{
    constexpr int kLookAgainMs = 2;
    const auto deadline = Clock::now() + limit;
    const int slave = HeldSlave();
    for (;;) {
        int waiting = 0;
        if (ioctl(slave, FIONREAD, &waiting) != 0)
            ThrowErrno("FIONREAD");
        if (enough(static_cast<std::size_t>(waiting)))
            return true;
        if (Clock::now() >= deadline)
            return false;
        // Nothing signals a change in the count: look again shortly, until the deadline.
        poll(nullptr, 0, std::min(MillisecondsUntil(deadline), kLookAgainMs));
    }
}

void PtyPeer::HangUp()
{
    if (m_master >= 0)
        close(m_master);
    m_master = -1;
}
