// korvanto-drive: the real program (application object, panel, device link) with a user
// played by the test seams, for scripts/demo without a display and for the screenshots
// in docs/. Options come first, then the program's own arguments:
//
//   korvanto-drive [--shot FILE] [--docs DIR] [--] ARGUMENT...
//
// It presses "ausführen" with the mouse, answers every message box with OK (printing
// "BOX caption | text"), takes a picture once the bar of the first long job reaches its
// middle (--shot FILE, and DIR/panel-run.png) and then presses "beenden". With --docs it
// also takes DIR/panel-start.png, DIR/panel-info.png (the Info box open) and, after a
// second run with an image file that does not exist, DIR/panel-report.png (the report
// open). Every picture taken is printed as "SHOT path".
// Exit status: the program's, or 1 when a run showed a "Schwerer Fehler" report outside
// the planned second run, or when a picture could not be written.
#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/CWinApp.h"
#include "ui/TestSeams.h"
#include "ui/testing/QtAccess.h"

namespace {

const char kPanelTitle[] = "Steuerung Programmiergerät";
const char kFatalCaption[] = "Schwerer Fehler";

struct Options {
    std::string shot;
    std::string docs;
};

Options g_options;
HWND g_hPanel = nullptr;
bool g_bScriptStarted = false;
bool g_bFailed = false;
bool g_bReportRun = false; // the planned run with a missing image file
bool g_bRunShotTaken = false;
bool g_bReportShotTaken = false;
int g_nRangeUpper = 0;

// --- Pictures: the visible top-level windows in plain frames with their captions --

QImage Desktop() {
    std::vector<QWidget*> windows;
    QRect area;
    const int border = 4;
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int titleHeight = QFontMetrics(titleFont).height() + 8;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        // The panel first, boxes and dialogs over it.
        if (w->windowTitle() == QString::fromUtf8(kPanelTitle))
            windows.insert(windows.begin(), w);
        else
            windows.push_back(w);
        area |= w->geometry().adjusted(-border, -titleHeight, border, border);
    }
    QImage image(area.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(QColor(0xE0, 0xE4, 0xEA));
    QPainter p(&image);
    p.setFont(titleFont);
    for (QWidget* w : windows) {
        QRect frame = w->geometry().adjusted(-border, -titleHeight, border, border);
        frame.translate(-area.topLeft());
        p.fillRect(frame, QColor(0x40, 0x50, 0x70));
        p.setPen(Qt::white);
        QRect title(frame.left() + border + 4, frame.top(), frame.width() - 2 * border - 8,
                    titleHeight);
        p.drawText(title, Qt::AlignLeft | Qt::AlignVCenter, w->windowTitle());
        if (w->windowFlags() & Qt::WindowCloseButtonHint)
            p.drawText(title, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("✕"));
        p.drawImage(frame.left() + border, frame.top() + titleHeight, w->grab().toImage());
    }
    return image;
}

void Shoot(const std::string& path) {
    if (path.empty())
        return;
    if (Desktop().save(QString::fromLocal8Bit(path.c_str()), "PNG")) {
        std::printf("SHOT %s\n", path.c_str());
    } else {
        std::fprintf(stderr, "korvanto-drive: cannot write %s\n", path.c_str());
        g_bFailed = true;
    }
    std::fflush(stdout);
}

std::string DocsPath(const char* pszName) {
    return g_options.docs.empty() ? std::string() : g_options.docs + "/" + pszName;
}

// --- The user ----------------------------------------------------------------------

// A real mouse click in the middle of the panel's control.
void Click(int nID) {
    QWidget* pWidget = WidgetFromHandle(GetDlgItem(g_hPanel, nID));
    if (!pWidget) {
        std::fprintf(stderr, "korvanto-drive: the panel has no control %d\n", nID);
        g_bFailed = true;
        return;
    }
    QTest::mouseClick(pWidget, Qt::LeftButton, {}, pWidget->rect().center());
}

QWidget* TopLevelWithTitle(const char* pszTitle) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QString::fromUtf8(pszTitle))
            return w;
    return nullptr;
}

// Takes the Info box's picture from inside its loop and closes it with its OK button.
void ShootInfoAndClose() {
    QWidget* pInfo = TopLevelWithTitle("Info über Korvanto");
    if (!pInfo) {
        QTimer::singleShot(10, ShootInfoAndClose);
        return;
    }
    Shoot(DocsPath("panel-info.png"));
    for (QAbstractButton* pButton : pInfo->findChildren<QAbstractButton*>())
        if (pButton->text() == QStringLiteral("OK"))
            QTest::mouseClick(pButton, Qt::LeftButton, {}, pButton->rect().center());
}

void Script() {
    Shoot(DocsPath("panel-start.png"));
    if (!g_options.docs.empty()) {
        QTimer::singleShot(0, ShootInfoAndClose);
        Click(IDC_INFO);
    }
    Click(IDC_EXECUTE);
    if (!g_options.docs.empty()) {
        SetFileDialogResponder([](CString& path) {
            path = "fehlt.bin";
            return TRUE;
        });
        Click(IDC_BROWSE);
        SetFileDialogResponder({});
        g_bReportRun = true;
        Click(IDC_EXECUTE);
        g_bReportRun = false;
    }
    Click(IDOK);
}

void StartScriptWhenShown() {
    QWidget* pPanel = WidgetFromHandle(g_hPanel);
    if (!pPanel || !pPanel->isVisible()) {
        QTimer::singleShot(10, StartScriptWhenShown);
        return;
    }
    Script();
}

void Spy(const SpiedMessage& m) {
    if (m.nCtrlId == 0 && m.message == WM_SETICON && m.wParam == ICON_SMALL && !g_bScriptStarted) {
        g_bScriptStarted = true;
        g_hPanel = m.hWnd;
        QTimer::singleShot(0, StartScriptWhenShown);
    } else if (m.nCtrlId == IDC_PROGRESS && m.message == PBM_SETRANGE) {
        g_nRangeUpper = static_cast<int>((static_cast<DWORD>(m.lParam) >> 16) & 0xFFFF);
    } else if (m.nCtrlId == IDC_PROGRESS && m.message == PBM_SETPOS && !g_bRunShotTaken &&
               g_nRangeUpper >= 20 && static_cast<int>(m.wParam) == g_nRangeUpper / 2) {
        g_bRunShotTaken = true;
        Shoot(g_options.shot);
        Shoot(DocsPath("panel-run.png"));
    }
}

int Answer(const BoxCall& call) {
    std::printf("BOX %s | %s\n", static_cast<LPCSTR>(call.caption), static_cast<LPCSTR>(call.text));
    std::fflush(stdout);
    const bool bFatal = std::strcmp(call.caption, kFatalCaption) == 0;
    if (bFatal && g_bReportRun && !g_bReportShotTaken) {
        g_bReportShotTaken = true;
        Shoot(DocsPath("panel-report.png"));
    } else if (bFatal && !g_bReportRun) {
        g_bFailed = true;
    }
    return IDOK;
}

} // namespace

int main(int argc, char** argv) {
    int i = 1;
    for (; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--shot" && i + 1 < argc) {
            g_options.shot = argv[++i];
        } else if (arg == "--docs" && i + 1 < argc) {
            g_options.docs = argv[++i];
        } else if (arg == "--") {
            ++i;
            break;
        } else {
            break;
        }
    }
    // The program sees its own name and its arguments, not this driver's options.
    static char szProgram[] = "korvanto";
    std::vector<char*> programArgv{szProgram};
    for (; i < argc; ++i)
        programArgv.push_back(argv[i]);
    int nProgramArgc = static_cast<int>(programArgv.size());
    programArgv.push_back(nullptr);

    SetMessageSpy(Spy);
    SetBoxResponder(Answer);
    int nResult = AfxWinMain(nProgramArgc, programArgv.data());
    if (!g_bScriptStarted) {
        std::fprintf(stderr, "korvanto-drive: the panel never opened\n");
        return 1;
    }
    return g_bFailed ? 1 : nResult;
}
