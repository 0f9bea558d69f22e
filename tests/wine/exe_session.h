// VORNIKAL.EXE run by a test: started, its main dialog found, driven through window messages from
// this process, and ended again. Every wait has a deadline.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace exe {

constexpr auto kDeadline = std::chrono::seconds(20);

class Session {
public:
    // Starts the program; Dialog() is null when it did not come up in time.
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    // A modal dialog of the program with this caption, once it is up; null after the deadline.
    HWND WaitForDialog(const wchar_t* caption) const;
    // True when the program has ended within the deadline; it is ended by force otherwise.
    bool WaitForExit();

    // Synchronous messages: they return once the program has handled them (a whole Send for a
    // click on Send), or fail after the deadline.
    bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) const;
    bool SetText(int id, const std::wstring& text) const;
    std::wstring Text(HWND window) const;
    std::wstring Text(int id) const { return Text(Item(id)); }
    bool Click(HWND button) const;
    bool Click(int id) const { return Click(Item(id)); }
    // Picks a baud list entry as the user does: the selection, then the list's notification.
    bool ChooseRate(int index) const;
    // Drops the combo box `id`'s list and clicks its entry `index` with the mouse.
    bool PickFromList(int id, int index) const;
    // The point of `window`'s frame where the system answers `hitTest` (HTCLOSE: the caption's
    // close button), in screen coordinates.
    std::optional<POINT> FramePoint(HWND window, LRESULT hitTest) const;

private:
    PROCESS_INFORMATION m_process{};
    HWND m_dialog = nullptr;
};

// Polls `condition` until it holds or the deadline passes.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds deadline = kDeadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        ::Sleep(20);
    }
    return true;
}

// The display's DPI for the programs started while this lives. Wine takes the system DPI from the
// LogPixels value when a program starts. Wine 10 also gives each display source a DPI of its own,
// which a per-monitor aware window follows: the session's desktop records it in the source's key
// when it starts, and every program reads it from there as it starts. Both are set, and the values
// the prefix had are put back at the end.
class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi);
    ~DisplayDpi();
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;

private:
    HKEY m_key = nullptr;
    DWORD m_before = 0;
    bool m_hadValue = false;
    // Each display source's key (under HKEY_LOCAL_MACHINE) with the DPI it held.
    std::vector<std::pair<std::wstring, DWORD>> m_sources;
};

// A left click with the system's mouse at `screen`, as a user makes it.
bool ClickAt(POINT screen);

// The program's path in Wine's view of the Linux file system (drive Z:).
std::wstring ProgramPath();

}  // namespace exe
