#include "far_end.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr auto kWriteLimit = std::chrono::seconds(3);
}

FarEnd::FarEnd(const std::string& device)
{
    m_fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0 || tcgetattr(m_fd, &m_found) != 0) {
        m_failure = "far end " + device + " would not open: " + std::strerror(errno);
        return;
    }
    termios raw = m_found;
    cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&raw, B57600);
    tcsetattr(m_fd, TCSANOW, &raw);
    tcflush(m_fd, TCIOFLUSH);
}

FarEnd::~FarEnd()
{
    if (m_echo.joinable()) {
        (void)!write(m_stop[1], "", 1);
        m_echo.join();
        close(m_stop[0]);
        close(m_stop[1]);
    }
    if (m_fd < 0)
        return;
    // Output still queued would hold close() for up to 30 s.
    tcflush(m_fd, TCIOFLUSH);
    tcsetattr(m_fd, TCSANOW, &m_found);
    close(m_fd);
}

bool FarEnd::Write(const std::vector<std::uint8_t>& bytes)
{
    const auto deadline = std::chrono::steady_clock::now() + kWriteLimit;
    std::size_t done = 0;
    while (done < bytes.size() && std::chrono::steady_clock::now() < deadline) {
        const ssize_t step = write(m_fd, bytes.data() + done, bytes.size() - done);
        if (step > 0)
            done += static_cast<std::size_t>(step);
        else if (step < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd target{m_fd, POLLOUT, 0};
        poll(&target, 1, 10);
    }
    return done == bytes.size();
}

std::vector<std::uint8_t> FarEnd::Read(std::size_t count, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<std::uint8_t> bytes(count);
    std::size_t done = 0;
    while (done < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd target{m_fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&target, 1, static_cast<int>(left.count())) <= 0)
            break;
        const ssize_t step = read(m_fd, bytes.data() + done, count - done);
        if (step <= 0 && errno != EAGAIN && errno != EINTR)
            break;
        done += step > 0 ? static_cast<std::size_t>(step) : 0;
    }
    bytes.resize(done);
    return bytes;
}

void FarEnd::StartEcho()
{
    if (pipe2(m_stop, O_CLOEXEC) == 0)
        m_echo = std::thread([this] { EchoUntilStopped(); });
}

void FarEnd::EchoUntilStopped()
{
    pollfd targets[2] = {{m_fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
    std::uint8_t bytes[256];
    while (poll(targets, 2, -1) > 0 && targets[1].revents == 0 && (targets[0].revents & POLLIN)) {
        const ssize_t step = read(m_fd, bytes, sizeof bytes);
        if (step > 0)
            Write({bytes, bytes + step});
    }
}
