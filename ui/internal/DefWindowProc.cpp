#include "ui/internal/DefWindowProc.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPainter>
#include <QWindow>
#include <cstring>

#include "ui/internal/Controls.h"
#include "ui/internal/Handles.h"

namespace ui_internal {

namespace {

bool IsCheckable(const Window& w) {
    return w.kind == WindowKind::CheckBox || w.kind == WindowKind::RadioButton;
}

LRESULT GetCheck(const Window& w) {
    if (!IsCheckable(w))
        return BST_UNCHECKED;
    auto* p = static_cast<QAbstractButton*>(w.widget.data());
    if (auto* pBox = qobject_cast<QCheckBox*>(p)) {
        if (pBox->checkState() == Qt::PartiallyChecked)
            return 2;
    }
    return p->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

// Changes the mark only: no click, no notification.
void SetCheck(const Window& w, WPARAM wParam) {
    if (!IsCheckable(w))
        return;
    auto* p = static_cast<QAbstractButton*>(w.widget.data());
    auto* pBox = qobject_cast<QCheckBox*>(p);
    if (pBox && pBox->isTristate() && wParam == 2)
        pBox->setCheckState(Qt::PartiallyChecked);
    else
        p->setChecked(wParam != BST_UNCHECKED);
}

LRESULT SetRange(Window& w, LPARAM lParam) {
    LRESULT previous = MAKELPARAM(w.wLower, w.wUpper);
    w.wLower = LOWORD(static_cast<DWORD>(lParam));
    w.wUpper = HIWORD(static_cast<DWORD>(lParam));
    if (w.nPos < w.wLower)
        w.nPos = w.wLower;
    if (w.nPos > w.wUpper)
        w.nPos = w.wUpper;
    ApplyProgress(w);
    return previous;
}

LRESULT SetPos(Window& w, WPARAM wParam) {
    LRESULT previous = w.nPos;
    int nPos = static_cast<int>(wParam);
    if (nPos < w.wLower)
        nPos = w.wLower;
    if (nPos > w.wUpper)
        nPos = w.wUpper;
    w.nPos = nPos;
    ApplyProgress(w);
    return previous;
}

LRESULT GetText(const Window& w, WPARAM wParam, LPARAM lParam) {
    char* pBuffer = reinterpret_cast<char*>(lParam);
    if (!pBuffer || wParam == 0)
        return 0;
    std::string text = CurrentWindowText(w);
    std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
    std::memcpy(pBuffer, text.data(), n);
    pBuffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT SetIcon(Window& w, WPARAM wParam, LPARAM lParam) {
    HICON hIcon = reinterpret_cast<HICON>(lParam);
    HICON& slot = (wParam == ICON_BIG) ? w.hIconBig : w.hIconSmall;
    HICON previous = slot;
    slot = hIcon;
    ApplyWindowIcon(w);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT EraseIconBackground(Window& w, WPARAM wParam) {
    HDC hDC = reinterpret_cast<HDC>(wParam);
    if (!hDC || !hDC->pPainter)
        return 0;
    hDC->pPainter->fillRect(w.widget->rect(), w.widget->palette().window());
    return 1;
}

LRESULT SysCommand(Window& w, WPARAM wParam) {
    HWND hWnd = w.hWnd;
    QWidget* pWidget = w.widget;
    switch (static_cast<UINT>(wParam) & 0xFFF0u) {
    case SC_CLOSE:
        SendMessageA(hWnd, WM_CLOSE, 0, 0);
        break;
    case SC_MOVE:
        if (QWindow* pWindow = pWidget->windowHandle())
            pWindow->startSystemMove(); // not every window system lets a program move it
        break;
    case SC_MINIMIZE:
        pWidget->showMinimized();
        break;
    case SC_RESTORE:
        pWidget->showNormal();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT Close(Window& w) {
    if (w.kind == WindowKind::Dialog) {
        // A dialog's close is its cancel.
        SendMessageA(w.hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(w.hWnd, IDCANCEL)));
    } else if (w.widget->isWindow()) {
        w.widget->hide();
    }
    return 0;
}

} // namespace

void ApplyWindowIcon(Window& w) {
    QIcon icon;
    for (HICON h : {w.hIconBig, w.hIconSmall}) {
        if (!h)
            continue;
        for (const QImage& image : h->images)
            icon.addPixmap(QPixmap::fromImage(image));
    }
    w.widget->setWindowIcon(icon);
}

LRESULT DefaultWindowProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_GETCHECK:
        return GetCheck(w);
    case BM_SETCHECK:
        SetCheck(w, wParam);
        return 0;
    case BM_CLICK:
        if (auto* p = qobject_cast<QAbstractButton*>(w.widget.data()))
            p->click();
        return 0;
    case PBM_SETRANGE:
        return w.kind == WindowKind::Progress ? SetRange(w, lParam) : 0;
    case PBM_SETPOS:
        return w.kind == WindowKind::Progress ? SetPos(w, wParam) : 0;
    case PBM_GETPOS:
        return w.nPos;
    case PBM_GETRANGE:
        return wParam ? w.wLower : w.wUpper;
    case WM_SETTEXT:
        ApplyWindowText(w, lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
        return TRUE;
    case WM_GETTEXT:
        return GetText(w, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(CurrentWindowText(w).size());
    case WM_SETICON:
        return SetIcon(w, wParam, lParam);
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w.hIconBig : w.hIconSmall);
    case WM_ICONERASEBKGND:
        return EraseIconBackground(w, wParam);
    case WM_SYSCOMMAND:
        return SysCommand(w, wParam);
    case WM_CLOSE:
        return Close(w);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(w.hIconBig);
    default:
        return 0;
    }
}

} // namespace ui_internal
