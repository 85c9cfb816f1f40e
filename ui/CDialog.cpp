#include "ui/CDialog.h"

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include "ui/CWinApp.h"
#include "ui/internal/DialogBuilder.h"
#include "ui/internal/Modal.h"
#include "ui/internal/Window.h"

using namespace ui_internal;

struct CDialog::ModalState {
    QEventLoop loop;
    bool bEnded = false;
    int nResult = -1;
    OwnerDisabler* pDisabler = nullptr;
};

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd),
      m_pModal(nullptr) {}

CDialog::~CDialog() = default;

// The parent's window, else the main window's (never the dialog itself).
HWND CDialog::OwnerWindow() const {
    if (m_pParentWnd)
        return TopLevelOf(m_pParentWnd->m_hWnd);
    CWnd* pMain = AfxGetApp()->m_pMainWnd;
    if (pMain && pMain != this)
        return TopLevelOf(pMain->m_hWnd);
    return nullptr;
}

namespace {

// The first control with a tab stop that can take the focus.
void FocusFirstTabStop(HWND hDlg) {
    Window* pDialog = FindWindowRecord(hDlg);
    for (HWND hChild : pDialog->children) {
        Window* c = FindWindowRecord(hChild);
        if (c && (c->dwStyle & WS_TABSTOP) && !(c->widget->isHidden()) &&
            c->widget->isEnabledTo(pDialog->widget)) {
            c->widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace

INT_PTR CDialog::DoModal() {
    const DialogTemplate* pTemplate = FindDialogTemplate(m_nIDTemplate);
    if (!pTemplate || m_pModal)
        return -1;
    HWND hOwner = OwnerWindow();
    ActivationKeeper activation;
    OwnerDisabler disabler(hOwner);
    HWND hDlg = BuildDialog(*pTemplate, hOwner);
    Attach(hDlg);
    QPointer<QWidget> pWindow = FindWindowRecord(hDlg)->widget.data();
    QPoint builtAt = pWindow->pos();
    ModalState state;
    state.pDisabler = &disabler;
    m_pModal = &state;
    if (OnInitDialog() && IsWindow(hDlg))
        FocusFirstTabStop(hDlg);
    if (!state.bEnded && IsWindow(hDlg)) {
        // A template without WS_VISIBLE creates the dialog hidden; the framework then
        // centres it over its owner, unless the dialog has placed or shown itself.
        if (!(pTemplate->dwStyle & WS_VISIBLE) && !pWindow->isVisible() &&
            pWindow->pos() == builtAt)
            CentreOver(pWindow, hOwner);
        pWindow->show();
        pWindow->raise();
        pWindow->activateWindow();
        state.loop.exec();
    }
    m_pModal = nullptr;
    disabler.Release();
    activation.Restore(pWindow);
    DestroyWindowAndRecord(hDlg); // unbinds this object and every bound control
    return state.nResult;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    if (!m_pModal)
        return;
    m_pModal->nResult = nResult;
    m_pModal->bEnded = true;
    // The dialog goes out of sight and its owner is usable again at once; the window
    // itself goes when the dialog's loop returns.
    if (Window* w = FindWindowRecord(m_hWnd))
        w->widget->hide();
    m_pModal->pDisabler->Release();
    m_pModal->loop.quit();
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
