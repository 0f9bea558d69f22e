// ReadFile's time-outs and hang-ups on a pseudo-terminal, through CCommPort and through the calls.
#include "comm_port.h"
#include "pty_port_fixture.h"

#include <atomic>
#include <iostream>
#include <string>
#include <thread>

#include <sys/resource.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kSlackMs = 500;  // scheduling on a loaded machine; the bounds check the rule, not speed

double ThreadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs `action` on another thread once the reader has said it is about to read.
class WhenReading {
public:
    template <typename Action>
    explicit WhenReading(Action action)
        : m_thread([this, action] {
              while (!m_reading.load())
                  m_reading.wait(false);
              action();
          })
    {
    }
    ~WhenReading()
    {
        Start();
        m_thread.join();
    }
    void Start()
    {
        m_reading = true;
        m_reading.notify_one();
    }

private:
    std::atomic<bool> m_reading{false};
    std::thread m_thread;
};

struct TimedRead {
    DWORD count;
    double ms;
};

TimedRead ReadFor(HANDLE port, DWORD length, WhenReading* trigger = nullptr)
{
    std::vector<unsigned char> buffer(length);
    DWORD count = 0;
    const auto start = Clock::now();
    if (trigger)
        trigger->Start();
    EXPECT_TRUE(ReadFile(port, buffer.data(), length, &count, nullptr)) << "error " << GetLastError();
    return {count, MillisecondsSince(start)};
}

class CommReadTest : public PtyPortTest {};

TEST_F(CommReadTest, ToolReadOfNothingEndsAfterItsLengthInMillisecondsWithoutSpinning)
{
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    for (int length : {1, 10, 100, 250}) {
        std::vector<unsigned char> buffer(length);
        const double cpuBefore = ThreadCpuMs();
        const auto start = Clock::now();
        EXPECT_EQ(port.Read(buffer.data(), length), 0);
        const double elapsed = MillisecondsSince(start);
        const double cpu = ThreadCpuMs() - cpuBefore;
        EXPECT_GE(elapsed, length);
        EXPECT_LE(elapsed, length + kSlackMs);
        // A busy loop would burn about as much processor time as the wait lasts.
        EXPECT_LT(cpu, 10 + elapsed / 4) << "the wait is a sleep, not a busy loop";
        const std::string name = "read_" + std::to_string(length) + "_timeout_error_ms";
        RecordProperty(name, std::to_string(elapsed - length));
        std::cout << name << " = " << elapsed - length << " (cpu " << cpu << " ms)\n";
    }
}

TEST_F(CommReadTest, ToolReadWaitsOutItsTimeWhenFewerBytesCame)
{
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    ASSERT_TRUE(peer.Send({'a', 'b', 'c'}));
    ASSERT_TRUE(peer.WaitForPortInput(3, 2s));
    unsigned char buffer[100];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 100), 3);
    const double elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 100) << "bytes already waiting do not end the read early";
    EXPECT_LE(elapsed, 100 + kSlackMs);
    EXPECT_EQ(Bytes(buffer, buffer + 3), Bytes({'a', 'b', 'c'}));
}

TEST_F(CommReadTest, ToolReadEndsAsSoonAsAllBytesCame)
{
    constexpr int kLength = 1000;  // one second allowed
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    const Bytes first(kLength / 2, 0x55), second(kLength / 2, 0xAA);
    ASSERT_TRUE(peer.Send(first));
    WhenReading late([&] { EXPECT_TRUE(peer.Send(second)); });
    std::vector<unsigned char> buffer(kLength);
    const auto start = Clock::now();
    late.Start();
    EXPECT_EQ(port.Read(buffer.data(), kLength), kLength);
    EXPECT_LT(MillisecondsSince(start), kLength / 2);
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Bytes(buffer.begin(), buffer.end()), expected);
}

TEST_F(CommReadTest, OpenDiscardsInputThatWasWaiting)
{
    peer.SetSlaveRaw(false);
    ASSERT_TRUE(peer.Send({'o', 'l', 'd'}));
    ASSERT_TRUE(peer.WaitForPortInput(3, 2s));
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    unsigned char buffer[50];
    EXPECT_EQ(port.Read(buffer, 50), 0);
    ASSERT_TRUE(peer.Send({'n', 'e', 'w'}));
    ASSERT_TRUE(peer.WaitForPortInput(3, 2s));
    ASSERT_EQ(port.Read(buffer, 3), 3);
    EXPECT_EQ(Bytes(buffer, buffer + 3), Bytes({'n', 'e', 'w'}));
}

TEST_F(CommReadTest, MaxIntervalWithZeroTotalsReturnsAtOnceWithWhatIsWaiting)
{
    ScopedHandle port(OpenCom1({MAXDWORD, 0, 0, 0, 0}));
    ASSERT_TRUE(port.Valid());
    TimedRead read = ReadFor(port.Get(), 10);
    EXPECT_EQ(read.count, 0u);
    EXPECT_LT(read.ms, 100);
    ASSERT_TRUE(peer.Send({1, 2, 3}));
    ASSERT_TRUE(peer.WaitForPortInput(3, 2s));
    read = ReadFor(port.Get(), 10);
    EXPECT_EQ(read.count, 3u);
    EXPECT_LT(read.ms, 100);
}

TEST_F(CommReadTest, MaxIntervalAndMultiplierReturnWithTheFirstByteOrAfterTheConstant)
{
    {
        ScopedHandle port(OpenCom1({MAXDWORD, MAXDWORD, 200, 0, 0}));
        ASSERT_TRUE(port.Valid());
        const TimedRead read = ReadFor(port.Get(), 10);
        EXPECT_EQ(read.count, 0u);
        EXPECT_GE(read.ms, 200);
        EXPECT_LE(read.ms, 200 + kSlackMs);
    }
    ScopedHandle port(OpenCom1({MAXDWORD, MAXDWORD, 3000, 0, 0}));
    ASSERT_TRUE(port.Valid());
    WhenReading late([&] { EXPECT_TRUE(peer.Send({0x42})); });
    const TimedRead read = ReadFor(port.Get(), 10, &late);
    EXPECT_EQ(read.count, 1u);
    EXPECT_LT(read.ms, 1000) << "one byte ends the wait";
}

TEST_F(CommReadTest, IntervalEndsTheReadAfterASilenceFollowingBytes)
{
    ScopedHandle port(OpenCom1({50, 0, 0, 0, 0}));
    ASSERT_TRUE(port.Valid());
    ASSERT_TRUE(peer.Send({1, 2, 3}));
    ASSERT_TRUE(peer.WaitForPortInput(3, 2s));
    const TimedRead read = ReadFor(port.Get(), 10);
    EXPECT_EQ(read.count, 3u);
    EXPECT_GE(read.ms, 50);
    EXPECT_LE(read.ms, 50 + kSlackMs);
}

TEST_F(CommReadTest, TotalIsMultiplierTimesLengthPlusConstant)
{
    ScopedHandle port(OpenCom1({0, 10, 100, 0, 0}));
    ASSERT_TRUE(port.Valid());
    ASSERT_TRUE(peer.Send({7}));
    ASSERT_TRUE(peer.WaitForPortInput(1, 2s));
    const TimedRead read = ReadFor(port.Get(), 20);
    EXPECT_EQ(read.count, 1u);
    EXPECT_GE(read.ms, 300);
    EXPECT_LE(read.ms, 300 + kSlackMs);
}

// The far end goes away while a read waits: the read ends at once with what came.
class HangUpTest : public CommReadTest, public ::testing::WithParamInterface<COMMTIMEOUTS> {};

TEST_P(HangUpTest, EndsAWaitingReadAtOnceWithWhatCame)
{
    ScopedHandle port(OpenCom1(GetParam()));
    ASSERT_TRUE(port.Valid());
    ASSERT_TRUE(peer.Send({'h', 'i'}));
    ASSERT_TRUE(peer.WaitForPortInput(2, 2s));
    {
        // Hanging up flushes what the port has not read yet, so the hang-up waits until it has.
        WhenReading hangUp([&] {
            peer.WaitUntilInputTaken(2s);
            peer.HangUp();
        });
        const TimedRead read = ReadFor(port.Get(), 5000, &hangUp);
        EXPECT_EQ(read.count, 2u);
        EXPECT_LT(read.ms, 1000);
    }
    const double cpuBefore = ThreadCpuMs();
    const TimedRead again = ReadFor(port.Get(), 5000);
    EXPECT_EQ(again.count, 0u);
    EXPECT_LT(again.ms, 1000) << "a hung-up line does not wait out the time-out";
    EXPECT_LT(ThreadCpuMs() - cpuBefore, 200);
    DWORD written = 1;
    EXPECT_TRUE(WriteFile(port.Get(), "x", 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
}

std::string TimeoutsName(const ::testing::TestParamInfo<COMMTIMEOUTS>& info)
{
    static const char* const names[] = {"ToolRecord", "NoTimeouts", "LongInterval"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Timeouts, HangUpTest,
                         ::testing::Values(kToolTimeouts, COMMTIMEOUTS{0, 0, 0, 0, 0},
                                           COMMTIMEOUTS{3000, 0, 0, 0, 0}),
                         TimeoutsName);

TEST_F(CommReadTest, ReadOfNothingReturnsAtOnce)
{
    ScopedHandle port(OpenCom1({0, 0, 0, 0, 0}));
    ASSERT_TRUE(port.Valid());
    const TimedRead read = ReadFor(port.Get(), 0);
    EXPECT_EQ(read.count, 0u);
    EXPECT_LT(read.ms, 100);
}

}  // namespace
