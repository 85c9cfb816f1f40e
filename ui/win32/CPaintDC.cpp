#include "ui/CPaintDC.h"

#include "ui/CWnd.h"

// Outside WM_PAINT the system hands out a context with nothing to repaint.
CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr), m_ps{} {
    m_hDC = m_hWnd ? BeginPaint(m_hWnd, &m_ps) : nullptr;
}

CPaintDC::~CPaintDC() {
    if (m_hDC)
        EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}
