// Dialogs over the system's dialog manager. The dialog procedure only attaches the CDialog on
// WM_INITDIALOG; from then on the window itself is subclassed, so every message goes through
// CWnd::WindowProc first, and CWnd::DefWindowProc hands what no handler took back to the dialog
// manager (which asks the dialog procedure again: it answers FALSE to everything but
// WM_INITDIALOG, so there is no loop).
#include "dialog_host.h"

#include "afx_resources.h"
#include "dpi_icons.h"
#include "multiline_edit.h"
#include "row_label_order.h"
#include "window_subclass.h"

namespace {

CWnd* Attached(HWND window)
{
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* dialog = Attached(window);
    if (dialog == nullptr)
        return win32layer::CallOriginal(window, message, wParam, lParam);
    const LRESULT result = dialog->WindowProc(message, wParam, lParam);
    // The dialog manager has laid the dialog out at the new DPI; its icons follow.
    if (message == WM_DPICHANGED)
        win32layer::FitIconsToDpi(window);
    return result;
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->m_hWnd = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
    win32layer::Subclass(window, DialogWindowProc);
    win32layer::PrepareMultiLineEdits(window);
    win32layer::PlaceRowLabelsBeforeTheirFields(window);
    // TRUE lets the dialog manager give the focus to the first control with a tab stop.
    const BOOL focus = dialog->OnInitDialog();
    // After OnInitDialog, which sets the caption's icons.
    win32layer::FitIconsToDpi(window);
    return focus;
}

}  // namespace

INT_PTR DialogHost::RunModal(CDialog& dialog, CWnd* owner)
{
    // The Unicode call keeps the templates' Chinese texts whatever the system's code page is. The
    // owner is disabled by the dialog manager for as long as the box runs.
    const INT_PTR result = ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(dialog.TemplateId()),
                                             owner != nullptr ? owner->GetSafeHwnd() : nullptr, DialogProc,
                                             reinterpret_cast<LPARAM>(&dialog));
    dialog.m_hWnd = nullptr;
    return result;
}

void DialogHost::End(CDialog& dialog, int result)
{
    ::EndDialog(dialog.m_hWnd, result);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return win32layer::CallOriginal(m_hWnd, message, wParam, lParam);
}
