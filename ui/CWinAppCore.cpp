// What the application object does the same on every platform: the one registered
// application, its name, and the steps that are the program's to override.
#include "ui/CWinApp.h"

#include "ui/ProgramName.h"

namespace {

CWinApp* g_pApp = nullptr; // constant-initialised: safe to set from static construction

} // namespace

void UiSetAppName(CWinApp* pApp, const std::string& strName) {
    pApp->m_strAppName = strName;
    pApp->m_pszAppName = pApp->m_strAppName.c_str();
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(nullptr), m_pMainWnd(nullptr) {
    if (lpszAppName)
        UiSetAppName(this, lpszAppName);
    if (!g_pApp)
        g_pApp = this;
}

CWinApp::CWinApp(DefaultTag) : m_pszAppName(nullptr), m_pMainWnd(nullptr) {}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitApplication() {
    return TRUE;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

BOOL CWinApp::Enable3dControlsStatic() {
    return TRUE;
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() {
    CWinApp* pApp = g_pApp;
    if (!pApp) {
        static CWinApp defaultApp{CWinApp::DefaultTag{}};
        pApp = &defaultApp;
    }
    if (!pApp->m_pszAppName) {
        const std::string strName = UiProgramName();
        if (!strName.empty())
            UiSetAppName(pApp, strName);
    }
    return pApp;
}

CWnd* AfxGetMainWnd() {
    return AfxGetApp()->m_pMainWnd;
}
