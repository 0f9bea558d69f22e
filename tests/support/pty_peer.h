// The far end of a serial line that answers by itself: a PtyLine whose slave is mapped as com1 in a
// configuration home of the test's own, and whose master is served by a thread that records what the
// tool sends and answers as told.
#pragma once

#include "config_home.h"
#include "pty_line.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

class PtyPeer {
public:
    enum class When {
        OnEachWrite,     // the answer goes out whenever the tool's bytes arrive (one write per Send)
        WhileOpen,       // the answer is repeated every few milliseconds while the tool holds the line
    };

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    // What the peer answers from now on, once per Send (When::OnEachWrite) or repeatedly.
    void SetAnswer(Bytes answer, When when = When::OnEachWrite);

    // Everything the tool has sent so far, and how often it has opened the line.
    Bytes Received() const;
    int Opens() const;
    // Waits (with a deadline) until at least `count` bytes have arrived.
    bool WaitForReceived(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(5)) const;
    void ClearReceived();

    const std::string& SlavePath() const { return m_line.SlavePath(); }
    int MasterFd() const { return m_line.MasterFd(); }
    std::filesystem::path MapDir() const { return m_home.MapFolder(); }

private:
    PtyLine m_line;
    ScopedConfigHome m_home;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Bytes m_received;
    Bytes m_answer;
    When m_when = When::OnEachWrite;
    int m_opens = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;

    void Serve();
    void SendAnswer(bool lineHeld, bool bytesArrived);
};
