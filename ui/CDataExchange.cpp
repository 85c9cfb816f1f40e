#include "ui/CDataExchange.h"

#include "ui/CWnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr)
        return; // bound once; a later exchange leaves the binding alone
    HWND hCtrl = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hCtrl)
        rControl.Attach(hCtrl);
}
