// CWinApp: the one application object. The platform's start-up calls its InitInstance; the
// process ends when that returns FALSE.
#pragma once

#include "cwnd.h"

class CWinApp : public CCmdTarget {
public:
    // The application name is the module's own: neither platform asks for another.
    explicit CWinApp(LPCTSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // The framework's help command.
    void OnHelp();
    CWnd* m_pMainWnd = nullptr;

protected:
    BOOL Enable3dControls();
};

CWinApp* AfxGetApp();
void AfxEnableControlContainer();
// The platform's start-up (shell/framework/<platform>): sets the platform up, then runs the
// application object's InitInstance through AfxRunApplication and gives the exit status.
int AfxWinMain(int argc, char** argv);
int AfxRunApplication();

constexpr UINT ID_HELP = 0xE146;
