// The module's resources are the executable's own.
#include "afx_resources.h"

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxFindResourceHandle(LPCTSTR, LPCTSTR)
{
    return ::GetModuleHandleW(nullptr);
}
