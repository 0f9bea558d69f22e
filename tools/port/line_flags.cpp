#include "line_flags.h"

#include "comm_error.h"
#include "device_open.h"

#include <cstring>

#include <termios.h>
#include <unistd.h>

namespace {

// The device opened the way the comm calls open it: exclusively, lines lowered at once.
class ProbeOpen {
public:
    explicit ProbeOpen(const std::filesystem::path& path) : m_held(OpenExclusiveTty(path)) {}
    ~ProbeOpen()
    {
        if (m_held) {
            ReleaseExclusiveTty(m_held->fd);
            close(m_held->fd);
        }
    }
    ProbeOpen(const ProbeOpen&) = delete;
    ProbeOpen& operator=(const ProbeOpen&) = delete;

    int Fd() const { return m_held ? m_held->fd : -1; }

private:
    std::optional<HeldTty> m_held;
};

std::string OpenFailure()
{
    const FailureCause& cause = LastFailureCause();
    if (cause.error == EWOULDBLOCK || cause.error == EBUSY)
        return "another program holds it";
    if (cause.error != 0)
        return std::strerror(cause.error);
    return cause.reason.empty() ? "it would not open" : cause.reason;
}

}  // namespace

FlowControlReading ReadSoftwareFlowControl(const std::filesystem::path& hostPath)
{
    const ProbeOpen device(hostPath);
    if (device.Fd() < 0)
        return {std::nullopt, OpenFailure()};
    termios settings{};
    if (tcgetattr(device.Fd(), &settings) != 0)
        return {std::nullopt, std::strerror(errno)};
    return {(settings.c_iflag & (IXON | IXOFF)) != 0, {}};
}

std::string TurnSoftwareFlowControlOff(const std::filesystem::path& hostPath)
{
    const ProbeOpen device(hostPath);
    if (device.Fd() < 0)
        return OpenFailure();
    termios settings{};
    if (tcgetattr(device.Fd(), &settings) != 0)
        return std::strerror(errno);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    if (tcsetattr(device.Fd(), TCSANOW, &settings) != 0)
        return std::strerror(errno);
    // tcsetattr succeeds when any one change took: read back.
    if (tcgetattr(device.Fd(), &settings) != 0 || (settings.c_iflag & (IXON | IXOFF)) != 0)
        return "the device kept XON/XOFF on";
    return {};
}
