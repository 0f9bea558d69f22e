// GetCommState and SetCommState on a pseudo-terminal, checked from the far side's view of the line.
#include "comm_port.h"
#include "peer_rate.h"
#include "pty_port_fixture.h"

#include <termios.h>

namespace {

termios SlaveSettings(PtyLine& peer)
{
    termios settings{};
    EXPECT_EQ(tcgetattr(peer.HoldSlave(), &settings), 0);
    return settings;
}

DCB StateOf(HANDLE port)
{
    DCB dcb{};
    EXPECT_TRUE(GetCommState(port, &dcb)) << "error " << GetLastError();
    return dcb;
}

// Everything a cooked terminal does to bytes, switched on.
void MakeSlaveCooked(PtyLine& peer)
{
    termios settings = SlaveSettings(peer);
    settings.c_iflag |= ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | BRKINT | IGNBRK | IXANY | IMAXBEL;
    settings.c_oflag |= OPOST | ONLCR;
    settings.c_lflag |= ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | ISIG | IEXTEN;
    settings.c_cflag &= ~(CLOCAL | CREAD);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 5;
    ASSERT_EQ(tcsetattr(peer.HoldSlave(), TCSANOW, &settings), 0);
}

class CommStateTest : public PtyPortTest {};

TEST_F(CommStateTest, ToolRatesAreSetAndReadBackFromBothSides)
{
    if (!LineTakesFreeRates(peer.HoldSlave()))
        GTEST_SKIP() << "this kernel answers no termios2 call (qemu-user): 14400 and 56000 cannot be on the line, and "
                        "no_termios2_test checks that they are refused";
    for (DWORD rate : {CBR_14400, CBR_19200, CBR_38400, CBR_56000, CBR_57600}) {
        CCommPort port("com1");
        ASSERT_EQ(port.Open(rate), 1) << rate;
        EXPECT_EQ(PeerLineRate(peer.HoldSlave()), rate);
    }
    for (DWORD rate : {CBR_56000, CBR_57600, CBR_14400, CBR_38400, CBR_19200, 250000u}) {
        ScopedHandle port(OpenCom1(kToolTimeouts));
        ASSERT_TRUE(port.Valid());
        DCB dcb = StateOf(port.Get());
        dcb.BaudRate = rate;
        ASSERT_TRUE(SetCommState(port.Get(), &dcb)) << rate << ": error " << GetLastError();
        EXPECT_EQ(StateOf(port.Get()).BaudRate, rate);
        EXPECT_EQ(PeerLineRate(peer.HoldSlave()), rate);
    }
}

TEST_F(CommStateTest, StandardRateAfterAFreeRateUsesItsConstant)
{
    if (!LineTakesFreeRates(peer.HoldSlave()))
        GTEST_SKIP() << "this kernel answers no termios2 call (qemu-user): 14400 and 56000 cannot be on the line, and "
                        "no_termios2_test checks that they are refused";
    ScopedHandle port(OpenCom1(kToolTimeouts));
    ASSERT_TRUE(port.Valid());
    DCB dcb = StateOf(port.Get());
    dcb.BaudRate = CBR_56000;
    ASSERT_TRUE(SetCommState(port.Get(), &dcb));
    dcb.BaudRate = CBR_57600;
    ASSERT_TRUE(SetCommState(port.Get(), &dcb));
    const termios settings = SlaveSettings(peer);
    EXPECT_EQ(cfgetospeed(&settings), B57600);
    EXPECT_EQ(cfgetispeed(&settings), B57600);
}

TEST_F(CommStateTest, OpenMakesTheLineRawAndKeepsNothingOfACookedTerminal)
{
    MakeSlaveCooked(peer);
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    const termios settings = SlaveSettings(peer);
    EXPECT_EQ(settings.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | BRKINT | IGNBRK | IXANY | IMAXBEL), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | ISIG | IEXTEN), 0u);
    EXPECT_EQ(settings.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cc[VMIN], 0);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
}

TEST_F(CommStateTest, SoftwareFlowControlIsReportedAndKeptAsFound)
{
    for (bool flowControl : {true, false}) {
        peer.SetSlaveRaw(flowControl);
        {
            ScopedHandle port(CreateCom1());
            ASSERT_TRUE(port.Valid());
            const DCB dcb = StateOf(port.Get());
            EXPECT_EQ(dcb.fOutX, flowControl ? 1u : 0u);
            EXPECT_EQ(dcb.fInX, flowControl ? 1u : 0u);
        }
        CCommPort port("com1");
        ASSERT_EQ(port.Open(CBR_38400), 1);
        const tcflag_t found = SlaveSettings(peer).c_iflag & (IXON | IXOFF);
        EXPECT_EQ(found, flowControl ? IXON | IXOFF : 0u) << "flow control " << flowControl;
    }
}

TEST_F(CommStateTest, FlowCharactersComeFromTheTerminalAndGoBackToIt)
{
    termios settings = SlaveSettings(peer);
    settings.c_cc[VSTART] = 0x05;
    settings.c_cc[VSTOP] = 0x06;
    ASSERT_EQ(tcsetattr(peer.HoldSlave(), TCSANOW, &settings), 0);
    ScopedHandle port(CreateCom1());
    ASSERT_TRUE(port.Valid());
    DCB dcb = StateOf(port.Get());
    EXPECT_EQ(dcb.XonChar, 0x05);
    EXPECT_EQ(dcb.XoffChar, 0x06);
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    ASSERT_TRUE(SetCommState(port.Get(), &dcb));
    EXPECT_EQ(SlaveSettings(peer).c_cc[VSTART], 0x11);
    EXPECT_EQ(SlaveSettings(peer).c_cc[VSTOP], 0x13);
}

// A pseudo-terminal carries 8-bit characters without parity only; other framings are refused
// as a device that cannot do them refuses them.
TEST_F(CommStateTest, FramingTheDeviceTakesIsSetAndReadBackAndOtherFramingsRefused)
{
    ScopedHandle port(OpenCom1(kToolTimeouts));
    ASSERT_TRUE(port.Valid());
    DCB dcb = StateOf(port.Get());
    dcb.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(SetCommState(port.Get(), &dcb)) << "error " << GetLastError();
    EXPECT_EQ(StateOf(port.Get()).StopBits, TWOSTOPBITS);
    EXPECT_TRUE(SlaveSettings(peer).c_cflag & CSTOPB);

    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(SetCommState(port.Get(), &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    const DCB back = StateOf(port.Get());
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, NOPARITY);
}

TEST_F(CommStateTest, HardwareFlowControlIsSetReportedAndClearedByOpen)
{
    {
        ScopedHandle port(OpenCom1(kToolTimeouts));
        ASSERT_TRUE(port.Valid());
        DCB dcb = StateOf(port.Get());
        dcb.fOutxCtsFlow = 1;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        ASSERT_TRUE(SetCommState(port.Get(), &dcb));
        EXPECT_TRUE(SlaveSettings(peer).c_cflag & CRTSCTS);
        const DCB back = StateOf(port.Get());
        EXPECT_EQ(back.fOutxCtsFlow, 1u);
        EXPECT_EQ(back.fRtsControl, RTS_CONTROL_HANDSHAKE);
    }
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    EXPECT_FALSE(SlaveSettings(peer).c_cflag & CRTSCTS);
}

TEST_F(CommStateTest, StateReportsBinaryModeAndTheLinesAsLastSet)
{
    ScopedHandle port(OpenCom1(kToolTimeouts));
    ASSERT_TRUE(port.Valid());
    DCB dcb = StateOf(port.Get());
    EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_DISABLE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_DISABLE);
    // A pseudo-terminal has no lines to read back: what was asked for is reported.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    ASSERT_TRUE(SetCommState(port.Get(), &dcb));
    dcb = StateOf(port.Get());
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_ENABLE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE);
}

TEST_F(CommStateTest, RefusedRecordLeavesTheLineAsItWas)
{
    ScopedHandle port(OpenCom1(kToolTimeouts));
    ASSERT_TRUE(port.Valid());
    DCB dcb = StateOf(port.Get());
    const termios before = SlaveSettings(peer);
    dcb.fOutX = 1;
    dcb.StopBits = TWOSTOPBITS;
    dcb.ByteSize = 9;
    EXPECT_FALSE(SetCommState(port.Get(), &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    const termios after = SlaveSettings(peer);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
}

}  // namespace
