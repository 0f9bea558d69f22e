// CPaintDC: the device context of one WM_PAINT, opened on construction and closed on destruction.
#pragma once

#include "win32_names.h"

class CWnd;

class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    // Draws the icon at its own size, the image made for the screen's scale (shell/framework/<platform>).
    BOOL DrawIcon(int x, int y, HICON icon);

    PAINTSTRUCT m_ps{};
    HDC m_hDC = nullptr;

private:
    HWND m_hWnd;
};
