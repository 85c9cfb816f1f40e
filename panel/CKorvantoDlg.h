// The control panel: the program's one main window. The user picks the serial port,
// ticks the action options, chooses the image file and starts a run. The selection
// lives in the controls; only the port name and the image path are kept in members.
#pragma once

#include "kernel/CString.h"
#include "res/resource.h"
#include "ui/Afx.h"

class CKorvantoDlg : public CDialog {
public:
    explicit CKorvantoDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_PANEL };

    CButton m_btnBlankTest;
    CButton m_btnLock;
    CButton m_btnTransferTest;
    CProgressCtrl m_progress;
    CButton m_btnCom4;
    CButton m_btnCom3;
    CButton m_btnCom2;
    CButton m_btnCom1;
    CButton m_btnVerify;
    CButton m_btnWrite;
    CButton m_btnErase;
    CEdit m_editFile;

protected:
    HICON m_hIcon;
    CString m_strImagePath;
    CString m_strCmdLine;
    CString m_strArgs;
    CString m_strPort;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // The command line: captured at construction, applied at every data exchange.
    void CaptureCommandLine();
    void ProcessCommandLine();
    CString FileToken() const;
    static BOOL IsOptionToken(const CString& strToken);
    BOOL ApplyPortOptions();
    int ApplyActionOptions();

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnBrowse();
    afx_msg void OnInfo();
    afx_msg void OnExecute();
    afx_msg void OnCom1();
    afx_msg void OnCom2();
    afx_msg void OnCom3();
    afx_msg void OnCom4();
    afx_msg void OnLock();
    afx_msg void OnVerify();
    afx_msg void OnTransferTest();
    afx_msg void OnErase();
    afx_msg void OnWrite();

    DECLARE_MESSAGE_MAP()

private:
    void SelectPort(int nPort);
    static BOOL IsChecked(CButton& button);
};
