#include "app/CKorvantoApp.h"

#include "panel/CKorvantoDlg.h"

BEGIN_MESSAGE_MAP(CKorvantoApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

// No name: the application's title is the executable's file name.
CKorvantoApp::CKorvantoApp() : CWinApp(nullptr) {}

// The one application object.
CKorvantoApp theApp;

// Runs the panel; FALSE, so that no loop of the application's own follows and the
// process ends with the panel.
BOOL CKorvantoApp::InitInstance() {
    Enable3dControlsStatic();

    CKorvantoDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
