// The dialog's system menu on Linux. The window manager draws the caption and owns its menu, so the
// layer keeps the dialog's own: the entries a Windows dialog's system menu has that make sense
// here, plus what AppendMenu adds, shown as a popup.
#pragma once

#include "win32_names.h"

#include <QPoint>
#include <QString>

#include <vector>

class QWidget;

struct MenuEntry {
    UINT flags = MF_STRING;
    UINT_PTR command = 0;
    QString text;  // with its & mnemonic
};

struct HMENU__ {
    HMENU__();
    std::vector<MenuEntry> entries;

    // Shows the menu and waits for a choice: the chosen command, or 0.
    UINT Choose(QWidget* parent, const QPoint& globalPosition) const;
    void Revert();
};

namespace qtlayer {
using SystemMenu = HMENU__;
}
