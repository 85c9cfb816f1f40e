#include "ui/CProgressCtrl.h"

void CProgressCtrl::SetRange(short nLower, short nUpper) {
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
}

int CProgressCtrl::SetPos(int nPos) {
    return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos), 0));
}

int CProgressCtrl::GetPos() {
    return static_cast<int>(SendMessage(PBM_GETPOS, 0, 0));
}
