// The console calls the handler on a thread of its own; it only sets the event the waits watch.
#include "stop_request.h"

#include <windows.h>

namespace {

HANDLE g_stop = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    SetEvent(g_stop);
    return TRUE;
}

}  // namespace

StopRequest::StopRequest()
{
    g_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopRequest::~StopRequest()
{
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    CloseHandle(g_stop);
    g_stop = nullptr;
}

bool StopRequest::Requested()
{
    return WaitFor(std::chrono::milliseconds(0));
}

bool StopRequest::WaitFor(std::chrono::milliseconds time)
{
    return WaitForSingleObject(g_stop, static_cast<DWORD>(time.count())) == WAIT_OBJECT_0;
}
