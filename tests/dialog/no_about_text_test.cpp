// Linked with resources whose string 101 is empty (no_about_text.rc) instead of the tool's own.
#include "dialog_driver.h"
#include "probe_dialog.h"
#include "resource.h"
#include "system_menu.h"

#include <gtest/gtest.h>

namespace {

TEST(NoAboutTextTest, AnEmptyAboutTextAddsNeitherSeparatorNorEntry)
{
    CString text;
    EXPECT_FALSE(text.LoadString(IDS_ABOUT_MENU));
    CProbeDialog dialog;
    RunModal(dialog, [](DialogDriver& d) {
        const HMENU menu = ::GetSystemMenu(d.Handle(), FALSE);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->entries.size(), 2u);
        EXPECT_EQ(menu->entries[0].command, SC_MOVE);
        EXPECT_EQ(menu->entries[1].command, SC_CLOSE);
        EXPECT_EQ(d.Send(IDC_BAUD_LIST, CB_GETCOUNT), 5) << "the rest of the set-up still runs";
    });
}

}  // namespace
