#include "ui/CMenu.h"

#include <vector>

#include "ui/internal/Handles.h"

namespace ui_internal {
CMenu* TemporaryMenuObject(HMENU hMenu);
}

CMenu::CMenu() : m_hMenu(nullptr) {}
CMenu::~CMenu() = default;

CMenu* CMenu::FromHandle(HMENU hMenu) {
    return ui_internal::TemporaryMenuObject(hMenu);
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (!ui_internal::FindMenuRecord(hMenu))
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

UINT CMenu::GetMenuItemCount() const {
    int n = ::GetMenuItemCount(m_hMenu);
    return n < 0 ? 0xFFFFFFFFu : static_cast<UINT>(n);
}

UINT CMenu::GetMenuItemID(int nPos) const {
    return ::GetMenuItemID(m_hMenu, nPos);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    int n = GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\0');
    n = GetMenuStringA(m_hMenu, nIDItem, buffer.data(), n + 1, nFlags);
    rString = CString(buffer.data(), n);
    return n;
}
