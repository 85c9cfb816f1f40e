#include "ui/CMenu.h"

#include <map>
#include <memory>
#include <vector>

namespace {

// Objects for menus nobody attached; dropped once their menu has gone.
CMenu* TemporaryMenuObject(HMENU hMenu) {
    static std::map<HMENU, std::unique_ptr<CMenu>> temporaries;
    for (auto it = temporaries.begin(); it != temporaries.end();)
        it = IsMenu(it->first) ? std::next(it) : temporaries.erase(it);
    std::unique_ptr<CMenu>& pMenu = temporaries[hMenu];
    if (!pMenu) {
        pMenu = std::make_unique<CMenu>();
        pMenu->m_hMenu = hMenu;
    }
    return pMenu.get();
}

} // namespace

CMenu::CMenu() : m_hMenu(nullptr) {}
CMenu::~CMenu() = default;

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (!hMenu || !IsMenu(hMenu))
        return nullptr;
    return TemporaryMenuObject(hMenu);
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (!hMenu || !IsMenu(hMenu))
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
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

UINT CMenu::GetMenuItemCount() const {
    int n = ::GetMenuItemCount(m_hMenu);
    return n < 0 ? 0xFFFFFFFFu : static_cast<UINT>(n);
}

UINT CMenu::GetMenuItemID(int nPos) const {
    return ::GetMenuItemID(m_hMenu, nPos);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    int n = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    std::vector<char> buffer(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    n = ::GetMenuStringA(m_hMenu, nIDItem, buffer.data(), static_cast<int>(buffer.size()), nFlags);
    rString = CString(buffer.data(), n > 0 ? n : 0);
    return n;
}
