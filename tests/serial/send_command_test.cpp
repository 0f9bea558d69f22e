// vornikal-send run as a user runs it: over the loopback plug, against a silent far end, with bad
// input and with ports it cannot use.
#include "config_home.h"
#include "loopback_process.h"
#include "process_tools.h"
#include "pty_peer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <regex>
#include <thread>

#include <sys/wait.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

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

// Every option's good and bad forms: the good ones put their frame on the line (the peer is
// silent, so they end with 1); the bad ones end with 2 before any device is opened.
TEST(SendCommandTest, OptionsTakeTheirGoodFormsAndRefuseTheBadOnesBeforeOpening)
{
    PtyPeer peer;
    const std::string longFrame(2 * 4096, 'A');
    const struct {
        std::vector<std::string> arguments;
        Bytes sent;  // on the line; nothing for a refused command line
    } cases[] = {
        {{"--count", "2", "12", "34", "56"}, {0x12, 0x34}},
        {{"--frame", "7E81000A"}, {0x7E, 0x81, 0x00, 0x0A}},
        {{"--frame", "7e 81 00 0a", "--count", "6"}, {0x7E, 0x81, 0x00, 0x0A, 0x00, 0x00}},
        {{"--port", "COM1", "--wait", "1", "--max", "4096", "01"}, {0x01}},
        {{"--port", "\\\\.\\com1", "--expect", "01", "--max", "1", "--json", "02"}, {0x02}},
        {{"7E"}, {}},  // no rate
        {{"--baud", "19200", "7"}, {}},
        {{"--baud", "19200", "0x7E"}, {}},
        {{"--baud", "19200", "GG"}, {}},
        {{"--baud", "19200", "--frame", "7E8"}, {}},
        {{"--baud", "19200", "--frame", "7E 8 1"}, {}},
        {{"--baud", "19200", "--frame", " "}, {}},
        {{"--baud", "19200", "--frame", longFrame + "00"}, {}},
        {{"--baud", "19200", "--frame", "01", "02"}, {}},
        {{"--baud", "19200", "--count", "4097"}, {}},
        {{"--baud", "19200", "--count", "-1"}, {}},
        {{"--baud", "19200", "--wait", "0"}, {}},
        {{"--baud", "19200", "--wait", "60001"}, {}},
        {{"--baud", "19200", "--max", "0"}, {}},
        {{"--baud", "19200", "--max", "4097"}, {}},
        {{"--baud", "19200", "--expect", "0G"}, {}},
        {{"--baud", "19200", "--expect", "0102", "--max", "1"}, {}},
        {{"--baud", "19200", "--hex", "--json"}, {}},
        {{"--baud", "99999999999999999999"}, {}},
        {{"--baud", "19200x"}, {}},
        {{"--baud", "19200", "--baud", "19200"}, {}},
        {{"--baud", "19200", "--port", "com0"}, {}},
        {{"--baud", "19200", "--port", "com256"}, {}},
        {{"--baud", "19200", "--port", "ttyUSB0"}, {}},
        {{"--baud", "19200", "--port", "/dev/null"}, {}},
        {{"--baud", "19200", "--port", "/etc/hostname"}, {}},
        {{"--baud", "19200", "--port", "/tmp"}, {}},
        {{"--baud", "19200", "--repeat"}, {}},
        {{"--baud", "19200", "--frobnicate"}, {}},
    };
    int opensBeforeBadOnes = 0;
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        if (!c.sent.empty())
            arguments.insert(arguments.begin(), {"--baud", "57600"});
        peer.ClearReceived();
        const ProgramRun run = Send(arguments);
        const std::string line = arguments.back();
        if (c.sent.empty()) {
            EXPECT_EQ(run.exitCode, 2) << line;
            EXPECT_EQ(run.err.find("vornikal-send: "), 0u) << run.err;
            EXPECT_NE(run.err.find("\nTry 'vornikal-send --help'.\n"), std::string::npos) << run.err;
            continue;
        }
        EXPECT_EQ(run.exitCode, 1) << line << ": " << run.err;
        ASSERT_TRUE(peer.WaitForReceived(c.sent.size())) << line;
        EXPECT_EQ(peer.Received(), c.sent) << line;
        opensBeforeBadOnes = peer.Opens();
    }
    EXPECT_EQ(peer.Opens(), opensBeforeBadOnes) << "bad input never opens the port";
}

// A bench's probe: a device by its path and by a by-id link, a Modbus request of eight bytes, the
// expected answer, a wrong one and none, and the record of each parsed back.
TEST(SendCommandTest, ProbesADeviceByItsPathWithAnExpectedAnswerAndARecord)
{
    PtyPeer peer;
    const fs::path byId = MakeTemporaryFolder() / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    fs::create_symlink(peer.SlavePath(), byId);
    const std::vector<std::string> request = {"--baud", "19200", "--frame", "0103000000010A84", "--json"};
    const struct {
        std::string port;
        Bytes answer;
        const char* received;
        std::string expect;
        int exitCode;
        const char* outcome;
    } cases[] = {
        {peer.SlavePath(), {0x01, 0x03, 0x02, 0x00, 0x2A}, "010302002A", "0103", 0, "answered"},
        {byId.string(), {0x01, 0x83, 0x02}, "018302", "01 03", 4, "differs"},
        {byId.string(), {}, "", "0103", 1, "silent"},
    };
    for (const auto& c : cases) {
        peer.ClearReceived();
        peer.SetAnswer(c.answer);
        std::vector<std::string> arguments = request;
        arguments.insert(arguments.end(), {"--port", c.port, "--expect", c.expect});
        const ProgramRun run = Send(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.outcome << ": " << run.err;
        EXPECT_EQ(peer.Received(), Bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x0A, 0x84})) << "the frame whole";
        ASSERT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
        const auto record = nlohmann::json::parse(run.out);
        EXPECT_EQ(record["port"], c.port);
        EXPECT_EQ(record["device"], fs::canonical(peer.SlavePath()).string());
        EXPECT_EQ(record["rate"], 19200);
        EXPECT_EQ(record["sent"], "0103000000010A84");
        EXPECT_EQ(record["received"], c.received);
        EXPECT_EQ(record["expected"], "0103");
        EXPECT_EQ(record["outcome"], c.outcome);
        EXPECT_TRUE(std::regex_match(record["start"].get<std::string>(),
                                     std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")));
        EXPECT_GE(record["elapsed_ms"].get<int>(), 100) << "the open, the window and the release";
    }
}

// A far end that answers 300 ms after the request: past the Send's window, inside a wider one.
TEST(SendCommandTest, AWiderWaitSeesALateAnswer)
{
    PtyLine line;
    for (const auto& [wait, expected] : {std::pair<std::string, std::string>{"100", ""}, {"500", "5A\n"}}) {
        std::thread farEnd([&line] {
            if (!line.Receive(1, 5s).empty()) {
                std::this_thread::sleep_for(300ms);  // the far end's own delay, the thing probed
                (void)line.Send({0x5A});
            }
        });
        const ProgramRun run = Send({"--port", line.SlavePath(), "--baud", "19200", "--hex", "--wait", wait, "A5"});
        farEnd.join();
        EXPECT_EQ(run.out, expected.empty() ? "\n" : expected) << "--wait " << wait << ": " << run.err;
    }
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
