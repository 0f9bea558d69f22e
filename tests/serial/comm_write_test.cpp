// Bytes through the line both ways, writes that stall, and a close that does not wait for them.
#include "comm_port.h"
#include "pty_port_fixture.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// NUL, the interrupt character, LF, CR, XON, XOFF, DEL and a byte with the top bit set: each is
// something a terminal would act on rather than pass.
const Bytes kAwkwardBytes = {0x00, 0x03, 0x0A, 0x0D, 0x11, 0x13, 0x7F, 0xFF};

class CommWriteTest : public PtyPortTest {};

TEST_F(CommWriteTest, EveryByteValuePassesUnchangedBothWaysWithoutSoftwareFlowControl)
{
    peer.SetSlaveRaw(false);
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);

    ASSERT_TRUE(peer.Send(kAwkwardBytes));
    ASSERT_TRUE(peer.WaitForPortInput(kAwkwardBytes.size(), 2s));
    Bytes received(kAwkwardBytes.size());
    EXPECT_EQ(port.Read(received.data(), static_cast<int>(received.size())), static_cast<int>(received.size()));
    EXPECT_EQ(received, kAwkwardBytes);

    EXPECT_EQ(port.Write(kAwkwardBytes.data(), static_cast<int>(kAwkwardBytes.size())),
              static_cast<int>(kAwkwardBytes.size()));
    EXPECT_EQ(peer.Receive(kAwkwardBytes.size(), 2s), kAwkwardBytes);
    EXPECT_EQ(peer.Receive(1, 100ms), Bytes()) << "nothing added, nothing echoed";
}

TEST_F(CommWriteTest, AllByteValuesPassInOrder)
{
    peer.SetSlaveRaw(false);
    ScopedHandle port(OpenCom1({0, 0, 0, 0, 0}));
    ASSERT_TRUE(port.Valid());
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<unsigned char>(i);
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(port.Get(), all.data(), 256, &count, nullptr));
    EXPECT_EQ(count, 256u);
    EXPECT_EQ(peer.Receive(256, 2s), all);
    ASSERT_TRUE(peer.Send(all));
    Bytes back(256);
    ASSERT_TRUE(ReadFile(port.Get(), back.data(), 256, &count, nullptr));
    EXPECT_EQ(count, 256u);
    EXPECT_EQ(back, all);
}

TEST_F(CommWriteTest, WriteOfNothingSendsNothing)
{
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    EXPECT_EQ(port.Write("abc", 0), 0);
    EXPECT_EQ(peer.Receive(1, 100ms), Bytes());
}

// The far end reads nothing, so the output queue fills up and stays full.
TEST_F(CommWriteTest, StalledWriteEndsAtItsTimeOutWithWhatWasQueued)
{
    ScopedHandle port(OpenCom1({0, 0, 0, 0, 200}));
    ASSERT_TRUE(port.Valid());
    const Bytes lots(1 << 20, 'x');
    DWORD written = 0;
    const auto start = Clock::now();
    EXPECT_TRUE(WriteFile(port.Get(), lots.data(), static_cast<DWORD>(lots.size()), &written, nullptr));
    const double elapsed = MillisecondsSince(start);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, lots.size());
    EXPECT_GE(elapsed, 200);
    EXPECT_LE(elapsed, 700);
}

TEST_F(CommWriteTest, CloseDoesNotWaitForStalledOutputToDrain)
{
    ScopedHandle port(OpenCom1({0, 0, 0, 0, 50}));
    ASSERT_TRUE(port.Valid());
    const Bytes lots(1 << 20, 'x');
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(port.Get(), lots.data(), static_cast<DWORD>(lots.size()), &written, nullptr));
    ASSERT_LT(written, lots.size()) << "the output should be stalled";
    const auto start = Clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(MillisecondsSince(start), 500);
    ScopedHandle again(CreateCom1());
    EXPECT_TRUE(again.Valid()) << "the device is free again";
}

}  // namespace
