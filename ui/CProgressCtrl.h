// A progress bar (class "msctls_progress32"). It shows no text; a position shows at
// once, without any event loop running.
#pragma once

#include "ui/CWnd.h"

class CProgressCtrl : public CWnd {
public:
    // PBM_SETRANGE with wParam 0 and lParam MAKELPARAM(nLower, nUpper); the words are
    // read as unsigned 0..65535.
    void SetRange(short nLower, short nUpper);
    // PBM_SETPOS with wParam nPos; returns the previous position.
    int SetPos(int nPos);
    int GetPos();
};
