#include "cwinapp.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(LPCTSTR appName) : m_pszAppName(appName)
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

// Both platforms draw their controls in their own current style and host no ActiveX controls,
// so neither set-up call has anything left to do.
BOOL CWinApp::Enable3dControls()
{
    return TRUE;
}

void AfxEnableControlContainer() {}
