// The platform side of CDialog: builds the dialog's window from its template, runs the modal loop
// that feeds the window's messages to CWnd::WindowProc, and ends it (shell/framework/<platform>).
#pragma once

#include "cdialog.h"

class DialogHost {
public:
    static INT_PTR RunModal(CDialog& dialog, CWnd* owner);
    static void End(CDialog& dialog, int result);
};
