#include "probe_app.h"

#include "probe_dialog.h"

BEGIN_MESSAGE_MAP(CProbeApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CProbeApp::CProbeApp() = default;

CProbeApp theApp;

BOOL CProbeApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    CProbeDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    // The dialog has ended: return FALSE so the process ends instead of running a message loop.
    return FALSE;
}
