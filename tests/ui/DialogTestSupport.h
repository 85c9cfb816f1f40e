// Shared by the dialog tests: running a dialog with checks from inside its loop, and
// a probe dialog on the panel's template that records what reaches its message map.
#pragma once

#include <QTimer>
#include <functional>
#include <vector>

#include "res/resource.h"
#include "ui/Afx.h"

// Runs the dialog; whileOpen runs inside its loop once it is open. The dialog is then
// ended with IDABORT unless whileOpen ended it.
inline INT_PTR RunModal(CDialog& dlg, std::function<void()> whileOpen) {
    QTimer::singleShot(0, [&dlg, whileOpen]() {
        whileOpen();
        if (IsWindow(dlg.m_hWnd) && IsWindowVisible(dlg.m_hWnd))
            dlg.EndDialog(IDABORT);
    });
    return dlg.DoModal();
}

struct ProbeClick {
    int nID;
    LRESULT checkAtHandler; // BM_GETCHECK of the clicked control inside the handler
};

class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(UINT nIDTemplate = IDD_PANEL, CWnd* pParent = nullptr)
        : CDialog(nIDTemplate, pParent) {}

    CButton m_btnCom1;
    CButton m_btnErase;
    CProgressCtrl m_progress;
    CEdit m_editFile;
    HWND m_hCom1AtFirstBind = nullptr;
    int m_nExchanges = 0;
    std::vector<BOOL> m_exchangeDirections;
    std::vector<ProbeClick> m_clicks;
    std::vector<UINT> m_sysCommands;
    BOOL m_bInitResult = TRUE;
    std::function<void(ProbeDialog&)> m_onInit;
    std::function<void(ProbeDialog&)> m_onExecute;
    std::function<void(ProbeDialog&)> m_onPaint;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_COM1, m_btnCom1);
        DDX_Control(pDX, IDC_ERASE, m_btnErase);
        DDX_Control(pDX, IDC_PROGRESS, m_progress);
        DDX_Control(pDX, IDC_FILENAME, m_editFile);
        if (m_nExchanges == 0)
            m_hCom1AtFirstBind = m_btnCom1.m_hWnd;
        ++m_nExchanges;
        m_exchangeDirections.push_back(pDX->m_bSaveAndValidate);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return m_bInitResult;
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        m_sysCommands.push_back(nID);
        CDialog::OnSysCommand(nID, lParam);
    }
    afx_msg void OnPaint() {
        if (m_onPaint)
            m_onPaint(*this);
        else
            CDialog::OnPaint();
    }
    afx_msg HCURSOR OnQueryDragIcon() { return AfxGetApp()->LoadIcon(IDI_APPICON); }
    afx_msg void OnCom1() { m_clicks.push_back({IDC_COM1, m_btnCom1.SendMessage(BM_GETCHECK)}); }
    afx_msg void OnErase() { m_clicks.push_back({IDC_ERASE, m_btnErase.SendMessage(BM_GETCHECK)}); }
    afx_msg void OnExecute() {
        m_clicks.push_back({IDC_EXECUTE, 0});
        if (m_onExecute)
            m_onExecute(*this);
    }

    DECLARE_MESSAGE_MAP()
};
