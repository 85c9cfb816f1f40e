// The record behind a window handle (inside the binding only; exposes Qt).
//
// Handles are tokens from a counter, never reused: a handle kept after its window
// has gone names nothing, and every operation on it fails quietly.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "ui/WinUser.h"

class CWnd;
class QPainter;

namespace ui_internal {

enum class WindowKind {
    Dialog,
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    Edit,
    Static,
    Progress,
    Other
};

struct Window {
    HWND hWnd = nullptr;
    QPointer<QWidget> widget;
    WindowKind kind = WindowKind::Other;
    int nCtrlId = 0;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    HWND hParent = nullptr;           // a control's dialog
    std::vector<HWND> children;       // a dialog's controls, in template order
    CWnd* pAttached = nullptr;        // the object its messages go through
    std::unique_ptr<CWnd> pTemporary; // FromHandle's object when none is attached
    WORD wLower = 0;                  // progress range and position
    WORD wUpper = 100;
    int nPos = 0;
    HICON hIconBig = nullptr;
    HICON hIconSmall = nullptr;
    HMENU hSysMenu = nullptr;
    QPainter* pPaintPainter = nullptr; // set while the window handles WM_PAINT
    std::string strText;               // the text as set (statics keep their '&')
    BOOL bAutoButton = FALSE;          // auto check box or auto radio button
};

// Makes a handle for the widget; the record goes when the widget is destroyed.
HWND RegisterWindow(QWidget* pWidget, WindowKind kind, int nCtrlId, DWORD dwStyle, DWORD dwExStyle,
                    HWND hParent);
Window* FindWindowRecord(HWND hWnd);
HWND FindHandle(const QWidget* pWidget);
// Deletes the widget (and with it its children's records).
void DestroyWindowAndRecord(HWND hWnd);

// The handle of the control's or window's top-level window.
HWND TopLevelOf(HWND hWnd);

// The controls of the group the control belongs to, in template order: a group runs
// from a control with WS_GROUP to the next one. Empty for a control without a dialog.
std::vector<HWND> GroupOf(HWND hCtrl);

// The message spy, when set, sees the message.
void SpyMessage(const Window& w, UINT message, WPARAM wParam, LPARAM lParam);

// The control's notification to its dialog: WM_COMMAND with the id and code.
void NotifyParent(HWND hCtrl, UINT nCode);

QString ToQString(LPCSTR psz);

} // namespace ui_internal
