#include "exe_session.h"

#include "resource.h"

#include <optional>
#include <vector>

namespace exe {

namespace {

constexpr UINT kMessageDeadlineMs = 20000;
constexpr const wchar_t* kMainCaption = L"KESTRAVO v1.0 by OLVANE";

struct Search {
    const wchar_t* caption;
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    wchar_t caption[128] = {};
    ::GetWindowTextW(window, caption, 128);
    if (process == search->process && std::wstring(className) == L"#32770" && std::wstring(caption) == search->caption &&
        ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog(const wchar_t* caption, DWORD process)
{
    Search search{caption, process, nullptr};
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

std::wstring ProgramPath()
{
    std::wstring path = L"Z:" VORNIKAL_EXE_PATH;
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

namespace {

// Where Wine 10 keeps its display sources: VIDEO\{gpu}\Sources\{source}, value Dpi.
constexpr const wchar_t* kVideoKey =
    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Control\\Video";

std::vector<std::wstring> Subkeys(const std::wstring& path)
{
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0, length = 256; ::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                                    ERROR_SUCCESS;
         ++i, length = 256)
        names.emplace_back(name);
    ::RegCloseKey(key);
    return names;
}

// Sets the Dpi value of the source key at `path` when it has one; gives the value it held.
std::optional<DWORD> SwapSourceDpi(const std::wstring& path, DWORD dpi)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD before = 0, size = sizeof before;
    const bool had = ::RegQueryValueExW(key, L"Dpi", nullptr, nullptr, reinterpret_cast<BYTE*>(&before), &size) ==
                     ERROR_SUCCESS;
    if (had)
        ::RegSetValueExW(key, L"Dpi", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    ::RegCloseKey(key);
    return had ? std::optional<DWORD>(before) : std::nullopt;
}

}  // namespace

DisplayDpi::DisplayDpi(DWORD dpi)
{
    for (const std::wstring& gpu : Subkeys(kVideoKey)) {
        const std::wstring sources = std::wstring(kVideoKey) + L"\\" + gpu + L"\\Sources";
        for (const std::wstring& source : Subkeys(sources)) {
            const std::wstring path = sources + L"\\" + source;
            if (const auto before = SwapSourceDpi(path, dpi))
                m_sources.emplace_back(path, *before);
        }
    }
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &m_key, nullptr) != ERROR_SUCCESS) {
        m_key = nullptr;
        return;
    }
    DWORD size = sizeof m_before;
    m_hadValue = ::RegQueryValueExW(m_key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&m_before), &size) ==
                 ERROR_SUCCESS;
    ::RegSetValueExW(m_key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
}

DisplayDpi::~DisplayDpi()
{
    for (const auto& [path, before] : m_sources)
        SwapSourceDpi(path, before);
    if (m_key == nullptr)
        return;
    if (m_hadValue)
        ::RegSetValueExW(m_key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_before), sizeof m_before);
    else
        ::RegDeleteValueW(m_key, L"LogPixels");
    ::RegCloseKey(m_key);
}

Session::Session()
{
    std::wstring command = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process))
        return;
    m_dialog = WaitForDialog(kMainCaption);
    // The dialog is visible once OnInitDialog is done; idle once it waits for input.
    if (m_dialog != nullptr)
        ::WaitForInputIdle(m_process.hProcess, kMessageDeadlineMs);
}

Session::~Session()
{
    if (m_process.hProcess == nullptr)
        return;
    if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        if (m_dialog != nullptr)
            ::PostMessageW(m_dialog, WM_CLOSE, 0, 0);
        WaitForExit();
    }
    ::CloseHandle(m_process.hThread);
    ::CloseHandle(m_process.hProcess);
}

HWND Session::WaitForDialog(const wchar_t* caption) const
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(caption, m_process.dwProcessId)) != nullptr; });
    return found;
}

bool Session::WaitForExit()
{
    const auto deadline = std::chrono::duration_cast<std::chrono::milliseconds>(kDeadline).count();
    if (::WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(deadline)) == WAIT_OBJECT_0)
        return true;
    ::TerminateProcess(m_process.hProcess, 1);
    ::WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(deadline));
    return false;
}

bool Session::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) const
{
    DWORD_PTR answer = 0;
    const bool sent = ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kMessageDeadlineMs, &answer) != 0;
    if (result != nullptr)
        *result = static_cast<LRESULT>(answer);
    return sent;
}

bool Session::SetText(int id, const std::wstring& text) const
{
    return Send(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring Session::Text(HWND window) const
{
    LRESULT length = 0;
    if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length))
        return L"<no answer>";
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    LRESULT copied = 0;
    Send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &copied);
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied));
}

bool Session::Click(HWND button) const
{
    return Send(button, BM_CLICK, 0, 0);
}

bool Session::ChooseRate(int index) const
{
    HWND list = Item(IDC_BAUD_LIST);
    return Send(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0) &&
           Send(m_dialog, WM_COMMAND, MAKEWPARAM(IDC_BAUD_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool Session::PickFromList(int id, int index) const
{
    if (!Send(Item(id), CB_SHOWDROPDOWN, TRUE, 0))
        return false;
    // The dropped list is a window of its own, above everything, in the program's process.
    HWND list = nullptr;
    WaitUntil([&] {
        list = ::FindWindowW(L"ComboLBox", nullptr);
        return list != nullptr && ::IsWindowVisible(list);
    });
    LRESULT top = 0, height = 0;
    if (list == nullptr || !Send(list, LB_GETTOPINDEX, 0, 0, &top) || !Send(list, LB_GETITEMHEIGHT, 0, 0, &height))
        return false;
    POINT entry{8, static_cast<LONG>((index - top) * height + height / 2)};
    ::ClientToScreen(list, &entry);
    return ClickAt(entry) && WaitUntil([&] { return !::IsWindowVisible(list); });
}

std::optional<POINT> Session::FramePoint(HWND window, LRESULT hitTest) const
{
    RECT frame{};
    ::GetWindowRect(window, &frame);
    // The caption's buttons sit in its top right corner.
    for (LONG y = frame.top; y < frame.top + 40; y += 2) {
        for (LONG x = frame.right - 1; x > frame.right - 80; x -= 2) {
            LRESULT answer = HTNOWHERE;
            if (Send(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), &answer) && answer == hitTest)
                return POINT{x - 3, y + 3};
        }
    }
    return std::nullopt;
}

bool ClickAt(POINT screen)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT clicks[3] = {};
    for (INPUT& input : clicks) {
        input.type = INPUT_MOUSE;
        input.mi.dx = ::MulDiv(screen.x, 65535, width - 1);
        input.mi.dy = ::MulDiv(screen.y, 65535, height - 1);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    clicks[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    clicks[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    return ::SendInput(3, clicks, sizeof(INPUT)) == 3;
}

}  // namespace exe
