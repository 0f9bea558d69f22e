// The result box's edit under Wine's real edit control: no limit, the newest line in view after every
// replacement, and appends that stay cheap when the box holds a megabyte.
#include "multiline_edit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

class MultiLineEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The result box's size and style (121 x 86 dialog units is about 180 x 140 pixels).
        m_edit = ::CreateWindowExW(0, L"Edit", L"",
                                   WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                                   0, 0, 180, 140, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_edit, nullptr);
        win32layer::PrepareMultiLineEdit(m_edit);
    }
    void TearDown() override { ::DestroyWindow(m_edit); }

    // As the tool replaces the box's text: an 8-bit text through the ANSI call.
    void Replace(const std::string& text) { ::SendMessageA(m_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

    std::string Text() const
    {
        std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(m_edit)) + 1, '\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextA(m_edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // The last character lies inside the client area, so the newest line is what the box shows.
    bool ShowsTheEnd() const
    {
        const int length = ::GetWindowTextLengthW(m_edit);
        const LRESULT position = ::SendMessageW(m_edit, EM_POSFROMCHAR, length > 0 ? length - 1 : 0, 0);
        RECT client;
        ::GetClientRect(m_edit, &client);
        const int y = static_cast<short>(HIWORD(position));
        return position != -1 && y >= 0 && y < client.bottom;
    }

    HWND m_edit = nullptr;
};

std::string Lines(int count, const char* line = "01000001\r\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

TEST_F(MultiLineEditTest, HoldsAMegabyteUncut)
{
    const std::string megabyte = Lines(104858);  // 10 bytes a line
    Replace(megabyte);
    EXPECT_EQ(Text(), megabyte);
    EXPECT_TRUE(ShowsTheEnd());
}

TEST_F(MultiLineEditTest, AppendsKeepTheOldTextAndShowTheNewestLine)
{
    Replace(Lines(40));
    Replace(Lines(40) + "00000000\r\n");
    EXPECT_EQ(Text(), Lines(40) + "00000000\r\n");
    EXPECT_TRUE(ShowsTheEnd());
    EXPECT_EQ(::SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0), 42);
}

TEST_F(MultiLineEditTest, ATextThatDoesNotExtendTheOldOneReplacesIt)
{
    Replace(Lines(40));
    Replace("11111111\r\n");
    EXPECT_EQ(Text(), "11111111\r\n");
    Replace("");
    EXPECT_EQ(Text(), "");
}

TEST_F(MultiLineEditTest, ALineBreakSplitOverTwoReplacementsIsOneBreak)
{
    Replace("00000001\r");
    Replace("00000001\r\n00000010\r\n");
    EXPECT_EQ(Text(), "00000001\r\n00000010\r\n");
    EXPECT_EQ(::SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0), 3);
}

TEST_F(MultiLineEditTest, MultiByteTextKeepsItsCharacters)
{
    // "關於 VORNIKAL" in the process's ANSI code page, as the tool's own 8-bit texts are.
    char ansi[64] = {};
    ASSERT_GT(::WideCharToMultiByte(CP_ACP, 0, L"\x95dc\x65bc VORNIKAL\r\n", -1, ansi, sizeof ansi, nullptr, nullptr), 0);
    const std::string text = ansi;
    ASSERT_GT(text.size(), std::string(" VORNIKAL\r\n").size() + 2) << "the code page has no such characters";
    Replace(text);
    Replace(text + text);
    EXPECT_EQ(Text(), text + text);
    EXPECT_EQ(::SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0), 3);
}

// One Send appends up to 100 lines, each a whole replacement of the box's text: with a megabyte
// already in the box, each must keep the text whole and the end in view. The cost of one append is
// printed as a figure, not judged: a limit in milliseconds fails on a busy machine.
TEST_F(MultiLineEditTest, AppendingToAMegabyteKeepsTheTextAndTheEnd)
{
    std::string text = Lines(104858);
    Replace(text);
    constexpr int kAppends = 100;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kAppends; ++i) {
        text += "10000000\r\n";
        Replace(text);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double perAppend = std::chrono::duration<double, std::milli>(elapsed).count() / kAppends;
    RecordProperty("append_ms_at_1MiB", std::to_string(perAppend));
    std::printf("one append to a 1 MiB box: %.2f ms\n", perAppend);
    EXPECT_EQ(Text(), text);
    EXPECT_TRUE(ShowsTheEnd());
}

}  // namespace
