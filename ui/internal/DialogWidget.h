// The top-level widget of a dialog built from a template (inside the binding): it
// turns keys, the close box, painting and the context menu into the platform's messages.
#pragma once

#include <QWidget>

#include "ui/WinUser.h"

namespace ui_internal {

class DialogWidget : public QWidget {
public:
    explicit DialogWidget(Qt::WindowFlags flags);
    void SetHandle(HWND hWnd) { m_hWnd = hWnd; }
    // Arrow keys on a control move the focus within its group, as the platform does.
    void WatchControl(QWidget* pControl);

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void ActivateDefaultButton();
    bool MoveInGroup(HWND hFrom, bool bForward);
    void ShowSystemMenuAt(const QPoint& globalPos);

    HWND m_hWnd = nullptr;
};

} // namespace ui_internal
