// Failing a comm call the Win32 way: set the thread's last error, return FALSE.
#pragma once

#include "win32_comm.h"

// The Win32 error code a failed system call stands for.
DWORD Win32ErrorFromErrno(int error);
BOOL FailWith(DWORD error);
// Fails with the code for the errno the last system call left.
BOOL FailWithErrno();
