#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace {

void MakeRaw(int fd)
{
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
}

}  // namespace

PtyPeer::PtyPeer()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    m_slavePath = ptsname(m_master);
    MakeRaw(m_master);
    // The slave starts raw too, so nothing is echoed back before the tool applies its settings.
    const int slave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    MakeRaw(slave);
    close(slave);

    char folder[] = "/tmp/vornikal-test-XXXXXX";
    m_configHome = mkdtemp(folder);
    m_mapDir = m_configHome / "vornikal" / "dosdevices";
    std::filesystem::create_directories(m_mapDir);
    std::filesystem::create_symlink(m_slavePath, m_mapDir / "com1");
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        m_hadConfigHome = true;
        m_oldConfigHome = old;
    }
    setenv("XDG_CONFIG_HOME", m_configHome.c_str(), 1);
    m_thread = std::thread([this] { Serve(); });
}

PtyPeer::~PtyPeer()
{
    m_stop = true;
    m_thread.join();
    close(m_master);
    if (m_hadConfigHome)
        setenv("XDG_CONFIG_HOME", m_oldConfigHome.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(m_configHome, ignored);
}

void PtyPeer::SetAnswer(Bytes answer, When when)
{
    std::lock_guard lock(m_mutex);
    m_answer = std::move(answer);
    m_when = when;
}

Bytes PtyPeer::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

int PtyPeer::Opens() const
{
    std::lock_guard lock(m_mutex);
    return m_opens;
}

bool PtyPeer::WaitForReceived(std::size_t count, std::chrono::milliseconds deadline) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, deadline, [&] { return m_received.size() >= count; });
}

void PtyPeer::ClearReceived()
{
    std::lock_guard lock(m_mutex);
    m_received.clear();
}

// While nobody holds the slave the master reports a hang-up; the line counts as held (opened
// once) from the first poll without it until the next. A close followed at once by an open can
// pass unseen, so tests count opens only to tell none from some.
void PtyPeer::Serve()
{
    bool held = false;
    while (!m_stop) {
        pollfd fd{m_master, POLLIN, 0};
        poll(&fd, 1, 2);
        const bool nowHeld = !(fd.revents & POLLHUP);
        if (nowHeld && !held) {
            std::lock_guard lock(m_mutex);
            ++m_opens;
        }
        held = nowHeld;
        bool arrived = false;
        std::uint8_t buffer[4096];
        ssize_t n;
        while ((n = read(m_master, buffer, sizeof buffer)) > 0) {
            std::lock_guard lock(m_mutex);
            m_received.insert(m_received.end(), buffer, buffer + n);
            arrived = true;
        }
        if (arrived)
            m_changed.notify_all();
        SendAnswer(held, arrived);
    }
}

void PtyPeer::SendAnswer(bool lineHeld, bool bytesArrived)
{
    Bytes answer;
    {
        std::lock_guard lock(m_mutex);
        const bool due = m_when == When::WhileOpen ? lineHeld : bytesArrived;
        if (!due || m_answer.empty())
            return;
        answer = m_answer;
    }
    std::size_t written = 0;
    while (written < answer.size()) {
        const ssize_t n = write(m_master, answer.data() + written, answer.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
}
