// A push button, check box or radio button.
#pragma once

#include "ui/CWnd.h"

class CButton : public CWnd {
public:
    int GetCheck();            // BM_GETCHECK
    void SetCheck(int nCheck); // BM_SETCHECK: never a click
};
