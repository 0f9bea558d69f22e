// CMenu: a menu of the class library, wrapping a platform menu handle it does not own.
#pragma once

#include "win32_names.h"

class CMenu {
public:
    explicit CMenu(HMENU menu = nullptr) : m_hMenu(menu) {}
    HMENU m_hMenu;

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCTSTR text = nullptr)
    {
        return ::AppendMenuA(m_hMenu, flags, id, text);
    }
};
