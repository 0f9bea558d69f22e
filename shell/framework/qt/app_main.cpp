#include "cwinapp.h"

#include <QApplication>

int AfxWinMain(int argc, char** argv)
{
    QApplication application(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    // InitInstance runs the whole tool; when it returns FALSE there is nothing left to run.
    app->InitInstance();
    return 0;
}

// There is no help file, and Linux has no help viewer to report that: the command does nothing.
void CWinApp::OnHelp() {}
