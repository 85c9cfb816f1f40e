// What the opaque icon, menu and paint-context handles stand for (inside the binding).
#pragma once

#include <QIcon>
#include <QImage>
#include <string>
#include <vector>

#include "ui/WinUser.h"

class QPainter;

struct HICON__ {
    UINT nID = 0;
    QIcon icon;                 // every image of the group
    std::vector<QImage> images; // as the resource holds them, largest first
    // The image of the given size, else the nearest larger, else the largest.
    QImage ImageFor(int cx) const;
};

struct HDC__ {
    HWND hWnd = nullptr;
    QPainter* pPainter = nullptr; // NULL outside the window's painting: nothing is drawn
};

namespace ui_internal {

struct MenuItem {
    UINT nFlags;
    UINT nID;
    std::string strText;
};

struct Menu {
    HMENU hMenu = nullptr;
    HWND hOwner = nullptr;
    std::vector<MenuItem> items;
};

// The system menu a window starts with: move and close.
std::vector<MenuItem> DefaultSystemMenuItems();
Menu* FindMenuRecord(HMENU hMenu);
HMENU CreateMenuRecord(HWND hOwner);
void DestroyMenuRecord(HMENU hMenu);

// Shows the window's system menu at the global position and sends WM_SYSCOMMAND
// with the chosen entry's id after the menu has closed.
void ShowSystemMenu(HWND hWnd, const QPoint& globalPos);

} // namespace ui_internal
