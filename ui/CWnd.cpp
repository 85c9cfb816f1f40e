#include "ui/CWnd.h"

#include <vector>

#include "ui/CMenu.h"
#include "ui/CWinApp.h"
#include "ui/internal/DefWindowProc.h"
#include "ui/internal/Window.h"

using namespace ui_internal;

CWnd::~CWnd() {
    Window* w = FindWindowRecord(m_hWnd);
    if (w && w->pAttached == this)
        w->pAttached = nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return nullptr;
    if (w->pAttached)
        return w->pAttached;
    if (!w->pTemporary) {
        w->pTemporary = std::make_unique<CWnd>();
        w->pTemporary->m_hWnd = hWnd;
    }
    return w->pTemporary.get();
}

BOOL CWnd::Attach(HWND hWndNew) {
    Window* w = FindWindowRecord(hWndNew);
    if (!w || (w->pAttached && w->pAttached != this))
        return FALSE;
    w->pAttached = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    Window* w = FindWindowRecord(hWnd);
    if (w && w->pAttached == this)
        w->pAttached = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const {
    int n = static_cast<int>(SendMessageA(m_hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\0');
    n = GetWindowTextA(m_hWnd, buffer.data(), n + 1);
    rString = CString(buffer.data(), n);
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
    if (!lpszCaption)
        lpszCaption = AfxGetApp()->m_pszAppName;
    return MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (!::GetClientRect(m_hWnd, lpRect) && lpRect)
        *lpRect = RECT{0, 0, 0, 0};
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowRecord(m_hWnd);
    return w ? DefaultWindowProc(*w, message, wParam, lParam) : 0;
}
