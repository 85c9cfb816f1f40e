#include "ui/internal/Modal.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "ui/internal/Window.h"

namespace ui_internal {

OwnerDisabler::OwnerDisabler(HWND hOwner) : m_bDisabled(false) {
    Window* w = FindWindowRecord(hOwner);
    if (w && w->widget->isEnabled()) {
        m_pOwner = w->widget;
        m_pOwner->setEnabled(false);
        m_bDisabled = true;
    }
}

OwnerDisabler::~OwnerDisabler() {
    Release();
}

void OwnerDisabler::Release() {
    if (m_bDisabled && m_pOwner) {
        // The owner is usable and active again, as the platform leaves it.
        m_pOwner->setEnabled(true);
        if (m_pOwner->isVisible())
            m_pOwner->activateWindow();
    }
    m_bDisabled = false;
}

ActivationKeeper::ActivationKeeper() : m_pPrevious(QApplication::activeWindow()) {}

void ActivationKeeper::Restore(const QWidget* pClosing) {
    QWidget* pPrevious = m_pPrevious;
    if (!pPrevious || pPrevious == pClosing || !pPrevious->isVisible() || !pPrevious->isEnabled())
        return;
    QWidget* pActive = QApplication::activeWindow();
    if (pActive && pActive != pClosing && pActive->isVisible())
        return;
    pPrevious->activateWindow();
}

void SetTransientOwner(QWidget* pWindow, HWND hOwner) {
    Window* w = FindWindowRecord(hOwner);
    if (!w)
        return;
    pWindow->winId(); // makes the native window
    QWidget* pOwner = w->widget->window();
    pOwner->winId();
    if (pWindow->windowHandle() && pOwner->windowHandle())
        pWindow->windowHandle()->setTransientParent(pOwner->windowHandle());
}

void CentreOver(QWidget* pWindow, HWND hOwner) {
    QRect area;
    if (Window* w = FindWindowRecord(hOwner))
        area = w->widget->window()->frameGeometry();
    else if (QScreen* pScreen = QGuiApplication::primaryScreen())
        area = pScreen->availableGeometry();
    if (area.isNull())
        return;
    // The window's frame where it is known already (move() places the frame).
    QSize size = pWindow->frameGeometry().size();
    QPoint topLeft = area.center() - QPoint(size.width() / 2, size.height() / 2);
    QScreen* pScreen = QGuiApplication::screenAt(area.center());
    if (!pScreen)
        pScreen = QGuiApplication::primaryScreen();
    if (pScreen) {
        QRect work = pScreen->availableGeometry();
        topLeft.setX(qMax(work.left(), qMin(topLeft.x(), work.right() + 1 - size.width())));
        topLeft.setY(qMax(work.top(), qMin(topLeft.y(), work.bottom() + 1 - size.height())));
    }
    pWindow->move(topLeft);
}

void RunDialogLoop(QDialog& dialog, const std::function<void()>& onOpen) {
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::NonModal);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    if (onOpen)
        QTimer::singleShot(0, &dialog, onOpen);
    loop.exec();
}

} // namespace ui_internal
