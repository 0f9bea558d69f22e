// CCommPort: one serial device held for the length of one exchange.
#pragma once

#include "win32_comm.h"

class CCommPort {
public:
    explicit CCommPort(const char* portName);
    virtual ~CCommPort();

    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // 1 when the device was opened (the line settings are then applied, their results ignored),
    // 0 when it could not be.
    int Open(DWORD baud);
    // Why the device refused the line settings at the last Open (GetLastError right after
    // SetCommState); ERROR_SUCCESS when it took them.
    DWORD SettingsError() const { return m_settingsError; }
    int Write(const void* data, int length);
    int Read(void* buffer, int length);
    void Close();

private:
    char m_portName[20];
    HANDLE m_device;
    DWORD m_settingsError;
};
