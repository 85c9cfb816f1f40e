// A menu, addressed through its handle m_hMenu (the program uses the system menu).
#pragma once

#include "kernel/CString.h"
#include "ui/WinUser.h"

class CMenu {
public:
    CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu();

    HMENU m_hMenu;

    // The object bound to the menu, or a temporary one owned by the menu. NULL for none.
    static CMenu* FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    // Adds an entry at the end: MF_STRING with the id and text, or MF_SEPARATOR.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
};
