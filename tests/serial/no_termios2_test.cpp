// The comm calls on a kernel without termios2 (qemu-user 7.2 does not translate it), on a real
// pseudo-terminal: linked against a Termios2Ioctl that fails as the emulator fails it, while the
// far side still sees the real line.
#include "peer_rate.h"
#include "pty_port_fixture.h"
#include "stderr_capture.h"
#include "termios2_ioctl.h"

#include <cerrno>
#include <cstdlib>

#include <termios.h>

int Termios2Ioctl(int, unsigned long, void*)
{
    errno = ENOSYS;
    return -1;
}

namespace {

class NoTermios2Test : public PtyPortTest {};

bool EndsWith(const std::string& line, const std::string& end)
{
    return line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0;
}

TEST_F(NoTermios2Test, CodedRatesGoThroughThePlainRecordAndNeitherCallEverReportsAWrongRate)
{
    if (!LineTakesFreeRates(peer.HoldSlave()))
        GTEST_SKIP() << "this kernel itself answers no termios2 call (qemu-user): the comm tests ran this path for "
                        "real, and no program here can put a free rate on the line";
    setenv("VORNIKAL_TRACE", "comm", 1);  // before the process's first comm call
    termios slave{};
    ASSERT_EQ(tcgetattr(peer.HoldSlave(), &slave), 0);
    cfsetspeed(&slave, B9600);
    ASSERT_EQ(tcsetattr(peer.HoldSlave(), TCSANOW, &slave), 0);

    ScopedHandle port(CreateCom1());
    ASSERT_TRUE(port.Valid());
    StderrCapture capture;
    DCB dcb{};
    ASSERT_TRUE(GetCommState(port.Get(), &dcb)) << GetLastError();
    EXPECT_EQ(dcb.BaudRate, 9600u);
    dcb.BaudRate = CBR_19200;
    ASSERT_TRUE(SetCommState(port.Get(), &dcb)) << GetLastError();
    EXPECT_EQ(PeerLineRate(peer.HoldSlave()), 19200u);

    // Refused before anything changes: neither the rate nor the stop bits asked with it.
    DCB freeRate = dcb;
    freeRate.BaudRate = CBR_14400;
    freeRate.StopBits = TWOSTOPBITS;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(SetCommState(port.Get(), &freeRate));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(PeerLineRate(peer.HoldSlave()), 19200u);
    ASSERT_EQ(tcgetattr(peer.HoldSlave(), &slave), 0);
    EXPECT_FALSE(slave.c_cflag & CSTOPB);

    // A free rate another program set cannot be read here: reported as unknown, never as another.
    SetPeerFreeRate(peer.HoldSlave(), 250000);
    ASSERT_TRUE(GetCommState(port.Get(), &dcb)) << GetLastError();
    EXPECT_EQ(dcb.BaudRate, 0u);

    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 4u) << ::testing::PrintToString(lines);
    EXPECT_TRUE(EndsWith(lines[0], " via=TCGETS") && lines[0].find("BaudRate=9600 ") != std::string::npos) << lines[0];
    EXPECT_TRUE(EndsWith(lines[1], "-> TRUE via=TCSETS/B19200")) << lines[1];
    EXPECT_TRUE(EndsWith(lines[2], "-> FALSE error=ERROR_INVALID_PARAMETER(87) (without termios2 this line takes "
                                   "only the rates that have a Bnnn code)")) << lines[2];
    EXPECT_TRUE(EndsWith(lines[3], " via=TCGETS") && lines[3].find("BaudRate=0 ") != std::string::npos) << lines[3];
}

}  // namespace
