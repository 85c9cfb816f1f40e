#include "ui/internal/Window.h"

#include <QObject>
#include <unordered_map>

#include "ui/CWinApp.h"
#include "ui/CWnd.h"
#include "ui/internal/Handles.h"

namespace ui_internal {

namespace {

const char kHandleProperty[] = "korvantoHwnd";

std::unordered_map<HWND, std::unique_ptr<Window>>& Registry() {
    static std::unordered_map<HWND, std::unique_ptr<Window>> registry;
    return registry;
}

HWND NextHandle() {
    static std::uintptr_t next = 0x1000;
    next += 4;
    return reinterpret_cast<HWND>(next);
}

// The widget is going: its object no longer names a window, its menu goes with it.
void ForgetWindow(HWND hWnd) {
    auto it = Registry().find(hWnd);
    if (it == Registry().end())
        return;
    std::unique_ptr<Window> pWindow = std::move(it->second);
    Registry().erase(it);
    if (pWindow->pAttached) {
        pWindow->pAttached->m_hWnd = nullptr;
        // The main window's object no longer stands for a window.
        if (AfxGetApp()->m_pMainWnd == pWindow->pAttached)
            AfxGetApp()->m_pMainWnd = nullptr;
    }
    if (pWindow->pTemporary)
        pWindow->pTemporary->m_hWnd = nullptr;
    if (pWindow->hSysMenu)
        DestroyMenuRecord(pWindow->hSysMenu);
    if (Window* pParent = FindWindowRecord(pWindow->hParent)) {
        auto& c = pParent->children;
        for (auto ci = c.begin(); ci != c.end(); ++ci) {
            if (*ci == hWnd) {
                c.erase(ci);
                break;
            }
        }
    }
}

} // namespace

HWND RegisterWindow(QWidget* pWidget, WindowKind kind, int nCtrlId, DWORD dwStyle, DWORD dwExStyle,
                    HWND hParent) {
    auto pWindow = std::make_unique<Window>();
    HWND hWnd = NextHandle();
    pWindow->hWnd = hWnd;
    pWindow->widget = pWidget;
    pWindow->kind = kind;
    pWindow->nCtrlId = nCtrlId;
    pWindow->dwStyle = dwStyle;
    pWindow->dwExStyle = dwExStyle;
    pWindow->hParent = hParent;
    Registry()[hWnd] = std::move(pWindow);
    if (Window* pParent = FindWindowRecord(hParent))
        pParent->children.push_back(hWnd);
    pWidget->setProperty(kHandleProperty, QVariant::fromValue(reinterpret_cast<quintptr>(hWnd)));
    QObject::connect(pWidget, &QObject::destroyed, [hWnd]() { ForgetWindow(hWnd); });
    return hWnd;
}

Window* FindWindowRecord(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    auto it = Registry().find(hWnd);
    if (it == Registry().end() || !it->second->widget)
        return nullptr;
    return it->second.get();
}

HWND FindHandle(const QWidget* pWidget) {
    if (!pWidget)
        return nullptr;
    QVariant v = pWidget->property(kHandleProperty);
    if (!v.isValid())
        return nullptr;
    HWND hWnd = reinterpret_cast<HWND>(v.value<quintptr>());
    return FindWindowRecord(hWnd) ? hWnd : nullptr;
}

void DestroyWindowAndRecord(HWND hWnd) {
    Window* pWindow = FindWindowRecord(hWnd);
    if (!pWindow)
        return;
    QWidget* pWidget = pWindow->widget;
    // Children first, so that each record goes while its widget is still whole.
    std::vector<HWND> children = pWindow->children;
    for (HWND hChild : children)
        DestroyWindowAndRecord(hChild);
    ForgetWindow(hWnd);
    delete pWidget;
}

HWND TopLevelOf(HWND hWnd) {
    Window* pWindow = FindWindowRecord(hWnd);
    while (pWindow && pWindow->hParent) {
        Window* pParent = FindWindowRecord(pWindow->hParent);
        if (!pParent)
            break;
        pWindow = pParent;
    }
    return pWindow ? pWindow->hWnd : nullptr;
}

std::vector<HWND> GroupOf(HWND hCtrl) {
    Window* pCtrl = FindWindowRecord(hCtrl);
    Window* pDialog = pCtrl ? FindWindowRecord(pCtrl->hParent) : nullptr;
    if (!pDialog)
        return {};
    const std::vector<HWND>& c = pDialog->children;
    std::size_t i = 0;
    while (i < c.size() && c[i] != hCtrl)
        ++i;
    if (i == c.size())
        return {};
    auto starts = [&](std::size_t k) { return (FindWindowRecord(c[k])->dwStyle & WS_GROUP) != 0; };
    std::size_t start = i;
    while (start > 0 && !starts(start))
        --start;
    std::size_t end = i + 1;
    while (end < c.size() && !starts(end))
        ++end;
    return std::vector<HWND>(c.begin() + static_cast<std::ptrdiff_t>(start),
                             c.begin() + static_cast<std::ptrdiff_t>(end));
}

void NotifyParent(HWND hCtrl, UINT nCode) {
    Window* pCtrl = FindWindowRecord(hCtrl);
    if (!pCtrl || !pCtrl->hParent)
        return;
    SendMessageA(pCtrl->hParent, WM_COMMAND, MAKEWPARAM(pCtrl->nCtrlId, static_cast<int>(nCode)),
                 reinterpret_cast<LPARAM>(hCtrl));
}

QString ToQString(LPCSTR psz) {
    return psz ? QString::fromUtf8(psz) : QString();
}

} // namespace ui_internal
