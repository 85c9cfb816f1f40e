// The program side of the real-X panel test (x11_panel_test.sh): the real application
// object and panel, with a message spy that reports on stdout where "Datei auswählen"
// and the blank-test box are once the panel is open, every text the file-name field is
// given, and the start and end of every run with the control that had the focus and
// the boxes' state. xdotool does the clicking and typing.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "res/resource.h"
#include "ui/CWinApp.h"
#include "ui/TestSeams.h"
#include "ui/testing/QtAccess.h"

namespace {

long Checked(HWND hDlg, int nID) {
    return static_cast<long>(SendMessageA(GetDlgItem(hDlg, nID), BM_GETCHECK, 0, 0));
}

void ReportWhereItIs(HWND hDlg, int nID, const char* pszName, int nX) {
    QWidget* pControl = WidgetFromHandle(GetDlgItem(hDlg, nID));
    if (!pControl)
        return;
    QPoint p = pControl->mapToGlobal(QPoint(nX, pControl->height() / 2));
    std::printf("PANEL %s %d %d\n", pszName, p.x(), p.y());
    std::fflush(stdout);
}

void ReportWhereTheControlsAre(HWND hDlg) {
    QWidget* pBrowse = WidgetFromHandle(GetDlgItem(hDlg, IDC_BROWSE));
    ReportWhereItIs(hDlg, IDC_BROWSE, "browse", pBrowse ? pBrowse->width() / 2 : 0);
    ReportWhereItIs(hDlg, IDC_BLANKTEST, "blank", 6);
    // What Qt made of the command line: nothing, it was given the program's name only.
    std::printf("QT arguments=%d direction=%s\n",
                static_cast<int>(QCoreApplication::arguments().size()),
                QGuiApplication::layoutDirection() == Qt::LeftToRight ? "ltr" : "rtl");
    std::fflush(stdout);
}

void ReportRun(HWND hCtrl, WPARAM nCmdShow) {
    HWND hDlg = GetParent(hCtrl);
    if (nCmdShow == SW_SHOW) {
        int nFocus = GetDlgCtrlID(HandleFromWidget(QApplication::focusWidget()));
        std::printf("RUN-START focus=%d\n", nFocus);
    } else {
        std::printf("RUN-END blank=%ld lock=%ld\n", Checked(hDlg, IDC_BLANKTEST),
                    Checked(hDlg, IDC_LOCK));
    }
    std::fflush(stdout);
}

void Spy(const SpiedMessage& m) {
    if (m.nCtrlId == 0 && m.message == WM_SETICON && m.wParam == ICON_SMALL) {
        HWND hDlg = m.hWnd;
        QTimer::singleShot(500, [hDlg]() { ReportWhereTheControlsAre(hDlg); });
    } else if (m.nCtrlId == IDC_FILENAME && m.message == WM_SETTEXT) {
        std::printf("FILE %s\n", reinterpret_cast<LPCSTR>(m.lParam));
        std::fflush(stdout);
    } else if (m.nCtrlId == IDC_PROGRESS && m.message == WM_SHOWWINDOW) {
        ReportRun(m.hWnd, m.wParam);
    }
}

} // namespace

int main(int argc, char** argv) {
    SetMessageSpy(Spy);
    int nResult = AfxWinMain(argc, argv);
    std::printf("EXIT %d\n", nResult);
    std::fflush(stdout);
    return nResult;
}
