#include "stuck_file_system.h"

#include "config_home.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <linux/fuse.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr uint64_t kFile = 2;

// The answer to `request`: `error`, or the record `body`.
template <typename Body = int>
void Answer(int device, const fuse_in_header& request, int error, Body body = {})
{
    const fuse_out_header header{static_cast<uint32_t>(sizeof header + (error ? 0 : sizeof body)), -error, request.unique};
    std::vector<char> answer(header.len);
    std::memcpy(answer.data(), &header, sizeof header);
    std::memcpy(answer.data() + sizeof header, &body, header.len - sizeof header);
    [[maybe_unused]] const ssize_t written = write(device, answer.data(), answer.size());
}

// Every time-out 0: nothing is cached, so each stat asks again.
fuse_attr Attributes(uint64_t node)
{
    fuse_attr attr{};
    attr.ino = node;
    attr.mode = node == FUSE_ROOT_ID ? S_IFDIR | 0755 : S_IFREG | 0644;
    attr.nlink = 1;
    return attr;
}

}  // namespace

std::unique_ptr<StuckFileSystem> StuckFileSystem::Mount(std::string& why)
{
    const int device = open("/dev/fuse", O_RDWR | O_CLOEXEC);
    const std::filesystem::path folder = MakeTemporaryFolder();
    const std::string options = "fd=" + std::to_string(device) + ",rootmode=40000,user_id=0,group_id=0";
    if (device >= 0 && mount("vornikal-stuck", folder.c_str(), "fuse", MS_NOSUID | MS_NODEV, options.c_str()) == 0)
        return std::unique_ptr<StuckFileSystem>(new StuckFileSystem(device, folder));
    why = std::string(device < 0 ? "/dev/fuse cannot be opened: " : "no FUSE file system may be mounted here: ") +
          std::strerror(errno);
    close(device);
    std::filesystem::remove(folder);
    return nullptr;
}

StuckFileSystem::StuckFileSystem(int device, std::filesystem::path folder)
    : m_device(device), m_stop(eventfd(0, EFD_CLOEXEC)), m_folder(std::move(folder)), m_server([this] { Serve(); })
{
}

StuckFileSystem::~StuckFileSystem()
{
    [[maybe_unused]] const ssize_t written = write(m_stop, "\1\0\0\0\0\0\0\0", 8);
    m_server.join();
    // Forced, it ends the connection even where a forked child still has /dev/fuse open.
    umount2(m_folder.c_str(), MNT_FORCE);
    umount2(m_folder.c_str(), MNT_DETACH);
    close(m_device);
    close(m_stop);
    std::filesystem::remove(m_folder);
}

void StuckFileSystem::Serve()
{
    std::vector<char> buffer(FUSE_MIN_READ_BUFFER + 65536);
    pollfd waits[] = {{m_device, POLLIN, 0}, {m_stop, POLLIN, 0}};
    fuse_in_header request{};
    fuse_init_out init{};
    init.major = FUSE_KERNEL_VERSION;
    init.minor = FUSE_KERNEL_MINOR_VERSION;
    init.max_write = 4096;
    fuse_entry_out entry{};
    entry.nodeid = kFile;
    entry.attr = Attributes(kFile);
    fuse_attr_out attributes{};
    while (poll(waits, 2, -1) > 0 && waits[1].revents == 0) {
        if (read(m_device, buffer.data(), buffer.size()) < static_cast<ssize_t>(sizeof request))
            continue;
        std::memcpy(&request, buffer.data(), sizeof request);
        attributes.attr = Attributes(request.nodeid);
        if (request.opcode == FUSE_INIT)
            Answer(m_device, request, 0, init);
        else if (request.opcode == FUSE_LOOKUP)
            Answer(m_device, request, std::strcmp(buffer.data() + sizeof request, "held") ? ENOENT : 0, entry);
        else if (request.opcode == FUSE_GETATTR && !(m_stuck && request.nodeid == kFile))
            Answer(m_device, request, 0, attributes);
        else if (request.opcode == FUSE_OPEN)
            Answer(m_device, request, 0, fuse_open_out{});
        else if (request.opcode != FUSE_GETATTR && request.opcode != FUSE_FORGET &&
                 request.opcode != FUSE_BATCH_FORGET && request.opcode != FUSE_INTERRUPT)
            Answer(m_device, request, ENOSYS);
    }
}
