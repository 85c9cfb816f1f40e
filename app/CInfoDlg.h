// The Info box: names the program and its version, shows the application icon and
// two further lines of text, and has one OK button. Everything it shows comes from
// its template; it has no behaviour beyond the dialog's defaults.
#pragma once

#include "res/resource.h"
#include "ui/CDialog.h"

class CInfoDlg : public CDialog {
public:
    CInfoDlg();

    enum { IDD = IDD_INFO };

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
