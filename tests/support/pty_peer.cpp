#include "pty_peer.h"

#include <poll.h>
#include <unistd.h>

PtyPeer::PtyPeer()
{
    m_home.Map("com1", m_line.SlavePath());
    m_thread = std::thread([this] { Serve(); });
}

PtyPeer::~PtyPeer()
{
    m_stop = true;
    m_thread.join();
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
// pass unseen, so tests count opens only to tell none from some. The hang-up is reported at once
// for as long as it lasts, so the peer looks again a millisecond later rather than spinning.
void PtyPeer::Serve()
{
    bool held = false;
    while (!m_stop) {
        pollfd fd{MasterFd(), POLLIN, 0};
        poll(&fd, 1, 2);
        const bool nowHeld = !(fd.revents & POLLHUP);
        if (!nowHeld)
            poll(nullptr, 0, 1);
        if (nowHeld && !held) {
            std::lock_guard lock(m_mutex);
            ++m_opens;
        }
        held = nowHeld;
        bool arrived = false;
        std::uint8_t buffer[4096];
        ssize_t n;
        while ((n = read(MasterFd(), buffer, sizeof buffer)) > 0) {
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
        const ssize_t n = write(MasterFd(), answer.data() + written, answer.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
}
