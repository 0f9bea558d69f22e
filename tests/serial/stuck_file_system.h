// A file system that stops answering, as sshfs does when its server went away: one file, served
// through /dev/fuse by a thread of the test, whose attributes are no longer given once asked to
// stop. Whoever then asks for them waits in the kernel, where not even SIGKILL ends the wait.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

class StuckFileSystem {
public:
    // Mounted in a folder of its own; nothing, with the reason in `why`, where /dev/fuse is missing
    // or this process may not mount.
    static std::unique_ptr<StuckFileSystem> Mount(std::string& why);
    // Ends the connection, which fails every request still waiting, and unmounts.
    ~StuckFileSystem();
    StuckFileSystem(const StuckFileSystem&) = delete;
    StuckFileSystem& operator=(const StuckFileSystem&) = delete;

    std::filesystem::path File() const { return m_folder / "held"; }
    void StopAnsweringAttributes() { m_stuck = true; }
    // What the destructor does first; for a test whose subject is stuck and must be let go.
    void EndConnection();

private:
    StuckFileSystem(int device, std::filesystem::path folder);
    void Serve();

    int m_device;
    int m_stop;
    std::filesystem::path m_folder;
    std::atomic<bool> m_stuck{false};
    std::thread m_server;
};
