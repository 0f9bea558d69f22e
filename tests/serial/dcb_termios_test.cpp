// The DCB fields and the termios flags that stand for them, both ways, without a device.
#include "dcb_termios.h"

#include <gtest/gtest.h>

namespace {

struct Framing {
    BYTE byteSize;
    BYTE parity;
    BYTE stopBits;
    tcflag_t flags;  // CSIZE, parity and stop bits
};

constexpr tcflag_t kFramingFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

const Framing kFramings[] = {
    {8, NOPARITY, ONESTOPBIT, CS8},
    {8, NOPARITY, TWOSTOPBITS, CS8 | CSTOPB},
    {7, EVENPARITY, ONESTOPBIT, CS7 | PARENB},
    {7, ODDPARITY, TWOSTOPBITS, CS7 | PARENB | PARODD | CSTOPB},
    {8, MARKPARITY, ONESTOPBIT, CS8 | PARENB | CMSPAR | PARODD},
    {6, SPACEPARITY, TWOSTOPBITS, CS6 | PARENB | CMSPAR | CSTOPB},
    {5, NOPARITY, ONE5STOPBITS, CS5 | CSTOPB},
    {5, ODDPARITY, ONESTOPBIT, CS5 | PARENB | PARODD},
};

DCB ValidDcb()
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = 19200;
    dcb.ByteSize = 8;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

// A terminal as the system leaves it: line editing, echo, signals, CR/LF mapping, all on.
termios CookedTerminal()
{
    termios settings{};
    settings.c_iflag = ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | BRKINT | IGNBRK | IXANY | IMAXBEL | IXON | IUTF8;
    settings.c_oflag = OPOST | ONLCR;
    settings.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE | ISIG | IEXTEN;
    settings.c_cflag = CS7 | PARENB | HUPCL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 3;
    return settings;
}

TEST(DcbTermiosTest, FramingMapsBothWays)
{
    for (const Framing& framing : kFramings) {
        DCB dcb = ValidDcb();
        dcb.ByteSize = framing.byteSize;
        dcb.Parity = framing.parity;
        dcb.StopBits = framing.stopBits;
        ASSERT_EQ(CheckDcb(dcb), ERROR_SUCCESS);
        termios settings = CookedTerminal();
        ApplyDcbToTermios(dcb, settings);
        EXPECT_EQ(settings.c_cflag & kFramingFlags, framing.flags) << int{framing.byteSize} << int{framing.parity};

        DCB back{};
        DescribeTermiosInDcb(settings, back);
        EXPECT_EQ(back.ByteSize, framing.byteSize);
        EXPECT_EQ(back.Parity, framing.parity);
        EXPECT_EQ(back.StopBits, framing.stopBits);
    }
}

TEST(DcbTermiosTest, LineBecomesRawBytesAndKeepsWhatIsNotTheDriversBusiness)
{
    termios settings = CookedTerminal();
    ApplyDcbToTermios(ValidDcb(), settings);
    EXPECT_EQ(settings.c_iflag, static_cast<tcflag_t>(IUTF8));
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(settings.c_lflag, 0u);
    EXPECT_EQ(settings.c_cflag, static_cast<tcflag_t>(CS8 | HUPCL | CLOCAL | CREAD));
    EXPECT_EQ(settings.c_cc[VMIN], 0);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
}

TEST(DcbTermiosTest, FlowControlAndItsCharactersMapBothWays)
{
    DCB dcb = ValidDcb();
    dcb.fOutX = 1;
    dcb.fInX = 1;
    dcb.fOutxCtsFlow = 1;
    dcb.fParity = 1;
    dcb.XonChar = 0x01;
    dcb.XoffChar = 0x02;
    termios settings{};
    ApplyDcbToTermios(dcb, settings);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | INPCK), IXON | IXOFF | INPCK);
    EXPECT_TRUE(settings.c_cflag & CRTSCTS);
    EXPECT_EQ(settings.c_cc[VSTART], 0x01);
    EXPECT_EQ(settings.c_cc[VSTOP], 0x02);

    DCB back{};
    DescribeTermiosInDcb(settings, back);
    EXPECT_EQ(back.fOutX, 1u);
    EXPECT_EQ(back.fInX, 1u);
    EXPECT_EQ(back.fOutxCtsFlow, 1u);
    EXPECT_EQ(back.fParity, 1u);
    EXPECT_EQ(back.fBinary, 1u);
    EXPECT_EQ(back.XonChar, 0x01);
    EXPECT_EQ(back.XoffChar, 0x02);

    dcb = ValidDcb();
    ApplyDcbToTermios(dcb, settings);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | INPCK), 0u);
    EXPECT_FALSE(settings.c_cflag & CRTSCTS);
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    ApplyDcbToTermios(dcb, settings);
    EXPECT_TRUE(settings.c_cflag & CRTSCTS) << "RTS handshaking is half of CRTSCTS";
}

TEST(DcbTermiosTest, NonsenseAndWhatLinuxCannotDoAreRefused)
{
    struct Case {
        const char* what;
        void (*spoil)(DCB&);
        DWORD error;
    };
    const Case cases[] = {
        {"rate 0", [](DCB& d) { d.BaudRate = 0; }, ERROR_INVALID_PARAMETER},
        {"4 data bits", [](DCB& d) { d.ByteSize = 4; }, ERROR_INVALID_PARAMETER},
        {"9 data bits", [](DCB& d) { d.ByteSize = 9; }, ERROR_INVALID_PARAMETER},
        {"parity 5", [](DCB& d) { d.Parity = 5; }, ERROR_INVALID_PARAMETER},
        {"stop bits 3", [](DCB& d) { d.StopBits = 3; }, ERROR_INVALID_PARAMETER},
        {"1.5 stop bits of 8", [](DCB& d) { d.StopBits = ONE5STOPBITS; }, ERROR_INVALID_PARAMETER},
        {"2 stop bits of 5", [](DCB& d) { d.ByteSize = 5; d.StopBits = TWOSTOPBITS; }, ERROR_INVALID_PARAMETER},
        {"DTR control 3", [](DCB& d) { d.fDtrControl = 3; }, ERROR_INVALID_PARAMETER},
        {"XON equals XOFF", [](DCB& d) { d.fInX = 1; d.XonChar = d.XoffChar; }, ERROR_INVALID_PARAMETER},
        {"DSR flow control", [](DCB& d) { d.fOutxDsrFlow = 1; }, ERROR_NOT_SUPPORTED},
        {"DSR sensitivity", [](DCB& d) { d.fDsrSensitivity = 1; }, ERROR_NOT_SUPPORTED},
        {"DTR handshake", [](DCB& d) { d.fDtrControl = DTR_CONTROL_HANDSHAKE; }, ERROR_NOT_SUPPORTED},
        {"RTS toggle", [](DCB& d) { d.fRtsControl = RTS_CONTROL_TOGGLE; }, ERROR_NOT_SUPPORTED},
        {"error character", [](DCB& d) { d.fErrorChar = 1; }, ERROR_NOT_SUPPORTED},
        {"NUL stripping", [](DCB& d) { d.fNull = 1; }, ERROR_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        DCB dcb = ValidDcb();
        c.spoil(dcb);
        EXPECT_EQ(CheckDcb(dcb), c.error) << c.what;
    }
    DCB equalCharsWithoutFlowControl = ValidDcb();
    equalCharsWithoutFlowControl.XonChar = equalCharsWithoutFlowControl.XoffChar = 0;
    EXPECT_EQ(CheckDcb(equalCharsWithoutFlowControl), ERROR_SUCCESS);
}

TEST(DcbTermiosTest, RatesWithAConstantUseItAndOthersHaveNone)
{
    EXPECT_EQ(StandardSpeed(19200), B19200);
    EXPECT_EQ(StandardSpeed(38400), B38400);
    EXPECT_EQ(StandardSpeed(57600), B57600);
    EXPECT_EQ(StandardSpeed(115200), B115200);
    EXPECT_EQ(StandardSpeed(4000000), B4000000);
    EXPECT_FALSE(StandardSpeed(14400).has_value());
    EXPECT_FALSE(StandardSpeed(56000).has_value());
    EXPECT_FALSE(StandardSpeed(0).has_value());
}

}  // namespace
