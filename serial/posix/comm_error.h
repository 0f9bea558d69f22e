// Failing a comm call the Win32 way: set the thread's last error, return FALSE.
#pragma once

#include "win32_comm.h"

#include <cerrno>
#include <string>

// The Win32 error code a failed system call stands for.
DWORD Win32ErrorFromErrno(int error);
// A failure a check of our own found; `reason` says what for the trace and the failure's words.
BOOL FailWith(DWORD error, std::string reason = {});
// A failure of a system call: the code for its errno (by default the one it just left).
BOOL FailWithErrno(int error = errno);
// The same with a code of our choice.
BOOL FailWithErrnoAs(DWORD error, int cause);

// What is behind the thread's last failure, for the trace: the errno (0 when a check failed) and
// the check's reason (empty when none was given).
struct FailureCause {
    int error = 0;
    std::string reason;
};
const FailureCause& LastFailureCause();
