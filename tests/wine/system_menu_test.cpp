// The main dialog's system menu as OnInitDialog leaves it, read inside the process with the real
// user32 under Wine: a separator, then the About entry with command 16 and string 101's text. Wine
// puts an entry of its own above them; the dialog's come last.
#include "probe_dialog.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Entry {
    UINT type;
    UINT command;
    std::wstring text;
};

CProbeDialog* g_dialog = nullptr;
std::vector<Entry> g_entries;

std::vector<Entry> Entries(HMENU menu)
{
    std::vector<Entry> entries;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 128;
        if (::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item))
            entries.push_back({item.fType, item.wID, text});
    }
    return entries;
}

// Runs inside the dialog's modal loop, once the dialog is up.
void CALLBACK ReadTheMenuAndEnd(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    g_entries = Entries(::GetSystemMenu(g_dialog->m_hWnd, FALSE));
    g_dialog->EndDialog(IDCANCEL);
}

TEST(SystemMenu, EndsWithASeparatorAndTheAboutEntry)
{
    CProbeDialog dialog;
    g_dialog = &dialog;
    ::SetTimer(nullptr, 0, 10, ReadTheMenuAndEnd);
    ASSERT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_GE(g_entries.size(), 2u);
    const Entry& separator = g_entries[g_entries.size() - 2];
    const Entry& about = g_entries.back();
    EXPECT_TRUE(separator.type & MFT_SEPARATOR);
    EXPECT_EQ(about.type & MFT_SEPARATOR, 0u);
    EXPECT_EQ(about.command, static_cast<UINT>(IDM_ABOUT));
    EXPECT_EQ(about.text, L"\x95dc\x65bc VORNIKAL(&A)...");
}

}  // namespace
