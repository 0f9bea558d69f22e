// vornikal-loopback as the tool meets it: started as a program, found through the device map.
#include "comm_port.h"
#include "config_home.h"
#include "pty_line.h"
#include "process_tools.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include <sys/wait.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr auto kStartLimit = 10s;

class LoopbackPlugTest : public ::testing::Test {
protected:
    fs::path MapFolder() const { return home.MapFolder(); }
    std::string ReadyFile() const { return (home.Root() / "ready").string(); }

    // Starts the plug and waits until it echoes; its device path.
    std::string StartPlug(const std::vector<std::string>& extraArguments = {})
    {
        std::vector<std::string> arguments{VORNIKAL_LOOPBACK, "--once-ready-file", ReadyFile()};
        arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
        plug.emplace(arguments);
        if (!WaitForFile(ReadyFile(), *plug, kStartLimit))
            return {};
        std::ifstream ready(ReadyFile());
        std::string device;
        std::getline(ready, device);
        return device;
    }

    // Stops the plug as Ctrl+C or a service manager would; whether it ended cleanly.
    bool StopPlug(int signal)
    {
        plug->Signal(signal);
        const auto status = plug->WaitForExit(kStartLimit);
        return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    }

    static Bytes EchoThroughComOne(const Bytes& sent)
    {
        CCommPort port("com1");
        if (port.Open(CBR_19200) != 1)
            return {};
        EXPECT_EQ(port.Write(sent.data(), static_cast<int>(sent.size())), static_cast<int>(sent.size()));
        // The tool's read gives the answer 100 ms, as a Send does.
        Bytes received(100);
        const int count = port.Read(received.data(), 100);
        received.resize(static_cast<std::size_t>(std::max(count, 0)));
        return received;
    }

    ScopedConfigHome home;
    std::optional<ChildProgram> plug;
};

TEST_F(LoopbackPlugTest, EchoesThroughComOneAcrossOpensAndTidiesUpOnTerm)
{
    const std::string device = StartPlug();
    ASSERT_FALSE(device.empty()) << "the plug did not get ready";
    EXPECT_EQ(plug->ReadLine(1s), "vornikal-loopback: com1 -> " + device + " (echoing; Ctrl+C to stop)");
    EXPECT_EQ(fs::read_symlink(MapFolder() / "com1"), fs::path(device));

    const Bytes awkward = {0x00, 0x03, 0x0A, 0x0D, 0x11, 0x13, 0x7F, 0xFF};
    EXPECT_EQ(EchoThroughComOne(awkward), awkward);
    EXPECT_EQ(EchoThroughComOne({'A', 'B', 'C', 'D'}), Bytes({'A', 'B', 'C', 'D'})) << "after a close and reopen";

    EXPECT_TRUE(StopPlug(SIGTERM));
    EXPECT_FALSE(fs::exists(fs::symlink_status(MapFolder() / "com1"))) << "the plug removes the link it made";
}

TEST_F(LoopbackPlugTest, PutsBackTheLinkItReplacedOnInterrupt)
{
    home.Map("com1", "/dev/ttyUSB0");
    const std::string device = StartPlug();
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(fs::read_symlink(MapFolder() / "com1"), fs::path(device));
    EXPECT_EQ(EchoThroughComOne({0x55}), Bytes({0x55}));
    EXPECT_TRUE(StopPlug(SIGINT));
    EXPECT_EQ(fs::read_symlink(MapFolder() / "com1"), fs::path("/dev/ttyUSB0"));
}

TEST_F(LoopbackPlugTest, MapFolderCanBeGivenAndIsCreated)
{
    const fs::path elsewhere = home.Root() / "other" / "map";
    const std::string device = StartPlug({"--map-dir", elsewhere.string()});
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(fs::read_symlink(elsewhere / "com1"), fs::path(device));
    EXPECT_FALSE(fs::exists(MapFolder())) << "the default map is not touched";
    EXPECT_TRUE(StopPlug(SIGTERM));
    EXPECT_FALSE(fs::exists(fs::symlink_status(elsewhere / "com1")));
}

TEST_F(LoopbackPlugTest, LeavesAComOneThatIsNoLinkAlone)
{
    fs::create_directories(MapFolder());
    std::ofstream(MapFolder() / "com1") << "someone's file";
    plug.emplace(std::vector<std::string>{VORNIKAL_LOOPBACK, "--once-ready-file", ReadyFile()});
    const auto status = plug->WaitForExit(kStartLimit);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(MapFolder() / "com1")));
    EXPECT_FALSE(fs::exists(ReadyFile()));
}

TEST_F(LoopbackPlugTest, RefusesOptionsItDoesNotKnow)
{
    plug.emplace(std::vector<std::string>{VORNIKAL_LOOPBACK, "--baud", "9600"});
    const auto status = plug->WaitForExit(kStartLimit);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 2);
    EXPECT_FALSE(fs::exists(MapFolder()));
}

}  // namespace
