#include "ui/CWnd.h"

#include <vector>

#include "ui/CMenu.h"
#include "ui/CWinApp.h"
#include "ui/win32/WindowBinding.h"

using namespace ui_win32;

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr), m_pCurrentMsg(nullptr) {}

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

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
    return reinterpret_cast<HICON>(
        ::SendMessageA(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage current{message, wParam, lParam};
    const CurrentMessage* pPrevious = m_pCurrentMsg;
    m_pCurrentMsg = &current;
    LRESULT result = 0;
    if (!DispatchMessageMap(message, wParam, lParam, &result)) {
        if (!(message == WM_COMMAND && OnUnhandledCommand(wParam, lParam, &result)))
            result = DefWindowProc(message, wParam, lParam);
    }
    m_pCurrentMsg = pPrevious;
    return result;
}

LRESULT CWnd::Default() {
    if (!m_pCurrentMsg)
        return 0;
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

// The window's own procedure (for a dialog the system's dialog handling, for a
// control its class's), else the system's default.
LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnOwn = OwnProcedure(m_hWnd);
    if (pfnOwn)
        return ::CallWindowProcA(pfnOwn, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnUnhandledCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // A command from a menu or a key (not a control's notification) reaches the
    // application's map, as the help command does.
    if (lParam != 0 || HIWORD(static_cast<DWORD>(wParam)) != 0)
        return FALSE;
    return AfxGetApp()->DispatchMessageMap(WM_COMMAND, wParam, lParam, pResult);
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CWnd::OnPaint() {
    Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}
