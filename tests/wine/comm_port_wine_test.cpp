// CCommPort on Wine's own comm calls, with COM1 mapped to a pseudo-terminal whose far side is the
// pty peer: what the port sets and sends is checked as the line sees it.
#include "comm_port.h"
#include "peer_channel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>

namespace {

using peer::Bytes;

class WineCommPortTest : public ::testing::Test {
protected:
    void SetUp() override { peer::Sentinel(); }
    CCommPort port{"com1"};
};

// Of 8N1 the pseudo-terminal shows the stop bits (it is always 8 bits without parity).
void ExpectOneStopBitWithoutHandshake(const peer::LineSettings& line)
{
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_FALSE(line.rtsCtsFlow);
}

TEST_F(WineCommPortTest, StandardRatesReachTheLineExactlyWithOneStopBitAndNoHandshake)
{
    for (DWORD rate : {CBR_19200, CBR_38400, CBR_57600}) {
        peer::Sentinel();
        CCommPort each("com1");
        ASSERT_EQ(each.Open(rate), 1) << rate;
        const peer::LineSettings line = peer::Line();
        EXPECT_EQ(line.rate, rate);
        ExpectOneStopBitWithoutHandshake(line);
    }
}

// The major version of the Wine the test runs under (0 outside Wine).
int WineMajorVersion()
{
    using Version = const char* (*)();
    const FARPROC entry = ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version");
    return entry ? std::atoi(reinterpret_cast<Version>(reinterpret_cast<void*>(entry))()) : 0;
}

// Wine 8 sets rates without a Bnnn constant through the serial driver's custom divisor, which a
// pseudo-terminal does not have: the line is left at 38400. Wine 10 sets them exactly (termios2).
// The framing is applied either way.
TEST_F(WineCommPortTest, RatesWithoutATermiosConstantOpenAtWhatThisWineCanSet)
{
    const int wine = WineMajorVersion();
    ASSERT_GT(wine, 0) << "not running under Wine";
    for (DWORD rate : {CBR_14400, CBR_56000}) {
        peer::Sentinel();
        CCommPort each("com1");
        ASSERT_EQ(each.Open(rate), 1) << rate;
        const peer::LineSettings line = peer::Line();
        EXPECT_EQ(line.rate, wine >= 10 ? rate : 38400u) << "Wine " << wine << ", rate " << rate;
        ExpectOneStopBitWithoutHandshake(line);
    }
}

TEST_F(WineCommPortTest, WrittenBytesReachTheLineAndTheAnswerIsRead)
{
    ASSERT_EQ(port.Open(CBR_57600), 1);
    const Bytes answer = {0x00, 0x80, 0xFF, 0x41};
    peer::Arm(answer);
    const Bytes frame = {0x01, 0xA5, 0x7E, 0xFF};
    EXPECT_EQ(port.Write(frame.data(), static_cast<int>(frame.size())), 4);

    Bytes received(100);
    const int count = port.Read(received.data(), 100);
    ASSERT_EQ(count, static_cast<int>(answer.size()));
    received.resize(static_cast<std::size_t>(count));
    EXPECT_EQ(received, answer);
    EXPECT_EQ(peer::Seen(frame.size()), frame);
}

TEST_F(WineCommPortTest, AReadTakesAtMostTheHundredBytesAsked)
{
    ASSERT_EQ(port.Open(CBR_57600), 1);
    Bytes answer(150);
    for (std::size_t i = 0; i < answer.size(); ++i)
        answer[i] = static_cast<std::uint8_t>(i);
    peer::Send(answer);

    Bytes received(150);
    const int count = port.Read(received.data(), 100);
    ASSERT_EQ(count, 100);
    received.resize(100);
    EXPECT_EQ(received, Bytes(answer.begin(), answer.begin() + 100));
}

TEST_F(WineCommPortTest, AReadWithNothingAnsweringEndsAfterAboutAHundredMilliseconds)
{
    ASSERT_EQ(port.Open(CBR_57600), 1);
    std::uint8_t buffer[100];
    const auto start = std::chrono::steady_clock::now();
    const int count = port.Read(buffer, 100);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(count, 0);
    EXPECT_GE(elapsed.count(), 90);
    EXPECT_LE(elapsed.count(), 400);
    RecordProperty("read_ms", static_cast<int>(elapsed.count()));
}

TEST_F(WineCommPortTest, APortNameWithNoDeviceDoesNotOpen)
{
    CCommPort missing("com9");
    EXPECT_EQ(missing.Open(CBR_57600), 0);
}

}  // namespace
