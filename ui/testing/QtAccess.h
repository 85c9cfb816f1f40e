// Test-only: the Qt widgets behind window handles.
#pragma once

#include "ui/WinUser.h"

class QWidget;

QWidget* WidgetFromHandle(HWND hWnd);          // NULL when the handle names no window
HWND HandleFromWidget(const QWidget* pWidget); // NULL when the widget is none of ours
