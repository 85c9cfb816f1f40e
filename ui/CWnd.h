// A window or control, addressed through its handle m_hWnd.
#pragma once

#include "kernel/CString.h"
#include "ui/CCmdTarget.h"
#include "ui/WinUser.h"

class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override; // detaches; the window itself is destroyed by its owner

    HWND m_hWnd;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to the window, or a temporary one owned by the window (lives
    // as long as the window). NULL for no window.
    static CWnd* FromHandle(HWND hWnd);

    // Binds this object to the window: its messages then go through this object's
    // message map. FALSE when the window does not exist or is bound already.
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(CString& rString) const;
    int GetDlgCtrlID() const;
    CWnd* GetDlgItem(int nID) const;
    CWnd* SetFocus();

    // A message box owned by this window: this window is disabled while it is open.
    // A null caption gives the application's name.
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // FALSE: the window's own copy of its system menu (made on first use); TRUE:
    // the copy goes back to the default and NULL is returned.
    CMenu* GetSystemMenu(BOOL bRevert) const;
    BOOL IsIconic() const;
    void GetClientRect(LPRECT lpRect) const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;

    // Runs the message through the message map, else the default handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The default handling of the message being handled right now.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND nobody in the map handled: handed on to the application's map.
    virtual BOOL OnUnhandledCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();

    DECLARE_MESSAGE_MAP()

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const CurrentMessage* m_pCurrentMsg;
};
