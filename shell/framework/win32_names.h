// The Win32 names the portable code is written against. On Windows they come from the system
// headers; on Linux this header set declares the subset the tool uses, with the same values and
// layouts, and the platform layer (shell/framework/qt, serial/posix) defines the functions.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "win32_types.h"
#include "win32_comm.h"
#include "win32_ui.h"
#endif
