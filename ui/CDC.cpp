#include "ui/CDC.h"

#include <QPainter>

#include "ui/internal/Handles.h"

CDC::CDC() : m_hDC(nullptr) {}
CDC::~CDC() = default;

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    return ::DrawIcon(m_hDC, x, y, hIcon);
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    if (!hDC || !hDC->pPainter || !hIcon)
        return FALSE;
    hDC->pPainter->drawImage(QPoint(X, Y), hIcon->ImageFor(GetSystemMetrics(SM_CXICON)));
    return TRUE;
}
