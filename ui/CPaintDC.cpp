#include "ui/CPaintDC.h"

#include "ui/CWnd.h"
#include "ui/internal/Handles.h"
#include "ui/internal/Window.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    auto* pDC = new HDC__;
    pDC->hWnd = m_hWnd;
    if (ui_internal::Window* w = ui_internal::FindWindowRecord(m_hWnd))
        pDC->pPainter = w->pPaintPainter;
    m_hDC = pDC;
}

CPaintDC::~CPaintDC() {
    delete m_hDC;
    m_hDC = nullptr;
}
