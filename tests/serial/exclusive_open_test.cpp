// Share mode 0: one holder at a time, in this process or another, root included.
#include "comm_port.h"
#include "process_tools.h"
#include "pty_port_fixture.h"

#include <cerrno>

#include <sys/ioctl.h>

using namespace std::chrono_literals;

namespace {

// CreateFileA of com1 in another process: 0 when it opened, else its error.
std::optional<int> OpenInAnotherProcess()
{
    return ExitCodeInChild(
        [] {
            HANDLE handle = CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (handle == INVALID_HANDLE_VALUE)
                return static_cast<int>(GetLastError());
            CloseHandle(handle);
            return 0;
        },
        10s);
}

bool TerminalIsExclusive(int fd)
{
    int exclusive = 0;
    EXPECT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    return exclusive != 0;
}

class ExclusiveOpenTest : public PtyPortTest {};

TEST_F(ExclusiveOpenTest, SecondOpenFailsWhileTheFirstHoldsTheDevice)
{
    // Run as root (as CI does), TIOCEXCL lets the second opener in and only the lock refuses it.
    ScopedHandle first(CreateCom1());
    ASSERT_TRUE(first.Valid());
    const int descriptorsBefore = OpenDescriptorCount();
    SetLastError(ERROR_SUCCESS);
    ScopedHandle second(CreateCom1());
    EXPECT_FALSE(second.Valid());
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
    EXPECT_EQ(OpenInAnotherProcess(), static_cast<int>(ERROR_SHARING_VIOLATION));

    first.Close();
    EXPECT_EQ(OpenInAnotherProcess(), 0);
    ScopedHandle third(CreateCom1());
    EXPECT_TRUE(third.Valid());
}

TEST_F(ExclusiveOpenTest, SecondPortFailsToOpenWhileTheFirstIsOpen)
{
    CCommPort first("com1");
    ASSERT_EQ(first.Open(CBR_19200), 1);
    CCommPort second("com1");
    EXPECT_EQ(second.Open(CBR_19200), 0);
    first.Close();
    EXPECT_EQ(second.Open(CBR_19200), 1);
}

TEST_F(ExclusiveOpenTest, TerminalIsExclusiveOnlyWhileHeld)
{
    const int slave = peer.HoldSlave();
    int exclusive = 0;
    // qemu-user answers an ioctl it does not translate with ENOSYS up to 7.2 and ENOTTY since.
    const int error = ioctl(slave, TIOCGEXCL, &exclusive) == 0 ? 0 : errno;
    if (error == ENOSYS || error == ENOTTY)
        GTEST_SKIP() << "TIOCGEXCL is not implemented here (" << (error == ENOSYS ? "ENOSYS" : "ENOTTY")
                     << "; qemu-user does not translate it): whether the terminal is exclusive cannot be read";
    EXPECT_FALSE(TerminalIsExclusive(slave));
    ScopedHandle port(CreateCom1());
    ASSERT_TRUE(port.Valid());
    EXPECT_TRUE(TerminalIsExclusive(slave));
    port.Close();
    EXPECT_FALSE(TerminalIsExclusive(slave)) << "other users could never open the device again";
}

}  // namespace
