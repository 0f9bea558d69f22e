// CProbeApp: the application object; it runs the main dialog for the life of the process.
#pragma once

#include "framework.h"

class CProbeApp : public CWinApp {
public:
    CProbeApp();
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};
