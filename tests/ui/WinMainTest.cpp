// The entry routine with a global application object: the Qt application exists when
// InitInstance runs, Qt's own texts follow the user's language, the command line is
// taken (and only the program's name given to Qt), nothing is stored in the home
// folder, and FALSE from InitInstance runs no loop but ExitInstance.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "kernel/CommandLine.h"
#include "res/resource.h"
#include "ui/Afx.h"
#include "ui/TestSeams.h"
#include "ui/testing/QtAccess.h"

namespace {

struct Seen {
    bool bInitInstance = false;
    bool bQtApplication = false;
    bool bExited = false;
    QString desktopFileName;
    CString appName;
    CString commandLine;
    bool bGerman = false;
    QString cancelText;
    QStringList boxButtons;
    QString fileDialogTitle;
    int nHelpCommands = 0;
    QStringList qtArguments;
    QString platformName;
    Qt::LayoutDirection direction = Qt::RightToLeft;
    QString infoTitle;
};
Seen g_seen;

} // namespace

class ProbeApp : public CWinApp {
public:
    ProbeApp() : CWinApp(nullptr) {}
    BOOL InitInstance() override;
    int ExitInstance() override {
        g_seen.bExited = true;
        return 3;
    }
    afx_msg void OnHelpProbe() {
        ++g_seen.nHelpCommands;
        CWinApp::OnHelp();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelpProbe)
END_MESSAGE_MAP()

// The form the program's own application uses: the base's handler, qualified.
class HelpApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(HelpApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

ProbeApp theApp;

BOOL ProbeApp::InitInstance() {
    g_seen.bInitInstance = true;
    Enable3dControlsStatic();
    g_seen.bQtApplication = QApplication::instance() != nullptr;
    g_seen.desktopFileName = QGuiApplication::desktopFileName();
    g_seen.appName = AfxGetApp()->m_pszAppName;
    g_seen.commandLine = GetCommandLineA();
    g_seen.bGerman = QLocale().language() == QLocale::German;
    g_seen.cancelText = QCoreApplication::translate("QPlatformTheme", "Cancel");
    g_seen.qtArguments = QCoreApplication::arguments();
    g_seen.platformName = QGuiApplication::platformName();
    g_seen.direction = QGuiApplication::layoutDirection();

    SetBoxResponder([](const BoxCall&) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<QMessageBox*>(w); p && p->isVisible()) {
                for (QAbstractButton* b : p->buttons())
                    g_seen.boxButtons << b->text();
            }
        }
        return IDOK;
    });
    MessageBoxA(nullptr, "Frage", "Korvanto", MB_OKCANCEL);
    SetBoxResponder({});

    SetFileDialogResponder([](CString&) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<QFileDialog*>(w); p && p->isVisible())
                g_seen.fileDialogTitle = p->windowTitle();
        }
        return FALSE;
    });
    CFileDialog file(TRUE, ".bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Binary Files (*.bin)|*.bin||");
    file.DoModal();
    SetFileDialogResponder({});

    // F1 on a dialog is the help command; no dialog handles it, the application does.
    CDialog info(IDD_INFO);
    QTimer::singleShot(0, [&info]() {
        g_seen.infoTitle = WidgetFromHandle(info.m_hWnd)->windowTitle();
        QTest::keyClick(WidgetFromHandle(info.m_hWnd)->focusWidget(), Qt::Key_F1);
        info.EndDialog(IDOK);
    });
    info.DoModal();
    return FALSE;
}

// The file dialog runs (and would store its folder history) in a home of its own;
// Qt's own options on the command line are the program's text, not Qt's.
TEST(WinMainTest, RunsInitInstanceInTheQtApplicationAndEndsWithoutALoop) {
    std::vector<std::string> args = {
        "/usr/bin/korvanto", "-platform", "nonsense",  "-reverse",  "-style", "x",
        "-qwindowtitle",     "Fremd",     "-geometry", "10x10+5+5", "/COM1",  "a b.bin"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    char szHome[] = "/tmp/winmain-home-XXXXXX";
    ASSERT_NE(mkdtemp(szHome), nullptr);
    std::string previousHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", szHome, 1);
    setenv("XDG_CONFIG_HOME", (std::string(szHome) + "/.config").c_str(), 1);
    int nResult = AfxWinMain(static_cast<int>(args.size()), argv.data());
    setenv("HOME", previousHome.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    QStringList written = QDir(QString::fromUtf8(szHome))
                              .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_TRUE(written.isEmpty()) << written.join(QLatin1Char(',')).toStdString();
    QDir(QString::fromUtf8(szHome)).removeRecursively();
    EXPECT_EQ(g_seen.qtArguments, QStringList{QStringLiteral("/usr/bin/korvanto")});
    EXPECT_EQ(g_seen.platformName, QStringLiteral("offscreen"));
    EXPECT_EQ(g_seen.direction, Qt::LeftToRight);
    EXPECT_EQ(g_seen.infoTitle, QStringLiteral("Info über Korvanto"));
    EXPECT_TRUE(g_seen.bInitInstance);
    EXPECT_TRUE(g_seen.bQtApplication);
    EXPECT_TRUE(g_seen.bExited);
    EXPECT_EQ(nResult, 3) << "the result of ExitInstance";
    EXPECT_EQ(g_seen.desktopFileName, QStringLiteral("korvanto"));
    EXPECT_STREQ(g_seen.appName, "ui_winmain_tests") << "the executable's name";
    EXPECT_STREQ(g_seen.commandLine, "/usr/bin/korvanto -platform nonsense -reverse -style x "
                                     "-qwindowtitle Fremd -geometry 10x10+5+5 /COM1 \"a b.bin\"");
    EXPECT_EQ(g_seen.nHelpCommands, 1);
    // The German run says so, so that it cannot pass through the other branch.
    EXPECT_EQ(g_seen.bGerman, std::getenv("EXPECT_GERMAN") != nullptr);
    if (g_seen.bGerman) {
        EXPECT_EQ(g_seen.cancelText, QStringLiteral("Abbrechen"));
        EXPECT_TRUE(g_seen.boxButtons.contains(QStringLiteral("&Abbrechen")) ||
                    g_seen.boxButtons.contains(QStringLiteral("Abbrechen")))
            << g_seen.boxButtons.join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(g_seen.fileDialogTitle, QStringLiteral("Öffnen"));
    } else {
        EXPECT_EQ(g_seen.cancelText, QStringLiteral("Cancel"));
    }
    EXPECT_EQ(AfxGetApp(), &theApp);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return RUN_ALL_TESTS();
}
