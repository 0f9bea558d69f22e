#include "system_menu.h"

#include "dialog_window.h"

#include <QMenu>

HMENU__::HMENU__()
{
    Revert();
}

void HMENU__::Revert()
{
    // A dialog with a modal frame and neither sizing nor minimize and maximize boxes.
    entries = {
        {MF_STRING, SC_MOVE, QStringLiteral("&Move")},
        {MF_STRING, SC_CLOSE, QStringLiteral("&Close\tAlt+F4")},
    };
}

UINT HMENU__::Choose(QWidget* parent, const QPoint& globalPosition) const
{
    QMenu menu(parent);
    for (const MenuEntry& entry : entries) {
        if (entry.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(entry.text);
        action->setData(QVariant::fromValue(static_cast<qulonglong>(entry.command)));
        action->setEnabled(!(entry.flags & MF_GRAYED));
    }
    QAction* chosen = menu.exec(globalPosition);
    return chosen ? static_cast<UINT>(chosen->data().toULongLong()) : 0;
}

HMENU GetSystemMenu(HWND window, BOOL revert)
{
    qtlayer::DialogWindow* dialog = qtlayer::DialogOf(window);
    if (dialog == nullptr || dialog->Menu() == nullptr)
        return nullptr;
    if (revert) {
        dialog->Menu()->Revert();
        return nullptr;
    }
    return dialog->Menu();
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    if (menu == nullptr)
        return FALSE;
    MenuEntry entry;
    entry.flags = flags;
    entry.command = id;
    if (!(flags & MF_SEPARATOR))
        entry.text = QString::fromUtf8(text ? text : "");
    menu->entries.push_back(std::move(entry));
    return TRUE;
}
