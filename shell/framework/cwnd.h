// CWnd: a window of the class library, wrapping a platform window handle.
#pragma once

#include "cmenu.h"
#include "cstring.h"
#include "message_map.h"

#include <map>
#include <memory>

class CWnd;

// What DoDataExchange is given: the window and the direction of the exchange.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The child control `id`, or nullptr; the wrapper lives as long as this window's object.
    CWnd* GetDlgItem(int id) const;
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemText(int id, LPCTSTR text);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    HICON GetIcon(BOOL bigIcon) const;
    // System metric `index` (an icon size) at the DPI this window is shown at (shell/framework/<platform>).
    int GetSystemMetricsAtDpi(int index) const;
    // The window's own copy of the system menu, or nullptr when it has none.
    CMenu* GetSystemMenu(BOOL revert) const;
    BOOL IsIconic() const;
    void GetClientRect(LPRECT rect) const;

    // Entry point of every message the platform delivers to this window.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Moves data between the controls and the fields DoDataExchange binds.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    // The platform's own handling of the message being handled now.
    LRESULT Default();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Binds controls to fields; a window with nothing bound keeps this empty one.
    virtual void DoDataExchange(CDataExchange* exchange);
    // FALSE when no message map has an entry for the message.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The platform's handling of a message no handler took (shell/framework/<platform>).
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Message {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    Message m_current;
    mutable std::map<HWND, std::unique_ptr<CWnd>> m_children;
    mutable std::unique_ptr<CMenu> m_systemMenu;
};
