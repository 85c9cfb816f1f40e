// Looking at another process's windows from a test running under Wine: the system
// passes WM_GETTEXT, BM_GETCHECK and the state queries across processes.
#pragma once

#include <windows.h>

#include <string>

// The visible top-level window with exactly this title (ANSI), of process dwProcessId
// when that is not 0; NULL when there is none.
HWND FindVisibleWindow(const std::string& strTitle, DWORD dwProcessId = 0);
// Waits up to dwMillis for it.
HWND WaitForVisibleWindow(const std::string& strTitle, DWORD dwProcessId, DWORD dwMillis);

// The window's text, asked of the window itself (GetWindowTextA does not ask a window
// of another process), in the ANSI code page.
std::string WindowText(HWND hWnd);
// BM_GETCHECK of the dialog's control.
int CheckOf(HWND hDlg, int nID);

// ANSI code page to UTF-8, for output that a shell script compares.
std::string Utf8(const std::string& strAnsi);
