#include "pty_port_fixture.h"

#include <filesystem>
#include <iterator>

ScopedHandle::~ScopedHandle()
{
    Close();
}

BOOL ScopedHandle::Close()
{
    if (m_handle == INVALID_HANDLE_VALUE)
        return FALSE;
    const BOOL closed = CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
}

void PtyPortTest::SetUp()
{
    home.Map("com1", peer.SlavePath());
}

HANDLE PtyPortTest::CreateCom1()
{
    return CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

HANDLE PtyPortTest::OpenCom1(const COMMTIMEOUTS& timeouts)
{
    HANDLE handle = CreateCom1();
    if (handle == INVALID_HANDLE_VALUE)
        return handle;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = CBR_19200;
    dcb.ByteSize = 8;
    dcb.fBinary = 1;
    COMMTIMEOUTS record = timeouts;
    if (!SetCommState(handle, &dcb) || !SetCommTimeouts(handle, &record)) {
        CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

int OpenDescriptorCount()
{
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
