// The Win32 names the portable code is written against. On Windows they come from the system
// headers; on Linux this header set declares the subset the tool uses, with the same values and
// layouts, and the platform layer (shell/framework/qt, serial/posix) defines the functions.
// Code that needs only one half includes win32_comm.h (the serial link) or win32_ui.h (windows).
#pragma once

#include "win32_comm.h"
#include "win32_ui.h"
