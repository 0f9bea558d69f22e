// One program on the line: the open keeps off a device that another program holds in any of the
// ways programs mark one (a lock file, a plain open, the kernel's console), and marks the device
// itself while it holds it, so that other programs keep off. minicom is the real peer here.
#include "comm_error.h"
#include "line_claims.h"
#include "process_tools.h"
#include "pty_port_fixture.h"
#include "stuck_file_system.h"
#include "tty_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <fstream>

#include <poll.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path kLockFolder = "/run/lock";

class LineSharingTest : public PtyPortTest {
protected:
    void SetUp() override
    {
        PtyPortTest::SetUp();
        if (access(kLockFolder.c_str(), W_OK) != 0)
            GTEST_SKIP() << kLockFolder << " may not be written here, so no lock file can be tried";
        lock = kLockFolder / ("LCK.." + PtsName());
    }
    void TearDown() override { fs::remove_all(lock); }

    // "pts_3" for /dev/pts/3.
    std::string PtsName() const
    {
        std::string name = peer.SlavePath().substr(5);
        std::replace(name.begin(), name.end(), '/', '_');
        return name;
    }

    // Whether com1 opens; when not, the refusal's words.
    std::string TryCom1()
    {
        ScopedHandle port(CreateCom1());
        if (port.Valid())
            return "opened";
        return GetLastError() == ERROR_SHARING_VIOLATION ? LastFailureCause().reason : "failed otherwise";
    }

    fs::path lock;
};

std::string MinicomScreenAfterExit(TerminalProgram& minicom)
{
    EXPECT_TRUE(minicom.WaitForExit(10s)) << "minicom did not end";
    return minicom.Screen(0ms);
}

TEST_F(LineSharingTest, MinicomAndASendKeepOffEachOther)
{
    const std::vector<std::string> minicom{"env", "TERM=vt100", "HOME=" + home.Root().string(), "minicom", "-D",
                                           peer.SlavePath(), "-b", "19200"};
    {
        TerminalProgram holder(minicom);
        ASSERT_TRUE(WaitForFile(lock, holder, 10s)) << "minicom left no lock file: " << holder.Screen(0ms);
        const ProgramRun send = RunToEnd({VORNIKAL_SEND, "--baud", "19200", "41"});
        EXPECT_EQ(send.exitCode, 3);
        EXPECT_NE(send.err.find("in use by minicom (pid " + std::to_string(holder.Pid()) + "): its lock file " +
                                lock.string()),
                  std::string::npos)
            << send.err;
        holder.Signal(SIGTERM);
        ASSERT_TRUE(holder.WaitForExit(10s));
    }

    ScopedHandle port(CreateCom1());
    ASSERT_TRUE(port.Valid());
    std::ifstream written(lock);
    std::string content((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    char expected[16];
    std::snprintf(expected, sizeof expected, "%10d\n", static_cast<int>(getpid()));
    EXPECT_EQ(content, expected) << "ten digits, right-aligned, and a newline";
    TerminalProgram latecomer(minicom);
    EXPECT_NE(MinicomScreenAfterExit(latecomer).find("Device " + peer.SlavePath() + " is locked."), std::string::npos);
    port.Close();
    EXPECT_FALSE(fs::exists(lock)) << "the lock goes with the handle";
}

// A PID no process has: a child's, once it is reaped.
pid_t EndedPid()
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

std::string PidLine(pid_t pid, const std::string& after = "\n")
{
    char text[16];
    std::snprintf(text, sizeof text, "%10d", static_cast<int>(pid));
    return text + after;
}

// Lock files in every form their writers leave them, under each name a program may lock the device
// by: what the open decides, and whether the file is still there afterwards. Nothing is followed
// as a link, nothing hangs.
TEST_F(LineSharingTest, EveryLockFormIsReadAsItsWritersMeantIt)
{
    const ProgramHolding other("logger", "/dev/null");
    const std::string byOther = "in use by " + other.Text() + ": its lock file ";
    struct stat node {};
    ASSERT_EQ(stat(peer.SlavePath().c_str(), &node), 0);
    const fs::path alias = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    const DeviceToCheck device{node, {alias, peer.SlavePath()}};
    const fs::path aliasLock = kLockFolder / "LCK..serial_by-id_usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    const fs::path numberLock = kLockFolder / DeviceNumberLockName(node.st_rdev);
    const struct {
        const char* what;
        fs::path file;
        std::string content;
        std::chrono::seconds young;  // how long a lock naming no PID counts as being written
        bool asNobody;               // read by a user other than its writer
        std::string decision;        // the refusal's start, or "claimed"
        bool stays;
    } forms[] = {
        {"ten digits", lock, PidLine(other.Pid()), kYoungLock, false, byOther + lock.string(), true},
        {"words after the PID", lock, PidLine(other.Pid(), " minicom user\n"), kYoungLock, false, byOther, true},
        {"CR LF", lock, PidLine(other.Pid(), "\r\n"), kYoungLock, false, byOther, true},
        {"fresh and empty", lock, "", kYoungLock, false, "in use by a lock file with no PID in it yet: " + lock.string(), true},
        {"old and empty", lock, "", 0s, false, "claimed", false},
        {"old and binary", lock, std::string("\x39\x30\0\0", 4), 0s, false, "claimed", false},
        {"an ended process's", lock, PidLine(EndedPid()), kYoungLock, false, "claimed", false},
        {"init's", lock, PidLine(1), kYoungLock, false, "in use by ", true},
        {"by the device's number", numberLock, PidLine(other.Pid()), kYoungLock, false, byOther + numberLock.string(), true},
        {"by the alias", aliasLock, PidLine(other.Pid()), kYoungLock, false, byOther + aliasLock.string(), true},
        {"unreadable", lock, PidLine(other.Pid()), kYoungLock, true,
         "in use by a lock file this user cannot read: " + lock.string(), true},
    };
    for (const auto& form : forms) {
        std::ofstream(form.file, std::ios::binary) << form.content;
        fs::permissions(form.file, fs::perms::owner_read | fs::perms::owner_write);
        const HolderSearch search{"/", form.young};
        // In a child, which gives up root first where the lock must be another user's.
        const auto decided = ExitCodeInChild([&] {
            const bool asked = !form.asNobody || (setgid(65534) == 0 && setuid(65534) == 0);
            return asked && ClaimDevice(device, search).refusal.value_or("claimed").starts_with(form.decision) ? 0 : 1;
        }, 10s);
        EXPECT_EQ(decided, 0) << form.what;
        EXPECT_EQ(fs::exists(form.file), form.stays) << form.what;
        fs::remove(form.file);
    }

    // Claimed, the device carries this process's lock under every name and by its number, and
    // loses them all with the claim.
    {
        const ClaimCheck check = ClaimDevice(device);
        ASSERT_FALSE(check.refusal) << *check.refusal;
        EXPECT_TRUE(fs::exists(aliasLock) && fs::exists(lock) && fs::exists(numberLock));
    }
    EXPECT_FALSE(fs::exists(aliasLock) || fs::exists(lock) || fs::exists(numberLock));

    // A link naming a live lock elsewhere, and a folder: never followed nor removed, no lock written.
    const fs::path elsewhere = home.Root() / "live-lock";
    std::ofstream(elsewhere) << PidLine(other.Pid());
    fs::create_symlink(elsewhere, lock);
    EXPECT_EQ(TryCom1(), "opened");
    EXPECT_TRUE(fs::is_symlink(lock));
    fs::remove(lock);
    fs::create_directory(lock);
    EXPECT_EQ(TryCom1(), "opened");
    EXPECT_TRUE(fs::is_directory(lock));
}

// In a PID namespace of its own (a container's) the open is PID 1: its lock names 1 and still goes
// with the handle. A PID no process here has may be a process outside: that lock stays and refuses.
TEST_F(LineSharingTest, InAPidNamespaceOwnLocksGoAndUnseenOnesHold)
{
    const pid_t outside = EndedPid();
    const auto asInit = [&] {
        const bool opened = getpid() == 1 && ScopedHandle(CreateCom1()).Valid();
        if (!opened || fs::exists(lock))
            return 3;
        std::ofstream(lock) << PidLine(outside);
        const bool refused = !ScopedHandle(CreateCom1()).Valid();
        return refused && LastFailureCause().reason.starts_with("in use by a lock file naming pid") && fs::exists(lock) ? 0 : 4;
    };
    const auto code = ExitCodeInChild([&] { return unshare(CLONE_NEWPID) ? 2 : ExitCodeInChild(asInit, 10s).value_or(5); }, 10s);
    if (code == 2)
        GTEST_SKIP() << "no new PID namespace may be made here";
    EXPECT_EQ(code, 0) << "3: not PID 1, not opened, or its own lock left; 4: the unseen lock let the open in or went";
}

// A program that simply has the device open is named, in its own words made safe: a name is
// another user's text, and control bytes in it reach neither the Send's terminal nor the trace.
TEST_F(LineSharingTest, AProgramThatSimplyHasTheDeviceOpenIsNamedSafely)
{
    {
        const ProgramHolding holder("\x1b]0;owned\a\x1b[2J\x9b" "31m", peer.SlavePath());
        setenv("VORNIKAL_TRACE", "comm", 1);
        const ProgramRun send = RunToEnd({VORNIKAL_SEND, "--baud", "19200", "41"});
        unsetenv("VORNIKAL_TRACE");
        const std::string shown = "in use by \\x1b]0;owned\\x07\\x1b[2J\\x9b31m (pid " + std::to_string(holder.Pid()) + ")";
        EXPECT_NE(send.err.find("(" + shown + ", which has it open)"), std::string::npos) << "the trace: " << send.err;
        EXPECT_NE(send.err.find(": the device is " + shown), std::string::npos) << send.err;
        EXPECT_EQ(std::count_if(send.err.begin(), send.err.end(), [](unsigned char c) { return c != '\n' && !std::isprint(c); }), 0);
        EXPECT_FALSE(fs::exists(lock)) << "a refused open leaves no lock";
    }
    EXPECT_EQ(TryCom1(), "opened");
}

// A process holds a file on a FUSE mount whose server stopped answering: the open must not ask
// that file system anything, or it would wait for good.
TEST_F(LineSharingTest, AFileOnAStuckMountHoldsNoOpenUp)
{
    std::string why;
    auto stuck = StuckFileSystem::Mount(why);
    if (!stuck)
        GTEST_SKIP() << why;
    ASSERT_TRUE(fs::exists(stuck->File()));
    const ProgramHolding holder("sshfs-user", stuck->File().string());
    stuck->StopAnsweringAttributes();

    // In a child: an open that waits on the file system ends only when the connection does.
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0)
        _exit(CreateCom1() != INVALID_HANDLE_VALUE ? 0 : 1);
    pollfd end{static_cast<int>(syscall(SYS_pidfd_open, child, 0)), POLLIN, 0};
    EXPECT_EQ(poll(&end, 1, 1000), 1) << "the open waited on the stuck file system";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    stuck.reset();
    int status = 0;
    waitpid(child, &status, 0);
    close(end.fd);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "com1 did not open";
}

// As root, TIOCEXCL keeps nobody out: minicom, given the by-id name that com1's map holds, must meet
// the Send's lock on that name.
TEST_F(LineSharingTest, MinicomOnTheMapsAliasIsKeptOutWhileASendHolds)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "as a user TIOCEXCL keeps minicom out already; the lock on the alias is what keeps root out";
    const bool hadFolder = fs::exists("/dev/serial");
    const fs::path alias = "/dev/serial/by-id/usb-VORNIKAL_test_" + std::to_string(getpid()) + "-if00-port0";
    fs::create_directories(alias.parent_path());
    fs::create_symlink(peer.SlavePath(), alias);
    home.Map("com1", alias);
    ScopedHandle port(CreateCom1());
    EXPECT_TRUE(port.Valid());
    TerminalProgram minicom({"env", "TERM=vt100", "HOME=" + home.Root().string(), "minicom", "-D", alias, "-b", "19200"});
    EXPECT_NE(MinicomScreenAfterExit(minicom).find("Device " + alias.string() + " is locked."), std::string::npos);
    fs::remove(alias);
    if (!hadFolder)
        fs::remove_all("/dev/serial");
}

// The kernel's console by its class entry (where tty0 stands for the terminal in front) or by its
// own mark, in a sysfs of the test's own.
TEST(KernelConsoleTest, IsFoundByTheConsolesListOrItsOwnMark)
{
    const fs::path sys = MakeTemporaryFolder();
    const auto write = [&](const fs::path& file, const std::string& text) {
        fs::create_directories((sys / file).parent_path());
        std::ofstream(sys / file) << text << "\n";
    };
    fs::create_directories(sys / "devices/platform/serial8250/tty/ttyS0");
    fs::create_directories(sys / "class/tty/ttyS0");
    fs::create_directories(sys / "dev/char");
    fs::create_symlink("../../devices/platform/serial8250/tty/ttyS0", sys / "dev/char/4:64");
    fs::create_symlink("../../../../class/tty", sys / "devices/platform/serial8250/tty/ttyS0/subsystem");
    EXPECT_EQ(TtyName(makedev(4, 64), sys), "ttyS0");
    EXPECT_EQ(TtyName(makedev(1, 3), sys), std::nullopt) << "not a tty";

    write("class/tty/console/active", "ttyS0 tty1");
    EXPECT_TRUE(IsKernelConsole("ttyS0", sys));
    EXPECT_FALSE(IsKernelConsole("ttyS1", sys));
    write("class/tty/console/active", "tty0");
    write("class/tty/tty0/active", "tty2");
    EXPECT_TRUE(IsKernelConsole("tty2", sys));
    EXPECT_FALSE(IsKernelConsole("ttyS0", sys));
    write("class/tty/ttyS0/console", "Y");
    EXPECT_TRUE(IsKernelConsole("ttyS0", sys));
    fs::remove_all(sys);
}

}  // namespace
