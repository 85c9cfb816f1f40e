// The free functions of the windowing interface.
#include "ui/WinUser.h"

#include <QApplication>
#include <QScreen>
#include <cstring>

#include "ui/CWnd.h"
#include "ui/internal/DefWindowProc.h"
#include "ui/internal/Window.h"

using namespace ui_internal;

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return 0;
    SpyMessage(*w, Msg, wParam, lParam);
    if (w->pAttached)
        return w->pAttached->WindowProc(Msg, wParam, lParam);
    return DefaultWindowProc(*w, Msg, wParam, lParam);
}

BOOL IsWindow(HWND hWnd) {
    return FindWindowRecord(hWnd) != nullptr;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    SpyMessage(*w, WM_SHOWWINDOW, static_cast<WPARAM>(nCmdShow), 0);
    QWidget* p = w->widget;
    BOOL bWasVisible = !p->isHidden();
    switch (nCmdShow) {
    case SW_HIDE:
        p->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        p->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        p->showMaximized();
        break;
    case SW_RESTORE:
        p->showNormal();
        break;
    default:
        p->show();
        break;
    }
    return bWasVisible;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    SpyMessage(*w, WM_ENABLE, static_cast<WPARAM>(bEnable ? TRUE : FALSE), 0);
    BOOL bWasDisabled = !IsWindowEnabled(hWnd);
    w->widget->setEnabled(bEnable != FALSE);
    return bWasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    QWidget* p = w->widget;
    // A control's own state, as the platform keeps it, whatever its dialog's state.
    return p->isWindow() ? p->isEnabled() : p->isEnabledTo(p->parentWidget());
}

BOOL IsWindowVisible(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w && w->widget->isVisible();
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!IsWindow(hWnd))
        return FALSE;
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = '\0';
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    Window* w = FindWindowRecord(hDlg);
    if (!w)
        return nullptr;
    for (HWND hChild : w->children) {
        Window* c = FindWindowRecord(hChild);
        if (c && c->nCtrlId == nIDDlgItem)
            return hChild;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w ? w->nCtrlId : 0;
}

HWND GetParent(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w && FindWindowRecord(w->hParent) ? w->hParent : nullptr;
}

BOOL IsIconic(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    return w && w->widget->isMinimized();
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpRect)
        return FALSE;
    lpRect->left = 0;
    lpRect->top = 0;
    lpRect->right = w->widget->width();
    lpRect->bottom = w->widget->height();
    return TRUE;
}

HWND GetFocus() {
    return FindHandle(QApplication::focusWidget());
}

HWND SetFocus(HWND hWnd) {
    HWND hPrevious = GetFocus();
    if (Window* w = FindWindowRecord(hWnd))
        w->widget->setFocus(Qt::OtherFocusReason);
    return hPrevious;
}

int GetSystemMetrics(int nIndex) {
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXSCREEN:
    case SM_CYSCREEN:
        if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
            QRect r = pScreen->geometry();
            return nIndex == SM_CXSCREEN ? r.width() : r.height();
        }
        return 0;
    default:
        return 0;
    }
}
