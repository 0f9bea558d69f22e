// CCommPort: one serial device held for the length of one exchange.
#pragma once

#include "win32_comm.h"

// The read time-out Open applies: a read may take 1 ms for each byte it asks for (no constant, no
// interval), and ends sooner only when all of them came. The read's size is therefore its window:
// the Send's read of transfer::kReceiveSize bytes listens for as many milliseconds.
inline constexpr DWORD kReadMsPerByte = 1;
constexpr DWORD ReadWindowMs(DWORD bytesAsked)
{
    return bytesAsked * kReadMsPerByte;
}

class CCommPort {
public:
    explicit CCommPort(const char* portName);
    virtual ~CCommPort();

    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // 1 when the device was opened (the line settings are then applied, their results ignored),
    // 0 when it could not be.
    int Open(DWORD baud);
    // Whether the open device now holds the line settings Open applied at `baud`, read back with
    // GetCommState: ERROR_SUCCESS when it does, GetCommState's error when the settings cannot be
    // read, ERROR_INVALID_PARAMETER when the device kept others (it refused the rate or framing).
    DWORD CheckLineSettings(DWORD baud) const;
    int Write(const void* data, int length);
    int Read(void* buffer, int length);
    void Close();

private:
    char m_portName[20];
    HANDLE m_device;
};
