// Where the module's resources are found: the executable's own resources on Windows, the
// embedded copy of the same compiled resources on Linux.
#pragma once

#include "win32_names.h"

HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type);
