#include "ui/testing/QtAccess.h"

#include "ui/internal/Window.h"

QWidget* WidgetFromHandle(HWND hWnd) {
    ui_internal::Window* w = ui_internal::FindWindowRecord(hWnd);
    return w ? w->widget.data() : nullptr;
}

HWND HandleFromWidget(const QWidget* pWidget) {
    return ui_internal::FindHandle(pWidget);
}
