// A rectangle with its sizes.
#pragma once

#include "ui/WinUser.h"

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
};
