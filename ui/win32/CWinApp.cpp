#include "ui/CWinApp.h"

namespace {

CWinApp* g_pApp = nullptr; // constant-initialised: safe to set from static construction

// The executable's file name without folder and extension.
std::string ExecutableName() {
    char szPath[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strName(szPath, n < MAX_PATH ? n : 0);
    std::size_t nSlash = strName.find_last_of("\\/:");
    if (nSlash != std::string::npos)
        strName.erase(0, nSlash + 1);
    std::size_t nDot = strName.rfind('.');
    if (nDot != std::string::npos && nDot > 0)
        strName.erase(nDot);
    return strName;
}

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

// The application's own loop, until a WM_QUIT.
int CWinApp::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource));
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
    if (!pApp->m_pszAppName)
        UiSetAppName(pApp, ExecutableName());
    return pApp;
}

CWnd* AfxGetMainWnd() {
    return AfxGetApp()->m_pMainWnd;
}

// The arguments are the system's already (GetCommandLineA).
int AfxWinMain(int, char**) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp->InitApplication() || !pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
