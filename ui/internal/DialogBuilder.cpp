#include "ui/internal/DialogBuilder.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>

#include "ui/internal/Controls.h"
#include "ui/internal/DialogWidget.h"
#include "ui/internal/Modal.h"
#include "ui/internal/Window.h"

namespace ui_internal {

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    long long p = static_cast<long long>(a) * b;
    long long q = (std::llabs(p) + std::llabs(static_cast<long long>(c)) / 2) / std::llabs(c);
    return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    QFontMetrics fm(font);
    int width = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(width / 26 + 1) / 2, fm.height()};
}

QRect DialogUnitsToPixels(const DialogBaseUnits& u, int x, int y, int cx, int cy) {
    return QRect(MulDiv(x, u.cx, 4), MulDiv(y, u.cy, 8), MulDiv(cx, u.cx, 4), MulDiv(cy, u.cy, 8));
}

QFont DialogFontOf(const DialogTemplate& t) {
    QString family = QString::fromUtf8(t.lpszTypeFace ? t.lpszTypeFace : "");
    QFont font;
    if ((t.dwStyle & DS_SETFONT) && !family.isEmpty() && QFontDatabase::hasFamily(family))
        font = QFont(family);
    else
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if ((t.dwStyle & DS_SETFONT) && t.wPointSize > 0)
        font.setPointSize(t.wPointSize);
    if (t.wWeight >= 600)
        font.setBold(true);
    font.setItalic(t.bItalic != FALSE);
    return font;
}

namespace {

Qt::WindowFlags FlagsFor(const DialogTemplate& t, HWND hOwner) {
    Qt::WindowFlags flags = (t.dwExStyle & WS_EX_APPWINDOW) || !hOwner ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    bool bCaption = (t.dwStyle & WS_CAPTION) == WS_CAPTION;
    if (bCaption)
        flags |= Qt::WindowTitleHint;
    if (t.dwStyle & WS_SYSMENU) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        // With a caption these bits are the minimize and maximize boxes.
        if (bCaption && (t.dwStyle & WS_MINIMIZEBOX))
            flags |= Qt::WindowMinimizeButtonHint;
        if (bCaption && (t.dwStyle & WS_MAXIMIZEBOX))
            flags |= Qt::WindowMaximizeButtonHint;
    }
    return flags;
}

void Position(QWidget* pWindow, const DialogTemplate& t, const QRect& r, HWND hOwner) {
    if (t.dwStyle & DS_CENTER) {
        CentreOver(pWindow, hOwner);
        return;
    }
    QPoint origin(0, 0);
    if (Window* pOwner = FindWindowRecord(hOwner))
        origin = pOwner->widget->window()->geometry().topLeft();
    else if (QScreen* pScreen = QGuiApplication::primaryScreen())
        origin = pScreen->availableGeometry().topLeft();
    pWindow->move(origin + r.topLeft());
}

void BuildControls(DialogWidget* pWindow, HWND hDlg, const DialogTemplate& t,
                   const DialogBaseUnits& units) {
    QWidget* pPrevFocusable = nullptr;
    for (int i = 0; i < t.nItems; ++i) {
        const DialogItemTemplate& item = t.pItems[i];
        HICON hIcon = item.nTextResource ? LoadIconA(nullptr, item.nTextResource) : nullptr;
        HWND hCtrl = CreateControl(pWindow, hDlg, item.lpszClass, item.dwStyle, item.dwExStyle,
                                   item.nID, item.lpszText ? item.lpszText : "", hIcon);
        QWidget* p = FindWindowRecord(hCtrl)->widget;
        QRect r = DialogUnitsToPixels(units, item.x, item.y, item.cx, item.cy);
        bool bIcon = KindFromClass(item.lpszClass, item.dwStyle) == WindowKind::Static &&
                     (item.dwStyle & SS_TYPEMASK) == SS_ICON;
        if (bIcon && hIcon) // an icon control takes the icon's size
            r.setSize(QSize(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
        p->setGeometry(r);
        pWindow->WatchControl(p);
        if (p->focusPolicy() & Qt::TabFocus) {
            if (pPrevFocusable)
                QWidget::setTabOrder(pPrevFocusable, p);
            pPrevFocusable = p;
        }
    }
}

} // namespace

HWND BuildDialog(const DialogTemplate& t, HWND hOwner) {
    auto* pWindow = new DialogWidget(FlagsFor(t, hOwner));
    HWND hDlg = RegisterWindow(pWindow, WindowKind::Dialog, 0, t.dwStyle, t.dwExStyle, nullptr);
    pWindow->SetHandle(hDlg);
    QFont font = DialogFontOf(t);
    pWindow->setFont(font);
    DialogBaseUnits units = BaseUnitsOf(font);
    ApplyWindowText(*FindWindowRecord(hDlg), t.lpszCaption ? t.lpszCaption : "");
    QRect r = DialogUnitsToPixels(units, t.x, t.y, t.cx, t.cy);
    // The template's size is the client area; only a sizing border lets the user change it.
    if (t.dwStyle & WS_THICKFRAME)
        pWindow->resize(r.size());
    else
        pWindow->setFixedSize(r.size());
    BuildControls(pWindow, hDlg, t, units);
    SetTransientOwner(pWindow, hOwner);
    Position(pWindow, t, r, hOwner);
    return hDlg;
}

} // namespace ui_internal
