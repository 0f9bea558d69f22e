#include "dcb_termios.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<DWORD, speed_t>, 30> kStandardSpeeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

constexpr tcflag_t kFramingFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
constexpr tcflag_t kInputTranslation =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXANY | IMAXBEL;
constexpr tcflag_t kLineDiscipline =
    ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE | ISIG | IEXTEN | XCASE;

tcflag_t ByteSizeFlag(BYTE byteSize)
{
    switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

BYTE ByteSizeOf(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

tcflag_t ParityFlags(BYTE parity)
{
    switch (parity) {
    case ODDPARITY: return PARENB | PARODD;
    case EVENPARITY: return PARENB;
    case MARKPARITY: return PARENB | CMSPAR | PARODD;
    case SPACEPARITY: return PARENB | CMSPAR;
    default: return 0;
    }
}

BYTE ParityOf(tcflag_t cflag)
{
    if (!(cflag & PARENB))
        return NOPARITY;
    if (cflag & CMSPAR)
        return (cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    return (cflag & PARODD) ? ODDPARITY : EVENPARITY;
}

bool WantsHardwareFlow(const DCB& dcb)
{
    return dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
}

// 1.5 stop bits exist only for 5-bit characters and 2 only for longer ones, as on a UART.
bool StopBitsFitByteSize(const DCB& dcb)
{
    if (dcb.StopBits == ONE5STOPBITS)
        return dcb.ByteSize == 5;
    if (dcb.StopBits == TWOSTOPBITS)
        return dcb.ByteSize != 5;
    return true;
}

// Requests the Linux line discipline has no way to honour.
bool AsksForWhatLinuxLacks(const DCB& dcb)
{
    return dcb.fOutxDsrFlow || dcb.fDsrSensitivity || dcb.fErrorChar || dcb.fNull ||
           dcb.fDtrControl == DTR_CONTROL_HANDSHAKE || dcb.fRtsControl == RTS_CONTROL_TOGGLE;
}

}  // namespace

DWORD CheckDcb(const DCB& dcb)
{
    const bool softwareFlow = dcb.fOutX || dcb.fInX;
    if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY ||
        dcb.StopBits > TWOSTOPBITS || !StopBitsFitByteSize(dcb) || dcb.fDtrControl > DTR_CONTROL_HANDSHAKE ||
        (softwareFlow && dcb.XonChar == dcb.XoffChar))
        return ERROR_INVALID_PARAMETER;
    if (AsksForWhatLinuxLacks(dcb))
        return ERROR_NOT_SUPPORTED;
    return ERROR_SUCCESS;
}

void ApplyDcbToTermios(const DCB& dcb, termios& settings)
{
    settings.c_cflag &= ~kFramingFlags;
    settings.c_cflag |= ByteSizeFlag(dcb.ByteSize) | ParityFlags(dcb.Parity) | CLOCAL | CREAD;
    if (dcb.StopBits != ONESTOPBIT)
        settings.c_cflag |= CSTOPB;
    if (WantsHardwareFlow(dcb))
        settings.c_cflag |= CRTSCTS;

    settings.c_iflag &= ~(kInputTranslation | IXON | IXOFF | INPCK);
    if (dcb.fOutX)
        settings.c_iflag |= IXON;
    if (dcb.fInX)
        settings.c_iflag |= IXOFF;
    if (dcb.fParity)
        settings.c_iflag |= INPCK;

    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~kLineDiscipline;
    // Reads are timed by ReadFile itself, never by the line discipline.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    settings.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    settings.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
}

void DescribeTermiosInDcb(const termios& settings, DCB& dcb)
{
    dcb.fBinary = 1;
    dcb.fParity = (settings.c_iflag & INPCK) ? 1 : 0;
    dcb.fOutxCtsFlow = (settings.c_cflag & CRTSCTS) ? 1 : 0;
    dcb.fOutX = (settings.c_iflag & IXON) ? 1 : 0;
    dcb.fInX = (settings.c_iflag & IXOFF) ? 1 : 0;
    dcb.ByteSize = ByteSizeOf(settings.c_cflag);
    dcb.Parity = ParityOf(settings.c_cflag);
    if (!(settings.c_cflag & CSTOPB))
        dcb.StopBits = ONESTOPBIT;
    else
        dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    dcb.XonChar = static_cast<char>(settings.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(settings.c_cc[VSTOP]);
}

std::optional<speed_t> StandardSpeed(DWORD rate)
{
    for (const auto& [bitsPerSecond, speed] : kStandardSpeeds) {
        if (bitsPerSecond == rate)
            return speed;
    }
    return std::nullopt;
}

std::optional<DWORD> StandardRate(speed_t speed)
{
    for (const auto& [bitsPerSecond, code] : kStandardSpeeds) {
        if (code == speed)
            return bitsPerSecond;
    }
    return std::nullopt;
}
