#include "row_label_order.h"

#include "row_labels.h"

#include <map>
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

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Each control's group in the template: the arrow keys move within one, from a control with
// WS_GROUP up to the next such control. The controls before the first WS_GROUP count as a group
// of their own (for the main dialog, its two buttons).
std::map<HWND, int> TemplateGroups(HWND dialog)
{
    std::map<HWND, int> groups;
    int group = 0;
    for (HWND child : Children(dialog)) {
        if (::GetWindowLongW(child, GWL_STYLE) & WS_GROUP)
            ++group;
        groups[child] = group;
    }
    return groups;
}

// After the move, every control that follows one of another group, and the first control, starts
// a group. The dialog manager's groups wrap around the end of the list, so without a start of its
// own the first group would run on from the last one; with these marks the arrow keys on the two
// buttons go from one to the other and never into the result box, the baud list or a label.
void KeepTemplateGroups(HWND dialog, const std::map<HWND, int>& groups)
{
    HWND previous = nullptr;
    for (HWND child : Children(dialog)) {
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if ((previous == nullptr || groups.at(child) != groups.at(previous)) && !(style & WS_GROUP))
            ::SetWindowLongW(child, GWL_STYLE, style | WS_GROUP);
        previous = child;
    }
}

}  // namespace

void PlaceRowLabelsBeforeTheirFields(HWND dialog)
{
    const std::map<HWND, int> groups = TemplateGroups(dialog);
    std::vector<HWND> labels;
    std::vector<RECT> labelBoxes;
    std::vector<HWND> fields;
    for (HWND child : Children(dialog)) {
        if (IsTextLabel(child)) {
            labels.push_back(child);
            labelBoxes.push_back(BoxIn(dialog, child));
        } else if (IsEntryField(child)) {
            fields.push_back(child);
        }
    }
    bool moved = false;
    for (HWND field : fields) {
        const int label = RowLabelOf(labelBoxes, BoxIn(dialog, field));
        if (label < 0)
            continue;
        HWND before = ::GetWindow(field, GW_HWNDPREV);
        const HWND labelWindow = labels[static_cast<std::size_t>(label)];
        if (before == labelWindow)
            continue;
        // Inserted after the control that precedes the field, or first of all when none does.
        ::SetWindowPos(labelWindow, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        moved = true;
    }
    // A dialog whose labels already stood before their fields keeps its template untouched.
    if (moved)
        KeepTemplateGroups(dialog, groups);
}

}  // namespace win32layer
