// What a window object does the same on every platform: its place in the message
// maps, the routing of each message through them (the default handling last), and
// the handlers that only ask for the default.
#include "ui/CWnd.h"

#include "ui/CWinApp.h"

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr), m_pCurrentMsg(nullptr) {}

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
