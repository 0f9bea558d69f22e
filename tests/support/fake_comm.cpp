#include "fake_comm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace fake_comm {

namespace {

State g_state;
const HANDLE kHandle = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(0x4C0DE));
thread_local DWORD g_lastError = ERROR_SUCCESS;

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

std::string HandleName(HANDLE handle)
{
    return handle == kHandle ? "h" : "bad-handle";
}

// Records the call and tells whether it is to fail.
bool Record(const char* name, const std::string& args)
{
    g_state.calls.push_back(std::string(name) + "(" + args + ")");
    if (g_state.onCall)
        g_state.onCall(name);
    if (g_state.failing.count(name) != 0) {
        g_lastError = ERROR_GEN_FAILURE;
        return false;
    }
    return true;
}

}  // namespace

State& Device()
{
    return g_state;
}

Calls Concat(Calls first, const std::vector<Calls>& rest)
{
    for (const Calls& more : rest)
        first.insert(first.end(), more.begin(), more.end());
    return first;
}

void Reset()
{
    g_state = State{};
    g_state.reported = DistinctDcb();
}

DCB DistinctDcb()
{
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = 9600;
    dcb.fBinary = 0;
    dcb.fParity = 1;
    dcb.fOutxCtsFlow = 1;
    dcb.fOutxDsrFlow = 1;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fDsrSensitivity = 1;
    dcb.fTXContinueOnXoff = 1;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    dcb.fErrorChar = 1;
    dcb.fNull = 1;
    dcb.fRtsControl = RTS_CONTROL_TOGGLE;
    dcb.fAbortOnError = 1;
    dcb.XonLim = 101;
    dcb.XoffLim = 102;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.ErrorChar = '?';
    dcb.EofChar = 0x1A;
    dcb.EvtChar = '\n';
    return dcb;
}

}  // namespace fake_comm

using fake_comm::g_lastError;
using fake_comm::g_state;

DWORD GetLastError()
{
    return g_lastError;
}

void SetLastError(DWORD error)
{
    g_lastError = error;
}

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile)
{
    const std::string args = "\"" + std::string(fileName) + "\", " + fake_comm::Hex(access) + ", " +
                             std::to_string(share) + ", " + (security ? "sa" : "null") + ", " +
                             std::to_string(disposition) + ", " + fake_comm::Hex(flags) + ", " +
                             (templateFile ? "template" : "null");
    if (!fake_comm::Record("CreateFileA", args))
        return INVALID_HANDLE_VALUE;
    ++g_state.openHandles;
    return fake_comm::kHandle;
}

BOOL GetCommState(HANDLE file, LPDCB dcb)
{
    if (!fake_comm::Record("GetCommState", fake_comm::HandleName(file)))
        return FALSE;
    *dcb = g_state.reported;
    return TRUE;
}

BOOL SetCommState(HANDLE file, LPDCB dcb)
{
    g_state.applied = *dcb;
    if (!fake_comm::Record("SetCommState", fake_comm::HandleName(file)))
        return FALSE;
    // A device that took the settings reads them back.
    g_state.reported = *dcb;
    return TRUE;
}

BOOL SetCommMask(HANDLE file, DWORD mask)
{
    return fake_comm::Record("SetCommMask", fake_comm::HandleName(file) + ", " + fake_comm::Hex(mask));
}

BOOL SetupComm(HANDLE file, DWORD inQueue, DWORD outQueue)
{
    return fake_comm::Record("SetupComm", fake_comm::HandleName(file) + ", " + std::to_string(inQueue) +
                                              ", " + std::to_string(outQueue));
}

BOOL PurgeComm(HANDLE file, DWORD flags)
{
    return fake_comm::Record("PurgeComm", fake_comm::HandleName(file) + ", " + fake_comm::Hex(flags));
}

BOOL SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    g_state.timeouts = *timeouts;
    return fake_comm::Record("SetCommTimeouts", fake_comm::HandleName(file));
}

BOOL GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    *timeouts = g_state.timeouts;
    return fake_comm::Record("GetCommTimeouts", fake_comm::HandleName(file));
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    *written = 0;
    if (!fake_comm::Record("WriteFile", fake_comm::HandleName(file) + ", " + std::to_string(count) +
                                            (overlapped ? ", overlapped" : ", null")))
        return FALSE;
    const DWORD taken = std::min(count, g_state.writeLimit);
    const auto* bytes = static_cast<const BYTE*>(buffer);
    g_state.written.insert(g_state.written.end(), bytes, bytes + taken);
    *written = taken;
    return TRUE;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD received, LPOVERLAPPED overlapped)
{
    *received = 0;
    if (!fake_comm::Record("ReadFile", fake_comm::HandleName(file) + ", " + std::to_string(count) +
                                           (overlapped ? ", overlapped" : ", null")))
        return FALSE;
    const DWORD available = static_cast<DWORD>(std::min<std::size_t>(g_state.incoming.size(), count));
    const DWORD given = std::min(available, g_state.readLimit);
    auto* bytes = static_cast<BYTE*>(buffer);
    for (DWORD i = 0; i < given; ++i) {
        bytes[i] = g_state.incoming.front();
        g_state.incoming.pop_front();
    }
    *received = g_state.readClaim.value_or(given);
    return TRUE;
}

BOOL CloseHandle(HANDLE object)
{
    const bool ok = fake_comm::Record("CloseHandle", fake_comm::HandleName(object));
    if (object == fake_comm::kHandle)
        --g_state.openHandles;
    return ok ? TRUE : FALSE;
}
