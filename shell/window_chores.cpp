// The main dialog's system-menu command, minimized painting and drag icon.
#include "about_dialog.h"
#include "probe_dialog.h"
#include "resource.h"

void CProbeDialog::OnSysCommand(UINT id, LPARAM)
{
    // The low four bits of a system command are the platform's own; they do not name the entry.
    if ((id & 0xFFF0) == IDM_ABOUT) {
        CAboutDialog about;
        about.DoModal();
    } else {
        Default();
    }
}

void CProbeDialog::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    // The caption's big icon is the image made for this size at the window's DPI.
    const int iconWidth = GetSystemMetricsAtDpi(SM_CXICON);
    const int iconHeight = GetSystemMetricsAtDpi(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, GetIcon(TRUE));
}

HCURSOR CProbeDialog::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
