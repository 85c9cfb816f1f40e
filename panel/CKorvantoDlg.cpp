#include "panel/CKorvantoDlg.h"

#include "app/CInfoDlg.h"

CKorvantoDlg::CKorvantoDlg(CWnd* pParent) : CDialog(CKorvantoDlg::IDD, pParent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDI_APPICON);
    CaptureCommandLine();
}

void CKorvantoDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BLANKTEST, m_btnBlankTest);
    DDX_Control(pDX, IDC_LOCK, m_btnLock);
    DDX_Control(pDX, IDC_TRANSFERTEST, m_btnTransferTest);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_COM4, m_btnCom4);
    DDX_Control(pDX, IDC_COM3, m_btnCom3);
    DDX_Control(pDX, IDC_COM2, m_btnCom2);
    DDX_Control(pDX, IDC_COM1, m_btnCom1);
    DDX_Control(pDX, IDC_VERIFY, m_btnVerify);
    DDX_Control(pDX, IDC_WRITE, m_btnWrite);
    DDX_Control(pDX, IDC_ERASE, m_btnErase);
    DDX_Control(pDX, IDC_FILENAME, m_editFile);
    ProcessCommandLine();
}

BEGIN_MESSAGE_MAP(CKorvantoDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_INFO, OnInfo)
ON_BN_CLICKED(IDC_EXECUTE, OnExecute)
ON_BN_CLICKED(IDC_COM1, OnCom1)
ON_BN_CLICKED(IDC_COM2, OnCom2)
ON_BN_CLICKED(IDC_COM3, OnCom3)
ON_BN_CLICKED(IDC_COM4, OnCom4)
ON_BN_CLICKED(IDC_LOCK, OnLock)
ON_BN_CLICKED(IDC_VERIFY, OnVerify)
ON_BN_CLICKED(IDC_TRANSFERTEST, OnTransferTest)
ON_BN_CLICKED(IDC_ERASE, OnErase)
ON_BN_CLICKED(IDC_WRITE, OnWrite)
END_MESSAGE_MAP()

BOOL CKorvantoDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    CString strInfoMenu;
    strInfoMenu.LoadString(IDS_INFOMENU);
    if (pSysMenu && !strInfoMenu.IsEmpty()) {
        pSysMenu->AppendMenu(MF_SEPARATOR);
        pSysMenu->AppendMenu(MF_STRING, IDM_INFOBOX, strInfoMenu);
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    return TRUE;
}

void CKorvantoDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_INFOBOX)
        OnInfo();
    else
        CDialog::OnSysCommand(nID, lParam);
}

void CKorvantoDlg::OnInfo() {
    CInfoDlg dlgInfo;
    dlgInfo.DoModal();
}

// Minimised, the panel shows its icon centred in the client area.
void CKorvantoDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - cxIcon + 1) / 2;
    int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CKorvantoDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

// The port radios each start a group of their own; the handlers keep them exclusive.
void CKorvantoDlg::SelectPort(int nPort) {
    m_btnCom1.SendMessage(BM_SETCHECK, nPort == 1);
    m_btnCom2.SendMessage(BM_SETCHECK, nPort == 2);
    m_btnCom3.SendMessage(BM_SETCHECK, nPort == 3);
    m_btnCom4.SendMessage(BM_SETCHECK, nPort == 4);
    m_strPort = "COM" + CString(static_cast<char>('0' + nPort));
}

void CKorvantoDlg::OnCom1() {
    SelectPort(1);
}

void CKorvantoDlg::OnCom2() {
    SelectPort(2);
}

void CKorvantoDlg::OnCom3() {
    SelectPort(3);
}

void CKorvantoDlg::OnCom4() {
    SelectPort(4);
}

// The interlocks: a click has toggled the box already; the handler unchecks the boxes
// that cannot go with it, whether the click checked or unchecked it. Unchecking sends
// no click, so no interlock sets off another.
void CKorvantoDlg::OnLock() {
    m_btnVerify.SendMessage(BM_SETCHECK, 0);
    m_btnTransferTest.SendMessage(BM_SETCHECK, 0);
}

void CKorvantoDlg::OnVerify() {
    m_btnLock.SendMessage(BM_SETCHECK, 0);
    m_btnTransferTest.SendMessage(BM_SETCHECK, 0);
}

void CKorvantoDlg::OnTransferTest() {
    m_btnErase.SendMessage(BM_SETCHECK, 0);
    m_btnWrite.SendMessage(BM_SETCHECK, 0);
    m_btnVerify.SendMessage(BM_SETCHECK, 0);
    m_btnLock.SendMessage(BM_SETCHECK, 0);
}

void CKorvantoDlg::OnErase() {
    m_btnTransferTest.SendMessage(BM_SETCHECK, 0);
}

void CKorvantoDlg::OnWrite() {
    m_btnTransferTest.SendMessage(BM_SETCHECK, 0);
}

BOOL CKorvantoDlg::IsChecked(CButton& button) {
    return button.SendMessage(BM_GETCHECK) != 0;
}
