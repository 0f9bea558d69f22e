// A file system that stops answering, as sshfs does when its server went away: one file, served
// through /dev/fuse by a thread, whose attributes are no longer given once asked to stop.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

class StuckFileSystem {
public:
    // Nothing, with the reason in `why`, where /dev/fuse is missing or this process may not mount.
    static std::unique_ptr<StuckFileSystem> Mount(std::string& why);
    ~StuckFileSystem();  // a forced unmount, which fails every request still waiting

    std::filesystem::path File() const { return m_folder / "held"; }
    void StopAnsweringAttributes() { m_stuck = true; }

private:
    StuckFileSystem(int device, std::filesystem::path folder);
    void Serve();

    int m_device;
    int m_stop;
    std::filesystem::path m_folder;
    std::atomic<bool> m_stuck{false};
    std::thread m_server;
};
