// A modal dialog from its template in the executable's resources, run by the system's
// own dialog loop: it disables the owner, serves Tab, Enter, Escape and the arrow keys,
// and enables the owner again before the window goes.
#include "ui/CDialog.h"

#include <algorithm>
#include <cstring>

#include <commctrl.h>

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

// What the dialog procedure needs when the dialog's first message comes.
struct ModalStart {
    CDialog* pDialog;
    BOOL bCreatedHidden;
};

HWND TopLevelOf(HWND hWnd) {
    return hWnd ? GetAncestor(hWnd, GA_ROOT) : nullptr;
}

// A dialog that its template creates hidden is shown centred over its owner (over the
// screen's work area when it has none), and kept on that screen.
void CentreOverOwner(HWND hDlg) {
    RECT dialog{}, area{};
    GetWindowRect(hDlg, &dialog);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(hDlg, MONITOR_DEFAULTTONEAREST), &monitor);
    HWND hOwner = GetWindow(hDlg, GW_OWNER);
    if (!hOwner || !IsWindowVisible(hOwner) || !GetWindowRect(hOwner, &area))
        area = monitor.rcWork;
    LONG cx = dialog.right - dialog.left;
    LONG cy = dialog.bottom - dialog.top;
    LONG x = area.left + (area.right - area.left - cx) / 2;
    LONG y = area.top + (area.bottom - area.top - cy) / 2;
    x = std::max(monitor.rcWork.left, std::min(x, monitor.rcWork.right - cx));
    y = std::max(monitor.rcWork.top, std::min(y, monitor.rcWork.bottom - cy));
    SetWindowPos(hDlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system's dialog handling calls this for every message the window's own
// procedure gets. It binds the object to the window as the dialog's first message
// arrives; from then on the object's map sees every message before the system does,
// and everything left here (FALSE) is the system's default.
INT_PTR CALLBACK ModalDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    const ModalStart* pStart = reinterpret_cast<const ModalStart*>(lParam);
    pStart->pDialog->Attach(hDlg);
    if (pStart->bCreatedHidden)
        CentreOverOwner(hDlg);
    return pStart->pDialog->OnInitDialog();
}

// The common controls' classes (the progress bar's "msctls_progress32") are registered
// before the first template names them.
void RegisterCommonControls() {
    static const BOOL bRegistered = []() {
        INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&icc);
    }();
    static_cast<void>(bRegistered);
}

// The template in the executable's resources; NULL when it has none.
const BYTE* FindTemplate(HINSTANCE hInstance, UINT nID) {
    HRSRC hResource = FindResourceA(hInstance, MAKEINTRESOURCEA(nID), RT_DIALOG);
    if (!hResource || SizeofResource(hInstance, hResource) < 16)
        return nullptr;
    return static_cast<const BYTE*>(LockResource(LoadResource(hInstance, hResource)));
}

// The style the template gives the dialog (the system creates it hidden in any case and
// shows it after WM_INITDIALOG when the template says so). An extended template starts
// with the words 1, 0xFFFF, and its style follows the help id and the extended style.
DWORD TemplateStyle(const BYTE* pTemplate) {
    BOOL bExtended = pTemplate[2] == 0xFF && pTemplate[3] == 0xFF;
    DWORD dwStyle = 0;
    std::memcpy(&dwStyle, pTemplate + (bExtended ? 12 : 0), sizeof dwStyle);
    return dwStyle;
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
    const BYTE* pTemplate = FindTemplate(hInstance, m_nIDTemplate);
    if (m_pModal || !pTemplate)
        return -1;
    RegisterCommonControls();
    ModalState state;
    m_pModal = &state;
    ModalStart start{this, !(TemplateStyle(pTemplate) & WS_VISIBLE)};
    INT_PTR nResult =
        DialogBoxIndirectParamA(hInstance, reinterpret_cast<LPCDLGTEMPLATEA>(pTemplate),
                                OwnerWindow(), &ModalDialogProc, reinterpret_cast<LPARAM>(&start));
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
