#include "ui/CWnd.h"

#include <vector>

#include "ui/CMenu.h"
#include "ui/CWinApp.h"
#include "ui/win32/WindowBinding.h"

using namespace ui_win32;

CWnd::~CWnd() {
    if (m_hWnd)
        UnbindWindow(m_hWnd, this);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd || !IsWindow(hWnd))
        return nullptr;
    CWnd* pWnd = BoundObject(hWnd);
    return pWnd ? pWnd : TemporaryObject(hWnd);
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!BindWindow(hWndNew, this))
        return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd)
        UnbindWindow(hWnd, this);
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
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
    ::SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const {
    int n = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(m_hWnd, buffer.data(), n + 1);
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
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
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

// The window's own procedure (for a dialog the system's dialog handling, for a
// control its class's), else the system's default.
LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnOwn = OwnProcedure(m_hWnd);
    if (pfnOwn)
        return ::CallWindowProcA(pfnOwn, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
