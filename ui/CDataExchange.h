// The data exchange between a dialog and its members.
#pragma once

#include "kernel/WinTypes.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate; // TRUE: from the controls to the members
    CWnd* m_pDlgWnd;
};

// Binds the member to the dialog's control with that id, once: a member that is bound
// already is left alone. Its m_hWnd then addresses the control.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
