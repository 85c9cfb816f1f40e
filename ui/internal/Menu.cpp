#include <QAction>
#include <QMenu>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "ui/CMenu.h"
#include "ui/internal/Handles.h"
#include "ui/internal/Window.h"

namespace ui_internal {

namespace {

struct MenuSlot {
    Menu menu;
    std::unique_ptr<CMenu> pTemporary;
};

std::unordered_map<HMENU, std::unique_ptr<MenuSlot>>& Menus() {
    static std::unordered_map<HMENU, std::unique_ptr<MenuSlot>> menus;
    return menus;
}

} // namespace

std::vector<MenuItem> DefaultSystemMenuItems() {
    return {{MF_STRING, SC_MOVE, "&Verschieben"}, {MF_STRING, SC_CLOSE, "&Schließen"}};
}

Menu* FindMenuRecord(HMENU hMenu) {
    auto it = Menus().find(hMenu);
    return it == Menus().end() ? nullptr : &it->second->menu;
}

HMENU CreateMenuRecord(HWND hOwner) {
    static std::uintptr_t next = 0x2000;
    next += 4;
    HMENU hMenu = reinterpret_cast<HMENU>(next);
    auto pSlot = std::make_unique<MenuSlot>();
    pSlot->menu.hMenu = hMenu;
    pSlot->menu.hOwner = hOwner;
    Menus()[hMenu] = std::move(pSlot);
    return hMenu;
}

void DestroyMenuRecord(HMENU hMenu) {
    auto it = Menus().find(hMenu);
    if (it == Menus().end())
        return;
    std::unique_ptr<MenuSlot> pSlot = std::move(it->second);
    Menus().erase(it);
    if (pSlot->pTemporary)
        pSlot->pTemporary->m_hMenu = nullptr;
}

CMenu* TemporaryMenuObject(HMENU hMenu) {
    auto it = Menus().find(hMenu);
    if (it == Menus().end())
        return nullptr;
    if (!it->second->pTemporary) {
        it->second->pTemporary = std::make_unique<CMenu>();
        it->second->pTemporary->m_hMenu = hMenu;
    }
    return it->second->pTemporary.get();
}

void ShowSystemMenu(HWND hWnd, const QPoint& globalPos) {
    HMENU hMenu = GetSystemMenu(hWnd, FALSE);
    Menu* pMenu = FindMenuRecord(hMenu);
    if (!pMenu)
        return;
    QMenu popup;
    for (const MenuItem& item : pMenu->items) {
        if (item.nFlags & MF_SEPARATOR) {
            popup.addSeparator();
            continue;
        }
        QAction* pAction = popup.addAction(QString::fromUtf8(item.strText.c_str()));
        pAction->setData(item.nID);
        pAction->setEnabled((item.nFlags & (MF_GRAYED | MF_DISABLED)) == 0);
        if (item.nFlags & MF_CHECKED) {
            pAction->setCheckable(true);
            pAction->setChecked(true);
        }
    }
    UINT nChosen = 0;
    QObject::connect(&popup, &QMenu::triggered,
                     [&nChosen](QAction* pAction) { nChosen = pAction->data().toUInt(); });
    popup.exec(globalPos);
    // The command goes to the window once the menu has closed, as the platform does.
    if (nChosen != 0 && IsWindow(hWnd))
        SendMessageA(hWnd, WM_SYSCOMMAND, nChosen, 0);
}

} // namespace ui_internal

using namespace ui_internal;

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return nullptr;
    if (bRevert) {
        if (Menu* pMenu = FindMenuRecord(w->hSysMenu))
            pMenu->items = DefaultSystemMenuItems();
        return nullptr;
    }
    if (!FindMenuRecord(w->hSysMenu)) {
        w->hSysMenu = CreateMenuRecord(hWnd);
        FindMenuRecord(w->hSysMenu)->items = DefaultSystemMenuItems();
    }
    return w->hSysMenu;
}

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    Menu* pMenu = FindMenuRecord(hMenu);
    if (!pMenu)
        return FALSE;
    if (uFlags & MF_SEPARATOR)
        pMenu->items.push_back({uFlags, 0, std::string()});
    else
        pMenu->items.push_back({uFlags, static_cast<UINT>(uIDNewItem), lpNewItem ? lpNewItem : ""});
    return TRUE;
}

int GetMenuItemCount(HMENU hMenu) {
    Menu* pMenu = FindMenuRecord(hMenu);
    return pMenu ? static_cast<int>(pMenu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
    Menu* pMenu = FindMenuRecord(hMenu);
    if (!pMenu || nPos < 0 || nPos >= static_cast<int>(pMenu->items.size()))
        return 0xFFFFFFFFu;
    return pMenu->items[static_cast<std::size_t>(nPos)].nID;
}

int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    Menu* pMenu = FindMenuRecord(hMenu);
    if (!pMenu)
        return 0;
    const MenuItem* pItem = nullptr;
    if (flags & MF_BYPOSITION) {
        if (uIDItem < pMenu->items.size())
            pItem = &pMenu->items[uIDItem];
    } else {
        for (const MenuItem& item : pMenu->items) {
            if (!(item.nFlags & MF_SEPARATOR) && item.nID == uIDItem) {
                pItem = &item;
                break;
            }
        }
    }
    if (!pItem)
        return 0;
    int n = static_cast<int>(pItem->strText.size());
    if (lpString && cchMax > 0) {
        n = std::min(n, cchMax - 1);
        std::memcpy(lpString, pItem->strText.data(), static_cast<std::size_t>(n));
        lpString[n] = '\0';
    }
    return n;
}
