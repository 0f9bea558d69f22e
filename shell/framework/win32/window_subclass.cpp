#include "window_subclass.h"

namespace win32layer {

namespace {

// A window property: it lives and dies with the window, and needs no table of our own.
constexpr const wchar_t* kOriginalProcedure = L"VORNIKAL.OriginalProcedure";

WNDPROC Original(HWND window)
{
    return reinterpret_cast<WNDPROC>(::GetPropW(window, kOriginalProcedure));
}

}  // namespace

void Subclass(HWND window, WNDPROC procedure)
{
    const LONG_PTR previous = ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    ::SetPropW(window, kOriginalProcedure, reinterpret_cast<HANDLE>(previous));
}

LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC original = Original(window);
    if (original == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = ::CallWindowProcW(original, window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        ::RemovePropW(window, kOriginalProcedure);
    return result;
}

}  // namespace win32layer
