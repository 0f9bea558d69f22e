// What a window handle stands for on Linux: a Qt widget made from a dialog template, its control
// identifier and kind, and the 8-bit text the Win32 calls see.
#pragma once

#include "win32_names.h"

#include <QPointer>
#include <QWidget>

#include <string>

class CWnd;

enum class ControlKind { Dialog, PushButton, Static, StaticIcon, Edit, MultiLineEdit, ComboBox, Other };

struct HWND__ {
    QPointer<QWidget> widget;
    ControlKind kind = ControlKind::Other;
    int id = 0;
    DWORD style = 0;
    HWND parent = nullptr;
    CWnd* owner = nullptr;  // the class-library window that handles a dialog's messages

    // The exact 8-bit text last set on a read-only multi-line edit; nothing else can change it, so
    // reads need no conversion from the widget and appends can be shown incrementally.
    std::string text;
    // The combo box's selection as the Win32 list reports it; typing in its field clears it.
    int comboSelection = -1;
    // The icons WM_SETICON gave the window.
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
};

namespace qtlayer {

// Live handles only: a handle whose window is gone answers nothing instead of crashing.
HWND RegisterWindow(HWND__ record);
void UnregisterWindow(HWND window);
HWND__* Lookup(HWND window);
// The handle of a widget the layer made, or nullptr.
HWND FindHandle(const QWidget* widget);
// The handle of a dialog's child control `id`, or nullptr.
HWND FindChild(HWND dialog, int id);

}  // namespace qtlayer
