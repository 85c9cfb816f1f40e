// The tie between a window and the object that handles its messages. A bound window's
// procedure is ours: every message goes to the object's WindowProc first (and through
// its message map), and what the map leaves reaches the window's own procedure
// (CWnd::DefWindowProc). When the window is destroyed the tie goes with it and the
// object's m_hWnd is cleared.
#pragma once

#include "ui/CWnd.h"

namespace ui_win32 {

// FALSE when there is no such window or another object is bound to it already.
BOOL BindWindow(HWND hWnd, CWnd* pWnd);
// Gives the window its own procedure back; only the object bound may do so.
void UnbindWindow(HWND hWnd, CWnd* pWnd);
// The object bound to the window, else NULL.
CWnd* BoundObject(HWND hWnd);
// The window's own procedure, saved when it was bound; NULL for a window not bound.
WNDPROC OwnProcedure(HWND hWnd);
// An object for a window nobody bound; it lives as long as the window.
CWnd* TemporaryObject(HWND hWnd);

} // namespace ui_win32
