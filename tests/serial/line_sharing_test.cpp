// One program on the line: the open keeps off a device that another program holds in any of the
// ways programs mark one (a lock file, a plain open, the kernel's console), and marks the device
// itself while it holds it, so that other programs keep off. minicom is the real peer here.
#include "comm_error.h"
#include "process_tools.h"
#include "pty_port_fixture.h"
#include "tty_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iomanip>

#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// Lock files of every kind: only a live PID keeps the open off; anything else is no holder, and a
// stale lock goes. Nothing is followed as a link, nothing hangs.
TEST_F(LineSharingTest, OnlyALiveLockKeepsTheOpenOffAndAStaleOneGoes)
{
    const ProgramHolding other("logger", "/dev/null");
    std::ofstream(lock) << std::setw(10) << other.Pid() << "\n";
    EXPECT_EQ(TryCom1(), "in use by logger (pid " + std::to_string(other.Pid()) + "): its lock file " + lock.string());

    // A Send that died holding the port left its lock behind.
    fs::remove(lock);
    ASSERT_EQ(ExitCodeInChild(
                  [] { return CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr) ==
                              INVALID_HANDLE_VALUE; },
                  10s),
              0);
    ASSERT_TRUE(fs::exists(lock));
    EXPECT_EQ(TryCom1(), "opened");
    EXPECT_FALSE(fs::exists(lock)) << "the stale lock was replaced by ours, and ours went with the handle";

    const std::string huge(1 << 20, '7');
    const struct {
        const char* what;
        std::string content;
    } untrusted[] = {{"empty", ""},          {"binary", std::string("\x39\x30\0\0", 4)},
                     {"pid 0", "         0\n"}, {"pid 1", "         1\n"},
                     {"beyond the highest pid", "4294967296\n"}, {"huge", huge},
                     {"words", "minicom\n"}};
    for (const auto& file : untrusted) {
        std::ofstream(lock, std::ios::binary) << file.content;
        EXPECT_EQ(TryCom1(), "opened") << file.what;
        EXPECT_FALSE(fs::exists(lock)) << file.what;
    }

    // A link naming a live lock elsewhere, and a folder: never followed nor removed, no lock written.
    const fs::path elsewhere = home.Root() / "live-lock";
    std::ofstream(elsewhere) << std::setw(10) << other.Pid() << "\n";
    fs::create_symlink(elsewhere, lock);
    EXPECT_EQ(TryCom1(), "opened");
    EXPECT_TRUE(fs::is_symlink(lock));
    fs::remove(lock);
    fs::create_directory(lock);
    EXPECT_EQ(TryCom1(), "opened");
    EXPECT_TRUE(fs::is_directory(lock));
}

TEST_F(LineSharingTest, AProgramThatSimplyHasTheDeviceOpenIsNamed)
{
    {
        const ProgramHolding logger("logger", peer.SlavePath());
        EXPECT_EQ(TryCom1(), "in use by " + logger.Text() + ", which has it open");
        EXPECT_FALSE(fs::exists(lock)) << "a refused open leaves no lock";
    }
    EXPECT_EQ(TryCom1(), "opened");
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
