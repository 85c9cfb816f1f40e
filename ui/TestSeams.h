// Test-only hooks into the windowing binding. Every seam is off unless a test turns
// it on; the program never does.
#pragma once

#include <functional>

#include "kernel/CString.h"
#include "ui/WinUser.h"

// Sees every message that goes through SendMessageA (and so CWnd::SendMessage and the
// control classes) to a window or control, before it is handled. CWnd::ShowWindow,
// EnableWindow and SetWindowText are seen as WM_SHOWWINDOW (wParam the nCmdShow),
// WM_ENABLE (wParam the flag) and WM_SETTEXT (lParam the text). nCtrlId is 0 for a
// dialog window. {} turns the spy off.
struct SpiedMessage {
    HWND hWnd;
    int nCtrlId;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
void SetMessageSpy(std::function<void(const SpiedMessage&)> spy);

// Answers message boxes. Called while the real box is open, from inside its own loop
// (so the responder may click other windows, even start nested runs); the box then
// closes with the returned id. {} turns it off.
struct BoxCall {
    HWND hOwner; // the top-level owner, NULL for none
    CString text;
    CString caption;
    UINT type;
};
void SetBoxResponder(std::function<int(const BoxCall&)> responder);

// Answers file dialogs. Called while the real dialog is open: TRUE confirms it with
// `path` (the dialog's initial choice is passed in), FALSE cancels it.
void SetFileDialogResponder(std::function<BOOL(CString& path)> responder);

// A standalone control for tests without a dialog: class "msctls_progress32",
// "BUTTON" (a style such as BS_AUTOCHECKBOX picks the kind), "EDIT", "STATIC".
HWND CreateTestControl(LPCSTR lpClassName, int nCtrlId, BOOL bVisible, DWORD dwStyle = 0);
void DestroyTestControl(HWND hWnd);
