#include "cwinapp.h"

#include <commctrl.h>

int AfxWinMain(int, char**)
{
    // Registers the manifest's common controls (version 6) for this process.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    return AfxRunApplication();
}
