// vornikal-send run as a user runs it: over the loopback plug, against a silent far end, with bad
// input and with ports it cannot use.
#include "config_home.h"
#include "loopback_process.h"
#include "process_tools.h"
#include "pty_peer.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/wait.h>

using namespace std::chrono_literals;

namespace {

ProgramRun Send(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), VORNIKAL_SEND);
    return RunToEnd(arguments);
}

TEST(SendCommandTest, PrintsTheAnswerOverTheLoopbackPlugOncePerExchange)
{
    const ScopedConfigHome home;
    const LoopbackProcess plug(VORNIKAL_LOOPBACK, home.MapFolder());

    ProgramRun run = Send({"--baud", "19200", "7E", "81"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "01111110\n10000001\n");
    EXPECT_EQ(run.err, "");

    run = Send({"--baud", "115200", "--hex", "--count", "3", "0a", "FF"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "0A FF 00\n") << "bytes not given are sent as 00, as the dialog's empty fields";

    run = Send({"--port", "COM1", "--baud", "57600", "--repeat", "3", "--every", "20", "41"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "01000001\n\n01000001\n\n01000001\n\n");

    const ScopedEnvironment trace("VORNIKAL_TRACE", "comm");
    run = Send({"--baud", "38400", "5A"});
    EXPECT_EQ(run.out, "01011010\n");
    EXPECT_NE(run.err.find(" comm: CloseHandle("), std::string::npos) << "the comm trace works for the command: " << run.err;
}

TEST(SendCommandTest, SilenceAndBadInputHaveTheirExitStatuses)
{
    PtyPeer peer;
    ProgramRun run = Send({"--baud", "57600", "--count", "2", "12", "34", "56"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "");
    ASSERT_TRUE(peer.WaitForReceived(2));
    EXPECT_EQ(peer.Received(), Bytes({0x12, 0x34}));

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"7E"},                                       // no rate
             {"--baud", "19200", "7"},                     // odd hex
             {"--baud", "19200", "0x7E"},                  // not two digits
             {"--baud", "19200", "GG"},                    // not hex
             {"--baud", "19200", "01", "02", "03", "04", "05"},
             {"--baud", "19200", "--count", "5"},
             {"--baud", "19200", "--count", "-1"},
             {"--baud", "99999999999999999999"},
             {"--baud", "19200x"},
             {"--baud", "19200", "--baud", "19200"},
             {"--baud", "19200", "--port", "com0"},
             {"--baud", "19200", "--port", "/dev/ttyS0"},
             {"--baud", "19200", "--repeat"},
             {"--baud", "19200", "--frobnicate"},
         }) {
        run = Send(bad);
        EXPECT_EQ(run.exitCode, 2) << bad.back();
        EXPECT_NE(run.err.find("Try 'vornikal-send --help'."), std::string::npos) << run.err;
    }
    EXPECT_EQ(peer.Opens(), 1) << "bad input never opens the port";
}

TEST(SendCommandTest, SaysWhyAPortCannotBeUsed)
{
    const ScopedConfigHome home;
    home.Map("com1", home.Root() / "unplugged");
    ProgramRun run = Send({"--baud", "19200", "7E"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "vornikal-send: com1 (" + (home.Root() / "unplugged").string() + ", map entry " +
                           home.Com1().string() + "): could not be opened: No such file or directory\n");

    home.Map("com1", "/dev/null");
    run = Send({"--baud", "19200", "7E"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("/dev/null"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("not a terminal"), std::string::npos) << run.err;
}

TEST(SendCommandTest, InterruptEndsARepeatBetweenExchangesAndReleasesThePort)
{
    const ScopedConfigHome home;
    const LoopbackProcess plug(VORNIKAL_LOOPBACK, home.MapFolder());
    ChildProgram watch({VORNIKAL_SEND, "--baud", "19200", "--hex", "--repeat", "0", "--every", "60000", "55"});
    ASSERT_EQ(watch.ReadLine(10s), "55");
    watch.Signal(SIGINT);
    const auto status = watch.WaitForExit(10s);
    ASSERT_TRUE(status.has_value()) << "the wait between exchanges does not end on Ctrl+C";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_EQ(Send({"--baud", "19200", "AA"}).exitCode, 0) << "the port is free again";
}

}  // namespace
