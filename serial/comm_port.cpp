#include "comm_port.h"

#include "line_rate_match.h"

#include <cstring>

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// Reads the device's settings and changes only the framing, the rate and the hardware lines;
// software flow control, parity checking and the special characters stay as the device has them.
// SetCommState's result is not looked at: Open succeeds once the device is open.
void ApplyLineSettings(HANDLE device, DWORD baud)
{
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(device, &dcb)) {
        // Write back nothing that was not read: a zeroed record with only our fields set.
        std::memset(&dcb, 0, sizeof dcb);
        dcb.DCBlength = sizeof dcb;
    }
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    SetCommState(device, &dcb);
}

}  // namespace

CCommPort::CCommPort(const char* portName) : m_portName{}, m_device(INVALID_HANDLE_VALUE)
{
    // A name that does not fit is not cut down to a shorter one, which could name another
    // device: the port keeps no name and Open refuses it.
    if (portName != nullptr && std::strlen(portName) < sizeof m_portName)
        std::strcpy(m_portName, portName);
}

CCommPort::~CCommPort()
{
    Close();
}

int CCommPort::Open(DWORD baud)
{
    if (m_portName[0] == '\0')
        return 0;
    m_device = CreateFileA(m_portName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_device == INVALID_HANDLE_VALUE)
        return 0;

    ApplyLineSettings(m_device, baud);
    SetCommMask(m_device, EV_RXCHAR);
    SetupComm(m_device, kQueueSize, kQueueSize);
    PurgeComm(m_device, kPurgeAll);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = kReadMsPerByte;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 1;
    timeouts.WriteTotalTimeoutConstant = 0;
    SetCommTimeouts(m_device, &timeouts);
    return 1;
}

DWORD CCommPort::CheckLineSettings(DWORD baud) const
{
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(m_device, &dcb))
        return GetLastError();
    const bool held = RateMatches(dcb.BaudRate, baud) && dcb.ByteSize == 8 && dcb.Parity == NOPARITY &&
                      dcb.StopBits == ONESTOPBIT;
    return held ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

int CCommPort::Write(const void* data, int length)
{
    // A negative count would become a huge DWORD: it writes nothing.
    if (length < 0)
        return 0;
    DWORD written = 0;
    WriteFile(m_device, data, static_cast<DWORD>(length), &written, nullptr);
    return static_cast<int>(written);
}

int CCommPort::Read(void* buffer, int length)
{
    if (length < 0)
        return 0;
    DWORD received = 0;
    ReadFile(m_device, buffer, static_cast<DWORD>(length), &received, nullptr);
    return static_cast<int>(received);
}

void CCommPort::Close()
{
    if (m_device == INVALID_HANDLE_VALUE)
        return;
    PurgeComm(m_device, kPurgeAll);
    CloseHandle(m_device);
    m_device = INVALID_HANDLE_VALUE;
}
