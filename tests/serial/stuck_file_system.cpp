#include "stuck_file_system.h"

#include "config_home.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <linux/fuse.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kRoot = FUSE_ROOT_ID;
constexpr uint64_t kFile = 2;

fuse_attr Attributes(uint64_t node)
{
    fuse_attr attr{};
    attr.ino = node;
    attr.mode = node == kRoot ? S_IFDIR | 0755 : S_IFREG | 0644;
    attr.nlink = node == kRoot ? 2 : 1;
    return attr;
}

void Reply(int device, const fuse_in_header& request, int error, const void* body = nullptr, std::size_t size = 0)
{
    std::vector<char> reply(sizeof(fuse_out_header) + size);
    const fuse_out_header header{static_cast<uint32_t>(reply.size()), -error, request.unique};
    std::memcpy(reply.data(), &header, sizeof header);
    if (size > 0)
        std::memcpy(reply.data() + sizeof header, body, size);
    [[maybe_unused]] const ssize_t written = write(device, reply.data(), reply.size());
}

template <typename Body>
void ReplyWith(int device, const fuse_in_header& request, const Body& body)
{
    Reply(device, request, 0, &body, sizeof body);
}

}  // namespace

std::unique_ptr<StuckFileSystem> StuckFileSystem::Mount(std::string& why)
{
    const int device = open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (device < 0) {
        why = std::string("/dev/fuse cannot be opened: ") + std::strerror(errno);
        return nullptr;
    }
    const fs::path folder = MakeTemporaryFolder();
    const std::string options = "fd=" + std::to_string(device) + ",rootmode=40000,user_id=0,group_id=0";
    if (mount("vornikal-stuck", folder.c_str(), "fuse", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        why = std::string("no FUSE file system may be mounted here: ") + std::strerror(errno);
        close(device);
        fs::remove(folder);
        return nullptr;
    }
    return std::unique_ptr<StuckFileSystem>(new StuckFileSystem(device, folder));
}

StuckFileSystem::StuckFileSystem(int device, fs::path folder)
    : m_device(device), m_stop(eventfd(0, EFD_CLOEXEC)), m_folder(std::move(folder)), m_server([this] { Serve(); })
{
}

StuckFileSystem::~StuckFileSystem()
{
    EndConnection();
    umount2(m_folder.c_str(), MNT_DETACH);
    std::error_code ignored;
    fs::remove(m_folder, ignored);
    close(m_stop);
}

void StuckFileSystem::EndConnection()
{
    if (!m_server.joinable())
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_stop, &one, sizeof one);
    m_server.join();
    // A forced unmount ends the connection, even where a forked child still has /dev/fuse open:
    // the kernel then fails whatever waits on it.
    umount2(m_folder.c_str(), MNT_FORCE);
    close(m_device);
}

void StuckFileSystem::Serve()
{
    std::vector<char> buffer(FUSE_MIN_READ_BUFFER + 65536);
    for (;;) {
        std::array<pollfd, 2> waits{{{m_device, POLLIN, 0}, {m_stop, POLLIN, 0}}};
        if (poll(waits.data(), waits.size(), -1) < 0 || waits[1].revents != 0)
            return;
        const ssize_t length = read(m_device, buffer.data(), buffer.size());
        if (length < static_cast<ssize_t>(sizeof(fuse_in_header))) {
            if (length < 0 && (errno == EINTR || errno == ENOENT || errno == EAGAIN))
                continue;
            return;
        }
        fuse_in_header request{};
        std::memcpy(&request, buffer.data(), sizeof request);
        const char* body = buffer.data() + sizeof request;
        switch (request.opcode) {
        case FUSE_INIT: {
            fuse_init_out init{};
            init.major = FUSE_KERNEL_VERSION;
            init.minor = FUSE_KERNEL_MINOR_VERSION;
            init.max_write = 4096;
            ReplyWith(m_device, request, init);
            break;
        }
        case FUSE_LOOKUP: {
            if (request.nodeid != kRoot || std::strcmp(body, "held") != 0) {
                Reply(m_device, request, ENOENT);
                break;
            }
            fuse_entry_out entry{};
            entry.nodeid = kFile;
            entry.attr = Attributes(kFile);
            ReplyWith(m_device, request, entry);
            break;
        }
        case FUSE_GETATTR: {
            // Nothing cached: every stat asks again, and after the stop nobody answers.
            if (m_stuck && request.nodeid == kFile)
                break;
            fuse_attr_out attributes{};
            attributes.attr = Attributes(request.nodeid);
            ReplyWith(m_device, request, attributes);
            break;
        }
        case FUSE_OPEN:
            ReplyWith(m_device, request, fuse_open_out{});
            break;
        case FUSE_FORGET:
        case FUSE_BATCH_FORGET:
        case FUSE_INTERRUPT:
            break;
        default:
            Reply(m_device, request, ENOSYS);
        }
    }
}
