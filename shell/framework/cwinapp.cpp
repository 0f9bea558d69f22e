#include "cwinapp.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(LPCTSTR)
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

int AfxRunApplication()
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    // InitInstance runs the whole tool; when it returns FALSE there is nothing left to run.
    app->InitInstance();
    return 0;
}

// The tool ships no help file, so on either platform there is nothing for the command to show.
void CWinApp::OnHelp() {}
