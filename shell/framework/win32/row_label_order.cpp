#include "row_label_order.h"

#include "row_labels.h"

#include <string>
#include <vector>

namespace win32layer {

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    return name;
}

bool IsTextLabel(HWND window)
{
    return ::_wcsicmp(ClassOf(window).c_str(), L"Static") == 0 &&
           (::GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT;
}

bool IsEntryField(HWND window)
{
    const std::wstring kind = ClassOf(window);
    if (::_wcsicmp(kind.c_str(), L"ComboBox") == 0)
        return true;
    return ::_wcsicmp(kind.c_str(), L"Edit") == 0 && !(::GetWindowLongW(window, GWL_STYLE) & ES_MULTILINE);
}

RECT BoxIn(HWND dialog, HWND control)
{
    RECT box;
    ::GetWindowRect(control, &box);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

}  // namespace

void PlaceRowLabelsBeforeTheirFields(HWND dialog)
{
    std::vector<HWND> labels;
    std::vector<RECT> labelBoxes;
    std::vector<HWND> fields;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (IsTextLabel(child)) {
            labels.push_back(child);
            labelBoxes.push_back(BoxIn(dialog, child));
        } else if (IsEntryField(child)) {
            fields.push_back(child);
        }
    }
    for (HWND field : fields) {
        const int label = RowLabelOf(labelBoxes, BoxIn(dialog, field));
        if (label < 0)
            continue;
        HWND before = ::GetWindow(field, GW_HWNDPREV);
        const HWND moved = labels[static_cast<std::size_t>(label)];
        if (before == moved)
            continue;
        // Inserted after the control that precedes the field, or first of all when none does.
        ::SetWindowPos(moved, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
}

}  // namespace win32layer
