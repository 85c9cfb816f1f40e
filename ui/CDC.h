// A paint context.
#pragma once

#include "ui/WinUser.h"

class CDC {
public:
    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC m_hDC;

    HDC GetSafeHdc() const { return m_hDC; }
    // Draws the icon's large image (SM_CXICON x SM_CYICON) with its top left at x, y.
    BOOL DrawIcon(int x, int y, HICON hIcon);
};
