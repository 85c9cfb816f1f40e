#include "ui/CWinApp.h"

#include <QApplication>
#include <QFileInfo>
#include <clocale>

#include "kernel/CommandLine.h"
#include "res/resource.h"
#include "ui/internal/Startup.h"
#include "ui/internal/Translations.h"

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

int CWinApp::Run() {
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::exec();
    return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return LoadIconA(nullptr, nIDResource);
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
    if (!pApp->m_pszAppName && QCoreApplication::instance())
        UiSetAppName(
            pApp,
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString());
    return pApp;
}

CWnd* AfxGetMainWnd() {
    return AfxGetApp()->m_pMainWnd;
}

int AfxWinMain(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    KernelInitCommandLine(argc, argv);
    char szDefaultName[] = "korvanto";
    char* pszProgram = argc > 0 && argv[0] ? argv[0] : szDefaultName;
    if (!ui_internal::DisplayGiven(pszProgram))
        return 1;
    // The command line is the program's (GetCommandLineA): Qt gets the program's name
    // only and takes its own settings from its environment variables alone.
    int nQtArgs = 1;
    char* qtArgv[] = {pszProgram, nullptr};
    ui_internal::EndQuietlyWithoutDisplay(pszProgram);
    QApplication app(nQtArgs, qtArgv);
    ui_internal::PlatformStarted();
    ui_internal::KeepNoSettings();
    QGuiApplication::setDesktopFileName(QStringLiteral("korvanto"));
    QApplication::setQuitOnLastWindowClosed(false);
    ui_internal::InstallQtTranslations();
    CWinApp* pApp = AfxGetApp();
    if (!pApp->InitApplication() || !pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
