#include "cwinapp.h"

#include <commctrl.h>

int AfxWinMain(int, char**)
{
    // Registers the manifest's common controls (version 6) for this process.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    // InitInstance runs the whole tool; when it returns FALSE there is nothing left to run.
    app->InitInstance();
    return 0;
}

// There is no help file, so there is nothing to show: the command does nothing, as on Linux.
void CWinApp::OnHelp() {}
