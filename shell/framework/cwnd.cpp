#include "cwnd.h"

#include "cpaintdc.h"
#include "cwinapp.h"

#include <string>

CWnd::~CWnd() = default;

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

CWnd* CWnd::GetDlgItem(int id) const
{
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (child == nullptr)
        return nullptr;
    std::unique_ptr<CWnd>& wrapper = m_children[child];
    if (!wrapper) {
        wrapper = std::make_unique<CWnd>();
        wrapper->m_hWnd = child;
    }
    return wrapper.get();
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    text.Empty();
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (child == nullptr)
        return 0;
    const LRESULT length = ::SendMessageA(child, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return 0;
    // The length may be an upper bound (a multi-byte code page): keep what WM_GETTEXT copied.
    std::string buffer(static_cast<std::size_t>(length), '\0');
    const LRESULT copied = ::SendMessageA(child, WM_GETTEXT, buffer.size() + 1, reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    text = CString(std::move(buffer));
    return text.GetLength();
}

void CWnd::SetDlgItemText(int id, LPCTSTR text)
{
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (child != nullptr)
        ::SendMessageA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

HICON CWnd::GetIcon(BOOL bigIcon) const
{
    return reinterpret_cast<HICON>(SendMessage(WM_GETICON, bigIcon ? ICON_BIG : ICON_SMALL, 0));
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const
{
    HMENU menu = ::GetSystemMenu(m_hWnd, revert);
    if (menu == nullptr)
        return nullptr;
    if (!m_systemMenu || m_systemMenu->m_hMenu != menu)
        m_systemMenu = std::make_unique<CMenu>(menu);
    return m_systemMenu.get();
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const
{
    ::GetClientRect(m_hWnd, rect);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Handlers may run nested messages (a modal About box): keep the outer one for Default().
    const Message outer = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    m_current = outer;
    return result;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    const AFX_MSGMAP_ENTRY* entry = FindEntry(message, 0, 0);
    if (entry == nullptr)
        return FALSE;
    *result = entry->thunk(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (OnCmdMsg(id, code))
        return TRUE;
    // Commands the main window does not handle go on to the application (ID_HELP).
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->m_pMainWnd == this && app->OnCmdMsg(id, code);
}

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window->GetSafeHwnd())
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}
