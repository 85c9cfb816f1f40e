#include "ui/CWinApp.h"

#include "ui/ProgramName.h"

std::string UiProgramName() {
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

// The arguments are the system's already (GetCommandLineA).
int AfxWinMain(int, char**) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp->InitApplication() || !pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
