// CWinApp: the one application object. The platform's start-up calls its InitInstance; the
// process ends when that returns FALSE.
#pragma once

#include "cwnd.h"

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCTSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // The framework's help command; the tool ships no help file (shell/framework/<platform>).
    void OnHelp();
    CWnd* m_pMainWnd = nullptr;

protected:
    BOOL Enable3dControls();

private:
    LPCTSTR m_pszAppName;
};

CWinApp* AfxGetApp();
void AfxEnableControlContainer();
// Runs the application: InitInstance, then the platform's exit (shell/framework/<platform>).
int AfxWinMain(int argc, char** argv);

constexpr UINT ID_HELP = 0xE146;
