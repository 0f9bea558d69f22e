#include "multiline_edit.h"

#include "window_subclass.h"

#include <cwchar>
#include <string>

namespace win32layer {

namespace {

std::wstring CurrentText(HWND edit)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

// When the new text only adds to the end of the old one, only the addition is inserted: the control
// then lays out the new lines alone instead of the whole text, which matters once the box holds
// megabytes. An old text ending in CR is set anew, so a CR LF split over the two parts is never
// left as two line breaks.
bool AppendExtension(HWND edit, const wchar_t* text)
{
    const std::wstring old = CurrentText(edit);
    const std::size_t length = std::wcslen(text);
    if (old.empty() || length < old.size() || old.back() == L'\r' || old.compare(0, old.size(), text, old.size()) != 0)
        return false;
    ::SendMessageW(edit, EM_SETSEL, old.size(), old.size());
    ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text + old.size()));
    return true;
}

void ShowNewestLine(HWND edit)
{
    const int end = ::GetWindowTextLengthW(edit);
    ::SendMessageW(edit, EM_SETSEL, end, end);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

// Installed with the Unicode call, so WM_SETTEXT arrives here as UTF-16 whoever sent it.
LRESULT CALLBACK MultiLineEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_SETTEXT)
        return CallOriginal(edit, message, wParam, lParam);
    const auto* text = lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"";
    LRESULT result = TRUE;
    if (!AppendExtension(edit, text))
        result = CallOriginal(edit, message, wParam, lParam);
    ShowNewestLine(edit);
    return result;
}

BOOL CALLBACK PrepareIfMultiLineEdit(HWND control, LPARAM)
{
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, static_cast<int>(std::size(className)));
    if (::_wcsicmp(className, L"Edit") == 0 && (::GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE))
        PrepareMultiLineEdit(control);
    return TRUE;
}

}  // namespace

void PrepareMultiLineEdit(HWND edit)
{
    // 0 lifts the limit: only Clear Result ever shortens the box.
    ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    Subclass(edit, MultiLineEditProc);
}

void PrepareMultiLineEdits(HWND dialog)
{
    ::EnumChildWindows(dialog, PrepareIfMultiLineEdit, 0);
}

}  // namespace win32layer
