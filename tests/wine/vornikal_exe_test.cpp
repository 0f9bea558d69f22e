// VORNIKAL.EXE end to end under Wine: driven from this process through window messages, with COM1
// mapped to a pseudo-terminal whose far side (the pty peer) checks what the program wrote and how it
// set the line, and answers.
#include "exe_session.h"
#include "peer_channel.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

namespace {

using peer::Bytes;

constexpr int kRate57600 = 4;
constexpr int kByteFields[] = {IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3};

std::wstring Lines(const Bytes& bytes)
{
    std::wstring lines;
    for (std::uint8_t byte : bytes) {
        for (int bit = 7; bit >= 0; --bit)
            lines += (byte >> bit) & 1 ? L'1' : L'0';
        lines += L"\r\n";
    }
    return lines;
}

std::string Narrow(const std::wstring& text)
{
    std::string utf8(static_cast<std::size_t>(text.size() * 4 + 1), '\0');
    utf8.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                               utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

class VornikalExeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        peer::Sentinel();
        ASSERT_NE(m_exe.Dialog(), nullptr) << "no main dialog from " << Narrow(exe::ProgramPath());
    }

    void Fill(const wchar_t* count, std::array<const wchar_t*, 4> bytes) const
    {
        ASSERT_TRUE(m_exe.SetText(IDC_SEND_COUNT, count));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(m_exe.SetText(kByteFields[i], bytes[static_cast<std::size_t>(i)]));
    }

    // One Send with `answer` from the far side; returns what the program wrote (`written` bytes).
    Bytes SendAnswered(std::size_t written, const Bytes& answer) const
    {
        peer::Arm(answer);
        EXPECT_TRUE(m_exe.Click(IDOK));
        return peer::Seen(written);
    }

    std::wstring Result() const { return m_exe.Text(IDC_RESULT); }

    // Every text a user can see change in the main dialog.
    std::wstring Snapshot() const
    {
        std::wstring all;
        for (int id : {IDC_BAUD_LIST, IDC_SEND_COUNT, IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3, IDC_RESULT})
            all += m_exe.Text(id) + L"|";
        LRESULT selection = 0;
        m_exe.Send(m_exe.Item(IDC_BAUD_LIST), CB_GETCURSEL, 0, 0, &selection);
        return all + std::to_wstring(selection);
    }

    void Shot(const std::string& name, HWND window) const
    {
        RECT area;
        ASSERT_TRUE(::GetWindowRect(window, &area));
        EXPECT_TRUE(peer::Shot(name, area)) << name;
    }

    exe::Session m_exe;
};

TEST_F(VornikalExeTest, TheBaudListOffersTheFiveRatesInOrderWithNoneChosen)
{
    HWND list = m_exe.Item(IDC_BAUD_LIST);
    LRESULT count = 0;
    ASSERT_TRUE(m_exe.Send(list, CB_GETCOUNT, 0, 0, &count));
    ASSERT_EQ(count, 5);
    const wchar_t* expected[] = {L"CBR_14400", L"CBR_19200", L"CBR_38400", L"CBR_56000", L"CBR_57600"};
    for (int i = 0; i < 5; ++i) {
        wchar_t text[64] = {};
        ASSERT_TRUE(m_exe.Send(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text)));
        EXPECT_EQ(std::wstring(text), expected[i]) << i;
    }
    LRESULT selection = 0;
    ASSERT_TRUE(m_exe.Send(list, CB_GETCURSEL, 0, 0, &selection));
    EXPECT_EQ(selection, CB_ERR);
}

// The platform names a field by the static text just before it: each entry field must find the
// label of its own row there, and the result box none, while Tab still follows the template.
TEST_F(VornikalExeTest, EachEntryFieldFollowsTheLabelOfItsRowAndTheTabOrderIsTheTemplates)
{
    const std::pair<int, const wchar_t*> fields[] = {{IDC_SEND_COUNT, L"Bytes to Send"}, {IDC_BYTE0, L"Byte[0]"},
                                                     {IDC_BYTE1, L"Byte[1]"}, {IDC_BYTE2, L"Byte[2]"},
                                                     {IDC_BYTE3, L"Byte[3]"}};
    for (const auto& [id, label] : fields) {
        HWND before = ::GetWindow(m_exe.Item(id), GW_HWNDPREV);
        wchar_t text[64] = {};
        ::SendMessageW(before, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(std::wstring(text), label) << id;
    }
    wchar_t kind[32] = {};
    ::GetClassNameW(::GetWindow(m_exe.Item(IDC_RESULT), GW_HWNDPREV), kind, 32);
    EXPECT_NE(::_wcsicmp(kind, L"Static"), 0) << "the result box takes no label's name";

    const int tabOrder[] = {IDOK, IDC_CLEAR_RESULT, IDC_RESULT, IDC_BAUD_LIST, IDC_SEND_COUNT,
                            IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3, IDOK};
    HWND control = m_exe.Item(IDOK);
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        control = ::GetNextDlgTabItem(m_exe.Dialog(), control, FALSE);
        EXPECT_EQ(::GetDlgCtrlID(control), tabOrder[i]) << "tab stop " << i;
    }
}

// The labels moved before their fields must not move the template's groups: the arrow keys on the
// two buttons go from one to the other and nowhere else, as the dialog manager finds them and as
// the keys themselves move the focus.
TEST_F(VornikalExeTest, TheArrowKeysOnTheTwoButtonsStayOnThem)
{
    const HWND send = m_exe.Item(IDOK);
    const HWND clear = m_exe.Item(IDC_CLEAR_RESULT);
    for (const BOOL previous : {FALSE, TRUE}) {
        EXPECT_EQ(::GetNextDlgGroupItem(m_exe.Dialog(), send, previous), clear) << previous;
        EXPECT_EQ(::GetNextDlgGroupItem(m_exe.Dialog(), clear, previous), send) << previous;
    }
    const auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_exe.Dialog(), nullptr), &info) ? info.hwndFocus : nullptr;
    };
    ASSERT_TRUE(m_exe.Send(m_exe.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(send), TRUE));
    for (const HWND expected : {clear, send, clear}) {
        ASSERT_TRUE(::PostMessageW(focus(), WM_KEYDOWN, VK_DOWN, 0x01500001));
        EXPECT_TRUE(exe::WaitUntil([&] { return focus() == expected; })) << ::GetDlgCtrlID(focus());
    }
}

TEST_F(VornikalExeTest, ASendBeforeAnyRateIsChosenOpensNothingAndShowsNothing)
{
    Fill(L"2", {L"01", L"02", L"03", L"04"});
    ASSERT_NO_FATAL_FAILURE();
    EXPECT_EQ(SendAnswered(0, {0x41}), Bytes{});
    EXPECT_EQ(Result(), L"");
    // The line still has the settings no Send makes: the port was never opened.
    const peer::LineSettings line = peer::Line();
    EXPECT_EQ(line.rate, 4800u);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_TRUE(line.rtsCtsFlow);
}

TEST_F(VornikalExeTest, CountTwoWritesOnlyTheFirstTwoBytesAt57600WithOneStopBitAndNoHandshake)
{
    ASSERT_TRUE(m_exe.ChooseRate(kRate57600));
    Fill(L"2", {L"01", L"02", L"03", L"04"});
    ASSERT_NO_FATAL_FAILURE();
    EXPECT_EQ(SendAnswered(2, {}), (Bytes{0x01, 0x02}));
    const peer::LineSettings line = peer::Line();
    EXPECT_EQ(line.rate, 57600u);
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_FALSE(line.rtsCtsFlow);
    EXPECT_EQ(Result(), L"");
}

TEST_F(VornikalExeTest, LowerAndUpperCaseHexGiveTheSameByte)
{
    ASSERT_TRUE(m_exe.ChooseRate(kRate57600));
    Fill(L"4", {L"a5", L"A5", L"7e", L"fF"});
    ASSERT_NO_FATAL_FAILURE();
    EXPECT_EQ(SendAnswered(4, {}), (Bytes{0xA5, 0xA5, 0x7E, 0xFF}));
}

// "α" is CE B1 in the program's UTF-8 code page and its upper case "Α" is CE 91: the Send's
// arithmetic makes 0x41 of the upper case, where the lower case's own bytes would give 0x61.
TEST_F(VornikalExeTest, AByteTextIsUpperCasedAsThePlatformDoesInItsCodePage)
{
    ASSERT_TRUE(m_exe.ChooseRate(kRate57600));
    Fill(L"1", {L"\x03b1", L"", L"", L""});
    ASSERT_NO_FATAL_FAILURE();
    EXPECT_EQ(SendAnswered(1, {}), Bytes{0x41});
}

TEST_F(VornikalExeTest, EachAnsweredByteAppendsItsLineBelowWhatTheBoxHeld)
{
    ASSERT_TRUE(m_exe.ChooseRate(kRate57600));
    Fill(L"1", {L"41", L"", L"", L""});
    ASSERT_NO_FATAL_FAILURE();
    SendAnswered(1, {0x41});
    ASSERT_EQ(Result(), Lines({0x41}));
    SendAnswered(1, {0x00, 0x80, 0xFF});
    EXPECT_EQ(Result(), L"01000001\r\n00000000\r\n10000000\r\n11111111\r\n");
    Shot("vornikal-exe-main", m_exe.Dialog());
}

TEST_F(VornikalExeTest, AnAnswerOf150BytesAppendsExactly100LinesAndShowsTheNewest)
{
    ASSERT_TRUE(m_exe.ChooseRate(kRate57600));
    Fill(L"1", {L"55", L"", L"", L""});
    ASSERT_NO_FATAL_FAILURE();
    Bytes answer(150);
    for (std::size_t i = 0; i < answer.size(); ++i)
        answer[i] = static_cast<std::uint8_t>(i * 7);
    SendAnswered(1, answer);
    EXPECT_EQ(Result(), Lines(Bytes(answer.begin(), answer.begin() + 100)));

    // The last character of the box lies inside its client area.
    HWND box = m_exe.Item(IDC_RESULT);
    LRESULT position = 0;
    ASSERT_TRUE(m_exe.Send(box, EM_POSFROMCHAR, Result().size() - 1, 0, &position));
    RECT client;
    ASSERT_TRUE(::GetClientRect(box, &client));
    const int y = static_cast<short>(HIWORD(position));
    EXPECT_GE(y, 0);
    EXPECT_LT(y, client.bottom);
}

TEST_F(VornikalExeTest, ClearResultEmptiesTheBoxAndTheNextLinesStartAtTheTop)
{
    ASSERT_TRUE(m_exe.Click(IDC_CLEAR_RESULT));
    EXPECT_EQ(Result(), L"");
    ASSERT_TRUE(m_exe.ChooseRate(kRate57600));
    Fill(L"1", {L"10", L"", L"", L""});
    ASSERT_NO_FATAL_FAILURE();
    SendAnswered(1, {0x01, 0x02});
    ASSERT_TRUE(m_exe.Click(IDC_CLEAR_RESULT));
    EXPECT_EQ(Result(), L"");
    SendAnswered(1, {0x03});
    EXPECT_EQ(Result(), Lines({0x03}));
}

TEST_F(VornikalExeTest, EnterInAnEntryFieldRunsASend)
{
    ASSERT_TRUE(m_exe.ChooseRate(kRate57600));
    Fill(L"1", {L"3c", L"", L"", L""});
    ASSERT_NO_FATAL_FAILURE();
    peer::Arm({0x42});
    ASSERT_TRUE(::PostMessageW(m_exe.Item(IDC_BYTE0), WM_KEYDOWN, VK_RETURN, 0x001C0001));
    EXPECT_EQ(peer::Seen(1), Bytes{0x3C});
    EXPECT_TRUE(exe::WaitUntil([&] { return Result() == Lines({0x42}); })) << Narrow(Result());
}

TEST_F(VornikalExeTest, EscapeEndsTheTool)
{
    ASSERT_TRUE(::PostMessageW(m_exe.Item(IDC_SEND_COUNT), WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    EXPECT_TRUE(m_exe.WaitForExit());
}

TEST_F(VornikalExeTest, TheCaptionsCloseButtonEndsTheTool)
{
    const std::optional<POINT> close = m_exe.FramePoint(m_exe.Dialog(), HTCLOSE);
    ASSERT_TRUE(close.has_value()) << "no close button on the caption";
    ASSERT_TRUE(exe::ClickAt(*close));
    EXPECT_TRUE(m_exe.WaitForExit());
}

TEST_F(VornikalExeTest, AnEntryPickedAgainAfterTypingInTheListIsTheRateAgain)
{
    HWND list = m_exe.Item(IDC_BAUD_LIST);
    const auto selection = [&] {
        LRESULT index = 0;
        m_exe.Send(list, CB_GETCURSEL, 0, 0, &index);
        return index;
    };
    ASSERT_TRUE(m_exe.ChooseRate(2));
    ASSERT_TRUE(m_exe.Send(::FindWindowExW(list, nullptr, L"Edit", nullptr), WM_CHAR, L'x', 1));
    EXPECT_EQ(selection(), CB_ERR) << "typed text leaves no entry selected";

    ASSERT_TRUE(m_exe.PickFromList(IDC_BAUD_LIST, 2));
    EXPECT_EQ(selection(), 2);
    EXPECT_EQ(m_exe.Text(IDC_BAUD_LIST), L"CBR_38400");
    Fill(L"1", {L"41", L"", L"", L""});
    ASSERT_NO_FATAL_FAILURE();
    EXPECT_EQ(SendAnswered(1, {0x41}), Bytes{0x41});
    EXPECT_EQ(peer::Line().rate, 38400u);
    EXPECT_EQ(Result(), Lines({0x41}));
}

TEST_F(VornikalExeTest, TheAboutBoxOpensFromTheSystemMenuAndClosesWithEverythingUnchanged)
{
    ASSERT_TRUE(m_exe.ChooseRate(1));
    Fill(L"3", {L"0A", L"0b", L"x", L""});
    ASSERT_NO_FATAL_FAILURE();
    SendAnswered(3, {0x5A});
    const std::wstring before = Snapshot();

    // Commands 16 to 31 all name the About entry: the low four bits are the system's.
    for (WPARAM command : {WPARAM{16}, WPARAM{31}}) {
        ASSERT_TRUE(::PostMessageW(m_exe.Dialog(), WM_SYSCOMMAND, command, 0));
        HWND about = m_exe.WaitForDialog(L"\x95dc\x65bc VORNIKAL");
        ASSERT_NE(about, nullptr) << command;
        EXPECT_EQ(::GetWindow(about, GW_OWNER), m_exe.Dialog());
        EXPECT_FALSE(::IsWindowEnabled(m_exe.Dialog()));
        EXPECT_EQ(m_exe.Text(::GetDlgItem(about, IDOK)), L"\x78ba\x5b9a");
        std::wstring texts;
        for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
            texts += m_exe.Text(child) + L"|";
        EXPECT_NE(texts.find(L"|VORNIKAL Version 1.0|"), std::wstring::npos) << Narrow(texts);
        if (command == 16)
            Shot("vornikal-exe-about", about);

        ASSERT_TRUE(m_exe.Click(::GetDlgItem(about, IDOK)));
        EXPECT_TRUE(exe::WaitUntil([&] { return !::IsWindow(about); }));
        EXPECT_TRUE(exe::WaitUntil([&] { return ::IsWindowEnabled(m_exe.Dialog()) != FALSE; }));
        EXPECT_EQ(Snapshot(), before);
    }
    EXPECT_EQ(peer::Line().rate, 19200u);
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// The pixels `text` takes in the dialog's face at `points` on a display of `dpi`, as the dialog
// manager makes that font (Wine maps the face to the same stand-in for this process and the tool).
int TextWidth(const std::wstring& text, int points, int dpi)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT font = ::CreateFontW(-::MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                               L"\x65b0\x7d30\x660e\x9ad4");
    HGDIOBJ before = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, before);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    return extent.cx;
}

// At 192 DPI the dialog manager lays the templates out from their dialog units at twice the size,
// every label still holds its text in one line, and the About box shows the icon's 64 px image. Windows does this for a program that declares
// itself DPI-aware (check_exe.py checks the manifest) and stretches the others as a bitmap; Wine
// lays out every program at the display's DPI, so here the layout is checked, not the declaration.
TEST(VornikalExeAt192Dpi, TheDialogsAreLaidOutTwiceAsLargeWithNoLabelCutAndThe64PixelIcon)
{
    // This thread sees every window's coordinates as the display has them, whatever its DPI.
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    SIZE at96{};
    {
        exe::Session exe;
        ASSERT_NE(exe.Dialog(), nullptr);
        at96 = ClientSize(exe.Dialog());
    }

    exe::DisplayDpi dpi(192);
    exe::Session exe;
    ASSERT_NE(exe.Dialog(), nullptr);
    const SIZE at192 = ClientSize(exe.Dialog());
    // Dialog units follow the font's metrics, which do not scale exactly: about twice.
    EXPECT_NEAR(at192.cx, 2 * at96.cx, at96.cx / 5) << at96.cx << " -> " << at192.cx;
    EXPECT_NEAR(at192.cy, 2 * at96.cy, at96.cy / 5) << at96.cy << " -> " << at192.cy;

    int labels = 0;
    for (HWND child = ::GetWindow(exe.Dialog(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        ::GetClassNameW(child, kind, 16);
        if (::_wcsicmp(kind, L"Static") != 0)
            continue;
        const std::wstring text = exe.Text(child);
        EXPECT_LE(TextWidth(text, 9, 192), ClientSize(child).cx) << Narrow(text);
        ++labels;
    }
    EXPECT_EQ(labels, 5);
    RECT area;
    ASSERT_TRUE(::GetWindowRect(exe.Dialog(), &area));
    EXPECT_TRUE(peer::Shot("vornikal-exe-192dpi", area));

    // The About box's icon static takes the icon's size at this DPI, 64 px: the image drawn for it.
    ASSERT_TRUE(::PostMessageW(exe.Dialog(), WM_SYSCOMMAND, IDM_ABOUT, 0));
    HWND about = exe.WaitForDialog(L"\x95dc\x65bc VORNIKAL");
    ASSERT_NE(about, nullptr);
    HWND icon = nullptr;
    for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr && icon == nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
    }
    ASSERT_NE(icon, nullptr);
    const SIZE side = ClientSize(icon);
    EXPECT_EQ(side.cx, 64);
    EXPECT_EQ(side.cy, 64);
    // Painted whole before the shot: the box answers a message, then paints while we wait.
    ASSERT_TRUE(exe.Send(about, WM_NULL, 0, 0));
    ::RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(::GetWindowRect(about, &area));
    EXPECT_TRUE(peer::Shot("vornikal-exe-192dpi-about", area));
    ASSERT_TRUE(exe.Click(::GetDlgItem(about, IDOK)));
}

}  // namespace
