#include "ui/CWinApp.h"

#include <QApplication>
#include <QFileInfo>
#include <clocale>

#include "kernel/CommandLine.h"
#include "res/resource.h"
#include "ui/ProgramName.h"
#include "ui/internal/Startup.h"
#include "ui/internal/Translations.h"

int CWinApp::Run() {
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::exec();
    return ExitInstance();
}

// Known once the Qt application exists.
std::string UiProgramName() {
    if (!QCoreApplication::instance())
        return std::string();
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return LoadIconA(nullptr, nIDResource);
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
