// Windows 10 1607 gave each window a DPI of its own and the metrics for any DPI; comctl32 6 loads
// an icon at a size by scaling a larger image down rather than stretching a smaller one. Those
// calls are looked up at run time, so the exe still starts on the systems before them, where one
// DPI holds for every window and the plain calls give the same sizes.
#include "dpi_icons.h"

#include "cpaintdc.h"
#include "cwnd.h"

#include <utility>
#include <vector>

namespace win32layer {
namespace {

template <typename Function>
Function SystemCall(const wchar_t* module, const char* name)
{
    const HMODULE handle = ::GetModuleHandleW(module);
    const FARPROC address = handle != nullptr ? ::GetProcAddress(handle, name) : nullptr;
    // Through the one function type GCC lets stand for any other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

UINT SystemDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// An icon resource loaded at one size. Kept for the life of the process, as the system keeps the
// icons LoadIcon shares: a window may still show one after its DPI changed.
struct SizedIcon {
    HMODULE module;
    WORD id;
    int side;
    HICON icon;
};

std::vector<SizedIcon>& Loaded()
{
    static std::vector<SizedIcon> icons;
    return icons;
}

// The resource an icon was loaded from: one of ours, or the record the system keeps of a shared one.
bool ResourceOf(HICON icon, HMODULE& module, WORD& id)
{
    for (const SizedIcon& loaded : Loaded()) {
        if (loaded.icon == icon) {
            module = loaded.module;
            id = loaded.id;
            return true;
        }
    }
    using GetIconInfoExFn = BOOL(WINAPI*)(HICON, ICONINFOEXW*);
    static const auto getIconInfoEx = SystemCall<GetIconInfoExFn>(L"user32.dll", "GetIconInfoExW");
    ICONINFOEXW info{};
    info.cbSize = sizeof info;
    if (getIconInfoEx == nullptr || !getIconInfoEx(icon, &info))
        return false;
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
        if (bitmap != nullptr)
            ::DeleteObject(bitmap);
    }
    module = info.wResID != 0 ? ::GetModuleHandleW(info.szModName) : nullptr;
    id = info.wResID;
    return module != nullptr;
}

HICON LoadAtSide(HMODULE module, WORD id, int side)
{
    using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto scaleDown = SystemCall<LoadIconWithScaleDownFn>(L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (scaleDown == nullptr || FAILED(scaleDown(module, MAKEINTRESOURCEW(id), side, side, &icon)))
        icon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
    return icon;
}

// The image of `icon`'s resource made for `side` pixels; null when it cannot be told or loaded.
HICON Fitted(HICON icon, int side)
{
    HMODULE module = nullptr;
    WORD id = 0;
    if (icon == nullptr || !ResourceOf(icon, module, id))
        return nullptr;
    for (const SizedIcon& loaded : Loaded()) {
        if (loaded.module == module && loaded.id == id && loaded.side == side)
            return loaded.icon;
    }
    HICON fitted = LoadAtSide(module, id, side);
    if (fitted != nullptr)
        Loaded().push_back({module, id, side, fitted});
    return fitted;
}

bool IsIconStatic(HWND window)
{
    wchar_t kind[8] = {};
    return ::GetClassNameW(window, kind, 8) > 0 && ::lstrcmpiW(kind, L"Static") == 0 &&
           (::GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

}  // namespace

UINT WindowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = SystemCall<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

int MetricForDpi(int index, UINT dpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = SystemCall<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi != nullptr)
        return forDpi(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

void FitIconsToDpi(HWND dialog)
{
    const UINT dpi = WindowDpi(dialog);
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const auto shown = reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, which, 0));
        if (HICON fitted = Fitted(shown, MetricForDpi(metric, dpi)); fitted != nullptr && fitted != shown)
            ::SendMessageW(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(fitted));
    }
    // The static takes the size of its new icon.
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsIconStatic(child))
            continue;
        const auto shown = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        if (HICON fitted = Fitted(shown, MetricForDpi(SM_CXICON, dpi)); fitted != nullptr && fitted != shown)
            ::SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(fitted), 0);
    }
}

}  // namespace win32layer

int CWnd::GetSystemMetricsAtDpi(int index) const
{
    return win32layer::MetricForDpi(index, win32layer::WindowDpi(m_hWnd));
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon)
{
    // At the icon's own size: DrawIcon would stretch it to the system DPI's icon size.
    return ::DrawIconEx(m_hDC, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}
