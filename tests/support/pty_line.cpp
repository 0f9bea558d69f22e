#include "pty_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kSendLimit = std::chrono::seconds(5);
constexpr int kLookAgainMs = 1;

[[noreturn]] void ThrowErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void MakeRaw(int fd, bool softwareFlowControl = false)
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

std::uint8_t FloodByte(std::size_t i)
{
    return static_cast<std::uint8_t>(i * 7 + 3);
}

PtyLine::PtyLine()
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
    MakeRaw(m_master);
    // The slave starts raw too, so nothing is echoed back before the tool applies its settings.
    const int slave = open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        close(m_master);
        ThrowErrno("open slave");
    }
    MakeRaw(slave);
    close(slave);
}

PtyLine::~PtyLine()
{
    ReleaseSlave();
    HangUp();
}

bool PtyLine::Send(const Bytes& bytes)
{
    const auto deadline = Clock::now() + kSendLimit;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = write(m_master, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd room{m_master, POLLOUT, 0};
        if (poll(&room, 1, MillisecondsUntil(deadline)) <= 0)
            return false;
    }
    return true;
}

Bytes PtyLine::Receive(std::size_t count, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    Bytes received;
    while (received.size() < count) {
        pollfd input{m_master, POLLIN, 0};
        if (poll(&input, 1, MillisecondsUntil(deadline)) <= 0)
            break;
        if (!(input.revents & POLLIN)) {
            // Nobody holds the slave yet (the master reports a hang-up until the tool opens it):
            // look again shortly, until the deadline.
            if (Clock::now() >= deadline)
                break;
            poll(nullptr, 0, kLookAgainMs);
            continue;
        }
        std::uint8_t buffer[4096];
        const ssize_t n = read(m_master, buffer, std::min(sizeof buffer, count - received.size()));
        if (n > 0)
            received.insert(received.end(), buffer, buffer + n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return received;
}

std::size_t PtyLine::Flood(std::size_t total, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    std::size_t sent = 0;
    std::uint8_t chunk[4096];
    while (sent < total) {
        const std::size_t size = std::min(sizeof chunk, total - sent);
        for (std::size_t i = 0; i < size; ++i)
            chunk[i] = FloodByte(sent + i);
        const ssize_t n = write(m_master, chunk, size);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
        // The slave's queue is full: wait for room, or for the tool to let go of the line.
        pollfd room{m_master, POLLOUT, 0};
        if (poll(&room, 1, MillisecondsUntil(deadline)) <= 0 || (room.revents & POLLHUP))
            break;
    }
    return sent;
}

int PtyLine::HoldSlave()
{
    if (m_heldSlave < 0)
        m_heldSlave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_heldSlave < 0)
        ThrowErrno("open slave");
    return m_heldSlave;
}

void PtyLine::ReleaseSlave()
{
    if (m_heldSlave >= 0)
        close(m_heldSlave);
    m_heldSlave = -1;
}

void PtyLine::SetSlaveRaw(bool softwareFlowControl)
{
    MakeRaw(HoldSlave(), softwareFlowControl);
}

bool PtyLine::WaitForPortInput(std::size_t count, std::chrono::milliseconds limit)
{
    return WaitForWaitingInput([count](std::size_t waiting) { return waiting >= count; }, limit);
}

bool PtyLine::WaitUntilInputTaken(std::chrono::milliseconds limit)
{
    return WaitForWaitingInput([](std::size_t waiting) { return waiting == 0; }, limit);
}

bool PtyLine::WaitForWaitingInput(const std::function<bool(std::size_t)>& enough, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    const int slave = HoldSlave();
    for (;;) {
        // Polling the slave first moves what the master wrote into its input queue, so the count
        // is what waits there, not what is still on the way.
        pollfd flush{slave, POLLIN, 0};
        poll(&flush, 1, 0);
        int waiting = 0;
        if (ioctl(slave, FIONREAD, &waiting) != 0)
            ThrowErrno("FIONREAD");
        if (enough(static_cast<std::size_t>(waiting)))
            return true;
        if (Clock::now() >= deadline)
            return false;
        // Nothing signals that the count changed: look again shortly, until the deadline.
        poll(nullptr, 0, std::min(MillisecondsUntil(deadline), kLookAgainMs));
    }
}

void PtyLine::HangUp()
{
    if (m_master >= 0)
        close(m_master);
    m_master = -1;
}
