#include "ui/internal/DialogWidget.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>

#include "res/resource.h"
#include "ui/CWnd.h"
#include "ui/internal/Handles.h"
#include "ui/internal/Window.h"

namespace ui_internal {

DialogWidget::DialogWidget(Qt::WindowFlags flags) : QWidget(nullptr, flags) {}

namespace {

bool IsAltSpace(const QKeyEvent* pKey) {
    return pKey->key() == Qt::Key_Space &&
           (pKey->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

} // namespace

void DialogWidget::WatchControl(QWidget* pControl) {
    pControl->installEventFilter(this);
}

void DialogWidget::keyPressEvent(QKeyEvent* pEvent) {
    Qt::KeyboardModifiers mods = pEvent->modifiers() & ~Qt::KeypadModifier;
    if (IsAltSpace(pEvent)) {
        ShowSystemMenuAt(mapToGlobal(QPoint(0, 0)));
        return;
    }
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::NoModifier) {
            ActivateDefaultButton();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (mods == Qt::NoModifier) {
            SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(m_hWnd, IDCANCEL)));
            return;
        }
        break;
    case Qt::Key_F1:
        if (mods == Qt::NoModifier) {
            SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(pEvent);
}

// Enter: the push button with the focus, else the default push button, else IDOK.
void DialogWidget::ActivateDefaultButton() {
    HWND hTarget = nullptr;
    Window* pFocus = FindWindowRecord(FindHandle(focusWidget()));
    if (pFocus && pFocus->kind == WindowKind::PushButton && pFocus->hParent == m_hWnd) {
        hTarget = pFocus->hWnd;
    } else if (Window* pDialog = FindWindowRecord(m_hWnd)) {
        for (HWND hChild : pDialog->children) {
            Window* c = FindWindowRecord(hChild);
            if (c && c->kind == WindowKind::PushButton &&
                (c->dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                hTarget = hChild;
                break;
            }
        }
    }
    int nID = IDOK;
    if (hTarget) {
        if (!IsWindowEnabled(hTarget) || !IsWindowVisible(hTarget))
            return;
        nID = GetDlgCtrlID(hTarget);
    }
    SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                 reinterpret_cast<LPARAM>(hTarget));
}

void DialogWidget::closeEvent(QCloseEvent* pEvent) {
    // The close box is the system menu's close command; the dialog ends through it.
    pEvent->ignore();
    SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWidget::paintEvent(QPaintEvent*) {
    Window* w = FindWindowRecord(m_hWnd);
    if (!w || !w->pAttached)
        return;
    QPainter painter(this);
    w->pPaintPainter = &painter;
    w->pAttached->WindowProc(WM_PAINT, 0, 0);
    if ((w = FindWindowRecord(m_hWnd)) != nullptr)
        w->pPaintPainter = nullptr;
}

void DialogWidget::contextMenuEvent(QContextMenuEvent* pEvent) {
    ShowSystemMenuAt(pEvent->globalPos());
}

void DialogWidget::ShowSystemMenuAt(const QPoint& globalPos) {
    Window* w = FindWindowRecord(m_hWnd);
    if (w && (w->dwStyle & WS_SYSMENU))
        ShowSystemMenu(m_hWnd, globalPos);
}

bool DialogWidget::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() != QEvent::KeyPress && pEvent->type() != QEvent::KeyRelease)
        return false;
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    // Alt+Space is the system menu, never a press of the focused button.
    if (IsAltSpace(pKey)) {
        if (pEvent->type() == QEvent::KeyPress)
            ShowSystemMenuAt(mapToGlobal(QPoint(0, 0)));
        return true;
    }
    if (pEvent->type() != QEvent::KeyPress)
        return false;
    if ((pKey->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    bool bForward;
    switch (pKey->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
        bForward = true;
        break;
    case Qt::Key_Up:
    case Qt::Key_Left:
        bForward = false;
        break;
    default:
        return false;
    }
    if (!qobject_cast<QAbstractButton*>(pWatched))
        return false; // an edit field keeps its arrow keys
    MoveInGroup(FindHandle(static_cast<QWidget*>(pWatched)), bForward);
    return true;
}

// The next control of the same group (a group runs from a WS_GROUP control to the
// next), wrapping within it, skipping what is hidden, disabled or takes no focus.
// An auto radio button reached this way is clicked.
bool DialogWidget::MoveInGroup(HWND hFrom, bool bForward) {
    std::vector<HWND> group = GroupOf(hFrom);
    int len = static_cast<int>(group.size());
    int i = 0;
    while (i < len && group[static_cast<std::size_t>(i)] != hFrom)
        ++i;
    if (i == len)
        return false;
    for (int step = 1; step < len; ++step) {
        int k = (i + (bForward ? step : len - step)) % len;
        Window* t = FindWindowRecord(group[static_cast<std::size_t>(k)]);
        QWidget* p = t->widget;
        if (!p->isVisible() || !p->isEnabled() || p->focusPolicy() == Qt::NoFocus)
            continue;
        p->setFocus(Qt::OtherFocusReason);
        if (t->kind == WindowKind::RadioButton && t->bAutoButton)
            static_cast<QAbstractButton*>(p)->click();
        return true;
    }
    return false;
}

} // namespace ui_internal
