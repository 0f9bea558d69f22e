// Device faults met through the real dialog and the real termios comm calls: a far end that hangs
// up or floods, com1 mapped to things that are no serial port, a device another process holds, a
// device that goes away between two Sends. Whatever happens, a Send ends within its bounds, shows
// exactly the bytes that came (100 at most) and gives back the device and every descriptor.
#include "conversions.h"
#include "dialog_driver.h"
#include "foreign_holder.h"
#include "probe_dialog.h"
#include "process_gauges.h"
#include "config_home.h"
#include "pty_line.h"
#include "resource.h"
#include "send_timing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <future>
#include <sstream>

#include <sys/stat.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate19200 = 1;
constexpr std::size_t kFloodSize = 1 << 20;
const std::string kKept = "kept\r\n";

std::string LinesOf(const Bytes& bytes)
{
    std::string text;
    for (std::uint8_t byte : bytes)
        text += transfer::ResultLine(byte);
    return text;
}

double MillisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The far end's part of one ordinary Send: once the tool's byte came, answer `answer`.
std::future<bool> AnswerOnce(PtyLine& line, Bytes answer)
{
    return std::async(std::launch::async, [&line, answer] {
        return line.Receive(1, 5s).size() == 1 && line.Send(answer);
    });
}

template <typename Result>
Result Finished(std::future<Result>& far)
{
    EXPECT_EQ(far.wait_for(10s), std::future_status::ready) << "the far end did not finish its part";
    return far.get();
}

class DeviceFaultTest : public ::testing::Test {
protected:
    ScopedConfigHome home;
    CProbeDialog dialog;

    // A rate chosen, one byte to send, and a line of its own in the box.
    static void Prepare(DialogDriver& d)
    {
        d.SelectRate(kRate19200);
        d.SetText(IDC_SEND_COUNT, "1");
        d.SetText(IDC_BYTE0, "5A");
        d.SetText(IDC_RESULT, kKept);
    }
};

TEST_F(DeviceFaultTest, HangUpMidReadEndsTheSendAtOnceWithWhatCame)
{
    PtyLine line;
    home.Map("com1", line.SlavePath());
    line.HoldSlave();
    const Bytes answer{0x11, 0x22, 0x33};
    RunModal(dialog, [&](DialogDriver& d) {
        Prepare(d);
        const int descriptors = OpenDescriptorCount();
        Clock::time_point hungUp;
        auto far = std::async(std::launch::async, [&] {
            // The tool's byte means its read is next: answer, let the read take it, hang up.
            if (line.Receive(1, 5s).size() != 1 || !line.Send(answer) || !line.WaitUntilInputTaken(5s))
                return false;
            hungUp = Clock::now();
            line.HangUp();
            return true;
        });
        const double ms = TimedSend(d);
        const Clock::time_point ended = Clock::now();
        ASSERT_TRUE(Finished(far));
        EXPECT_EQ(d.Text(IDC_RESULT), kKept + LinesOf(answer));
        EXPECT_LT(ms, kSendBoundMs);
        EXPECT_LT(MillisecondsBetween(hungUp, ended), kNoWaitMs) << "the read ended with the hang-up";
        EXPECT_EQ(OpenDescriptorCount(), descriptors - 1) << "only the far end's master went";

        // The node is still there while the test holds it, but the line is dead.
        const double again = TimedSend(d);
        EXPECT_EQ(d.Text(IDC_RESULT), kKept + LinesOf(answer));
        EXPECT_LT(again, kNoWaitMs);
        EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);
    });
}

TEST_F(DeviceFaultTest, FloodShowsExactlyTheFirstHundredBytesAndTheNextSendStartsClean)
{
    PtyLine line;
    home.Map("com1", line.SlavePath());
    RunModal(dialog, [&](DialogDriver& d) {
        Prepare(d);
        const int descriptors = OpenDescriptorCount();
        auto flood = std::async(std::launch::async, [&]() -> std::size_t {
            return line.Receive(1, 5s).size() == 1 ? line.Flood(kFloodSize, 5s) : 0;
        });
        const double ms = TimedSend(d);
        const std::size_t flooded = Finished(flood);
        RecordProperty("flooded_bytes", std::to_string(flooded));
        ASSERT_GT(flooded, 100u);
        Bytes first100;
        for (std::size_t i = 0; i < 100; ++i)
            first100.push_back(FloodByte(i));
        EXPECT_EQ(d.Text(IDC_RESULT), kKept + LinesOf(first100));
        EXPECT_LT(ms, kSendBoundMs);
        EXPECT_EQ(OpenDescriptorCount(), descriptors);

        // What the flood left in the line goes with the port: the next answer stands alone.
        d.SetText(IDC_RESULT, "");
        auto far = AnswerOnce(line, {0x42});
        TimedSend(d);
        ASSERT_TRUE(Finished(far));
        EXPECT_EQ(d.Text(IDC_RESULT), "01000010\r\n");
    });
}

TEST_F(DeviceFaultTest, DeviceHeldByAnotherProcessShowsNothingUntilItIsFree)
{
    PtyLine line;
    home.Map("com1", line.SlavePath());
    RunModal(dialog, [&](DialogDriver& d) {
        Prepare(d);
        {
            ForeignHolder holder;
            ASSERT_TRUE(holder.Holds());
            const int descriptors = OpenDescriptorCount();
            const double ms = TimedSend(d);
            EXPECT_EQ(d.Text(IDC_RESULT), kKept);
            EXPECT_LT(ms, kNoWaitMs);
            EXPECT_EQ(OpenDescriptorCount(), descriptors);
            EXPECT_TRUE(line.Receive(1, 0ms).empty()) << "nothing was written";
            ASSERT_TRUE(holder.Release());
        }
        auto far = AnswerOnce(line, {0x42});
        TimedSend(d);
        ASSERT_TRUE(Finished(far));
        EXPECT_EQ(d.Text(IDC_RESULT), kKept + "01000010\r\n");
    });
}

TEST_F(DeviceFaultTest, MapEntryRepointedAtAMissingDeviceBetweenSendsShowsNothing)
{
    PtyLine line;
    home.Map("com1", line.SlavePath());
    RunModal(dialog, [&](DialogDriver& d) {
        Prepare(d);
        auto far = AnswerOnce(line, {0x42});
        TimedSend(d);
        ASSERT_TRUE(Finished(far));
        ASSERT_EQ(d.Text(IDC_RESULT), kKept + "01000010\r\n");

        // As when an adapter's by-id link goes with it. (The entry is not removed: com1 would then
        // mean the first built-in port, a real UART, which no test may touch.)
        home.Map("com1", home.Root() / "gone" / "ttyUSB0");
        const int descriptors = OpenDescriptorCount();
        const double ms = TimedSend(d);
        EXPECT_EQ(d.Text(IDC_RESULT), kKept + "01000010\r\n");
        EXPECT_LT(ms, kSendBoundMs);
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
        EXPECT_TRUE(line.Receive(1, 0ms).empty()) << "the old device got nothing";
    });
}

// com1 pointed at things that are no serial port: each Send shows nothing, waits for nothing,
// keeps no descriptor and leaves the thing as it was.
struct OddTarget {
    const char* name;
    std::function<fs::path(const fs::path& scratch)> make;
};

std::string Contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const OddTarget kOddTargets[] = {
    {"MissingPath", [](const fs::path& scratch) { return scratch / "nothing-here"; }},
    {"DevNull", [](const fs::path&) { return fs::path("/dev/null"); }},
    {"RegularFile",
     [](const fs::path& scratch) {
         std::ofstream(scratch / "file") << "untouched";
         return scratch / "file";
     }},
    {"Fifo",
     [](const fs::path& scratch) {
         mkfifo((scratch / "fifo").c_str(), 0600);
         return scratch / "fifo";
     }},
    {"Directory", [](const fs::path& scratch) { return scratch; }},
    {"DanglingSymlink",
     [](const fs::path& scratch) {
         fs::create_symlink(scratch / "gone", scratch / "dangling");
         return scratch / "dangling";
     }},
    {"SymlinkLoop",
     [](const fs::path& scratch) {
         fs::create_symlink(scratch / "loop", scratch / "loop");
         return scratch / "loop";
     }},
};

class OddTargetTest : public DeviceFaultTest, public ::testing::WithParamInterface<OddTarget> {};

TEST_P(OddTargetTest, SendShowsNothingWaitsForNothingAndKeepsNoDescriptor)
{
    const fs::path scratch = home.Root() / "scratch";
    fs::create_directory(scratch);
    const fs::path target = GetParam().make(scratch);
    const bool regularFile = fs::is_regular_file(fs::symlink_status(target));
    home.Map("com1", target);
    RunModal(dialog, [&](DialogDriver& d) {
        Prepare(d);
        const int descriptors = OpenDescriptorCount();
        for (int send = 0; send < 3; ++send) {
            const double ms = TimedSend(d);
            EXPECT_LT(ms, kNoWaitMs) << "Send " << send;
        }
        EXPECT_EQ(d.Text(IDC_RESULT), kKept);
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
        EXPECT_TRUE(d.Running());
    });
    if (regularFile) {
        EXPECT_EQ(Contents(target), "untouched");
    }
}

INSTANTIATE_TEST_SUITE_P(Com1, OddTargetTest, ::testing::ValuesIn(kOddTargets),
                         [](const ::testing::TestParamInfo<OddTarget>& info) { return info.param.name; });

}  // namespace
