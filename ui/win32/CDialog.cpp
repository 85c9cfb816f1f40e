// A modal dialog from its template in the executable's resources, run by the system's
// own dialog loop: it disables the owner, serves Tab, Enter, Escape and the arrow keys,
// and enables the owner again before the window goes.
#include "ui/CDialog.h"

#include "ui/CWinApp.h"

// Nothing to keep while the system's loop runs; its presence marks a run going on.
struct CDialog::ModalState {};

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd),
      m_pModal(nullptr) {}

CDialog::~CDialog() = default;

namespace {

HWND TopLevelOf(HWND hWnd) {
    return hWnd ? GetAncestor(hWnd, GA_ROOT) : nullptr;
}

// The system's dialog handling calls this for every message the window's own
// procedure gets. It binds the object to the window as the dialog's first message
// arrives; from then on the object's map sees every message before the system does,
// and everything left here (FALSE) is the system's default.
INT_PTR CALLBACK ModalDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDialog = reinterpret_cast<CDialog*>(lParam);
    pDialog->Attach(hDlg);
    return pDialog->OnInitDialog();
}

} // namespace

// The parent's window, else the main window's (never the dialog itself).
HWND CDialog::OwnerWindow() const {
    if (m_pParentWnd)
        return TopLevelOf(m_pParentWnd->m_hWnd);
    CWnd* pMain = AfxGetApp()->m_pMainWnd;
    if (pMain && pMain != this)
        return TopLevelOf(pMain->m_hWnd);
    return nullptr;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    LPCSTR lpTemplate = MAKEINTRESOURCEA(m_nIDTemplate);
    if (m_pModal || !FindResourceA(hInstance, lpTemplate, RT_DIALOG))
        return -1;
    ModalState state;
    m_pModal = &state;
    INT_PTR nResult = DialogBoxParamA(hInstance, lpTemplate, OwnerWindow(), &ModalDialogProc,
                                      reinterpret_cast<LPARAM>(this));
    m_pModal = nullptr;
    return nResult;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    if (!m_pModal || !m_hWnd)
        return;
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}
