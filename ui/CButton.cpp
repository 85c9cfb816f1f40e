#include "ui/CButton.h"

int CButton::GetCheck() {
    return static_cast<int>(SendMessage(BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int nCheck) {
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}
