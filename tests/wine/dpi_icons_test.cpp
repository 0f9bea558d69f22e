// The layer's icons at the window's DPI under Wine's real user32: a dialog whose program set one
// shared 32 px icon for both caption icons shows the icon resource's own image of each size.
#include "dpi_icons.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

int Side(HICON icon)
{
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info))
        return 0;
    BITMAP mask{};
    ::GetObjectW(info.hbmMask, sizeof mask, &mask);
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
        if (bitmap != nullptr)
            ::DeleteObject(bitmap);
    }
    return mask.bmWidth;
}

INT_PTR CALLBACK Unhandled(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

HICON Caption(HWND dialog, WPARAM which)
{
    return reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, which, 0));
}

TEST(DpiIcons, TheCaptionAndTheIconStaticTakeTheImageOfTheirSizeAndKeepItWhenFittedAgain)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HWND about = ::CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_ABOUT_DIALOG), nullptr, Unhandled, 0);
    ASSERT_NE(about, nullptr);
    HICON shared = ::LoadIconW(module, MAKEINTRESOURCEW(IDI_MAIN_ICON));
    ASSERT_EQ(Side(shared), 32);
    ::SendMessageW(about, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(shared));
    ::SendMessageW(about, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(shared));

    win32layer::FitIconsToDpi(about);
    // This test program declares no DPI awareness: its windows are at 96 DPI.
    ASSERT_EQ(win32layer::WindowDpi(about), 96u);
    EXPECT_EQ(Side(Caption(about, ICON_BIG)), 32);
    EXPECT_EQ(Side(Caption(about, ICON_SMALL)), 16);
    HWND icon = ::GetWindow(about, GW_CHILD);
    EXPECT_EQ(Side(reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0))), 32);

    // As on a change of DPI: the icons it set are known as the same resource's.
    const HICON small = Caption(about, ICON_SMALL);
    win32layer::FitIconsToDpi(about);
    EXPECT_EQ(Caption(about, ICON_SMALL), small);
    ::DestroyWindow(about);
}

}  // namespace
