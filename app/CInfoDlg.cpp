#include "app/CInfoDlg.h"

CInfoDlg::CInfoDlg() : CDialog(CInfoDlg::IDD, nullptr) {}

void CInfoDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

BEGIN_MESSAGE_MAP(CInfoDlg, CDialog)
END_MESSAGE_MAP()
