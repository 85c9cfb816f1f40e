// The paint context of a window while it handles WM_PAINT. Outside that handling it
// draws nothing, as a paint context with nothing to repaint.
#pragma once

#include "ui/CDC.h"

class CWnd;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

protected:
    HWND m_hWnd;
#ifdef _WIN32
    PAINTSTRUCT m_ps; // BeginPaint's record, handed back to EndPaint
#endif
};
