// The system's words for a comm call that has just failed, for a command to say on standard error.
#pragma once

#include "win32_comm.h"

#include <string>

// Call it right after the failed call with the code GetLastError gave, before any other comm call.
std::string CommFailureText(DWORD error);
